#pragma once
// The handlers that keep the client's model of the nearby world in step with the server:
// items and mobiles coming, changing and going, worn items, corpse equipment, deaths, the
// player's own update and death state, war mode, the attack target, swings and the player's
// target-object field.
#include <cstddef>

#include "client/world/world_view_frame.h"  // DeathFadeStep, which the death notice starts
#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class WorldPacketHandlers {
public:
    // A fresh link has seen no fighting yet.
    explicit WorldPacketHandlers(ClientLink& link);
    void Install(ServerPacketDispatcher& dispatcher);

    void OnObjectInfo(const u8* packet, size_t length);       // 0x1A
    void OnDeleteObject(const u8* packet, size_t length);     // 0x1D
    void OnPlayerUpdate(const u8* packet, size_t length);     // 0x20
    void OnMobileUpdate(const u8* packet, size_t length);     // 0x77
    void OnMobileIncoming(const u8* packet, size_t length);   // 0x78
    void OnWornItem(const u8* packet, size_t length);         // 0x2E
    void OnCorpseEquipment(const u8* packet, size_t length);  // 0x89
    void OnMobileDeath(const u8* packet, size_t length);      // 0xAF
    void OnDeathStatus(const u8* packet, size_t length);      // 0x2C
    void OnWarMode(const u8* packet, size_t length);          // 0x72
    void OnAttackTarget(const u8* packet, size_t length);     // 0xAA
    void OnSwing(const u8* packet, size_t length);            // 0x2F
    void OnPacket30(const u8* packet, size_t length);         // 0x30
    void OnPacket31(const u8* packet, size_t length);         // 0x31

    u8 warModeBytes[3] = {};

private:
    ClientLink& link_;
};
