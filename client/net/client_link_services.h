#pragma once
// The connection entry points of the client shell, backed by the client's link: the
// connection is made at start-up, polled once per pass of the main loop and deleted at
// shutdown; the keep-alive is packet 0x73.
#include <memory>

#include "client/app/client_subsystem_services.h"
#include "client/net/client_login_hooks.h"

class ClientLink;

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

class ClientLinkServices : public ClientSubsystemServices {
public:
    ClientLinkServices();
    ~ClientLinkServices() override;

    void CreateConnection() override;
    void PollConnection() override;
    bool ConnectionCompressionOn() override;
    void SendKeepAlive(int argument) override;
    void DeleteConnection() override;

    // The link while the connection exists (between CreateConnection and DeleteConnection).
    ClientLink* Link() { return link_.get(); }

private:
    ShellLoginHooks hooks_;
    std::unique_ptr<ClientLink> link_;
};

// The running client's link, or null.
ClientLink* TheClientLink();
