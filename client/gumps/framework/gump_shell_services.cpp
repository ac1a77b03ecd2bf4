#include "client/gumps/framework/gump_shell_services.h"

#include "client/data/back_buffer.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/world/client_mobile.h"
#include "platform/window_backend.h"

void GumpShellCreateDesktop() {
    CreateBackBuffer();
    // The ring offset is the world view's own.
    TheGumpDesktop().SetScreen(BackBufferPixels());
}

void GumpShellDrawFrame() {
    // The back buffer may have been made again since the last frame.
    GumpShellCreateDesktop();
    TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
}

void GumpShellCursorUpdate() {
    int x = 0, y = 0;
    platform::Backend().PointerPosition(x, y);
    CursorManager& cursor = TheCursorManager();
    // The shapes follow the player's mode; the timer reads it from here.
    const CClientPlayer* player = ThePlayer();
    cursor.SetPeace(player == nullptr || player->warMode == 0);
    cursor.MoveTo(x, y);
    cursor.TickHover();
}

bool GumpShellHasKeyboardFocus() {
    return TheGumpDesktop().keyboardFocus != nullptr;
}

void GumpShellFocusOnKey(u32 key) {
    if (CGump* focus = TheGumpDesktop().keyboardFocus) focus->OnKey(key);
}

void GumpShellTypedCharacter(u32 character) {
    TheGumpDesktop().TypedCharacter(character);
}

void GumpShellLeftPress(int x, int y) {
    TheCursorManager().OnLeftDown(x, y);
}

void GumpShellLeftRelease(int x, int y) {
    TheCursorManager().OnLeftUp(x, y);
}

void GumpShellRightPress(int x, int y) {
    TheCursorManager().OnRightDown(x, y);
}

void GumpShellRightRelease(int x, int y) {
    TheCursorManager().OnRightUp(x, y);
}

void GumpShellOpenGump(int kind) {
    TheGumpDesktop().OpenGump(0, kind, nullptr, false);
}
