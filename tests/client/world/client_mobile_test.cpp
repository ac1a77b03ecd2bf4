#include "client/world/client_mobile.h"

#include <gtest/gtest.h>

#include "tests/client/world/world_fixture.h"

namespace {

class ClientMobileTest : public WorldFixture {};

TEST_F(ClientMobileTest, DeathActionByBodyAndFallMode) {
    MakePlayer();
    struct Case {
        int body, fallMode, action, frames;
    } cases[] = {
        {100, 1, 130, 5}, {100, 0, 131, 5}, {160, 1, 136, 15}, {160, 0, 136, 15},
        {250, 1, 136, 5}, {250, 0, 140, 5}, {400, 1, 149, 5},  {400, 0, 150, 5},
    };
    u32 serial = 0x50;
    for (const Case& c : cases) {
        CClientMobile* m = Mobile(serial, c.body);
        ASSERT_NE(m, nullptr);
        m->Die(0x40000000u | serial, c.fallMode);
        EXPECT_EQ(m->action.id, c.action) << c.body << " " << c.fallMode;
        EXPECT_EQ(m->action.frameCount, c.frames);
        EXPECT_EQ(TheClientWorld().FindBySerial(serial), nullptr);  // marked serial hides it
        EXPECT_TRUE(TheDyingMobiles().IsPending(0, serial | 0x80000000u));
        m->Destroy();
        EXPECT_FALSE(TheDyingMobiles().IsPending(0, serial | 0x80000000u));
        ++serial;
    }
}

TEST_F(ClientMobileTest, DyingWithoutACorpseAddsNoEntry) {
    MakePlayer();
    CClientMobile* m = Mobile(0x60, 400);
    m->Die(0, 0);
    EXPECT_TRUE(TheDyingMobiles().entries.empty());
    EXPECT_EQ(TheClientWorld().FindBySerial(0x60), nullptr);
}

TEST_F(ClientMobileTest, ResolveInBothOrders) {
    MakePlayer();
    for (bool mobileGoesFirst : {false, true}) {
        CClientMobile* m = Mobile(0x70, 400);
        m->direction = 3;
        CClientObject* corpse =
            TheClientWorld().UpdateObject(0x40000070, 8198, 0, 1, 11, 10, 0, 0, 0, 0);
        ASSERT_NE(corpse, nullptr);
        m->Die(0x40000070, 0);
        if (mobileGoesFirst) {
            m->Destroy();  // it leaves the view before its death action ends
        } else {
            // The action ends and the mobile is destroyed with it.
            for (int i = 0; i < 50 && ActionSlot(0); ++i)
                RunActionSequencer();
        }
        EXPECT_TRUE(TheDyingMobiles().entries.empty());
        EXPECT_EQ(TheClientWorld().FindBySerial(0x70 | 0x80000000u), nullptr);
        EXPECT_EQ(corpse->direction, 3 | 0x80) << mobileGoesFirst;
        EXPECT_EQ(TheClientWorld().mobileCount, 1);  // the player only
        corpse->Destroy();
    }
}

TEST_F(ClientMobileTest, StepTiming) {
    CClientMobile m(0x300, 400, 0);
    EXPECT_EQ(m.MovesPerTile(), 4);
    m.running = 1;
    EXPECT_EQ(m.MovesPerTile(), 2);
    m.steepStep = 1;
    m.stepDrop = 33;
    EXPECT_EQ(m.MovesPerTile(), 10);
    CClientMobile big(0x301, 1500, 0);  // past the table: the defaults
    EXPECT_EQ(big.MovesPerTile(), 4);
}

TEST_F(ClientMobileTest, Footsteps) {
    struct Case {
        int body;
        int counter;  // with 10 frames the frame is counter % 9
        bool option;
        u8 status;
        const char* sound;  // "" for none
    } cases[] = {
        {400, 6, true, 0, "PlaySound 300 panned"},
        {400, 1, true, 0, "PlaySound 299 panned"},
        {400, 6, false, 0, ""},
        {400, 6, true, 0x80, ""},  // hidden
        {402, 6, true, 0, ""},     // ghost
        {200, 6, true, 0, ""},     // creature
        {400, 4, true, 0, ""},
    };
    for (const Case& c : cases) {
        hooks.calls.clear();
        hooks.footsteps = c.option;
        CClientMobile m(0x400, c.body, 0);
        m.animCounter = c.counter;
        m.statusFlags = c.status;
        m.PlayFootstep();
        EXPECT_EQ(hooks.calls.empty() ? "" : hooks.calls.back(), std::string(c.sound))
            << c.body << " " << c.counter;
    }
}

TEST(MovementActionTest, ChoosesByBodyRunningAndMount) {
    struct Case {
        int body;
        bool running, mounted, idle, torch;
        int action;
    } cases[] = {
        {100, false, false, false, false, 0}, {5, true, false, false, false, 19},
        {7, true, false, false, false, 0},    {300, true, false, false, false, 1},
        {400, true, true, false, false, 24},  {400, false, true, true, false, 23},
        {400, true, false, false, true, 6},   {400, false, false, false, true, 2},
        {400, false, false, true, false, 7},
    };
    for (const Case& c : cases) {
        int action = -1, frame = -1;
        ChooseMovementAction(c.body, 3, -1, 0, c.running, c.mounted, c.idle, c.torch, action,
                             frame);
        EXPECT_EQ(action, c.action) << c.body;
    }
    int action = 0, frame = 0;
    ChooseMovementAction(400, 3, 2, 0x80 | 21, false, false, false, false, action, frame);
    EXPECT_EQ(action, 21);
    EXPECT_EQ(frame, 2);
}

TEST_F(ClientMobileTest, GroundAndStairHeights) {
    const s8 c[4] = {0, 4, 8, 4};
    EXPECT_EQ(GetZVal(c, true, 0, 3), 4);
    EXPECT_EQ(GetZVal(c, true, 2, 3), 8);
    EXPECT_EQ(GetZVal(c, true, 1, 3), 6);
    EXPECT_EQ(GetZVal(c, true, 2, 9), 4);  // a direction out of range: the centre, reported
    EXPECT_EQ(hooks.calls.back(),
              "ShowMessage Someone tried to call GetZVal with theDir not between 0 and 7 / "
              "Bugger");
    struct Stair {
        int offset, dir, z;
    } stairs[] = {{1, 0, 18}, {2, 1, 20}, {1, 4, 12}, {2, 5, 10}, {1, 2, 15}, {0, 0, 15}};
    for (const Stair& s : stairs)
        EXPECT_EQ(StairZ(10, 10, s.offset, s.dir), s.z);
    EXPECT_EQ(FallZ(30, 0, 1, 10), 30);
    EXPECT_EQ(FallZ(30, 0, 6, 10), 15);
    // Two frames per tile (or fewer) never divide: the fall lands at its end height.
    EXPECT_EQ(FallZ(30, 0, 5, 2), 0);
}

TEST_F(ClientMobileTest, ThePlayersStepAtRestSetsTheScrollAndDrawnZ) {
    CClientPlayer* p = MakePlayer();
    RecentreCellGrid(100, 100);
    LandTile* land = LandTile::Allocate(3, ClientLocation{100, 100, 5});
    land->PlaceInCell();
    p->PlaceInWorld(ClientLocation{100, 100, 5});
    p->UpdateStep();
    EXPECT_EQ(ViewScrollX, (100 + 6144 - 100) * 22 - 319);
    EXPECT_EQ(ViewScrollY, 200 * 22 - p->drawnZ * 4 - 217);
}

TEST_F(ClientMobileTest, TheDrawnHeightOfAMobilesStep) {
    RecentreCellGrid(20, 20);
    SetStatic(80, 0x400, 10);               // stairs: stood on at half their height
    SetStatic(81, 0x400 | 0x40000000, 10);  // stairs turned by 6
    struct Case {
        int stairs;  // 0: none
        int progress, direction;
        bool steep;
        int drawnZ;
    } cases[] = {
        {80, 3, 0, false, 8},  // more than half the frames left: the start cell, offset 1
        {81, 3, 0, false, 5},  // turned to 6: the middle of the stairs
        {80, 0, 0, false, 5},  // at rest: offset 0
        {0, 3, 0, true, 13},   // a steep drop: the fall curve of 10 frames, 7 done
    };
    for (const Case& c : cases) {
        CClientObject* stairs = nullptr;
        if (c.stairs) {
            stairs = CClientObject::AllocateStatic(c.stairs);
            stairs->loc.Set(5, 5, 0);
            stairs->PlaceInCell();
        }
        CClientMobile m(0x600, 400, 0);
        m.direction = u8(c.direction);
        m.stepStart.Set(5, 5, 5);
        m.loc.Set(c.progress ? 6 : 5, c.progress ? 4 : 5, c.progress && !c.steep ? 0 : 5);
        if (c.steep) m.loc.Set(6, 4, 0);
        m.stepProgress = c.progress;
        m.steepStep = c.steep ? 1 : 0;
        m.stepDrop = c.steep ? 33 : 0;
        m.UpdateStep();
        EXPECT_EQ(m.drawnZ, c.drawnZ) << c.stairs << " " << c.progress;
        if (stairs) {
            stairs->RemoveFromCell();
            stairs->Destroy();
        }
    }
}

TEST_F(ClientMobileTest, NotorietyTests) {
    struct Case {
        int value;
        bool kind1, kind2;
    } cases[] = {{1, false, true}, {101, false, true}, {5, true, false}, {7, true, true}};
    for (const Case& c : cases) {
        CClientMobile m(0x500, 400, 0);
        m.SetNotoriety(c.value);
        EXPECT_EQ(m.AllowsTargetKind1(), c.kind1) << c.value;
        EXPECT_EQ(m.AllowsTargetKind2(), c.kind2) << c.value;
    }
    CClientPlayer p(0x501, 400, 0);
    p.SetNotoriety(5);
    EXPECT_TRUE(p.AllowsTargetKind1());
    EXPECT_TRUE(p.AllowsTargetKind2());
}

}  // namespace
