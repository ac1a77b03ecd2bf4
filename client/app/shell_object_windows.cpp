#include "client/app/shell_object_windows.h"

#include "client/app/client_app.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/world/client_world.h"

void ShellObjectWindows::OpenGump(u32 object, int gumpId, bool container) {
    TheGumpDesktop().OpenGump(object, gumpId, nullptr, container);
}

void ShellObjectWindows::CloseRadar() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.radarGump != nullptr) desktop.Close(desktop.radarGump);
}

void ShellObjectWindows::ShowTargetCursor(bool on) {
    CClientApp* app = CClientApp::Instance();
    if (app == nullptr) return;
    if (on)
        app->BeginTargeting();
    else
        app->EndTargeting();
}

bool ShellObjectWindows::IsIgnored(u32 serial) {
    const CClientApp* app = CClientApp::Instance();
    return app != nullptr && app->IsIgnored(serial);
}
