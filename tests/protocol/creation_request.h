#pragma once
// A character creation as the client sends it, and the check that the server's registry got
// every one of its values; the empty character list and the log-out the login tests share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "core/packet_writer.h"
#include "server/net/socket.h"
#include "server/world/player_registry.h"
#include "tests/protocol/tester_creation.h"
#include "tests/server/net/net_test_support.h"

// The registry's copy of the request: the client's values, the configured start place (x and
// y 0xFFFF), the slot as character key and the client's address as account key.
inline void ExpectCreatedAsSent(const NewCharacter& n, const CreateCharacterRequest& c) {
    EXPECT_EQ(n.x, 0xFFFF);
    EXPECT_EQ(n.y, 0xFFFF);
    EXPECT_EQ(n.z, 0);
    EXPECT_EQ(n.name, c.name);
    EXPECT_EQ(n.password, c.password);
    EXPECT_EQ(n.sex, c.sex);
    EXPECT_EQ(n.strength, c.strength);
    EXPECT_EQ(n.dexterity, c.dexterity);
    EXPECT_EQ(n.intelligence, c.intelligence);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(n.skill[i], c.skills[i]);
        EXPECT_EQ(n.skillValue[i], c.skillValues[i]);
    }
    EXPECT_EQ(n.skinHue, c.skinHue);
    EXPECT_EQ(n.hairStyle, c.hairStyle);
    EXPECT_EQ(n.hairHue, c.hairHue);
    EXPECT_EQ(n.beardStyle, c.beardStyle);
    EXPECT_EQ(n.beardHue, c.beardHue);
    EXPECT_EQ(n.characterKey, c.slot);
    EXPECT_EQ(n.accountKey, kLocalPeerAddress);
}

// The server's 0x81 to an account without characters: the one server and start place.
inline std::vector<u8> EmptyCharacterList() {
    std::vector<u8> expected = FromHex("81 01 83 00 CD");
    expected.resize(expected.size() + 300, 0);
    auto text = [&](const char* t, size_t width) {
        const std::string s(t);
        for (size_t i = 0; i < width; ++i)
            expected.push_back(i < s.size() ? u8(s[i]) : 0);
    };
    expected.push_back(1);
    expected.push_back(0);
    text("Sorvenmar", 16);
    expected.push_back(1);
    expected.push_back(0);
    text("Vessholm", 31);
    text("Copper Kettle", 31);
    return expected;
}

// The client logs out: sends 0x01, hands it on and closes its side of the link.
inline void SendLogOutAndClose(ClientLink& link) {
    u8 bytes[5];
    PacketWriter bye(bytes, sizeof bytes);
    BuildDisconnectPacket(bye);
    link.Send(bye);
    link.Poll();
    link.CloseConnection();
}
