#pragma once
// The running client's status windows for the status handlers (0x11 and the bar updates), on
// top of its skill windows: only one set of text-window hooks is installed.
#include "client/app/shell_skill_windows.h"

class ShellStatusWindows : public ShellSkillWindows {
public:
    void UpdateStatusWindows(const StatusRecord& status, bool renamable) override;
    void UpdateStatusBars(u32 mobile, const StatBars& bars) override;
};
