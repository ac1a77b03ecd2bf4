#include "client/app/shell_status_windows.h"

#include "client/gumps/ingame/status_gump.h"

void ShellStatusWindows::UpdateStatusWindows(const StatusRecord& status, bool renamable) {
    UpdateStatusWindowsOf(status, renamable);
}

void ShellStatusWindows::UpdateStatusBars(u32 mobile, const StatBars& bars) {
    UpdateStatusBarsOf(mobile, bars);
}
