#include "server/net/effect_packets.h"

#include <gtest/gtest.h>

#include "packet_test_support.h"
#include "server/net/net_services.h"

namespace {

TEST(EffectPackets, ConnectionSignalsAndTheGameClock) {
    struct Case {
        const char* name;
        std::function<bool(PacketWriter&)> build;
        const char* expected;
    };
    const Case cases[] = {
        {"god mode on", [](PacketWriter& w) { return BuildGodModePacket(w, true); }, "2B 01"},
        {"god mode off", [](PacketWriter& w) { return BuildGodModePacket(w, false); }, "2B 00"},
        {"world entry complete", [](PacketWriter& w) { return BuildLoginCompletePacket(w); }, "55"},
        {"12:30, pulse 7", [](PacketWriter& w) { return BuildTimePacket(w, 12, 30, 7); },
         "5B 0C 1E 07"},
        {"edit refresh", [](PacketWriter& w) { return BuildEditRefreshPacket(w); }, "5C 00"},
        {"war mode", [](PacketWriter& w) { return BuildWarModePacket(w, 1, 0, 0x32, 0); },
         "72 01 00 32 00"},
        {"friend online", [](PacketWriter& w) { return BuildFriendStatusPacket(w, 3, true); },
         "6A 03 01"},
    };
    for (const Case& c : cases) {
        BuiltPacket p;
        ASSERT_TRUE(c.build(p.w)) << c.name;
        EXPECT_EQ(p.Bytes(), Hex(c.expected)) << c.name;
    }
}

TEST(EffectPackets, TheWorldTicksTimePacketIsBuiltByTheTimeBuilder) {
    NetServices plain;
    u8 packet[kTimePacketLength];
    ASSERT_EQ(plain.BuildTimePacket(packet, 23, 59, 19), kTimePacketLength);
    EXPECT_EQ(std::vector<u8>(packet, packet + 4), Hex("5B 17 3B 13"));
}

TEST(EffectPackets, SoundIdsAreCutTo16BitsAndZIsSignExtended) {
    BuiltPacket p;
    ASSERT_TRUE(BuildSoundPacket(p.w, kSoundAtPlace, 0x10234, 7, Location(300, 400, -3)));
    EXPECT_EQ(p.Bytes(), Hex("54 01 02 34 00 07 01 2C 01 90 FF FD"));
}

TEST(EffectPackets, FriendListKinds) {
    const std::vector<FriendEntry> entries = {
        {true, "Ayla", 0x10, true}, {false, "Gone", 0x11, true}, {true, "Brom", 0x12, false}};
    struct Case {
        int kind;
        std::vector<u8> expected;
    };
    const Case cases[] = {
        {0, Hex("69 00 05 00 00")},
        {1, Concat({Hex("69 00 1C 01 03"), Text("Ayla"), Hex("00 00 00 00 10 00 00 00 00 11"),
                    Text("Brom"), Hex("00 00 00 00 12")})},
        {3, Hex("69 00 08 03 03 01 00 00")},
    };
    for (const Case& c : cases) {
        BuiltPacket p;
        ASSERT_TRUE(BuildFriendListPacket(p.w, c.kind, entries));
        EXPECT_EQ(p.Bytes(), c.expected) << c.kind;
    }
}

}  // namespace
