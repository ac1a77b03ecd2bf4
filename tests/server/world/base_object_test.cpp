#include "server/world/base_object.h"

#include <gtest/gtest.h>

#include "core/log_sink.h"
#include "platform/clock.h"
#include "script/language/script_value.h"
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

TEST_F(BaseObjectTest, TheQuietRemovalOfAWornItemStillSendsTheUnequipTrigger) {
    CMobile* wearer = PlacedMobile(20, 20);
    struct Case {
        bool quiet;
        int layer;
        u8 status;
        bool unequip;
    } cases[] = {
        {false, 4, 0, true},
        {true, 4, 0, true},
        {true, 24, 0, true},
        {true, 0, 0, false},                 // layer 0 has no triggers
        {true, 25, 0, false},                // nor the layers above 24
        {true, 4, kStatusNoTriggers, false}  // suppressed
    };
    for (const Case& c : cases) {
        CItem* item = NewItem();
        item->SetStatus(c.status);
        ASSERT_EQ(item->EquipOn(wearer, c.layer), 1);
        triggers.calls.clear();
        packets.log.clear();
        if (c.quiet) {
            item->RemoveFromWorldQuiet();
        } else {
            item->RemoveFromWorld();
        }
        EXPECT_EQ(wearer->GetLayer(c.layer), nullptr);
        EXPECT_TRUE(item->IsDetached());
        const std::vector<int> expected =
            c.unequip ? std::vector<int>{kTriggerUnequip} : std::vector<int>{};
        EXPECT_EQ(triggers.TriggersFor(item->GetSerial()), expected) << c.quiet << " " << c.layer;
        if (c.unequip) {
            EXPECT_EQ(triggers.calls[0].args.serial, wearer->GetSerial());
        }
        if (c.quiet) {
            EXPECT_TRUE(packets.log.empty()) << c.layer;
        }
    }
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

// An item that no container takes (a full one, in the container rules).
struct UnpackableItem : CItem {
    UnpackableItem() { SetType(kPlainItem); }
    bool AddToContainer(CItem*, const Location&) override { return false; }
};

TEST_F(BaseObjectTest, ReturningFallsBackToTheLastWorldLocationWhenNoRecordedPlaceTakesIt) {
    CMobile* wearer = PlacedMobile(20, 20);
    CItem* bag = PlacedItem(22, 22, 0, kBag);
    struct Case {
        const char* name;
        std::function<CItem*()> setup;  // an item taken away from somewhere, ready to return
        int result;
        bool worn;
        CItem* container;
        Location at;
    };
    std::vector<Case> cases = {
        {"layer free",
         [&] {
             CItem* i = NewItem();
             i->EquipOn(wearer, 9);
             i->RemoveFromWorld();
             return i;
         },
         1, true, wearer, Location()},
        {"layer taken",
         [&] {
             CItem* i = NewItem();
             i->EquipOn(wearer, 10);
             i->RemoveFromWorld();
             NewItem()->EquipOn(wearer, 10);
             return i;
         },
         1, false, nullptr, Location(20, 20, 0)},
        {"container refuses",
         [&] {
             CItem* i = new UnpackableItem;
             i->SetPlacementContainer(bag->GetSerial());
             i->SetPlacementContainerLocation(3, 4, 0);
             i->SetPlacementLocation(22, 22, 0);
             return i;
         },
         1, false, nullptr, Location(22, 22, 0)},
        {"wearer and container gone",
         [&] {
             CItem* i = NewItem();
             i->SetPlacementWearer(0x4FFFFFF0);
             i->SetPlacementLayer(3);
             i->SetPlacementContainer(0x4FFFFFF1);
             i->SetPlacementLocation(7, 8, 1);
             return i;
         },
         1, false, nullptr, Location(7, 8, 1)},
        {"container takes it",
         [&] {
             CItem* i = NewItem();
             i->AddToContainer(bag, Location(5, 6, 0));
             i->RemoveFromWorld();
             return i;
         },
         1, false, bag, Location(5, 6, 0)},
        {"nowhere to go",
         [&] {
             CItem* i = new UnpackableItem;
             i->SetPlacementContainer(bag->GetSerial());
             i->SetPlacementLocation(500, 500, 0);  // off the grid
             return i;
         },
         0, false, nullptr, Location()},
    };
    for (const Case& c : cases) {
        CItem* item = c.setup();
        ASSERT_TRUE(item->IsDetached()) << c.name;
        EXPECT_EQ(item->ReturnToLastPlace(), c.result) << c.name;
        EXPECT_EQ(item->IsDetached(), c.result == 0) << c.name;
        EXPECT_EQ(item->IsEquipped() == 1, c.worn) << c.name;
        EXPECT_EQ(item->GetContainer(), c.container) << c.name;
        if (c.result && !c.worn) {
            EXPECT_TRUE(item->GetLocation() == c.at) << c.name;
        }
        if (c.result && !c.container) {
            const std::vector<CItem*> chain = Chain(c.at.x, c.at.y);
            EXPECT_NE(std::find(chain.begin(), chain.end(), item), chain.end()) << c.name;
        }
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

void SetIntVariable(CItem* item, const char* name, int value) {
    ObjVars::Set(item->ScriptAttachments(), name, kTypeInt, ScriptListValue::Int(value));
}

const TimedCallback* ExpiryOf(CItem* item) {
    for (const TimedCallback* n = item->TimedCallbacks(); n; n = n->next)
        if (n->action == 8 && n->key == 0) return n;
    return nullptr;
}

TEST_F(BaseObjectTest, AValuelessItemPlacedInTheWorldExpiresUnlessTakenAway) {
    struct Case {
        const char* name;
        bool quiet;
        const char* variable;
        int value;
        bool expires;
    } cases[] = {
        {"loud, valueless 1", false, "valueless", 1, true},
        {"quiet, valueless 1", true, "valueless", 1, true},
        {"loud, valueless 0", false, "valueless", 0, true},  // whatever its value
        {"loud, other variable", false, "valuable", 1, false},
    };
    for (const Case& c : cases) {
        CItem* item = NewItem();
        SetIntVariable(item, c.variable, c.value);
        EXPECT_EQ(item->IsValueless(), c.expires) << c.name;
        if (c.quiet) {
            item->PlaceInWorldQuiet(Location(30, 30, 0));
        } else {
            item->PlaceInWorld(Location(30, 30, 0));
        }
        const TimedCallback* expiry = ExpiryOf(item);
        ASSERT_EQ(expiry != nullptr, c.expires) << c.name;
        if (expiry) {
            EXPECT_EQ(expiry->ticks, 240) << c.name;
            EXPECT_EQ(expiry->next, nullptr) << c.name;
        }
    }
    // Placed again elsewhere: still one expiry, counting from the new placement.
    CItem* moved = NewItem();
    SetIntVariable(moved, "valueless", 1);
    moved->PlaceInWorld(Location(31, 31, 0));
    RunAllCallbacks();
    moved->MoveTo(Location(32, 32, 0));
    ASSERT_NE(ExpiryOf(moved), nullptr);
    EXPECT_EQ(ExpiryOf(moved)->ticks, 240);
    EXPECT_EQ(ExpiryOf(moved)->next, nullptr);
    // It goes on the 241st pulse after its placement.
    const u32 serial = moved->GetSerial();
    for (int pulse = 0; pulse < 240; ++pulse)
        RunAllCallbacks();
    ASSERT_EQ(g_objectManager.FindBySerial(serial), moved);
    RunAllCallbacks();
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
}

TEST_F(BaseObjectTest, TakingAValuelessItemAwayTakesItsExpiryAway) {
    CMobile* wearer = PlacedMobile(20, 20);
    CItem* bag = PlacedItem(21, 21, 0, kBag);
    struct Case {
        const char* name;
        std::function<void(CItem*)> takeAway;
    } cases[] = {
        {"removed", [](CItem* i) { i->RemoveFromWorld(); }},
        {"removed quietly", [](CItem* i) { i->RemoveFromWorldQuiet(); }},
        {"put into a bag",
         [&](CItem* i) {
             i->RemoveFromWorld();
             i->AddToContainer(bag, Location(1, 1, 0));
         }},
        {"worn",
         [&](CItem* i) {
             i->RemoveFromWorld();
             i->EquipOn(wearer, 5);
         }},
    };
    for (const Case& c : cases) {
        CItem* item = NewItem();
        SetIntVariable(item, "valueless", 1);
        item->PlaceInWorld(Location(25, 25, 0));
        ASSERT_NE(ExpiryOf(item), nullptr) << c.name;
        // Another callback of action 8 under another key is not the expiry.
        AddCallback(item->TimedCallbacks(), item->GetSerial(), 50, 8, 3, nullptr);
        c.takeAway(item);
        EXPECT_EQ(ExpiryOf(item), nullptr) << c.name;
        EXPECT_TRUE(HasCallback(item->TimedCallbacks(), 8, 3)) << c.name;
        RemoveCallback(item->TimedCallbacks(), 8, 3);
        const u32 serial = item->GetSerial();
        for (int pulse = 0; pulse < 300; ++pulse)
            RunAllCallbacks();
        EXPECT_EQ(g_objectManager.FindBySerial(serial), item) << c.name;
    }
}

TEST_F(BaseObjectTest, HomeIsALocationVariable) {
    CItem* bag = PlacedItem(12, 13, 1, kBag);
    CItem* item = NewItem();
    item->AddToContainer(bag, Location(2, 2, 0));
    Location home;
    EXPECT_FALSE(item->HasHome());
    EXPECT_FALSE(item->GetHome(home));
    item->SetHome(Location(30, 31, 2));
    EXPECT_TRUE(item->HasHome());
    ASSERT_TRUE(item->GetHome(home));
    EXPECT_TRUE(home == Location(30, 31, 2));
    Location stored;
    ASSERT_TRUE(ObjVars::GetLocation(item->ScriptAttachments(), "home", stored));
    EXPECT_TRUE(stored == Location(30, 31, 2));
    item->SetHomeHere();  // the world location, not the place inside the bag
    ASSERT_TRUE(item->GetHome(home));
    EXPECT_TRUE(home == Location(12, 13, 1));
    Location unset;
    unset.SetUnset();
    item->SetHome(unset);
    EXPECT_FALSE(item->HasHome());
    item->SetHome(Location(1, 1, 0));
    item->RemoveHome();
    EXPECT_FALSE(item->HasHome());
    EXPECT_EQ(item->ScriptAttachments(), nullptr);  // nothing else was held
    // An int "home" is no home.
    SetIntVariable(item, "home", 5);
    EXPECT_FALSE(item->HasHome());
}

TEST_F(BaseObjectTest, SendingHome) {
    CItem* bag = PlacedItem(12, 13, 1, kBag);
    struct Case {
        const char* name;
        std::function<CItem*()> setup;
        bool hasHome;
        Location home;
        bool result;
    };
    std::vector<Case> cases = {
        {"no home", [&] { return PlacedItem(5, 5, 0); }, false, Location(), false},
        {"home off the grid", [&] { return PlacedItem(5, 5, 0); }, true, Location(500, 5, 0),
         false},
        {"from the world", [&] { return PlacedItem(5, 5, 0); }, true, Location(40, 41, 3), true},
        {"from a bag",
         [&] {
             CItem* i = NewItem();
             i->AddToContainer(bag, Location(2, 2, 0));
             return i;
         },
         true, Location(42, 41, 3), true},
        {"detached", [&] { return NewItem(); }, true, Location(43, 41, 3), true},
    };
    for (const Case& c : cases) {
        CItem* item = c.setup();
        if (c.hasHome) item->SetHome(c.home);
        const Location before = item->GetLocation();
        CItem* holder = item->GetContainer();
        packets.log.clear();
        EXPECT_EQ(item->SendHome(), c.result) << c.name;
        if (c.result) {
            EXPECT_EQ(item->GetContainer(), nullptr) << c.name;
            EXPECT_TRUE(item->GetLocation() == c.home) << c.name;
            EXPECT_EQ(Chain(c.home.x, c.home.y).front(), item) << c.name;
            EXPECT_EQ(packets.log.back(), "1A " + S(item)) << c.name;
        } else {
            EXPECT_TRUE(item->GetLocation() == before) << c.name;
            EXPECT_EQ(item->GetContainer(), holder) << c.name;
            EXPECT_TRUE(packets.log.empty()) << c.name;
        }
    }
}

TEST_F(BaseObjectTest, NoItemIsAtHomeUntilRegionsExist) {
    CItem* bag = PlacedItem(12, 13, 1, kBag);
    CItem* lying = PlacedItem(20, 21, 2);
    lying->SetHome(Location(20, 21, 2));
    CItem* held = NewItem();
    held->AddToContainer(bag, Location(20, 21, 2));
    held->SetHome(Location(20, 21, 2));
    CItem* away = PlacedItem(20, 22, 2);
    away->SetHome(Location(20, 21, 2));
    LogCapture log;
    for (CItem* item : {lying, held, away, lying})
        EXPECT_FALSE(item->IsAtHome());
    // The region test that would decide is reported once at most, never per call.
    EXPECT_LE(log.FromSource("world").size(), 1u);
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
