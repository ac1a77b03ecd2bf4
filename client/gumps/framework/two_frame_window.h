#pragma once
// Two-frame windows keep their normal picture in frame 0 and their minimised picture, of its
// own size, in frame 1.
#include "client/gumps/framework/gump.h"

// The frame the window shows now.
inline int ShownFrameIndex(const CGump& window) {
    return window.minimised ? 1 : 0;
}
// The shown frame's rectangle on the screen meets the clip.
bool ShownFrameMeets(const CGump& window, const ClipRect& clip);
// Frame 1 becomes the gump art `art` at its own size, which is also the minimised size.
void MakeMinimisedFrame(CGump& window, int art);
// A visible child of the window contains the window-local point (in its own coordinates).
bool AnyChildContains(CGump& window, int x, int y);
