#include "server/world/base_object.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "server/world/placement_record.h"
#include "world_test_support.h"

namespace {

class BaseObjectTest : public WorldTest {
protected:
    CMobile* PlacedMobile(int x, int y, bool player = false) {
        CMobile* m = player ? new CPlayer : new CMobile;
        m->PlaceInWorld(Location(x, y, 0));
        return m;
    }
    std::vector<CItem*> Chain(int x, int y) {
        std::vector<CItem*> out;
        for (CItem* i = g_sectorGrid.CellAt(x, y)->objects; i; i = i->GetNextSibling()) {
            out.push_back(i);
        }
        return out;
    }
    std::vector<CItem*> Children(CItem* bag) {
        std::vector<CItem*> out;
        for (CItem* i = bag->AsContainer()->GetFirstChild(); i; i = i->GetNextSibling()) {
            out.push_back(i);
        }
        return out;
    }
    static std::string S(CItem* i) { return std::to_string(i->GetSerial()); }
};

TEST_F(BaseObjectTest, PlacingAndRemovingKeepsTheCellChainAndTellsPlayersInRange) {
    CItem* a = PlacedItem(10, 10, 0);
    CItem* b = PlacedItem(11, 12, 0);
    EXPECT_EQ(Chain(10, 10), (std::vector<CItem*>{b, a}));
    EXPECT_FALSE(a->IsDetached());
    EXPECT_TRUE(a->GetCreationLocation() == Location(10, 10, 0));
    EXPECT_EQ(packets.log, (std::vector<std::string>{"1A " + S(a), "1A " + S(b)}));
    packets.log.clear();
    b->RemoveFromWorld();
    EXPECT_EQ(Chain(10, 10), (std::vector<CItem*>{a}));
    EXPECT_TRUE(b->IsDetached());
    EXPECT_EQ(packets.log, (std::vector<std::string>{"1D " + S(b)}));
    // The quiet forms send nothing.
    packets.log.clear();
    b->PlaceInWorldQuiet(Location(12, 12, 0));
    b->RemoveFromWorldQuiet();
    EXPECT_TRUE(packets.log.empty());
    // While removal packets are switched off nothing is sent either.
    {
        ObjectSwitchGuard quiet(ObjectSwitch::kSendRemovalPackets, false);
        a->RemoveFromWorld();
    }
    EXPECT_TRUE(g_objectManager.IsOn(ObjectSwitch::kSendRemovalPackets));
    EXPECT_TRUE(packets.log.empty());
    EXPECT_TRUE(Chain(10, 10).empty());
    // The first place is kept; moving changes only loc.
    a->MoveTo(Location(30, 30, 2));
    EXPECT_TRUE(a->GetCreationLocation() == Location(10, 10, 0));
    EXPECT_TRUE(a->GetLocation() == Location(30, 30, 2));
    EXPECT_FALSE(a->MoveToChecked(Location(64, 0, 0)));
    EXPECT_TRUE(a->GetLocation() == Location(30, 30, 2));
    EXPECT_TRUE(a->MoveToChecked(Location(31, 30, 0)));
    EXPECT_EQ(Chain(31, 30), (std::vector<CItem*>{a}));
}

TEST_F(BaseObjectTest, AnItemOffTheGridIsLinkedNowhereAndRemovedCleanly) {
    CItem* a = PlacedItem(100, 100, 0);
    EXPECT_FALSE(a->IsDetached());
    EXPECT_TRUE(a->GetLocation() == Location(100, 100, 0));
    a->RemoveFromWorld();
    EXPECT_TRUE(a->IsDetached());
    // Placing twice without a removal does not tie two chains together.
    CItem* b = PlacedItem(5, 5, 0);
    b->PlaceInWorld(Location(6, 6, 0));
    EXPECT_EQ(Chain(5, 5), (std::vector<CItem*>{b}));  // same cell, linked once
    b->PlaceInWorld(Location(40, 40, 0));
    EXPECT_TRUE(Chain(5, 5).empty());
    EXPECT_EQ(Chain(40, 40), (std::vector<CItem*>{b}));
}

TEST_F(BaseObjectTest, ContainerChildListLosesItsFirstAndLastChildren) {
    CItem* bag = PlacedItem(10, 10, 0, kBag);
    CItem* a = NewItem();
    CItem* b = NewItem();
    CItem* c = NewItem();
    for (CItem* i : {a, b, c})
        ASSERT_TRUE(i->AddToContainer(bag, Location(1, 2, 0)));
    EXPECT_EQ(Children(bag), (std::vector<CItem*>{c, b, a}));
    EXPECT_TRUE(a->GetWorldLocation() == Location(10, 10, 0));
    c->RemoveFromWorld();  // the first child
    EXPECT_EQ(Children(bag), (std::vector<CItem*>{b, a}));
    a->RemoveFromWorld();  // the last child
    EXPECT_EQ(Children(bag), (std::vector<CItem*>{b}));
    b->RemoveFromWorld();
    EXPECT_TRUE(Children(bag).empty());
    // Deleting a container deletes what it holds.
    a->AddToContainer(bag, Location(-1, -1, 0));
    const u32 serialA = a->GetSerial();
    bag->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindBySerial(serialA), nullptr);
}

TEST_F(BaseObjectTest, EquippingAndTakingOffSendTriggersOnlyForLayersOneToTwentyFour) {
    CMobile* wearer = PlacedMobile(20, 20);
    struct Case {
        int layer;
        bool triggers;
        bool wornPacket;
    } cases[] = {
        {0, false, false}, {1, true, true}, {24, true, true}, {25, false, true}, {29, false, true}};
    for (const Case& c : cases) {
        triggers.calls.clear();
        packets.log.clear();
        CItem* item = NewItem();
        ASSERT_EQ(item->EquipOn(wearer, c.layer), 1) << c.layer;
        EXPECT_EQ(item->GetEquipLayer(), c.layer);
        EXPECT_EQ(wearer->GetLayer(c.layer), item);
        EXPECT_TRUE(item->GetWorldLocation() == Location(20, 20, 0));
        EXPECT_EQ(packets.log.size(), c.wornPacket ? 1u : 0u) << c.layer;
        // A taken layer refuses a second item.
        CItem* other = NewItem();
        EXPECT_FALSE(other->EquipOn(wearer, c.layer));
        item->RemoveFromWorld();
        EXPECT_EQ(wearer->GetLayer(c.layer), nullptr);
        EXPECT_EQ(item->GetEquipLayer(), -1);
        const std::vector<int> expected =
            c.triggers ? std::vector<int>{kTriggerEquip, kTriggerUnequip} : std::vector<int>{};
        EXPECT_EQ(triggers.TriggersFor(item->GetSerial()), expected) << c.layer;
        if (c.triggers) {
            EXPECT_EQ(triggers.calls[0].args.serial, wearer->GetSerial());
        }
    }
    CItem* item = NewItem();
    EXPECT_FALSE(item->EquipOn(wearer, 30));
    EXPECT_FALSE(item->EquipOn(wearer, -1));
    // Suppressed triggers and the loading flag.
    item->SetStatus(kStatusNoTriggers);
    triggers.calls.clear();
    packets.log.clear();
    {
        ObjectSwitchGuard loading(ObjectSwitch::kLoading, true);
        EXPECT_TRUE(item->EquipOn(wearer, 5));
    }
    EXPECT_TRUE(triggers.calls.empty());
    EXPECT_TRUE(packets.log.empty());
    // A mobile is never worn.
    CMobile other;
    EXPECT_FALSE(other.EquipOn(wearer, 3));
}

TEST_F(BaseObjectTest, PutInPackUsesTheFirstUsableWornContainerElseTheGround) {
    CMobile* mobile = PlacedMobile(15, 15);
    CItem* loose = NewItem();
    ASSERT_TRUE(loose->PutInPack(mobile));
    EXPECT_EQ(Chain(15, 15), (std::vector<CItem*>{loose, mobile}));
    CItem* board = g_objectManager.CreateItem(7774);  // a container that cannot be opened
    board->EquipOn(mobile, 3);
    CItem* pack = NewItem(kBag);
    pack->EquipOn(mobile, 21);
    CItem* item = NewItem();
    ASSERT_TRUE(item->PutInPack(mobile));
    EXPECT_EQ(item->GetContainer(), pack);
    EXPECT_EQ(item->GetTopMobile(), mobile);
    // A player at the top gets its status when its pack changes.
    CPlayer* player = PlacedMobile(16, 16, true)->AsPlayer();
    CItem* playerPack = NewItem(kBag);
    playerPack->EquipOn(player, 21);
    packets.log.clear();
    NewItem()->PutInPack(player);
    EXPECT_NE(std::find(packets.log.begin(), packets.log.end(), "11 " + S(player)),
              packets.log.end());
}

TEST_F(BaseObjectTest, PlacementRecordsRememberWhereAnItemWas) {
    CMobile* wearer = PlacedMobile(20, 20);
    CItem* bag = PlacedItem(21, 21, 0, kBag);
    struct Case {
        const char* name;
        std::function<CItem*()> setup;
        u32 wearerSerial;
        int layer;
        u32 containerSerial;
        Location containerLoc;
        Location lastLoc;
    };
    std::vector<Case> cases = {
        {"world", [&] { return PlacedItem(5, 6, 7); }, 0, 26, 0, Location(), Location(5, 6, 7)},
        {"container",
         [&] {
             CItem* i = NewItem();
             i->AddToContainer(bag, Location(30, 40, 0));
             return i;
         },
         0, 26, bag->GetSerial(), Location(30, 40, 0), Location(21, 21, 0)},
        {"worn",
         [&] {
             CItem* i = NewItem();
             i->EquipOn(wearer, 9);
             return i;
         },
         wearer->GetSerial(), 9, 0, Location(), Location(20, 20, 0)},
    };
    for (const Case& c : cases) {
        CItem* item = c.setup();
        EXPECT_EQ(item->GetPlacement(), nullptr) << c.name;
        item->RemoveFromWorld();
        const PlacementRecord* r = item->GetPlacement();
        ASSERT_NE(r, nullptr) << c.name;
        EXPECT_EQ(r->lastWearer, c.wearerSerial) << c.name;
        EXPECT_EQ(r->lastLayer, c.layer) << c.name;
        EXPECT_EQ(r->lastContainer, c.containerSerial) << c.name;
        EXPECT_TRUE(r->lastContainerLocation == c.containerLoc) << c.name;
        EXPECT_TRUE(r->lastLocation == c.lastLoc) << c.name;
        // Back where it was.
        EXPECT_EQ(item->ReturnToLastPlace(), 1) << c.name;
        EXPECT_FALSE(item->IsDetached());
        // Given back when placed in the world or a container; wearing keeps it.
        EXPECT_EQ(item->GetPlacement() == nullptr, c.wearerSerial == 0) << c.name;
    }
}

TEST_F(BaseObjectTest, ASecondRemovalRewritesTheOneRecord) {
    CItem* item = PlacedItem(5, 6, 7);
    item->RemoveFromWorld();
    const PlacementRecord* r = item->GetPlacement();
    item->SetLocationField(Location(8, 9, 10));
    item->RemoveFromWorld();
    EXPECT_EQ(item->GetPlacement(), r);
    EXPECT_TRUE(r->lastLocation == Location(8, 9, 10));
}

TEST_F(BaseObjectTest, LayerZeroIsRecordedOnlyWhenAskedFor) {
    CMobile* wearer = PlacedMobile(20, 20);
    CItem* item = PlacedItem(3, 4, 5);
    item->RemoveFromWorld();  // records the world place
    item->EquipOn(wearer, 0);
    item->RemoveFromWorld();  // layer 0, from layer one: the earlier place stays
    ASSERT_NE(item->GetPlacement(), nullptr);
    EXPECT_EQ(item->GetPlacement()->lastWearer, 0u);
    EXPECT_TRUE(item->GetPlacement()->lastLocation == Location(3, 4, 5));
    item->EquipOn(wearer, 0);
    item->RecordPlacement(CItem::WornLayers::kAny);
    EXPECT_EQ(item->GetPlacement()->lastWearer, wearer->GetSerial());
    EXPECT_EQ(item->GetPlacement()->lastLayer, 0);
    // A record whose places are all gone or off the grid puts nothing back.
    CItem* lost = NewItem();
    lost->SetPlacementWearer(0x4FFFFFF0);
    lost->SetPlacementContainer(0x4FFFFFF1);
    lost->SetPlacementLocation(500, 500, 0);
    EXPECT_FALSE(lost->ReturnToLastPlace());
    EXPECT_TRUE(lost->IsDetached());
    CItem* none = NewItem();
    EXPECT_FALSE(none->ReturnToLastPlace());
}

TEST_F(BaseObjectTest, PlacementPoolGrowsByBlocksAndReusesRecords) {
    // Records are never handed back to the system: the process-wide pool keeps its blocks.
    PlacementPool& pool = GetPlacementPool();
    std::vector<PlacementRecord*> taken;
    while (pool.GetFreeCount() > 0)
        taken.push_back(pool.Acquire());
    const int blocks = pool.GetBlockCount();
    PlacementRecord* first = pool.Acquire();
    EXPECT_EQ(pool.GetBlockCount(), blocks + 1);
    EXPECT_EQ(pool.GetFreeCount(), PlacementPool::kBlockSize - 1);
    for (PlacementRecord* r : taken)
        pool.Release(r);
    first->lastWearer = 7;
    pool.Release(first);
    PlacementRecord* again = pool.Acquire();
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->lastWearer, 0u);
    EXPECT_EQ(again->lastLayer, 26);
    EXPECT_TRUE(again->lastLocation.IsUnset());
}

TEST_F(BaseObjectTest, ADestroyedTriggerThatDeletesTheObjectEndsTheDeletion) {
    CItem* item = PlacedItem(8, 8, 0);
    const u32 serial = item->GetSerial();
    int destroyedSeen = 0;
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger == kTriggerDestroyed) {
            ++destroyedSeen;
            object->DeleteSelf();  // the script deletes it itself
        }
    };
    item->DeleteSelf();
    EXPECT_EQ(destroyedSeen, 1);  // the inner deletion does not send it again
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    EXPECT_TRUE(Chain(8, 8).empty());
    // A handler that refuses nothing: the object goes; suppressed triggers send nothing.
    triggers.onTrigger = nullptr;
    triggers.calls.clear();
    CItem* quiet = PlacedItem(9, 9, 0);
    quiet->SetStatus(kStatusNoTriggers);
    quiet->DeleteSelf();
    EXPECT_TRUE(triggers.calls.empty());
}

TEST_F(BaseObjectTest, AnUnequipTriggerThatDeletesTheItemLeavesItUntouched) {
    CMobile* wearer = PlacedMobile(20, 20);
    CItem* item = NewItem();
    item->EquipOn(wearer, 4);
    const u32 serial = item->GetSerial();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger == kTriggerUnequip) object->DeleteSelf();
    };
    item->RemoveFromWorld();
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    EXPECT_EQ(wearer->GetLayer(4), nullptr);
    // The deletion sent destroyed once, and no unequip again from inside the destructor.
    EXPECT_EQ(triggers.TriggersFor(serial),
              (std::vector<int>{kTriggerEquip, kTriggerUnequip, kTriggerDestroyed}));
}

TEST_F(BaseObjectTest, ContainerDeletionStopsWhenAContentScriptDeletesTheContainer) {
    CItem* bag = PlacedItem(10, 10, 0, kBag);
    CItem* child = NewItem();
    child->AddToContainer(bag, Location(1, 1, 0));
    const u32 bagSerial = bag->GetSerial();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (object == child && trigger == kTriggerDestroyed) {
            if (CItem* b = g_objectManager.FindBySerial(bagSerial)) b->DeleteSelf();
        }
    };
    bag->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindBySerial(bagSerial), nullptr);
    EXPECT_EQ(g_liveObjects.items, 0);
}

TEST_F(BaseObjectTest, ProtectedClassesRefuseDeletion) {
    CPlayer* player = PlacedMobile(5, 5, true)->AsPlayer();
    const u32 serial = player->GetSerial();
    player->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindBySerial(serial), player);
    {
        ObjectSwitchGuard allowed(ObjectSwitch::kPlayerDeleteAllowed, true);
        player->DeleteSelf();
    }
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);

    CSectorResources* holder = new CSectorResources;
    holder->PlaceInWorld(Location(8, 8, 0));
    EXPECT_FALSE(holder->MoveTo(Location(9, 9, 0)));  // stays at its home
    EXPECT_TRUE(holder->MoveTo(Location(8, 8, 0)));
    EXPECT_FALSE(holder->EquipOn(nullptr, 1));
    const u32 holderSerial = holder->GetSerial();
    holder->DeleteSelf();
    EXPECT_NE(g_objectManager.FindBySerial(holderSerial), nullptr);
    {
        ObjectSwitchGuard allowed(ObjectSwitch::kSectorResourcesDeleteAllowed, true);
        holder->DeleteSelf();
    }
    EXPECT_EQ(g_objectManager.FindBySerial(holderSerial), nullptr);
}

TEST_F(BaseObjectTest, ACampFireStartsAndStopsTheCampOfPlayersNearIt) {
    platform::ManualClock clock(1000);
    CPlayer* near = PlacedMobile(20, 20, true)->AsPlayer();
    CPlayer* camping = PlacedMobile(26, 14, true)->AsPlayer();
    CPlayer* far = PlacedMobile(30, 20, true)->AsPlayer();
    camping->SetCampStartTime(500);
    clock.Set(2000);
    CItem* fire = PlacedItem(21, 21, 0, kCampFireGraphic);
    EXPECT_EQ(near->GetCampStartTime(), 2000u);
    EXPECT_EQ(camping->GetCampStartTime(), 500u);  // already running: kept
    EXPECT_EQ(far->GetCampStartTime(), 0u);        // 9 tiles away in x
    // A player placed by the fire starts camping; one placed away from it stops.
    clock.Set(3000);
    far->MoveTo(Location(28, 21, 0));
    EXPECT_EQ(far->GetCampStartTime(), 3000u);
    far->MoveTo(Location(40, 40, 0));
    EXPECT_EQ(far->GetCampStartTime(), 0u);
    fire->RemoveFromWorld();
    EXPECT_EQ(near->GetCampStartTime(), 0u);
    EXPECT_EQ(camping->GetCampStartTime(), 0u);
}

TEST_F(BaseObjectTest, ObjectsWithNothingToStandOnAreGivenUp) {
    // Water that is nobody's ground (and never a valid last place) in one cell.
    GetTileData().MutableLand(168)->flags = kTileWet | kTileImpassable;
    for (int y = 0; y < 8; ++y) {
        for (int x = 8; x < 16; ++x)
            g_sectorGrid.TerrainAt(x, y)->tile = 168;
    }
    g_sectorGrid.TerrainAt(2, 2)->z = 0;
    CPlayer* player = new CPlayer;
    player->PlaceInWorld(Location(2, 2, 0));  // valid terrain: remembered
    player->MoveTo(Location(10, 3, 0));       // over the water
    CItem* crate = PlacedItem(11, 3, 0);
    const u32 crateSerial = crate->GetSerial();
    g_sectorGrid.SettleObjects({player->GetSerial(), crateSerial});
    EXPECT_TRUE(player->GetLocation() == Location(2, 2, 0));  // back on its last valid ground
    EXPECT_EQ(g_objectManager.FindBySerial(crateSerial), nullptr);
    // Settling one by one: each finds its own ground.
    CItem* a = PlacedItem(3, 3, 9);
    CItem* b = PlacedItem(4, 4, 5);
    g_sectorGrid.SettleEachByPosition({a, b});
    EXPECT_EQ(a->GetLocation().z, 0);
    EXPECT_EQ(b->GetLocation().z, 0);
}

TEST_F(BaseObjectTest, ValueOfAPlainItem) {
    CItem* trinket = NewItem(kValued);
    EXPECT_EQ(trinket->GetValue(0, 0), 7);  // 2 x quantity + base 5
    EXPECT_EQ(trinket->GetValue(1, 0), 7);  // 2 + base 5
    CItem* pebble = NewItem();
    EXPECT_EQ(pebble->GetValue(0, 1), 2);
}

TEST_F(BaseObjectTest, MoveClassesForEachMovementType) {
    CItem* wall = NewItem(kWall);
    CItem* table = NewItem(kTable);
    CItem* bridge = NewItem(kBridgePart);
    CItem* door = NewItem(kDoorGraphic);
    struct Case {
        CItem* object;
        int type;
        u32 expected;
    } cases[] = {
        {wall, 0, 0x40},   {table, 0, 0x240}, {bridge, 0, 0x640}, {wall, 1, 0x40},
        {table, 1, 0x240}, {wall, 3, 0x40},   {table, 7, 0x200},  {wall, 9, 0},
        {table, 2, 0x240}, {door, 6, 0},  // type 6 passes doors
        {wall, 6, 0},                     // and dynamic objects anyone may move
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.object->GetMoveClass(c.type), c.expected)
            << c.object->GetType() << " type " << c.type;
    }
    // Land tiles: impassable terrain tiles give 0; water is open only to swimmers.
    struct LandCase {
        int tile, type;
        u32 expected;
    } land[] = {{kGrass, 0, 0x640}, {kWater, 0, 0x40},  {kWater, 3, 0x640}, {kGrass, 3, 0x40},
                {2, 0, 0},          {kGrass, 7, 0x600}, {10, 8, 0x40},      {kGrass, 9, 0x40}};
    for (const LandCase& c : land) {
        EXPECT_EQ(GetLandMoveClassFor(c.tile, c.type), c.expected) << c.tile << " " << c.type;
    }
    CMobile mobile;
    EXPECT_EQ(mobile.GetMoveClass(0), 0x40u);
    EXPECT_EQ(mobile.GetMoveClass(6), 0u);
    CPlayer ghost;
    ghost.SetType(403);
    EXPECT_EQ(ghost.GetMoveClass(0), 0u);
    EXPECT_EQ(ghost.GetMoveType(), 6);
}

}  // namespace
