#include "client/app/full_screen_display.h"

#include <mutex>
#include <vector>

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/gumps/framework/cursor_manager.h"
#include "platform/window_backend.h"

FullScreenDisplay& TheFullScreenDisplay() {
    static FullScreenDisplay display;
    return display;
}

void CreateFullScreenDisplay() {
    FullScreenDisplay& d = TheFullScreenDisplay();
    if (d.active) return;
    if (!platform::Backend().SetFullScreen(true)) return;
    CClientApp* app = CClientApp::Instance();
    // The picture is shown in the back buffer's own format, so nothing needs converting.
    d.surface565 = app && app->options.use565;
    d.flipping = app && app->options.pageFlip;
    d.active = true;
}

void ReleaseFullScreenDisplay() {
    FullScreenDisplay& d = TheFullScreenDisplay();
    if (d.active) platform::Backend().SetFullScreen(false);
    d.active = false;
    d.flipping = false;
}

void PresentFrame(u16* backBuffer, u32 ringOffset) {
    std::lock_guard<std::recursive_mutex> lock(CursorOuterLock());
    CursorShellDrawIntoBackBuffer();
    if (!backBuffer) return;
    CClientApp* app = CClientApp::Instance();
    bool use565 = app && app->options.use565;
    platform::Backend().Present(backBuffer, ringOffset,
                                use565 ? platform::PixelFormat::k565 : platform::PixelFormat::k555);
    CursorShellRemoveFromBackBuffer();
}
