// The world entry as the client sees it: the packets it reads from the link, in order, with
// the entry's other steps in between, and an entry that stops when a script of the player's
// placement deletes the player.
#include "server/net/world_entry.h"

#include <gtest/gtest.h>

#include "core/byte_order.h"
#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "server/net/local_connection.h"
#include "server/world/packet_services.h"
#include "tests/server/net/net_test_support.h"

namespace {

class WorldEntryTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        saved_ = SetProtocolWorldServices(&world);
        world.onStep = [this](const std::string& step) { Note(step); };
        shown.test = this;
    }
    void TearDown() override {
        SetPacketServices(nullptr);
        SetProtocolWorldServices(saved_);
        LinkTest::TearDown();
    }
    // What the client has received so far goes into the trace as packet ids, then the step.
    void Note(const std::string& step) {
        Drain();
        trace.push_back(step);
    }
    void Drain() {
        if (LocalUserSock) LocalUserSock->FlushSendQueue();
        for (const auto& packet : SplitPackets(ClientReads())) {
            packets.push_back(packet);
            trace.push_back(ToHex({packet[0]}));
        }
    }

    // A player whose placement and showing go into the trace.
    class TracedPlayer : public FakePlayer {
    public:
        TracedPlayer(WorldEntryTest& test) : FakePlayer("Ann"), test_(test) {}
        void EnterWorld(PlayerConnection* connection) override {
            test_.Note("place");
            FakePlayer::EnterWorld(connection);
            if (deleteOnPlacement) test_.doomed.reset();
        }
        bool deleteOnPlacement = false;

    private:
        WorldEntryTest& test_;
    };

    // Installed, the entering player shown to a player near goes into the trace as
    // "shown to NAME".
    struct ShownPackets : PacketServices {
        WorldEntryTest* test = nullptr;
        void SendObjectTo(CPlayer* viewer, CItem*, bool) override {
            test->Note(std::string("shown to ") + viewer->GetRealName());
        }
    };

    RecordingProtocolWorld world;
    ShownPackets shown;
    std::vector<std::string> trace;
    std::vector<std::vector<u8>> packets;
    std::unique_ptr<TracedPlayer> doomed;

private:
    ProtocolWorldServices* saved_ = nullptr;
};

TEST_F(WorldEntryTest, TheStepsRunInOrderAndTheClientReadsTheirPackets) {
    SetPacketServices(&shown);
    TracedPlayer ann(*this);
    ann.SetLocationField(Location(100, 200, 5));
    ann.SetWarModeBytes({1, 0x22, 0x33, 0x44});
    registry.Add("Bo")->SetLocationField(Location(118, 182, 0));  // 18 tiles: shown
    registry.Add("Cy")->SetLocationField(Location(119, 200, 0));  // 19 tiles: not
    CUserSock* s = CreateLocalUserSock();
    LinkPlayerToSocket(&ann, s);
    EnterWorld(ann, *s);
    Drain();

    // Bo is shown Ann through the packet services; Ann's own client gets her full description
    // (0x78 with what she wears), never only the bare 0x20.
    EXPECT_EQ(trace,
              (std::vector<std::string>{"1B", "place", "held", "72", "shown to Bo", "78", "trades",
                                        "55", "guard zone", "combat target", "65", "5B"}));
    EXPECT_TRUE(ann.HasGodRights());
    EXPECT_EQ(s->loggedIn, 1u);
    ASSERT_EQ(packets.size(), 6u);

    // Each packet read back by the protocol's reader.
    PacketReader confirm(packets[0].data(), packets[0].size(), PacketHeaderSize(0x1B));
    u32 serial = 0;
    u32 unused = 0;
    u16 body = 0, x = 0, y = 0, z = 0;
    u8 facing = 0;
    confirm.ReadLong(serial);
    confirm.ReadLong(unused);
    confirm.ReadShort(body);
    confirm.ReadShort(x);
    confirm.ReadShort(y);
    confirm.ReadShort(z);
    confirm.ReadByte(facing);
    ASSERT_TRUE(confirm.Ok());
    EXPECT_EQ(serial, ann.GetSerial());
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(z, 5);
    EXPECT_EQ(facing, 2);
    EXPECT_EQ(packets[0].size(), 37u);
    EXPECT_EQ(ToHex(packets[1]), "72 01 22 33 44") << "the stored war-mode bytes";
    PacketReader own(packets[2].data(), packets[2].size(), PacketHeaderSize(0x78));
    u32 ownSerial = 0, endOfList = 1;
    u16 ownBody = 0, ownX = 0, ownY = 0;
    own.ReadLong(ownSerial);
    own.ReadShort(ownBody);
    own.ReadShort(ownX);
    own.ReadShort(ownY);
    own.Skip(6);
    own.ReadLong(endOfList);
    ASSERT_TRUE(own.Ok());
    EXPECT_EQ(ownSerial, ann.GetSerial());
    EXPECT_EQ(ownX, 100);
    EXPECT_EQ(ownY, 200);
    EXPECT_EQ(endOfList, 0u) << "Ann wears nothing";
    EXPECT_EQ(ToHex(packets[3]), "55");
    EXPECT_EQ(ToHex(packets[4]), "65 FE 02 1E") << "season 2, temperature 30";
    EXPECT_EQ(ToHex(packets[5]), "5B 0C 1E 07");
    UnlinkPlayer(s);
}

TEST_F(WorldEntryTest, ThroughThePlayRequestTheClientReadsTheEntryAfterTheLogin) {
    world.onStep = nullptr;
    registry.Add("Ann");
    CreateLocalUserSock();
    ClientSends(Packet(0x5D, 0, "Ann"));
    ServerPass();
    EXPECT_EQ(PacketIds(ClientReads()), "1B 72 78 55 65 5B");
    EXPECT_EQ(LocalUserSock->loggedIn, 1u);
}

TEST_F(WorldEntryTest, APlayerDeletedByItsPlacementGetsNothingMore) {
    doomed = std::make_unique<TracedPlayer>(*this);
    doomed->deleteOnPlacement = true;
    CUserSock* s = CreateLocalUserSock();
    LinkPlayerToSocket(doomed.get(), s);
    TracedPlayer& player = *doomed;
    EnterWorld(player, *s);
    Drain();
    EXPECT_EQ(trace, (std::vector<std::string>{"1B", "place"}));
    EXPECT_EQ(s->player, nullptr);
}

}  // namespace
