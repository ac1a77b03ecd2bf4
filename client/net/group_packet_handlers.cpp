#include "client/net/group_packet_handlers.h"

#include "client/net/client_link.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "core/packet_reader.h"

namespace {

constexpr u16 kGroupTextHue = 0;
constexpr u16 kGroupTextFont = 3;

void SayOver(CClientObject* object, const char* text) {
    if (object != nullptr) object->AddBark(text, kGroupTextHue, kGroupTextFont, 0);
}

}  // namespace

void GroupPacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<GroupPacketHandlers> kRows[] = {
        {0x39, &GroupPacketHandlers::OnGroup},
    };
    InstallHandlerRows(d, *this, kRows);
}

void GroupPacketHandlers::OnGroup(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 a = 0, b = 0;
    r.ReadLong(a);
    r.ReadLong(b);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientPlayer* player = ThePlayer();
    if (a == 0 && b == 0) {
        SayOver(player, "Illegal group.");
    } else if (a == 0 && b == 1) {
        SayOver(player, "Removed from group.");
    } else if (player != nullptr && a == player->serial) {
        SayOver(TheClientWorld().FindBySerial(b), "Now grouped.");
    }
}
