#pragma once
// The character creation the protocol tests send (client side only, so that tests holding the
// client's world can use it too).
#include <string>

#include "client/net/client_packets.h"

// Distinct values in every field, so a field read from the wrong place shows.
inline CreateCharacterRequest TesterCreation(const std::string& name = "Tester") {
    CreateCharacterRequest c;
    c.name = name;
    c.password = "secret";
    c.sex = 1;
    c.strength = 45;
    c.dexterity = 35;
    c.intelligence = 10;
    for (int i = 0; i < 3; ++i) {
        c.skills[i] = u8(25 + i);
        c.skillValues[i] = u8(50 - 10 * i);
    }
    c.skinHue = 0x83EA;
    c.hairStyle = 0x203B;
    c.hairHue = 0x044E;
    c.beardStyle = 0x203F;
    c.beardHue = 0x044F;
    c.startCity = 3;
    c.slot = 2;
    return c;
}
