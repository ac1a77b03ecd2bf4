#include "client/app/client_link_services.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/main_window.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/ingame/tips_gump.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/walk_queue.h"
#include "core/packet_writer.h"

void ShellLoginHooks::SetWindowTitle(const std::string& text) {
    ClientLoginHooks::SetWindowTitle(text);
    SetClientWindowTitle(text.c_str());
}

bool ShellLoginHooks::HardwareProfileChanged(const HardwareProfile& fresh) {
    return ::HardwareProfileChanged(HardwareProfilePath(), fresh);
}

void ShellLoginHooks::QuitClient() {
    ClientLoginHooks::QuitClient();
    TheMainWindow().PostQuit(0);
}

void ShellLoginHooks::ShowMessage(const std::string& text, const std::string& caption) {
    ClientLoginHooks::ShowMessage(text, caption);
    ShowMessageBox(text, caption, false);
}

void ShellLoginHooks::SetInWorld(bool on) {
    ClientLoginHooks::SetInWorld(on);
    if (CClientApp* app = CClientApp::Instance()) app->inWorld = on;
}

void ShellLoginHooks::SetInGame(bool on) {
    ClientLoginHooks::SetInGame(on);
    if (CClientApp* app = CClientApp::Instance()) app->inGame = on;
}

void ShellLoginHooks::EnterWorld(const EnterWorldInfo& info) {
    CClientMap& map = TheClientMap();
    for (int i = 0; i < 4; ++i)
        map.area[i] = info.bounds[i];
    TheClientWorld().EnterWorld(info.serial, info.body, s16(info.x), s16(info.y), s16(info.z),
                                info.direction, info.map);
}

void ShellLoginHooks::FinishLogin(int chosenSlot) {
    Record("FinishLogin " + std::to_string(chosenSlot));
    GetClientSubsystemServices().ReadMacros();
    GetGumpHostServices().RefreshSpeechLineBark();
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.DeleteNonWorldGumps();
    desktop.RestoreDesktop();
}

void ShellLoginHooks::ServerChange(const u16 bounds[4], u8 map) {
    CClientMap& m = TheClientMap();
    for (int i = 0; i < 4; ++i)
        m.area[i] = bounds[i];
    m.Recenter(-1, -1, -1, map);
}

void ShellLoginHooks::ServerStep(u8 direction) {
    TheWalkQueue().ServerStep(direction);
}

// --- The tips window ---------------------------------------------------------------------------

void ShellLoginHooks::ShowTip(int kind, u32, const std::string& text) {
    ClientLink* link = TheClientLink();
    if (link == nullptr) return;
    TipsLink tips;
    tips.requestTip = [](u8 direction) {
        ClientLink* l = TheClientLink();
        if (l == nullptr) return;
        u8 buffer[8];
        PacketWriter w(buffer, sizeof buffer);
        BuildTipRequestPacket(w, u16(l->state.lastTip), direction);
        l->Send(w);
    };
    tips.setShowTips = [](bool on) {
        if (ClientLink* l = TheClientLink()) l->state.showTips = on;
    };
    TheGumpDesktop().Open<CTipsGump>(CTipsGump::LinesOf(text), kind == 0, link->state.showTips,
                                     std::move(tips));
}

ClientLinkServices::ClientLinkServices() = default;

ClientLinkServices::~ClientLinkServices() {
    DeleteConnection();
}

void ClientLinkServices::CreateConnection() {
    link_.reset(new ClientLink(nullptr, &hooks_));
    SetTheClientLink(link_.get());
    if (CClientApp* app = CClientApp::Instance()) {
        const ClientOptions& o = app->options;
        ClientStateRecord& s = link_->state;
        s.accountName = o.acctId;
        s.accountLastName = o.acctLastName;
        s.accountPassword = o.acctPassword;
        s.nextLoginKey = o.nextLoginKey;
        s.playerName = app->playerName;
        s.playerPassword = o.password;
        s.showTips = o.showTips;
        s.lastTip = o.lastTip;
        s.currentVer = o.currentVer;
        link_->loginServerCount = int(o.loginServers.size());
        app->connection = &link_->Connection();
    }
}

void ClientLinkServices::PollConnection() {
    if (!link_) return;
    link_->Poll();
    if (CClientApp* app = CClientApp::Instance()) app->connection = &link_->Connection();
}

bool ClientLinkServices::ConnectionCompressionOn() {
    return link_ && link_->Stream().compression;
}

void ClientLinkServices::SendKeepAlive(int) {
    if (!link_) return;
    u8 buffer[2];
    PacketWriter w(buffer, sizeof buffer);
    BuildPingPacket(w);
    link_->Send(w);
}

void ClientLinkServices::DeleteConnection() {
    if (CClientApp* app = CClientApp::Instance()) app->connection = nullptr;
    if (TheClientLink() == link_.get()) SetTheClientLink(nullptr);
    link_.reset();
}
