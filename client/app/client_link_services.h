#pragma once
// The client shell's connection, backed by the client's link: made at start-up, polled once
// per pass of the main loop and deleted at shutdown; the keep-alive is packet 0x73. The
// running client's subsystem entry points answer through it (client_services.cpp).
#include <memory>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"

// The hooks of the running client: its window title, the stored hardware profile, the
// in-world and in-game flags of CClientApp, the quit message and the desktop at login.
class ShellLoginHooks : public ClientLoginHooks {
public:
    void SetWindowTitle(const std::string& text) override;
    bool HardwareProfileChanged(const HardwareProfile& fresh) override;
    void QuitClient() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void SetInWorld(bool on) override;
    void SetInGame(bool on) override;
    void EnterWorld(const EnterWorldInfo& info) override;
    void ServerChange(const u16 bounds[4], u8 map) override;
    // The entry's end (0x55): the macros read again, the speech line's text refreshed, every
    // window but the world view and the typing line closed, and the windows the character
    // had open last time (its saved desktop) opened again.
    void FinishLogin(int chosenSlot) override;
    // The server's own step of the player (0x97) goes to the walk queue.
    void ServerStep(u8 direction) override;
    // A tip or notice (0xA6) opens the tips window.
    void ShowTip(int kind, u32 number, const std::string& text) override;
};

class ClientLinkServices {
public:
    ClientLinkServices();
    ~ClientLinkServices();
    ClientLinkServices(const ClientLinkServices&) = delete;
    ClientLinkServices& operator=(const ClientLinkServices&) = delete;

    void CreateConnection();
    void PollConnection();
    bool ConnectionCompressionOn();
    void SendKeepAlive(int argument);
    void DeleteConnection();

    // The link while the connection exists (between CreateConnection and DeleteConnection).
    ClientLink* Link() { return link_.get(); }

private:
    ShellLoginHooks hooks_;
    std::unique_ptr<ClientLink> link_;
};
