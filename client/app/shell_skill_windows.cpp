#include "client/app/shell_skill_windows.h"

#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/skill_gump.h"

bool ShellSkillWindows::SkillWindowOpen() {
    return TheGumpDesktop().skillGump != nullptr;
}

void ShellSkillWindows::RaiseSkillWindow() {
    CGump* window = TheGumpDesktop().skillGump;
    if (window == nullptr) return;
    window->BringToFront(false);
    if (window->minimised) window->Restore();
}

void ShellSkillWindows::RefreshSkillWindow() {
    RefreshPlayerSkillWindow();
}

void ShellSkillWindows::OpenSkillWindow() {
    OpenPlayerSkillWindow();
}

void ShellSkillWindows::OpenSkillValuesWindow(
    const std::array<u16, SkillRecords::kSkills>& values) {
    ::OpenSkillValuesWindow(values);
}
