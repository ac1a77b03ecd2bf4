#include "client/gumps/ingame/ingame_requests.h"

#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/world_packet_handlers.h"
#include "client/world/client_mobile.h"
#include "core/packet_writer.h"

namespace {

template <typename Build>
void SendBuilt(Build build) {
    ClientLink* link = TheClientLink();
    if (link == nullptr) return;
    u8 buffer[64];
    PacketWriter w(buffer, sizeof buffer);
    build(w);
    link->Send(w);
}

}  // namespace

void SendLookAtRequest(u32 serial) {
    SendBuilt([serial](PacketWriter& w) { BuildLookAtPacket(w, serial); });
}

void SendUseRequest(u32 serial) {
    if (ClientLink* link = TheClientLink()) link->SendUseObject(serial);
}

void SendPickUpRequest(u32 serial, u16 amount) {
    SendBuilt([serial, amount](PacketWriter& w) { BuildPickUpItemPacket(w, serial, amount); });
}

void SendStatusRequest(u8 type, u32 serial) {
    if (ClientLink* link = TheClientLink()) link->SendStatusRequest(type, serial);
}

void SendRenameRequest(u32 serial, const std::string& name) {
    SendBuilt([serial, &name](PacketWriter& w) { BuildRenamePacket(w, serial, name); });
}

void SendWarModeToggle() {
    ClientLink* link = TheClientLink();
    if (link == nullptr) return;
    const CClientPlayer* player = ThePlayer();
    const u8 wanted = player != nullptr && player->warMode ? 0 : 1;
    const u8* style = link->WorldHandlers().warModeBytes;
    SendBuilt([wanted, style](PacketWriter& w) { BuildWarModeRequestPacket(w, wanted, style); });
}
