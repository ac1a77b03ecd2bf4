#include "server/world/object_manager.h"

#include <gtest/gtest.h>

#include <vector>

#include "server/world/bulletin_board.h"
#include "server/world/mobile.h"

#include "world_test_support.h"
#include "server/world/guard.h"
#include "server/world/npc.h"

namespace {

class ObjectManagerTest : public WorldTest {};

TEST_F(ObjectManagerTest, SerialsAreIssuedInOrderAndFoundInTheirBucket) {
    const u32 next = g_objectManager.PeekSerialCounter();
    CItem* a = NewItem();
    CItem* b = NewItem();
    EXPECT_EQ(a->GetSerial(), next);
    EXPECT_EQ(b->GetSerial(), next + 1);
    // A new item is registered before it is placed anywhere.
    EXPECT_TRUE(a->IsDetached());
    EXPECT_EQ(g_objectManager.FindBySerial(a->GetSerial()), a);
    EXPECT_EQ(g_objectManager.GetBucketHead(b->GetSerial() & 0xFFFF), b);
    const u32 serialA = a->GetSerial();
    a->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindBySerial(serialA), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(b->GetSerial()), b);
    // Serials are never reused.
    CItem* c = NewItem();
    EXPECT_EQ(c->GetSerial(), next + 2);
}

// Mobiles take their serial from the same counter with bit 30 cleared, so that the serial a
// new NPC has is the one it is saved and loaded under (the loader clears that bit).
TEST_F(ObjectManagerTest, NewMobilesHaveBit30OfTheirSerialClear) {
    struct Case {
        const char* what;
        CItem* (*make)();
    };
    const Case cases[] = {
        {"mobile", []() -> CItem* { return new CMobile; }},
        {"NPC", []() -> CItem* { return new CNPC; }},
        {"guard", []() -> CItem* { return new CGuard; }},
        {"shopkeeper", []() -> CItem* { return new CShopKeeper; }},
    };
    for (const Case& c : cases) {
        const u32 issued = g_objectManager.PeekSerialCounter();
        ASSERT_NE(issued & 0x40000000u, 0u);
        CItem* mobile = c.make();
        EXPECT_EQ(mobile->GetSerial(), issued & ~0x40000000u) << c.what;
        EXPECT_EQ(g_objectManager.FindBySerial(mobile->GetSerial()), mobile) << c.what;
        EXPECT_EQ(g_objectManager.FindBySerial(issued), nullptr) << c.what;
        // The counter moved on: no item ever gets the same serial with the bit set.
        EXPECT_EQ(NewItem()->GetSerial(), issued + 1) << c.what;
        if (mobile->IsNPC()) {
            EXPECT_EQ(g_objectManager.FindNPC(mobile->GetSerial()), mobile) << c.what;
        }
    }
}

TEST_F(ObjectManagerTest, SerialsSharingABucketAreToldApartAndMoveBetweenBuckets) {
    struct Case {
        u32 first, second;
    } cases[] = {
        {0x40010005, 0x40020005},
        {0x4000FFFF, 0x7FFFFFFF},
        {0x00000000, 0x00010000},
    };
    for (const Case& c : cases) {
        CItem* a = NewItem();
        CItem* b = NewItem();
        a->SetSerial(c.first);
        b->SetSerial(c.second);
        EXPECT_EQ(g_objectManager.FindBySerial(c.first), a) << std::hex << c.first;
        EXPECT_EQ(g_objectManager.FindBySerial(c.second), b) << std::hex << c.second;
        EXPECT_EQ(g_objectManager.FindBySerial(c.first ^ 0x00100000), nullptr);
        EXPECT_TRUE(g_objectManager.SerialExistsEitherForm(c.first ^ 0x40000000));
        a->SetSerial(c.first + 1);
        EXPECT_EQ(g_objectManager.FindBySerial(c.first), nullptr);
        EXPECT_EQ(g_objectManager.FindBySerial(c.first + 1), a);
        EXPECT_EQ(g_objectManager.FindBySerial(c.second), b);
        a->DeleteSelf();
        b->DeleteSelf();
        EXPECT_EQ(g_objectManager.FindBySerial(c.second), nullptr);
    }
}

TEST_F(ObjectManagerTest, EmptyBucketRunsAgreeWithReadingEveryBucket) {
    const u32 serials[] = {0x40000003, 0x4000003F, 0x40000040, 0x400000FF, 0x40001000,
                           0x4000FFC1, 0x4000FFFF, 0x40020003};
    std::vector<CItem*> made;
    for (u32 serial : serials) {
        made.push_back(NewItem());
        made.back()->SetSerial(serial);
    }
    made.back()->SetSerial(0x40030004);  // its bucket empties again
    auto counted = [](int bucket, int limit) {
        int n = 0;
        while (n < limit && !g_objectManager.GetBucketHead((bucket + n) & 0xFFFF))
            ++n;
        return n;
    };
    const int starts[] = {0, 1, 3, 4, 62, 63, 64, 65, 0x100, 0xFFC0, 0xFFC1, 0xFFC2, 0xFFFF};
    const int limits[] = {1, 2, 63, 64, 65, 2048, 65536};
    for (int start : starts) {
        for (int limit : limits) {
            EXPECT_EQ(g_objectManager.EmptyBucketsFrom(start, limit), counted(start, limit))
                << std::hex << start << " limit " << std::dec << limit;
        }
    }
    for (CItem* item : made)
        item->DeleteSelf();
    EXPECT_EQ(g_objectManager.EmptyBucketsFrom(3, 4), 4);
}

TEST_F(ObjectManagerTest, FindingAgainLooksUpOnceAnObjectJoinedOrLeftOrASerialIsShared) {
    CItem* a = NewItem();
    CItem* b = NewItem();
    const u32 serial = a->GetSerial();
    u64 stamp = g_objectManager.SerialLinkChanges();
    EXPECT_EQ(g_objectManager.FindAgain(serial, a, stamp), a);
    b->DeleteSelf();  // another object leaves: a lookup, which still finds a
    EXPECT_EQ(g_objectManager.FindAgain(serial, a, stamp), a);
    stamp = g_objectManager.SerialLinkChanges();
    a->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindAgain(serial, a, stamp), nullptr);
    // Two objects under one serial: the one the serial names, not the one noted.
    CItem* first = NewItem();
    CItem* second = NewItem();
    second->SetSerial(first->GetSerial());
    stamp = g_objectManager.SerialLinkChanges();
    EXPECT_EQ(g_objectManager.FindAgain(first->GetSerial(), first, stamp), second);
    second->DeleteSelf();
    first->DeleteSelf();
}

TEST_F(ObjectManagerTest, WhileLoadingNewObjectsGetSerialZeroUntilTheReaderSetsTheSavedOne) {
    const u32 next = g_objectManager.PeekSerialCounter();
    CItem* loaded = nullptr;
    CItem* second = nullptr;
    {
        ObjectSwitchGuard loading(ObjectSwitch::kLoading, true);
        loaded = NewItem();
        second = NewItem();
    }
    EXPECT_EQ(loaded->GetSerial(), 0u);
    EXPECT_EQ(second->GetSerial(), 0u);
    EXPECT_EQ(g_objectManager.PeekSerialCounter(), next);
    EXPECT_EQ(g_objectManager.FindBySerial(0), second) << "the newest of a shared serial";
    second->SetSerial(0x40001235);
    EXPECT_EQ(g_objectManager.FindBySerial(0), loaded) << "then the one left";
    loaded->SetSerial(0x40001234);
    EXPECT_EQ(g_objectManager.FindBySerial(0), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(0x40001234), loaded);
    EXPECT_EQ(g_objectManager.FindBySerial(0x40001235), second);
}

TEST_F(ObjectManagerTest, CreationPicksTheClassFromTheTileFlags) {
    struct Case {
        int graphic;
        int kind;
    } cases[] = {
        {kPlainItem, kKindItem},    {kBag, kKindContainer},     {kSword, kKindWeapon},
        {kMapGraphic, kKindMap},    {7774, kKindBulletinBoard},  // its flags say container
        {7775, kKindBulletinBoard},
    };
    for (const Case& c : cases) {
        CItem* item = g_objectManager.CreateItem(c.graphic);
        ASSERT_NE(item, nullptr) << c.graphic;
        EXPECT_EQ(GetObjectKind(item), c.kind) << c.graphic;
        EXPECT_EQ(item->GetType(), c.graphic);
        item->DeleteSelf();
    }
    EXPECT_EQ(g_objectManager.CreateItem(0x4000), nullptr);
    EXPECT_EQ(g_objectManager.CreateItem(-1), nullptr);
    // A refused creation leaves nothing behind.
    const int before = g_liveObjects.items;
    EXPECT_EQ(g_objectManager.CreateContainer(kPlainItem), nullptr);
    EXPECT_EQ(g_objectManager.CreateWeapon(kBag), nullptr);
    EXPECT_EQ(g_liveObjects.items, before);
    CItem* bag = g_objectManager.CreateContainer(kBag);
    ASSERT_NE(bag, nullptr);
    // A static request yields a pooled static object only through the raw factory.
    const int statics = g_liveObjects.staticsInUse;
    CBaseObject* scenery = CreateObjectOfType(kWall, ObjectForm::kStaticWanted);
    ASSERT_TRUE(scenery->IsStatic());
    EXPECT_EQ(g_liveObjects.staticsInUse, statics + 1);
    scenery->AsStatic()->Release();
    EXPECT_EQ(g_liveObjects.staticsInUse, statics);
}

TEST_F(ObjectManagerTest, WhileStaticsAreCreatedAStaticRequestYieldsAStaticOfAnyClass) {
    // A container graphic asked for as a static: a container normally, a static only while the
    // world-editing switch is on; a dynamic request ignores the switch.
    CBaseObject* bag = CreateObjectOfType(kBag, ObjectForm::kStaticWanted);
    EXPECT_TRUE(bag->AsItem() && bag->AsItem()->IsContainer());
    bag->DeleteSelf();
    ObjectSwitchGuard editing(ObjectSwitch::kCreateStatics, true);
    CBaseObject* scenery = CreateObjectOfType(kBag, ObjectForm::kStaticWanted);
    ASSERT_NE(scenery->AsStatic(), nullptr);
    EXPECT_EQ(scenery->GetType(), kBag);
    scenery->AsStatic()->Release();
    CBaseObject* dynamic = CreateObjectOfType(kBag, ObjectForm::kDynamic);
    EXPECT_TRUE(dynamic->IsDynamic());
    dynamic->DeleteSelf();
}

TEST(ObjectSwitchGuardTest, EachGuardPutsBackTheValueItFound) {
    struct Case {
        ObjectSwitch which;
        bool byDefault;
    };
    const Case cases[] = {
        {ObjectSwitch::kSendRemovalPackets, true},
        {ObjectSwitch::kCreateStatics, false},
        {ObjectSwitch::kPlayerDeleteAllowed, false},
        {ObjectSwitch::kSectorResourcesDeleteAllowed, false},
        {ObjectSwitch::kLoading, false},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.which);
        EXPECT_EQ(g_objectManager.IsOn(c.which), c.byDefault) << n;
        {
            ObjectSwitchGuard outer(c.which, !c.byDefault);
            EXPECT_EQ(g_objectManager.IsOn(c.which), !c.byDefault) << n;
            {
                ObjectSwitchGuard inner(c.which, c.byDefault);
                EXPECT_EQ(g_objectManager.IsOn(c.which), c.byDefault) << n;
            }
            // The inner guard restores the outer guard's value, not the default.
            EXPECT_EQ(g_objectManager.IsOn(c.which), !c.byDefault) << n;
        }
        EXPECT_EQ(g_objectManager.IsOn(c.which), c.byDefault) << n;
    }
}

TEST_F(ObjectManagerTest, KindsAndIsKindAnswersOfEveryClass) {
    CContainer bag;
    CBulletinBoard board;
    CCorpse corpse;
    CMobile mobile;
    CPlayer player;
    CNPC npc;
    CGuard guard;
    CShopKeeper shop;
    CWeapon weapon;
    CMapItem map;
    CSectorResources holder;
    CItem item;
    CStaticObject scenery;
    CCountedObject prototype;
    struct Case {
        const char* name;
        CBaseObject* object;
        int kind;
        int container, usable, mobile, npc;
    } cases[] = {
        {"item", &item, 2, 0, 0, 0, 0},        {"container", &bag, 4, 1, 1, 0, 0},
        {"board", &board, 8192, 1, 0, 0, 0},   {"corpse", &corpse, 4, 1, 1, 0, 0},
        {"mobile", &mobile, 16, 1, 1, 1, 0},   {"player", &player, 256, 1, 1, 1, 0},
        {"npc", &npc, 32, 1, 1, 1, 1},         {"guard", &guard, 128, 1, 1, 1, 1},
        {"shopkeeper", &shop, 64, 1, 1, 1, 1}, {"weapon", &weapon, 4096, 0, 0, 0, 0},
        {"map", &map, 8, 0, 0, 0, 0},          {"sector resources", &holder, 2, 0, 0, 0, 0},
        {"static", &scenery, 1, 0, 0, 0, 0},   {"prototype", &prototype, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetObjectKind(c.object), c.kind) << c.name;
        CItem* i = c.object->AsItem();
        if (!i) continue;
        EXPECT_EQ(i->IsContainer(), c.container) << c.name;
        EXPECT_EQ(i->IsUsableContainer(), c.usable) << c.name;
        EXPECT_EQ(i->IsMobile(), c.mobile) << c.name;
        EXPECT_EQ(i->IsNPC(), c.npc) << c.name;
        EXPECT_EQ(MatchesObjectKind(c.object, static_cast<ObjectKind>(c.kind)),
                  c.kind == 2 || c.kind == 1 ? c.kind == 2 : 1)
            << c.name;
    }
    EXPECT_TRUE(holder.IsSectorResources());
    EXPECT_FALSE(item.IsSectorResources());
    EXPECT_TRUE(scenery.IsStatic());
    // A ghost is still a player to the kind bits; only the ghost test says otherwise.
    player.SetType(402);
    EXPECT_TRUE(player.IsGhost());
    EXPECT_EQ(GetObjectKind(&player), 256);
    EXPECT_TRUE(MatchesObjectKind(&player, kKindGhost));
    EXPECT_FALSE(MatchesObjectKind(&item, kKindGhost));
    EXPECT_FALSE(MatchesObjectKind(nullptr, kKindItem));
    EXPECT_FALSE(MatchesObjectKind(&item, kKindStatic));
    EXPECT_FALSE(MatchesObjectKind(&item, static_cast<ObjectKind>(512)));
}

TEST_F(ObjectManagerTest, TypesOfTheGraphicRangeAndAboveIt) {
    struct Case {
        int set;
        int stored;
    } cases[] = {{0, 0}, {0x3FFF, 0x3FFF}, {0x4000, 2429}, {0xFFFF, 2429}, {-1, 2429}};
    for (const Case& c : cases) {
        CItem item;
        item.SetType(c.set);
        EXPECT_EQ(item.GetType(), c.stored) << c.set;
    }
}

TEST_F(ObjectManagerTest, TemplateListsCountTheirObjects) {
    CItem* a = NewItem();
    CItem* b = NewItem();
    CItem* c = NewItem();
    a->SetTemplateId(7);
    b->SetTemplateId(7);
    c->SetTemplateId(5000);  // beyond the lists: kept as a number, not listed
    EXPECT_EQ(g_objectManager.GetTemplateCount(7), 2);
    EXPECT_EQ(g_objectManager.GetTemplateHead(7), b);
    EXPECT_EQ(c->GetTemplateId(), 5000);
    a->DeleteSelf();
    EXPECT_EQ(g_objectManager.GetTemplateCount(7), 1);
    b->LeaveTemplateList();
    EXPECT_EQ(b->GetTemplateId(), kNoTemplate);
    EXPECT_EQ(g_objectManager.GetTemplateCount(7), 0);
    EXPECT_EQ(g_objectManager.GetTemplateHead(7), nullptr);
}

TEST_F(ObjectManagerTest, SearchesByPlace) {
    CItem* near = PlacedItem(10, 10, 0);
    CItem* far = PlacedItem(30, 10, 0);
    CItem* bag = PlacedItem(11, 10, 0, kBag);
    CItem* inside = NewItem();
    inside->AddToContainer(bag, Location(5, 5, 0));
    CItem* center = PlacedItem(10, 11, 5);
    EXPECT_EQ(g_objectManager.FindNear(*center, near->GetSerial(), 2), near);
    EXPECT_EQ(g_objectManager.FindNear(*center, far->GetSerial(), 2), nullptr);
    EXPECT_EQ(g_objectManager.FindNear(*center, inside->GetSerial(), 2), inside);
    // The top object at a tile: the greatest z wins, a tie keeps the first found.
    CItem* high = PlacedItem(10, 10, 7);
    EXPECT_EQ(g_objectManager.FindTopObjectAt(Location(10, 10, 0)), high);
    EXPECT_EQ(g_objectManager.FindTopObjectAt(Location(12, 12, 0)), nullptr);
    EXPECT_EQ(g_objectManager.FindObjectAtXYZ(Location(10, 11, 5)), center);
    // Off the grid: nothing, never an access outside the cells.
    EXPECT_EQ(g_objectManager.FindTopObjectAt(Location(-5, 10, 0)), nullptr);
    EXPECT_EQ(g_objectManager.FindObjectAtXY(Location(64, 64, 0)), nullptr);
}

TEST_F(ObjectManagerTest, SpeechReachesScriptedObjectsNearestFirst) {
    CItem* speaker = PlacedItem(20, 20, 0);
    CItem* far = PlacedItem(24, 20, 0);
    CItem* near = PlacedItem(21, 20, 0);
    CItem* mute = PlacedItem(20, 21, 0);
    triggers.scripted = {far->GetSerial(), near->GetSerial()};
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(speaker, Location(20, 20, 0), "hail", 8), 1);
    ASSERT_EQ(triggers.calls.size(), 2u);
    EXPECT_EQ(triggers.calls[0].serial, near->GetSerial());
    EXPECT_EQ(triggers.calls[1].serial, far->GetSerial());
    EXPECT_STREQ(triggers.calls[0].args.text, "hail");
    (void)mute;
    triggers.calls.clear();
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(speaker, Location(20, 20, 0), "@cmd", 8), 0);
    EXPECT_TRUE(triggers.calls.empty());
    // A veto stops the rest; a listener deleted by an earlier one is skipped.
    triggers.answers[{near->GetSerial(), kTriggerSpeech}] = 0;
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(speaker, Location(20, 20, 0), "hi", 8), 0);
    EXPECT_EQ(triggers.calls.size(), 1u);
    triggers.answers.clear();
    triggers.calls.clear();
    const u32 farSerial = far->GetSerial();
    triggers.onTrigger = [&](CItem* object, int) {
        if (object == near) {
            CItem* victim = g_objectManager.FindBySerial(farSerial);
            if (victim) victim->DeleteSelf();
        }
    };
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(speaker, Location(20, 20, 0), "hi", 8), 1);
    EXPECT_EQ(triggers.TriggersFor(farSerial), (std::vector<int>{kTriggerDestroyed}));
}

TEST_F(ObjectManagerTest, SpeechConsidersOnlyTheFirst251Listeners) {
    std::vector<CItem*> crowd;
    for (int i = 0; i < 300; ++i) {
        CItem* item = PlacedItem(16 + i % 16, 16 + (i / 16) % 16, 0);
        triggers.scripted.insert(item->GetSerial());
        crowd.push_back(item);
    }
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(nullptr, Location(24, 24, 0), "hi", 12), 1);
    EXPECT_EQ(triggers.calls.size(), 251u);
}

}  // namespace

namespace {

struct MessagePackets : RecordingPackets {
    std::vector<std::string> messages;
    void SendSystemMessage(CPlayer*, const char* text) override { messages.push_back(text); }
};

class WholeTreeTest : public WorldTest {
protected:
    // An NPC in the world wearing a pack (layer 21) that holds a coin.
    struct Tree {
        CNPC* npc;
        CItem* pack;
        CItem* coin;
    };
    Tree NpcWithPackAndCoin() {
        CNPC* npc = new CNPC;
        npc->PlaceInWorld(Location(10, 10, 0));
        CItem* pack = NewItem(kBag);
        pack->EquipOn(npc, 21);
        CItem* coin = NewItem();
        coin->AddToContainer(pack, Location(3, 3, 0));
        return {npc, pack, coin};
    }
};

TEST_F(WholeTreeTest, ASuspendedTreeLeavesEveryRegistryAndComesBackWhole) {
    auto [npc, pack, coin] = NpcWithPackAndCoin();
    coin->SetTemplateId(12);
    CItem* loose = NewItem();  // detached, not in any chain
    const u32 serials[] = {npc->GetSerial(), pack->GetSerial(), coin->GetSerial()};

    SuspendObjectTree(npc);
    SuspendObjectTree(loose);
    for (u32 s : serials)
        EXPECT_EQ(g_objectManager.FindBySerial(s), nullptr);
    EXPECT_FALSE(IsRegistered(npc));
    EXPECT_EQ(g_sectorGrid.CellAt(10, 10)->objects, nullptr);
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(npc->GetSerial()), nullptr);
    EXPECT_EQ(g_objectManager.GetTemplateCount(12), 0);
    EXPECT_EQ(coin->GetContainer(), pack);  // the tree itself stays together

    ResumeObjectTree(npc);
    ResumeObjectTree(loose);
    EXPECT_EQ(g_objectManager.FindBySerial(serials[0]), npc);
    EXPECT_EQ(g_objectManager.FindBySerial(serials[2]), coin);
    EXPECT_TRUE(IsRegistered(coin));
    EXPECT_EQ(g_sectorGrid.CellAt(10, 10)->objects, npc);
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(npc->GetSerial()), npc);
    EXPECT_EQ(g_objectManager.GetTemplateCount(12), 1);
    EXPECT_TRUE(loose->IsDetached());
    EXPECT_FALSE(pack->IsInBankBox());
    EXPECT_FALSE(IsRegistered(nullptr));
}

TEST_F(WholeTreeTest, AResumedTreeRunsItsTimedCallbacksAgain) {
    auto [npc, pack, coin] = NpcWithPackAndCoin();
    CItem* plain = PlacedItem(12, 12, 0);  // no callbacks: nothing to re-arm
    const u32 npcSerial = npc->GetSerial();
    const u32 coinSerial = coin->GetSerial();
    ScheduleCallback(1, coinSerial, 1, 0, nullptr);
    ScheduleCallback(1, npcSerial, 1, 0, nullptr);

    SuspendObjectTree(npc);
    SuspendObjectTree(plain);
    RunAllCallbacks();  // the sweep drops what it cannot find
    EXPECT_EQ(PendingCallbackObjects(), 0);
    ResumeObjectTree(npc);
    ResumeObjectTree(plain);
    EXPECT_EQ(PendingCallbackObjects(), 2);
    RunAllCallbacks();
    EXPECT_EQ(g_objectManager.FindBySerial(coinSerial), coin);
    RunAllCallbacks();  // the second pulse after scheduling with 1 tick
    EXPECT_EQ(g_objectManager.FindBySerial(coinSerial), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(npcSerial), nullptr);
    RunAllCallbacks();
    EXPECT_EQ(PendingCallbackObjects(), 0);
}

TEST_F(WholeTreeTest, DuplicateSerialsAreReportedAndRenumbered) {
    MessagePackets messages;
    SetPacketServices(&messages);
    g_objectManager.CheckDuplicateIds(nullptr);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"No Duplicate Id's found."}));
    messages.messages.clear();
    CItem* a = NewItem();
    CMobile* b = new CMobile;
    b->SetSerial(a->GetSerial());
    g_objectManager.CheckDuplicateIds(nullptr);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].find("DupId: "), std::string::npos);
    EXPECT_NE(messages.messages[0].find("(Mobile-Dynamic)"), std::string::npos)
        << messages.messages[0];
    EXPECT_NE(a->GetSerial(), b->GetSerial());
    EXPECT_EQ(g_objectManager.FindBySerial(a->GetSerial()), a);
    EXPECT_EQ(g_objectManager.FindBySerial(b->GetSerial()), b);
    SetPacketServices(&packets);
}

TEST_F(WholeTreeTest, TheBankBoxIsLayerTwentyNine) {
    CMobile* owner = new CMobile;
    owner->PlaceInWorld(Location(5, 5, 0));
    CItem* bank = NewItem(kBag);
    bank->EquipOn(owner, 29);
    CItem* box = NewItem(kBag);
    box->AddToContainer(bank, Location(1, 1, 0));
    CItem* gem = NewItem();
    gem->AddToContainer(box, Location(1, 1, 0));
    EXPECT_TRUE(bank->IsInBankBox());
    EXPECT_TRUE(gem->IsInBankBox());
    CItem* worn = NewItem();
    worn->EquipOn(owner, 5);
    EXPECT_FALSE(worn->IsInBankBox());
}

}  // namespace
