// World objects shown to players as the net side builds them: an item by where it is, a
// mobile by the viewer, nothing for an object that is not shown on its own; the world's
// report through the packet services comes out the same.
#include "server/net/object_senders.h"

#include <gtest/gtest.h>

#include "server/world/packet_services.h"
#include "tests/server/player/player_walk_support.h"
#include "server/world/npc.h"

namespace {

using ObjectSendersTest = WalkWorldTest;

TEST_F(ObjectSendersTest, AnObjectShownToOnePlayerGoesByWhereItIs) {
    CPlayer* viewer = NewPlayer(20, 20);
    CPlayer* other = NewPlayer(21, 20);
    CItem* stone = PlacedItem(22, 20, 0);
    CNPC* wearer = NewNpc(23, 20);
    CItem* hat = NewItem();
    ASSERT_TRUE(hat->EquipOn(wearer, 6));
    CItem* bag = PlacedItem(24, 20, 0, kBag);
    CItem* coin = NewItem();
    ASSERT_TRUE(coin->AddToContainer(bag, Location(5, 6, 0)));
    DropAll();
    for (CItem* object : {stone, hat, coin})
        SendObjectTo(*viewer, *object, true);
    const Received got = Got(viewer);
    ASSERT_EQ(got.Ids(), "1A 2E 25");
    EXPECT_EQ(ReadSerial(got.packets[0]), stone->GetSerial());
    EXPECT_EQ(ReadSerial(got.packets[1]), hat->GetSerial());
    EXPECT_EQ(ReadSerial(got.packets[2]), coin->GetSerial());
    EXPECT_EQ(Got(other).Ids(), "");
}

TEST_F(ObjectSendersTest, AMobileGoesByTheViewerAndAHiddenOneNotAtAll) {
    CPlayer* viewer = NewPlayer(20, 20);
    CNPC* npc = NewNpc(22, 20);
    CItem* stone = PlacedItem(23, 20, 0);
    DropAll();
    SendObjectTo(*viewer, *npc, true);
    SendObjectTo(*viewer, *npc, false);
    SendObjectTo(*viewer, *viewer, false);
    EXPECT_EQ(Got(viewer).Ids(), "78 77 20") << "in view, changed, and the viewer itself";

    // The world reports through the packet services in force; the protocol's send the same.
    GetPacketServices().SendObjectTo(viewer, stone, false);
    GetPacketServices().SendObjectTo(viewer, npc, true);
    EXPECT_EQ(Got(viewer).Ids(), "1A 78");

    // Shown through a multi, or a mobile out of the world: not sent on their own.
    stone->SetStatus(static_cast<u8>(stone->GetStatus() | kStatusShownByMulti));
    npc->RemoveFromWorldQuiet();
    SendObjectTo(*viewer, *stone, true);
    SendObjectTo(*viewer, *npc, true);
    GetPacketServices().SendObjectTo(viewer, npc, true);
    EXPECT_EQ(Got(viewer).Ids(), "");
    stone->SetStatus(static_cast<u8>(stone->GetStatus() & ~kStatusShownByMulti));
}

}  // namespace
