// Riding mounts and opening doors.
#include <gtest/gtest.h>

#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/doors.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/timed_callbacks.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

class MountTest : public WorldTest {
protected:
    CMobile* Rider(int body, bool player = true) {
        CMobile* m = player ? static_cast<CMobile*>(new CPlayer) : new CNPC;
        m->SetBodyType(body);
        m->PlaceInWorld(Location(5, 5, 0));
        return m;
    }
    CNPC* Horse(int body = 204) {
        auto* h = new CNPC;
        h->SetBodyType(body);
        h->SetHue(33);
        h->SetDirection(0x83);
        h->PlaceInWorld(Location(7, 6, 0));
        return h;
    }
};

TEST_F(MountTest, MountItemGraphicsByBody) {
    struct Case {
        int body, graphic;
    } cases[] = {{204, 16034}, {226, 16032}, {228, 16033}, {200, 16031}};
    for (const Case& c : cases) {
        CMobile* rider = Rider(400);
        CNPC* horse = Horse(c.body);
        ASSERT_EQ(rider->Mount(horse), 1) << c.body;
        CItem* item = rider->GetLayer(kMountLayer);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetType(), c.graphic);
        EXPECT_EQ(item->GetHue(), 33);
        EXPECT_EQ(rider->GetLocation(), Location(7, 6, 0));
        EXPECT_EQ(rider->GetDirection(), 3);
        EXPECT_EQ(horse->GetContainer(), rider);
        EXPECT_EQ(rider->GetMount(), horse);
        rider->DeleteSelf();
    }
}

TEST_F(MountTest, WhoMayRide) {
    struct Case {
        int body;
        bool rides;
    } cases[] = {{400, true}, {401, true}, {987, true}, {402, false}, {1, false}};
    for (const Case& c : cases) {
        CMobile* rider = Rider(c.body, false);
        CNPC* horse = Horse();
        const int before = g_liveObjects.items;
        EXPECT_EQ(rider->Mount(horse), c.rides ? 1 : 0) << c.body;
        EXPECT_EQ(rider->IsMounted(), c.rides) << c.body;
        if (!c.rides) {
            EXPECT_EQ(g_liveObjects.items, before) << "the refused mount item is deleted";
            EXPECT_EQ(horse->GetContainer(), nullptr);
            horse->DeleteSelf();
        }
        rider->DeleteSelf();
    }
}

TEST_F(MountTest, DismountPutsTheMountBackBeside) {
    CMobile* rider = Rider(400);
    CNPC* horse = Horse();
    ASSERT_EQ(rider->Mount(horse), 1);
    rider->SetDirection(5);
    EXPECT_EQ(rider->Dismount(), 1);
    EXPECT_FALSE(rider->IsMounted());
    EXPECT_EQ(horse->GetContainer(), nullptr);
    EXPECT_FALSE(horse->IsDetached());
    EXPECT_EQ(horse->GetLocation(), rider->GetLocation());
    EXPECT_EQ(horse->GetDirection(), 5);
    EXPECT_EQ(rider->Dismount(), 0);
}

TEST_F(MountTest, ARiderWhoseMountIsGoneIsDismountedAtTheExhaustionCheck) {
    CMobile* rider = Rider(400);
    rider->SetMaxFatigue(10);
    rider->SetCurFatigue(10);
    CNPC* horse = Horse();
    ASSERT_EQ(rider->Mount(horse), 1);
    const int before = g_liveObjects.items;
    horse->SetStatus(horse->GetStatus() | kStatusNoTriggers);
    delete horse;
    EXPECT_FALSE(rider->IsExhausted());
    EXPECT_FALSE(rider->IsMounted());
    EXPECT_EQ(g_liveObjects.items, before - 2);
}

TEST_F(MountTest, ATiredMountTiresItsRider) {
    CMobile* rider = Rider(400);
    rider->SetRealStat(kStatStrength, 10);
    rider->SetMaxFatigue(10);
    rider->SetCurFatigue(10);
    CNPC* horse = Horse();
    horse->SetRealStat(kStatStrength, 10);
    horse->SetMaxHits(10);
    horse->SetCurHits(10);
    ASSERT_EQ(rider->Mount(horse), 1);
    // A mount without any fatigue: 0 percent, exhausted, and no division by zero.
    EXPECT_TRUE(rider->IsExhausted());
    rider->ConsumeMoveFatigue(100);
    EXPECT_TRUE(packets.With("msg").empty());
    horse->SetMaxFatigue(100);
    horse->SetCurFatigue(11);
    EXPECT_FALSE(rider->IsExhausted());
    for (int i = 0; i < 20; ++i)
        rider->ConsumeMoveFatigue(100);
    EXPECT_EQ(horse->GetCurFatigue(), 10);
    EXPECT_EQ(packets.With("msg"),
              (std::vector<std::string>{"msg " + std::to_string(rider->GetSerial()) +
                                        " Your horse is very fatigued."}));
}

// ---------------------------------------------------------------- doors

class MobileDoorTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        GetTileData().MutableStatic(kDoorGraphic)->layer = 2;  // swings to x - 1
        StaticTileRecord* proof = GetTileData().MutableStatic(kNpcProofDoor);
        *proof = GetTileData().Static(kDoorGraphic);
        *GetTileData().MutableStatic(kNpcProofDoor + 1) = GetTileData().Static(kDoorGraphic + 1);
    }
    CItem* Door(int x, int y, int graphic = kDoorGraphic) { return PlacedItem(x, y, 0, graphic); }
    CMobile* Walker(bool player, int body = 400) {
        CMobile* m = player ? static_cast<CMobile*>(new CPlayer) : new CNPC;
        m->SetBodyType(body);
        m->PlaceInWorld(Location(10, 11, 0));
        return m;
    }
    static constexpr int kNpcProofDoor = 240;
};

TEST_F(MobileDoorTest, OpeningTheDoorAhead) {
    struct Case {
        const char* what;
        bool player;
        int body;
        int graphic;
        bool locked;
        int answer;
        int opened;  // 1 when the door stands open afterwards
    } cases[] = {
        {"a player opens", true, 400, kDoorGraphic, false, 1, 1},
        {"an NPC opens a plain door", false, 400, kDoorGraphic, false, 1, 1},
        {"an NPC leaves an NPC-proof door", false, 400, kNpcProofDoor, false, 0, 0},
        {"a player opens an NPC-proof door", true, 400, kNpcProofDoor, false, 1, 1},
        {"a locked door", true, 400, kDoorGraphic, true, 2, 0},
        {"a body that cannot open doors", true, 200, kDoorGraphic, false, 0, 0},
    };
    for (const Case& c : cases) {
        CItem* door = Door(10, 10, c.graphic);
        if (c.locked) ObjVars::Set(door->ScriptAttachments(), "isLocked", kTypeInt, {});
        CMobile* m = Walker(c.player, c.body);
        triggers.calls.clear();
        EXPECT_EQ(m->OpenDoorInDirection(0), c.answer) << c.what;
        EXPECT_EQ(door->IsClosedDoor(), !c.opened) << c.what;
        EXPECT_EQ(triggers.TriggersFor(door->GetSerial()).size(), c.opened ? 1u : 0u) << c.what;
        if (c.opened) {
            EXPECT_EQ(door->GetLocation(), Location(9, 10, 0)) << c.what;
            EXPECT_TRUE(HasCallback(door->TimedCallbacks(), kDoorCloseAction, 0)) << c.what;
        }
        door->DeleteSelf();
        m->DeleteSelf();
    }
}

TEST_F(MobileDoorTest, RefusedUseAndAUseThatDeletesTheUser) {
    CItem* door = Door(10, 10);
    CMobile* m = Walker(false);
    triggers.answers[{door->GetSerial(), kTriggerUse}] = 0;
    EXPECT_EQ(m->OpenDoorInDirection(0), 2);
    EXPECT_TRUE(door->IsClosedDoor());
    triggers.answers.clear();
    const u32 serial = m->GetSerial();
    triggers.onTrigger = [serial](CItem*, int trigger) {
        if (trigger == kTriggerUse) g_objectManager.FindBySerial(serial)->DeleteSelf();
    };
    EXPECT_EQ(m->OpenDoorInDirection(0), 3);
    EXPECT_FALSE(door->IsClosedDoor());
    // A use handler that deletes the door.
    CItem* second = Door(20, 20);
    CMobile* n = new CNPC;
    n->SetBodyType(400);
    n->PlaceInWorld(Location(20, 21, 0));
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger == kTriggerUse) object->DeleteSelf();
    };
    const u32 doorSerial = second->GetSerial();
    EXPECT_EQ(n->OpenDoorInDirection(0), 1);
    EXPECT_EQ(g_objectManager.FindBySerial(doorSerial), nullptr);
}

TEST_F(MobileDoorTest, OffTheGridAndVariantsOfEightOrMore) {
    auto* edge = new CPlayer;
    edge->SetBodyType(400);
    edge->PlaceInWorld(Location(5, 0, 0));
    EXPECT_EQ(edge->OpenDoorInDirection(0), 2);
    GetTileData().MutableStatic(kDoorGraphic)->layer = 8;
    CItem* door = Door(10, 10);
    EXPECT_FALSE(OpenDoor(door));
    ToggleDoor(door);
    EXPECT_TRUE(door->IsClosedDoor());
    EXPECT_EQ(door->GetLocation(), Location(10, 10, 0));
}

TEST_F(MobileDoorTest, ADoubleDoorOpensBothHalves) {
    CItem* left = Door(10, 10);
    CItem* right = Door(11, 10);
    ToggleDoor(left);
    EXPECT_FALSE(left->IsClosedDoor());
    EXPECT_FALSE(right->IsClosedDoor());
    EXPECT_TRUE(HasCallback(left->TimedCallbacks(), kDoorCloseAction, 0));
    EXPECT_TRUE(HasCallback(right->TimedCallbacks(), kDoorCloseAction, 0));
    ToggleDoor(left);
    EXPECT_TRUE(left->IsClosedDoor());
    EXPECT_FALSE(right->IsClosedDoor());
}

TEST_F(MobileDoorTest, TheClosingCallbackClosesTheDoor) {
    CItem* door = Door(10, 10);
    ToggleDoor(door);
    ASSERT_FALSE(door->IsClosedDoor());
    for (int pulse = 0; pulse <= kDoorCloseTicks; ++pulse)
        RunAllCallbacks();
    EXPECT_TRUE(door->IsClosedDoor());
    EXPECT_EQ(door->GetLocation(), Location(10, 10, 0));
}

TEST_F(MobileDoorTest, AClosingBlockedByAMobileIsRetried) {
    CItem* door = Door(10, 10);
    ASSERT_TRUE(OpenDoor(door));
    auto* blocker = new CNPC;
    blocker->PlaceInWorld(Location(10, 10, 0));
    RemoveCallback(door->TimedCallbacks(), kDoorCloseAction, 0);
    EXPECT_FALSE(CloseDoor(door));
    EXPECT_FALSE(door->IsClosedDoor());
    EXPECT_TRUE(HasCallback(door->TimedCallbacks(), kDoorCloseAction, 0));
    blocker->DeleteSelf();
    EXPECT_TRUE(CloseDoor(door));
    EXPECT_EQ(door->GetLocation(), Location(10, 10, 0));
}

}  // namespace

namespace {

class BankTest : public WorldTest {
protected:
    CPlayer* Owner() {
        auto* p = new CPlayer;
        p->PlaceInWorld(Location(5, 5, 0));
        return p;
    }
};

TEST_F(BankTest, BoxOnLayer29) {
    CPlayer* p = Owner();
    EXPECT_EQ(p->GetBankGold(), 0);
    EXPECT_EQ(p->GetLayer(kBankBoxLayer), nullptr) << "asking makes no box";
    CContainer* box = p->EnsureBankBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(p->GetLayer(kBankBoxLayer), box);
    EXPECT_EQ(box->GetType(), 3708);
    EXPECT_TRUE(box->GetStatus() & kStatusShownByMulti) << "sent to nobody unasked";
    EXPECT_EQ(p->EnsureBankBox(), box);
    box->SetType(kBag);
    EXPECT_EQ(p->EnsureBankBox(), box);
    EXPECT_EQ(box->GetType(), 3708);
}

TEST_F(BankTest, APlainItemOnLayer29BecomesGoldInANewBox) {
    CPlayer* p = Owner();
    CItem* plain = NewItem();
    ASSERT_TRUE(plain->EquipOn(p, kBankBoxLayer));
    CContainer* box = p->EnsureBankBox();
    ASSERT_NE(box, static_cast<CItem*>(plain));
    EXPECT_EQ(plain->GetContainer(), box);
    EXPECT_EQ(plain->GetType(), 3821);
    EXPECT_EQ(p->GetBankGold(), 1);
}

TEST_F(BankTest, Deposits) {
    CPlayer* p = Owner();
    CItem* coins = PlacedItem(6, 6, 0, kPlainItem);
    coins->SetType(3821);
    EXPECT_EQ(p->PutMoneyInBank(coins, -5), 1);
    EXPECT_EQ(coins->GetContainer(), nullptr);
    EXPECT_EQ(p->PutMoneyInBank(coins, coins->GetQuantity()), -1);
    EXPECT_EQ(coins->GetContainer(), p->GetLayer(kBankBoxLayer));
    EXPECT_EQ(p->GetBankGold(), coins->GetQuantity());
}

TEST_F(BankTest, PartialDepositsAndWithdrawals) {
    auto* goldType = new CResourceType;
    goldType->SetNumber(GetResourceTypes().AllocNumber());
    goldType->SetInternalName("gold");
    GetResourceTypes().Add(goldType);
    const int gold = goldType->GetNumber();
    g_objectManager.GetResourcePrototype(3821)->AddResource(gold, kResourceHeld, 1, 0, 1);
    GetTileData().MutableStatic(3821)->flags = kTileGeneric;
    auto coins = [&](int n) {
        CItem* pile = NewItem(3821);
        pile->AddResource(gold, kResourceHeld, n, 0, n);
        return pile;
    };
    CPlayer* p = Owner();
    EXPECT_EQ(p->WithdrawFromBank(10), nullptr) << "no box, nothing to take";

    struct Case {
        const char* what;
        int pile, amount;
        int answer;
        int left;  // units left in the pile where it lay; -1: the pile is gone
        int banked;
    } cases[] = {
        {"part of a pile", 25, 10, -2, 15, 10},
        {"all of it", 25, 25, -1, -1, 25},
        {"more than there is", 25, 40, -1, -1, 25},
        {"nothing", 25, 0, 1, 25, 0},
    };
    for (const Case& c : cases) {
        CPlayer* owner = Owner();
        CContainer* pack = NewItem(kBag)->AsContainer();
        ASSERT_TRUE(pack->EquipOn(owner, 21));
        CItem* pile = coins(c.pile);
        ASSERT_TRUE(pile->AddToContainer(pack, Location(30, 30, 0)));
        const u32 serial = pile->GetSerial();
        EXPECT_EQ(owner->PutMoneyInBank(pile, c.amount), c.answer) << c.what;
        CItem* after = g_objectManager.FindBySerial(serial);
        if (c.left < 0) {
            EXPECT_TRUE(after == nullptr || after->GetContainer() == owner->GetLayer(29)) << c.what;
        } else {
            ASSERT_EQ(after, pile) << c.what;
            EXPECT_EQ(pile->GetQuantity(), c.left) << c.what;
            EXPECT_EQ(pile->GetContainer(), pack) << c.what;
            EXPECT_EQ(pile->GetLocation().x, 30) << c.what;
            EXPECT_EQ(pack->GetContentWeight(), 1) << c.what;
        }
        EXPECT_EQ(owner->GetBankGold(), c.banked) << c.what;
    }

    // Withdrawing gathers from the box into one detached pile; asking past the balance gives
    // what there is; an emptied box gives nothing.
    CContainer* box = p->EnsureBankBox();
    ASSERT_TRUE(coins(30)->AddToContainer(box, Location(10, 10, 0)));
    ASSERT_TRUE(coins(40)->AddToContainer(box, Location(20, 20, 0)));
    CItem* taken = p->WithdrawFromBank(50);
    ASSERT_NE(taken, nullptr);
    EXPECT_TRUE(taken->IsDetached());
    EXPECT_EQ(taken->GetQuantity(), 50);
    EXPECT_EQ(p->GetBankGold(), 20);
    CItem* rest = p->WithdrawFromBank(500);
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(rest->GetQuantity(), 20);
    EXPECT_EQ(p->GetBankGold(), 0);
    EXPECT_EQ(p->WithdrawFromBank(1), nullptr);
    taken->DeleteSelf();
    rest->DeleteSelf();
}

TEST_F(BankTest, MobFlagsRunOut) {
    struct Case {
        int action;
        int flag;
        const char* told;
    } cases[] = {{14, kMobFrozen, "You are no longer frozen."},
                 {15, kMobSquelched, "You are no longer squelched."},
                 {16, kMobInvulnerable, "You are no longer invulnerable."}};
    for (const Case& c : cases) {
        CPlayer* p = Owner();
        p->SetMobFlag(c.flag, true);
        ScheduleCallback(0, p->GetSerial(), c.action, 0, nullptr);
        packets.log.clear();
        RunAllCallbacks();
        EXPECT_FALSE(p->GetMobFlag(c.flag)) << c.action;
        EXPECT_EQ(
            packets.With("msg"),
            (std::vector<std::string>{"msg " + std::to_string(p->GetSerial()) + " " + c.told}))
            << c.action;
        // Nothing to lift: nothing said.
        ScheduleCallback(0, p->GetSerial(), c.action, 0, nullptr);
        packets.log.clear();
        RunAllCallbacks();
        EXPECT_TRUE(packets.With("msg").empty()) << c.action;
    }
}

}  // namespace
