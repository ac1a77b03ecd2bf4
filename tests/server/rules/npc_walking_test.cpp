// The per-pulse state step: speed, steps, sleep, doors and blocked walks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "server/rules/npc/npc_rules.h"
#include "server/world/doors.h"
#include "tests/server/rules/npc_test_support.h"

namespace {

using NpcWalkingTest = NpcTest;

TEST_F(NpcWalkingTest, SpeedFromDexterityStateHitsBankAndLoad) {
    struct Case {
        const char* what;
        int dexterity;  // 0: move speed 35; 400: 163
        int state;
        int hits;  // of 100
        int flags;
        bool guard;
        int cap;
        int speed;
        bool running;
    } cases[] = {
        {"idle walker, dexterity 0", 0, kNpcWander, 100, 0, false, 100, 10, false},
        {"runaway, dexterity 0", 0, kNpcRunaway, 100, 0, false, 100, 35, false},
        {"loiter", 0, kNpcLoiter, 100, 0, false, 100, 6, false},
        {"attack", 0, kNpcAttackTarget, 100, 0, false, 100, 17, false},
        // The load governor's cap is 100 without load: only guards and followers pass it.
        {"runaway at 163 runs", 400, kNpcRunaway, 100, 0, false, 100, 100, true},
        {"half hits, half speed", 400, kNpcRunaway, 50, 0, false, 100, 81, false},
        {"one hit left: a quarter", 400, kNpcRunaway, 1, 0, false, 100, 40, false},
        {"bank kind 1 capped at 35", 400, kNpcRunaway, 100, kNpcBankKind1, false, 100, 35, false},
        {"bank kind 1 fights at full speed", 400, kNpcAttackTarget, 100, kNpcBankKind1, false,
         100, 81, false},
        {"governor cap", 400, kNpcRunaway, 100, 0, false, 10, 10, true},
        {"guards are not capped", 400, kNpcRunaway, 100, 0, true, 10, 163, true},
    };
    for (const Case& c : cases) {
        limits.cap = c.cap;
        CNPC* npc = c.guard ? new CGuard : new CNPC;
        npc->SetRealStat(kStatDexterity, c.dexterity);
        npc->SetMaxHits(100);
        npc->SetCurHits(c.hits);
        npc->SetNpcFlags(c.flags);
        npc->ai.state = c.state;
        bool fast = true;
        EXPECT_EQ(NpcPulseSpeed(npc, fast), c.speed) << c.what;
        EXPECT_FALSE(fast) << c.what;
        EXPECT_EQ((npc->GetDirection() & 0x80) != 0, c.running) << c.what;
        delete npc;
    }
}

TEST_F(NpcWalkingTest, StepsPerPulseFollowTheSpeed) {
    struct Case {
        int dexterity;
        int state;
        int pulses;
        int tiles;
    } cases[] = {
        {0, kNpcWander, 30, 3},    // a step every 10 pulses
        {0, kNpcRunaway, 9, 3},    // every third pulse
        {400, kNpcRunaway, 4, 4},  // capped at one a pulse
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(5, 30, 10, 400, c.dexterity);
        npc->SetState(c.state);
        npc->ai.destination = Location(60, 30, 0);
        npc->ai.moving = 1;
        Pulses(npc, c.pulses);
        EXPECT_EQ(npc->GetWorldLocation().x - 5, c.tiles) << c.dexterity << " " << c.state;
        npc->DeleteSelf();
    }
}

TEST_F(NpcWalkingTest, ArrivalSleepsThenResumes) {
    CNPC* npc = Npc(10, 10, 10, 400, 400);
    npc->SetState(kNpcWander);
    npc->ai.resumeState = kNpcWander;
    npc->ai.destination = Location(13, 10, 0);
    npc->ai.moving = 1;
    Pulses(npc, 10);
    EXPECT_EQ(npc->GetState(), kNpcSleep);
    EXPECT_EQ(npc->ai.moving, 0);
    EXPECT_GE(npc->ai.sleepCount + 10, 15);
    EXPECT_LE(npc->ai.sleepCount, 30);
    EXPECT_LE(ChebyshevDistanceXY(npc->GetWorldLocation().x, npc->GetWorldLocation().y, 13, 10), 1);
    Pulses(npc, 40);
    EXPECT_NE(npc->GetState(), kNpcSleep);
    EXPECT_EQ(npc->ai.previousState, kNpcSleep);

    // Animals never sleep: they take the resume state at once.
    CNPC* deer = Npc(20, 20, 550, 0xED, 400);
    deer->GoToSleep(20, kNpcLoiter);
    EXPECT_EQ(deer->GetState(), kNpcLoiter);
}

TEST_F(NpcWalkingTest, BlockedWalkTakesTheBlockedStateAndFlipsTheQuadrant) {
    for (int x = 8; x <= 12; ++x)
        PlacedItem(x, 9, 0, kWall);
    CNPC* npc = Npc(10, 10, 0xFFFF, 400, 400);
    npc->SetState(kNpcAttackTarget);
    npc->ai.blockedState = kNpcWander;
    npc->ai.resumeState = kNpcAttackTarget;
    npc->ai.lastQuadrant = 1;
    npc->ai.destination = Location(10, 4, 0);
    npc->ai.moving = 1;
    Pulses(npc, 3);
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 10, 0));
    EXPECT_EQ(npc->GetState(), kNpcWander);
    EXPECT_EQ(npc->ai.arrivedElsewhere, 1);
    EXPECT_EQ(npc->ai.lastQuadrant, 3);
}

TEST_F(NpcWalkingTest, AClosedDoorIsOpenedAndWalkedThrough) {
    GetTileData().MutableStatic(kDoorGraphic)->layer = 2;
    CItem* door = PlacedItem(10, 9, 0, kDoorGraphic);
    CNPC* npc = Npc(10, 10, 0xFFFF, 400, 400);
    npc->SetState(kNpcRunaway);
    npc->ai.destination = Location(10, 5, 0);
    npc->ai.moving = 1;
    npc->ai.resumeState = kNpcIdle;
    Pulses(npc, 6);
    EXPECT_FALSE(door->IsClosedDoor());
    EXPECT_LE(npc->GetWorldLocation().y, 6);
}

TEST_F(NpcWalkingTest, SideStepsAreSeededAndDormantNpcsStandStill) {
    // A wall straight ahead only: the walker steps to one side, chosen by the seed.
    auto sideAfter = [this](u32 seed) {
        PlacedItem(10, 9, 0, kWall);
        CNPC* npc = Npc(10, 10, 0xFFFF, 400, 400);
        platform::SeedRandom(seed);
        npc->SetState(kNpcRunaway);
        npc->ai.destination = Location(10, 2, 0);
        npc->ai.moving = 1;
        Pulses(npc, 1);
        const int x = npc->GetWorldLocation().x;
        DeleteAllObjects();
        return x;
    };
    EXPECT_EQ(sideAfter(7), sideAfter(7));
    bool left = false, right = false;
    for (u32 seed = 1; seed < 20; ++seed) {
        const int x = sideAfter(seed);
        left |= x == 9;
        right |= x == 11;
    }
    EXPECT_TRUE(left && right);

    CNPC* npc = Npc(10, 10, 0xFFFF, 400, 400);
    npc->SetNpcFlags(kNpcDormant);
    npc->SetState(kNpcWander);
    npc->ai.destination = Location(20, 10, 0);
    npc->ai.moving = 1;
    Pulses(npc, 10);
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 10, 0));
}

}  // namespace
