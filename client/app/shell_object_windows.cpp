#include "client/app/shell_object_windows.h"

#include "client/app/client_app.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/windows/sign_gump.h"
#include "client/world/client_world.h"

void ShellObjectWindows::OpenGump(u32 object, int gumpId, bool container) {
    TheGumpDesktop().OpenGump(object, gumpId, nullptr, container);
}

void ShellObjectWindows::CloseRadar() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.radarGump != nullptr) desktop.Close(desktop.radarGump);
}

bool ShellObjectWindows::SignWindowOpen(u32 object) {
    for (const CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (g->IsKind(GumpKind::kSign) && g->object == object) return true;
    return false;
}

void ShellObjectWindows::OpenSign(u32 object, u16 art, const std::string& title,
                                  const std::string& text) {
    TheGumpDesktop().Open<CSignGump>(100, 100, int(art), title, text, object);
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

// The paperdoll packet (0x88): the open paperdoll is raised, or a new one opens.
bool ShellObjectWindows::RaisePaperdoll(u32 mobile) {
    return ::RaisePaperdoll(mobile) != nullptr;
}

void ShellObjectWindows::OpenPaperdoll(u32 mobile, bool, const std::string& text, u8 flag) {
    ::OpenPaperdoll(mobile, text, flag);
}
