#pragma once
// The running client's skill windows for the skill-list handler: the player's window opened
// when the list the player asked for arrives, raised and redrawn with new values, and the
// separate windows of other mobiles' lists.
#include "client/net/text_window_hooks.h"

class ShellSkillWindows : public TextWindowHooks {
public:
    bool SkillWindowOpen() override;
    void RaiseSkillWindow() override;
    void RefreshSkillWindow() override;
    void OpenSkillWindow() override;
    void OpenSkillValuesWindow(const std::array<u16, SkillRecords::kSkills>& values) override;
};
