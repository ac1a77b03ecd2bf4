#pragma once
// The handler of the server's group messages (0x39): a refused group, leaving a group and
// joining one show as overhead texts over the player or the new companion.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class GroupPacketHandlers {
public:
    explicit GroupPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnGroup(const u8* packet, size_t length);  // 0x39

private:
    ClientLink& link_;
};
