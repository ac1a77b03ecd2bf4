// The senders that pick their receivers through the player grid: near either of two places,
// near any of a list, in range and in sight.
#include "server/net/packet_senders.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "server/net/object_packets.h"
#include "tests/server/player/player_walk_support.h"

namespace {

class PacketSendersTest : public WalkWorldTest {
protected:
    void SetUp() override {
        WalkWorldTest::SetUp();
        // Four cells of the player grid each way.
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 256, 256), 0);
    }
    // A removal packet to send around.
    struct Packet {
        u8 buffer[kDeleteObjectLength];
        PacketWriter w{buffer, sizeof buffer};
        Packet() { BuildDeleteObjectPacket(w, 0x1234); }
    };
    // Who of the players received the packet (and forgets what they received).
    std::vector<u32> Receivers() {
        std::vector<u32> out;
        for (CPlayer* p : players)
            if (!Got(p).Of(0x1D).empty()) out.push_back(p->GetSerial());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(PacketSendersTest, SendersPickTheirReceiversThroughThePlayerGrid) {
    CPlayer* a = NewPlayer(100, 100);
    CPlayer* b = NewPlayer(110, 100);  // near both places
    CPlayer* c = NewPlayer(125, 100);  // near the second place only
    CPlayer* d = NewPlayer(180, 180);  // far from both
    Packet packet;

    // Near either place, each once, without the excluded one.
    SendPacketToRangeOfEither(packet.w, Location(100, 100, 0), Location(118, 100, 0), 10, a);
    EXPECT_EQ(Receivers(), Serials({b, c}));

    // Near any of a list of places (no wrap).
    SendPacketToNearAnyOf(packet.w, {Location(100, 95, 0), Location(185, 185, 0)}, 5);
    EXPECT_EQ(Receivers(), Serials({a, d}));

    // In range and in sight: a wall between c and the place hides it from c.
    PlacedItem(120, 100, 0, kWall);
    DropAll();
    SendPacketToPlayersInSight(packet.w, Location(115, 100, 0), 18);
    EXPECT_EQ(Receivers(), Serials({a, b}));
}

}  // namespace
