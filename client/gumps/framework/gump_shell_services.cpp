#include "client/gumps/framework/gump_shell_services.h"

#include "client/data/back_buffer.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
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
    cursor.MoveTo(x, y);
    cursor.TickHover();
}
