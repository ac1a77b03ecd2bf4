#pragma once
// The gump framework's halves of the shell's entry points: the desktop's screen, the gump half
// of the frame (save-unders, drawing, presentation, restore), the per-tick cursor update, and
// the keys, characters and mouse buttons handed to the gumps. The shell calls them directly.
#include "platform/types.h"

void GumpShellCreateDesktop();
void GumpShellDrawFrame();
void GumpShellCursorUpdate();
// The keyboard focus: whether a gump has it, and a key for it.
bool GumpShellHasKeyboardFocus();
void GumpShellFocusOnKey(u32 key);
void GumpShellTypedCharacter(u32 character);
void GumpShellLeftPress(int x, int y);
void GumpShellLeftRelease(int x, int y);
void GumpShellRightPress(int x, int y);
void GumpShellRightRelease(int x, int y);
// A gump of a kind of its own (5000 options, 5010 overview map).
void GumpShellOpenGump(int kind);
