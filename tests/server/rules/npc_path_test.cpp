#include "server/rules/npc/npc_path.h"

#include <gtest/gtest.h>

#include "server/world/map_queries.h"
#include "server/world/npc.h"
#include "tests/server/world/world_test_support.h"

namespace {

class NpcPathTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        GetTileData().MutableStatic(kDoorGraphic)->layer = 2;  // swings to x - 1
    }
    void TearDown() override {
        g_mobileTable.SetCurrentNpc(nullptr);
        WorldTest::TearDown();
    }
    CNPC* Walker(int x, int y, int facing) {
        CNPC* npc = new CNPC;
        npc->SetBodyType(400);
        npc->SetMaxFatigue(100);
        npc->SetCurFatigue(100);
        npc->SetDirection(facing);
        npc->PlaceInWorld(Location(x, y, 0));
        g_mobileTable.SetCurrentNpc(npc);
        return npc;
    }
    // Walks the path to its end (bounded); the steps taken.
    int WalkOut(CNPC* npc, int bound = 40) {
        int steps = 0;
        while (npc->HasPath() && steps < bound) {
            npc->FollowPathStep();
            ++steps;
        }
        return steps;
    }
    std::vector<int> Reports(u32 serial) const {
        std::vector<int> out;
        for (const auto& c : triggers.calls) {
            if (c.serial != serial) continue;
            if (c.trigger != kTriggerPathFound && c.trigger != kTriggerPathNotFound) continue;
            out.push_back(c.trigger);
            EXPECT_EQ(c.ints, std::vector<int>{77});
        }
        return out;
    }
};

TEST_F(NpcPathTest, ReachIsEightTilesAndAFailedSearchReportsAtOnce) {
    struct Case {
        int gx, gy;
        bool found;
    } cases[] = {{18, 10, true}, {19, 10, false}, {10, 1, false}, {2, 2, true}};
    for (const Case& c : cases) {
        CNPC* npc = Walker(10, 10, 0);
        triggers.calls.clear();
        EXPECT_EQ(npc->StartWalkTo(77, Location(c.gx, c.gy, 0)), c.found ? 1 : 0) << c.gx;
        EXPECT_EQ(npc->HasPath(), c.found);
        EXPECT_EQ(Reports(npc->GetSerial()),
                  c.found ? std::vector<int>{} : std::vector<int>{kTriggerPathNotFound});
        npc->DeleteSelf();
    }
    // Without an argument nothing is reported.
    CNPC* npc = Walker(10, 10, 0);
    triggers.calls.clear();
    EXPECT_EQ(npc->StartWalkTo(-1, Location(30, 10, 0)), 0);
    EXPECT_TRUE(triggers.calls.empty());
}

TEST_F(NpcPathTest, DiagonalGoalIsAStaircaseOfStraightStepsAndTurns) {
    CNPC* npc = Walker(10, 10, 0);
    ASSERT_EQ(npc->StartWalkTo(77, Location(14, 14, 0)), 1);
    const std::vector<PathStep> path = npc->ai.path;
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(npc->ai.pathIndex, static_cast<int>(path.size()) - 2);
    // The last entry is where the search started.
    EXPECT_EQ(path.back().x, 10);
    EXPECT_EQ(path.back().y, 10);
    int turns = 0;
    for (size_t i = path.size() - 1; i > 0; --i) {
        const PathStep& a = path[i];
        const PathStep& b = path[i - 1];
        EXPECT_EQ(b.direction % 2, 0) << "straight directions only";
        const int moved = std::abs(a.x - b.x) + std::abs(a.y - b.y);
        if (moved == 0) {
            ++turns;
            EXPECT_NE(a.direction, b.direction);
        } else {
            EXPECT_EQ(moved, 1);
            EXPECT_EQ(a.direction, b.direction) << "a move keeps the facing";
        }
    }
    EXPECT_GE(turns, 2);  // north to east or south, then on
    const PathStep last = path[1];
    const int steps = WalkOut(npc);
    EXPECT_EQ(steps, static_cast<int>(path.size()) - 2);
    EXPECT_EQ(npc->GetWorldLocation().x, last.x);
    EXPECT_EQ(npc->GetWorldLocation().y, last.y);
    EXPECT_LE(ChebyshevDistanceXY(last.x, last.y, 14, 14), 2);
    EXPECT_EQ(Reports(npc->GetSerial()), std::vector<int>{kTriggerPathFound});
}

TEST_F(NpcPathTest, SingleStepPathsAndAPathEndingInATurnReport) {
    struct Case {
        const char* what;
        int facing;
        size_t size;     // entries of the path
        int endX, endY;  // where the walker stands at the end
        int endFacing;
    } cases[] = {
        // Depth 0: the one entry that reached the goal is walked.
        {"facing the goal", 0, 2, 10, 9, 0},
        // The step that reaches the goal is never walked: the path ends with the turn.
        {"facing east", 2, 3, 10, 10, 0},
    };
    for (const Case& c : cases) {
        CNPC* npc = Walker(10, 10, c.facing);
        triggers.calls.clear();
        ASSERT_EQ(npc->StartWalkTo(77, Location(10, 8, 0)), 1) << c.what;
        EXPECT_EQ(npc->ai.path.size(), c.size) << c.what;
        EXPECT_EQ(WalkOut(npc), 1) << c.what;
        EXPECT_EQ(npc->GetWorldLocation(), Location(c.endX, c.endY, 0)) << c.what;
        EXPECT_EQ(npc->GetDirection() & 7, c.endFacing) << c.what;
        EXPECT_EQ(Reports(npc->GetSerial()), std::vector<int>{kTriggerPathFound}) << c.what;
        npc->DeleteSelf();
    }
}

TEST_F(NpcPathTest, DoorOnThePathIsOpenedAndThatStepTriedAgain) {
    CNPC* npc = Walker(10, 10, 0);
    ASSERT_EQ(npc->StartWalkTo(77, Location(10, 5, 0)), 1);
    const int index = npc->ai.pathIndex;
    CItem* door = PlacedItem(10, 9, 0, kDoorGraphic);
    npc->FollowPathStep();
    EXPECT_FALSE(door->IsClosedDoor());
    EXPECT_EQ(npc->ai.pathIndex, index);
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 10, 0));
    WalkOut(npc);
    // The step that came within a tile of the goal is never walked.
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 7, 0));
    EXPECT_EQ(Reports(npc->GetSerial()), std::vector<int>{kTriggerPathFound});

    // A use handler that deletes the walker: the step ends and nothing touches it.
    CNPC* other = Walker(20, 10, 0);
    ASSERT_EQ(other->StartWalkTo(77, Location(20, 5, 0)), 1);
    PlacedItem(20, 9, 0, kDoorGraphic);
    const u32 serial = other->GetSerial();
    triggers.onTrigger = [serial](CItem*, int trigger) {
        if (trigger == kTriggerUse) g_objectManager.FindBySerial(serial)->DeleteSelf();
    };
    other->FollowPathStep();
    EXPECT_EQ(g_objectManager.FindNPC(serial), nullptr);
    triggers.onTrigger = nullptr;
}

TEST_F(NpcPathTest, ExhaustedWaitsBlockedFailsAndASecondWalkFreesTheFirst) {
    CNPC* npc = Walker(10, 10, 0);
    ASSERT_EQ(npc->StartWalkTo(77, Location(10, 5, 0)), 1);
    const int index = npc->ai.pathIndex;
    npc->SetCurFatigue(0);
    npc->FollowPathStep();
    EXPECT_EQ(npc->ai.pathIndex, index);
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 10, 0));
    npc->SetCurFatigue(100);
    npc->FollowPathStep();
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 9, 0));
    // A wall dropped on the way: the walk ends with the failure report.
    triggers.calls.clear();
    PlacedItem(10, 8, 0, kWall);
    WalkOut(npc);
    EXPECT_FALSE(npc->HasPath());
    EXPECT_EQ(npc->GetWorldLocation(), Location(10, 9, 0));
    EXPECT_EQ(Reports(npc->GetSerial()), std::vector<int>{kTriggerPathNotFound});

    ASSERT_EQ(npc->StartWalkTo(77, Location(14, 9, 0)), 1);
    EXPECT_EQ(npc->StartWalkTo(77, Location(30, 9, 0)), 0);
    EXPECT_FALSE(npc->HasPath());
}

TEST_F(NpcPathTest, AWalledInGoalAndTheNodeCap) {
    // A goal inside a closed ring of walls is never reached however long the table.
    for (int x = 13; x <= 17; ++x) {
        PlacedItem(x, 13, 0, kWall);
        PlacedItem(x, 17, 0, kWall);
    }
    for (int y = 14; y <= 16; ++y) {
        PlacedItem(13, y, 0, kWall);
        PlacedItem(17, y, 0, kWall);
    }
    CNPC* npc = Walker(10, 10, 0);
    EXPECT_FALSE(FindPathTo(*npc, Location(15, 15, 0)));
    EXPECT_FALSE(npc->HasPath());
    // Open ground: found with the full table, not with a table of a few nodes.
    EXPECT_TRUE(FindPathTo(*npc, Location(4, 4, 0)));
    EXPECT_FALSE(FindPathTo(*npc, Location(4, 4, 0), 6));
    EXPECT_FALSE(npc->HasPath());
}

}  // namespace
