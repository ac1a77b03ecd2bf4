#pragma once
// The handlers of the numbers the server tells the player: the status of a mobile, its hits,
// mana and stamina, the skill list (values, one value, names) and the feature flag. They
// write the client state record and the player object and reach the status, shop and skill
// windows through the text window hooks.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class StatusPacketHandlers {
public:
    explicit StatusPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnStatus(const u8* packet, size_t length);       // 0x11
    void OnStats(const u8* packet, size_t length);        // 0x2D
    void OnHits(const u8* packet, size_t length);         // 0xA1
    void OnMana(const u8* packet, size_t length);         // 0xA2
    void OnStamina(const u8* packet, size_t length);      // 0xA3
    void OnSkills(const u8* packet, size_t length);       // 0x3A
    void OnFeatureFlag(const u8* packet, size_t length);  // 0xB9

private:
    // 0xA1-0xA3: one pair of the bars.
    void OnStatPair(const u8* packet, size_t length, u8 pair);

    ClientLink& link_;
};
