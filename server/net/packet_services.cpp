#include "server/net/packet_services.h"

void PacketServices::SendObjectInfo(CItem*, const Location&) {}
void PacketServices::SendDeleteObject(u32, const Location&, CPlayer*) {}
void PacketServices::SendWornItem(CItem*, CMobile*, int) {}
void PacketServices::SendContainerItem(CItem*, const Location&) {}
void PacketServices::SendCorpseEquipment(CItem*, const Location&) {}
void PacketServices::SendContainerContents(CItem*, const Location&) {}
void PacketServices::SendPlayerStatus(CPlayer*) {}
void PacketServices::SendSystemMessage(CPlayer*, const char*) {}
void PacketServices::NoteStaticsChanged(int) {}

namespace {
PacketServices g_noPlayers;
PacketServices* g_current = nullptr;
}  // namespace

PacketServices& Packets() {
    return g_current ? *g_current : g_noPlayers;
}

PacketServices* SetPacketServices(PacketServices* services) {
    PacketServices* previous = g_current;
    g_current = services;
    return previous;
}
