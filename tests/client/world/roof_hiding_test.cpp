#include "client/world/roof_hiding.h"

#include <gtest/gtest.h>

#include "tests/client/world/walk_fixture.h"

namespace {

constexpr u32 kRoofFlag = 0x10000000;

class RoofHidingTest : public WalkFixture {
protected:
    static constexpr int kPlain = 0x300;        // no flags
    static constexpr int kRoof = 0x301;         // roof
    static constexpr int kRoofSurface = 0x302;  // roof and surface
    static constexpr int kLowPiece = 0x303;     // 0x4: never a ceiling

    RoofHidingTest() {
        SetStatic(kPlain, 0, 1);
        SetStatic(kRoof, kRoofFlag, 1);
        SetStatic(kRoofSurface, kRoofFlag | 0x200, 1);
        SetStatic(kLowPiece, 0x4, 1);
    }
    int Roof() const { return TheLevels().roofLevel; }
};

TEST_F(RoofHidingTest, CeilingsInThePlayersCell) {
    struct Case {
        const char* name;
        int graphic, z;
        int roof;
    };
    const Case cases[] = {
        {"nothing above: no roof", 0, 0, 127},
        {"a ceiling at 20", kPlain, 20, 20},
        {"z 14 is never a ceiling", kPlain, 14, 127},
        {"a ceiling at 15 still leaves 16 of room", kPlain, 15, 16},
        {"a roof piece alone does not count here", kRoof, 20, 127},
        {"a roof that is also a surface does", kRoofSurface, 20, 20},
        {"flag 0x4 never counts", kLowPiece, 20, 127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        PlayerAt(10, 10, 0);
        if (c.graphic) StaticAt(c.graphic, 10, 10, c.z);
        UpdateRoofLevel();
        EXPECT_EQ(Roof(), c.roof);
    }
}

TEST_F(RoofHidingTest, ObjectsFromTheRoofLevelUpAreHidden) {
    PlayerAt(10, 10, 0);
    StaticAt(kPlain, 10, 10, 20);
    CClientObject* high = StaticAt(kPlain, 14, 14, 20);
    CClientObject* low = StaticAt(kPlain, 14, 15, 19);
    CClientObject* roof = StaticAt(kRoof, 30, 30, 60);
    EXPECT_FALSE(high->IsHidden());
    EXPECT_FALSE(roof->IsHidden());
    UpdateRoofLevel();
    EXPECT_TRUE(high->IsHidden());
    EXPECT_FALSE(low->IsHidden());
    // Any roof level hides every roof piece, whatever its height.
    EXPECT_TRUE(roof->IsHidden());
}

TEST_F(RoofHidingTest, ARoofInFrontFloodsToItsLowestConnectedPiece) {
    CClientPlayer* p = PlayerAt(10, 10, 0);
    StaticAt(kRoof, 11, 11, 30);
    StaticAt(kRoof, 12, 11, 33);
    StaticAt(kRoof, 13, 11, 27);
    StaticAt(kRoof, 14, 11, 20);  // 7 below its neighbour: not connected
    CClientObject* far = StaticAt(kRoof, 40, 40, 90);
    UpdateRoofLevel();
    EXPECT_EQ(TheLevels().floodLevel, 27);
    EXPECT_EQ(Roof(), 27);
    EXPECT_TRUE(far->IsHidden());
    EXPECT_TRUE(p->IsHidden() == false);
}

TEST_F(RoofHidingTest, TheViewIsRedrawnOnlyWhenALevelChanges) {
    PlayerAt(10, 10, 0);
    StaticAt(kPlain, 10, 10, 20);
    walkHooks.wholeViewInvalidations = 0;
    UpdateRoofLevel();
    EXPECT_EQ(walkHooks.wholeViewInvalidations, 1);
    UpdateRoofLevel();
    EXPECT_EQ(walkHooks.wholeViewInvalidations, 1);
}

TEST_F(RoofHidingTest, TheFloodVisitsWestEastNorthSouthDepthFirst) {
    // The cell south of the west piece is reached first from that piece (36: too far from its
    // 25) and is then closed, although the south piece (30) would have reached it.
    PlayerAt(20, 20, 0);
    StaticAt(kRoof, 21, 21, 30);  // the start, in front of the player
    StaticAt(kRoof, 20, 21, 36);  // west of the start
    StaticAt(kRoof, 21, 22, 30);  // south of the start
    StaticAt(kRoof, 20, 22, 25);  // south of the west piece, west of the south piece
    UpdateRoofLevel();
    EXPECT_EQ(TheLevels().floodLevel, 30);
}

TEST_F(RoofHidingTest, AWholeWindowOfRoofFloodsWithoutDeepCalls) {
    PlayerAt(10, 10, 0);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            // One piece, far along the flood, sits 5 lower.
            StaticAt(kRoof, x, y, x == 60 && y == 60 ? 25 : 30);
        }
    }
    UpdateRoofLevel();
    EXPECT_EQ(TheLevels().floodLevel, 25);
    EXPECT_EQ(Roof(), 25);
}

TEST_F(RoofHidingTest, SeeThroughWallPiecesOfARun) {
    SetStatic(3400, 0x20000, 1);
    SetStatic(3401, 0x20000, 1);
    SetStatic(3402, 0x20000, 1);
    SetStatic(0x304, 0x20000, 1);  // a see-through piece of no run
    struct Case {
        const char* name;
        int otherGraphic;
        bool overlaps;
        bool hidden;
    };
    const Case cases[] = {
        {"two graphics and two tiles apart, overlapping", 3402, true, true},
        {"one graphic apart at two tiles", 3401, true, false},
        {"not over the player", 3402, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        CClientPlayer* p = PlayerAt(10, 10, 0);
        CClientObject* piece = StaticAt(3400, 13, 9, 0);
        CClientObject* other = StaticAt(c.otherGraphic, 11, 11, 0);
        p->box = ScreenRect{0, 0, 44, 44};
        piece->box = ScreenRect{200, 0, 244, 44};
        other->box = c.overlaps ? ScreenRect{10, 10, 54, 54} : ScreenRect{100, 0, 144, 44};
        walkHooks.dirty.clear();
        UpdateRoofLevel();
        EXPECT_EQ(piece->IsHidden(), c.hidden);
        EXPECT_EQ(piece->seeThroughHidden, c.hidden ? 1 : 0);
    }
    // A piece of no run: hidden when it is over the player and further forward.
    ResetWorld();
    CClientPlayer* p = PlayerAt(10, 10, 0);
    CClientObject* lone = StaticAt(0x304, 11, 11, 0);
    CClientObject* behind = StaticAt(0x304, 9, 10, 0);
    p->box = ScreenRect{0, 0, 44, 44};
    lone->box = ScreenRect{10, 10, 54, 54};
    behind->box = ScreenRect{10, 10, 54, 54};
    UpdateRoofLevel();
    EXPECT_TRUE(lone->IsHidden());
    EXPECT_FALSE(behind->IsHidden());
}

}  // namespace

namespace {

TEST_F(RoofHidingTest, EnteringTheWorldUnderACeilingSetsTheRoofLevel) {
    MakePlayer(1, 400);
    TheClientMap().playerOutOfWorld = true;
    StaticAt(0x300, 30, 30, 40);
    TheClientWorld().EnterWorld(1, 400, 30, 30, 10, 0, 0);
    EXPECT_EQ(TheLevels().roofLevel, 40);
}

}  // namespace
