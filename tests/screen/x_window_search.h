#pragma once
// Finding top-level windows on the test's X display by title, as a user (or a window
// manager) would see them.
#include <string>

// X11 last: its macros (None, Status, ...) clash with names in other headers.
#include <X11/Xlib.h>

namespace screen {

// The first shown top-level window whose title starts with `title`, waiting up to
// `timeoutMs` for it to appear; 0 when none did. Only a shown window counts, as only a shown
// window can be clicked. `pid` 0 takes any such window; otherwise only a window of that
// process counts (from the _NET_WM_PID property SDL sets), so a window an earlier test
// closed but the X server still lists is never taken.
Window FindShownWindow(Display* display, const std::string& title, long pid, int timeoutMs);

// Asks the window to close the way a click on the title bar's close button does.
void AskToClose(Display* display, Window window);

}  // namespace screen
