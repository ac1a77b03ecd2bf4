#pragma once
// The world model's object packets built and sent for real: each goes to the players within
// 18 tiles of the place through the player registry, a player's status and system messages
// to that player.
#include "server/net/object_packets.h"
#include "server/net/packet_services.h"

// The radius the world's object packets reach.
inline constexpr int kObjectPacketRadius = 18;

// What the object packets list that the world model does not count yet: resource units and
// spellbook entries say once in the log that they are not built yet and answer 0; no item is
// a multi yet.
class WorldItemPacketValues : public ItemPacketValues {
public:
    int ResourceUnits(const CItem& item) const override;
    int SpellbookEntry(const CItem& item) const override;
    int MultiType(const CItem& item) const override;
};

class ProtocolPacketServices : public PacketServices {
public:
    void SendObjectInfo(CItem* item, const Location& at) override;
    void SendDeleteObject(u32 serial, const Location& at, CPlayer* except) override;
    void SendWornItem(CItem* item, CMobile* wearer, int layer) override;
    void SendContainerItem(CItem* item, const Location& at) override;
    void SendCorpseEquipment(CItem* corpse, const Location& at) override;
    void SendContainerContents(CItem* container, const Location& at) override;
    void SendPlayerStatus(CPlayer* player) override;
    void SendSystemMessage(CPlayer* player, const char* text) override;
    // The world-data change log comes with the world-editing tools: says so once.
    void NoteStaticsChanged(int cell) override;

private:
    WorldItemPacketValues values_;
};
