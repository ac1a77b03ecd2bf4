// The world model's object packets as the players near the change receive them.
#include "server/net/protocol_packet_services.h"

#include <gtest/gtest.h>

#include "core/log_sink.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/net/player_world_test.h"

namespace {

class ObjectPacketTest : public PlayerWorldTest {
protected:
    void SetUp() override {
        PlayerWorldTest::SetUp();
        SetPacketServices(&real);
        near = Player("Near", 38, 20);  // 18 tiles from Ann
        far = Player("Far", 39, 20);    // 19
        Connect(near);
        Connect(far);
        Drop();
    }
    void TearDown() override {
        SetPacketServices(&packets);
        PlayerWorldTest::TearDown();
    }
    // Forgets what every client received so far.
    void Drop() {
        for (FakePlayer* p : {ann, near, far})
            Received(p);
    }
    static std::string Ids(FakePlayer* p) {
        std::vector<u8> ids;
        for (const auto& packet : Received(p))
            ids.push_back(packet[0]);
        return ToHex(ids);
    }
    ProtocolPacketServices real;
    FakePlayer* near = nullptr;
    FakePlayer* far = nullptr;
};

TEST_F(ObjectPacketTest, PlacingAndRemovingAnItemReachThePlayersWithin18Tiles) {
    CItem* stone = PlacedItem(20, 20, 0);
    const auto shown = Received(near);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0][0], 0x1A);
    EXPECT_EQ(Be32(shown[0], 3) & 0x7FFFFFFF, stone->GetSerial());
    EXPECT_EQ(Ids(ann), "1A");
    EXPECT_EQ(Ids(far), "");
    stone->RemoveFromWorld();
    EXPECT_EQ(ToHex(Received(near)[0]), "1D " + Serial(stone->GetSerial()));
    EXPECT_EQ(Ids(far), "");
}

TEST_F(ObjectPacketTest, TheRemovalOfAPlayerGoesToEveryoneElse) {
    real.SendDeleteObject(ann->GetSerial(), ann->GetLocation(), ann);
    EXPECT_EQ(Ids(ann), "");
    EXPECT_EQ(Ids(near), "1D");
}

TEST_F(ObjectPacketTest, WornItemsContainerItemsStatusAndSystemMessages) {
    CItem* hat = NewItem();
    ASSERT_TRUE(hat->EquipOn(ann, 6));
    EXPECT_EQ(Ids(near), "2E");
    EXPECT_EQ(Ids(ann), "2E 11") << "the wearer also gets its status";
    CItem* bag = PlacedItem(20, 21, 0, kBag);
    Drop();
    CItem* coin = NewItem();
    ASSERT_TRUE(coin->AddToContainer(bag, Location(5, 6, 0)));
    EXPECT_EQ(Ids(near), "25");
    EXPECT_EQ(Ids(far), "");

    Drop();
    real.SendSystemMessage(ann, "No Duplicate Id's found.");
    const auto told = Received(ann);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(ToHex({told[0].begin(), told[0].begin() + 14}),
              "1C 00 45 FF FF FF FF FF FF 06 03 B2 00 03");
    EXPECT_EQ(Ids(near), "");
}

TEST_F(ObjectPacketTest, TheStaticsChangeLogIsNotBuiltAndSaysSo) {
    LogCapture log;
    real.NoteStaticsChanged(3);
    real.NoteStaticsChanged(4);
    EXPECT_LE(log.FromSource("protocol").size(), 1u);
    EXPECT_EQ(Ids(ann), "");
}

}  // namespace
