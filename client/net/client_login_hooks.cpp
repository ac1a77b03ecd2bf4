#include "client/net/client_login_hooks.h"

#include "client/net/link_report.h"

void ClientLoginHooks::Record(const std::string& call) {
    calls.push_back(call);
}

void ClientLoginHooks::SetWindowTitle(const std::string& text) {
    title = text;
    Record("SetWindowTitle " + text);
}

bool ClientLoginHooks::HardwareProfileChanged(const HardwareProfile&) {
    Record("HardwareProfileChanged");
    return false;
}

void ClientLoginHooks::QuitClient() {
    Record("QuitClient");
}

void ClientLoginHooks::ShowMessage(const std::string& text, const std::string& caption) {
    Record("ShowMessage " + caption + ": " + text);
}

void ClientLoginHooks::EnterWorld(const EnterWorldInfo& info) {
    ReportLinkOnce("The client world's steps of entering the world are not built yet.");
    Record("EnterWorld " + std::to_string(info.serial) + " " + std::to_string(info.x) + " " +
           std::to_string(info.y) + " " + std::to_string(info.z));
}

void ClientLoginHooks::ServerChange(const u16 bounds[4], u8 map) {
    ReportLinkOnce("The client map's server change is not built yet.");
    Record("ServerChange " + std::to_string(bounds[2]) + "x" + std::to_string(bounds[3]) + " " +
           std::to_string(map));
}

void ClientLoginHooks::SetInWorld(bool on) {
    inWorld = on;
    Record(on ? "SetInWorld 1" : "SetInWorld 0");
}

void ClientLoginHooks::SetInGame(bool on) {
    inGame = on;
    Record(on ? "SetInGame 1" : "SetInGame 0");
}

void ClientLoginHooks::FinishLogin(int chosenSlot) {
    ReportLinkOnce("Macros, gump clean-up and the saved desktop at login are not built yet.");
    Record("FinishLogin " + std::to_string(chosenSlot));
}

void ClientLoginHooks::OpenUrl(const std::string& url) {
    ReportLinkOnce("The web browser launch is not built yet.");
    Record("OpenUrl " + url);
}

void ClientLoginHooks::ShowTip(int kind, u32 number, const std::string& text) {
    ReportLinkOnce("The tips window is not built yet.");
    Record("ShowTip " + std::to_string(kind) + " " + std::to_string(number) + " " + text);
}

void ClientLoginHooks::ServerStep(u8 direction) {
    ReportLinkOnce("The walk queue is not built yet.");
    Record("ServerStep " + std::to_string(direction));
}
