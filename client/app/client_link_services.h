#pragma once
// The client shell's connection, backed by the client's link: made at start-up, polled once
// per pass of the main loop and deleted at shutdown; the keep-alive is packet 0x73. The
// running client's subsystem entry points answer through it (client_services.cpp).
#include <memory>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"

// The hooks of the running client: its window title, the stored hardware profile, the
// in-world and in-game flags of CClientApp and the quit message.
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
    // The server's own step of the player (0x97) goes to the walk queue.
    void ServerStep(u8 direction) override;
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
