#pragma once
// The protocol's services as the main loop reaches them: the local link of the built-in
// client, made at start-up, served on every pass and destroyed with every other socket at
// shutdown; the world tick's packets to every player; the world's name. The start-up texts
// are not built yet (NetServices' own answer: nothing happens).
#include <string>

#include "server/net/net_services.h"
#include "server/net/socket.h"

class LocalConnectionServices : public NetServices {
public:
    void NoteServerPhase(const char* phase) override;
    void CreateLocalUserSock() override;
    // The local link's socket for this pass. A socket marked for closing is reaped first (its
    // player logged out, both directions of its session closed), and when the client has
    // reopened the link since, a fresh socket (0xBEEF, 127.0.0.1, not logged in) serves it.
    CUserSock* LocalUserSock() override;
    void DestroyAllSockets() override;
    // To every live player, each connection its own copy; a packet longer than the protocol
    // allows goes nowhere.
    void SendToAll(const u8* packet, int length) override;
    // The world load names the world (at most 127 characters kept; logged under "name");
    // "Unknown?" until it does.
    void SetWorldName(const char* name) override;
    const char* GetWorldName() override { return worldName_.c_str(); }

private:
    std::string worldName_ = "Unknown?";
};
