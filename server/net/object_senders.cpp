#include "server/net/object_senders.h"

#include "core/packet_writer.h"
#include "server/net/container_packets.h"
#include "server/net/object_packets.h"
#include "server/net/packet_senders.h"
#include "server/net/world_packet_values.h"
#include "server/world/container.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"

void SendObjectTo(CPlayer& viewer, CItem& object, bool full) {
    if (!object.IsShownAlone()) return;
    if (CMobile* mobile = object.AsMobile()) {
        GetPacketServices().SendMobile(&viewer, mobile, full);
        return;
    }
    CItem* holder = object.GetContainer();
    if (!holder) {
        u8 buffer[kMaxObjectInfoLength];
        PacketWriter w(buffer, sizeof buffer);
        BuildObjectInfoPacket(w, object, GetWorldItemPacketValues());
        SendPacketToPlayer(&viewer, w);
        return;
    }
    if (const CMobile* wearer = holder->AsMobile()) {
        const int layer = object.GetEquipLayer();
        if (layer < 0) return;
        u8 buffer[kWornItemLength];
        PacketWriter w(buffer, sizeof buffer);
        BuildWornItemPacket(w, object, *wearer, layer);
        SendPacketToPlayer(&viewer, w);
        return;
    }
    if (const CContainer* container = holder->AsContainer()) {
        u8 buffer[kContainerItemLength];
        PacketWriter w(buffer, sizeof buffer);
        BuildContainerItemPacket(w, object, *container, GetWorldItemPacketValues());
        SendPacketToPlayer(&viewer, w);
    }
}

void SendObjectToPlayers(const std::vector<CPlayer*>& viewers, CItem& object, bool full) {
    for (CPlayer* viewer : viewers)
        if (viewer) SendObjectTo(*viewer, object, full);
}

void SendMobileIncoming(CPlayer& viewer, const CMobile& mobile) {
    u8 buffer[kMaxMobileIncomingLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildMobileIncomingPacket(w, mobile, mobile.GetDirection(), mobile.GetNotorietyFor(&viewer));
    SendPacketToPlayer(&viewer, w);
}

void SendPlayerUpdate(CPlayer& player) {
    BuildAndSendToPlayer<kPlayerUpdateLength>(player, [&](PacketWriter& w) {
        BuildPlayerUpdatePacket(w, player, player.GetDirection());
    });
}

void SendRemovalToPlayers(const std::vector<CPlayer*>& players, u32 serial) {
    if (players.empty()) return;
    u8 buffer[kDeleteObjectLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildDeleteObjectPacket(w, serial);
    SendPacketToPlayers(players, w);
}
