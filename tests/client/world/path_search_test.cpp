#include "client/world/path_search.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "client/data/fonts.h"
#include "client/world/journal.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/world/walk_fixture.h"

namespace {

class PathSearchTest : public WalkFixture {
protected:
    // The nodes from the start to `goal` once linked forward.
    std::vector<const PathNode*> Chain(PathNode* goal) {
        std::vector<const PathNode*> out;
        for (const PathNode* n = TheClientPath().LinkForward(goal); n; n = n->nextOnPath)
            out.push_back(n);
        return out;
    }
    void Wall(int x, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            StaticAt(kStaticBlocker, x, y, 0);
    }
};

TEST_F(PathSearchTest, AGoalAtTheStartIsFoundInOneIteration) {
    PlayerAt(10, 10, 0);
    FlatLand(10, 10, 3);
    ClientPath& path = TheClientPath();
    PathNode* goal = path.FindPath(10, 10, 0, 10, 10, 0, 100, 0);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(path.iterations, 1);
    EXPECT_EQ(goal->parent, nullptr);
    // Within the tolerance counts as there.
    goal = path.FindPath(10, 10, 0, 11, 11, 0, 100, 1);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(path.iterations, 1);
}

TEST_F(PathSearchTest, AStraightRunAndTheLimit) {
    PlayerAt(10, 10, 0);
    FlatLand(14, 10, 6);
    ClientPath& path = TheClientPath();
    PathNode* goal = path.FindPath(10, 10, 0, 16, 10, 0, 500, 0);
    ASSERT_NE(goal, nullptr);
    const auto chain = Chain(goal);
    ASSERT_EQ(chain.size(), 7u);
    for (size_t i = 0; i < chain.size(); ++i)
        EXPECT_EQ(chain[i]->x, 10 + int(i));
    // Behind a wall that needs more expansions than the limit: nothing, and no node kept.
    Wall(13, 4, 16);
    EXPECT_EQ(path.FindPath(10, 10, 0, 16, 10, 0, 5, 0), nullptr);
    EXPECT_EQ(path.LiveNodes(), 0u);
    // An unreachable goal: the search ends when nothing is left to expand, and frees its nodes.
    EXPECT_EQ(path.FindPath(10, 10, 0, 100, 100, 0, 100000, 0), nullptr);
    EXPECT_LE(path.iterations, ClientPath::kMaxIterations + 1);
    EXPECT_EQ(path.LiveNodes(), 0u);
}

TEST_F(PathSearchTest, ADiagonalBetweenTwoBlockedSidesIsNeverTaken) {
    PlayerAt(10, 10, 0);
    FlatLand(10, 10, 4);
    StaticAt(kStaticBlocker, 10, 9, 0);   // north
    StaticAt(kStaticBlocker, 11, 10, 0);  // east
    PathNode* goal = TheClientPath().FindPath(10, 10, 0, 11, 9, 0, 500, 0);
    ASSERT_NE(goal, nullptr);
    const auto chain = Chain(goal);
    EXPECT_GT(chain.size(), 2u);
    for (size_t i = 1; i < chain.size(); ++i) {
        const int dx = chain[i]->x - chain[i - 1]->x, dy = chain[i]->y - chain[i - 1]->y;
        EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1);
        if (dx != 0 && dy != 0) {
            // Both side cells of every diagonal step are open.
            EXPECT_FALSE(chain[i - 1]->x + dx == 11 && chain[i - 1]->y == 10);
            EXPECT_FALSE(chain[i - 1]->x == 10 && chain[i - 1]->y + dy == 9);
        }
    }
}

TEST_F(PathSearchTest, ToleranceAndHeight) {
    struct Case {
        const char* name;
        int goalZ, tolerance;
        bool goalBlocked, found;
    };
    const Case cases[] = {
        {"a blocked goal, tolerance 0", 0, 0, true, false},
        {"a blocked goal, tolerance 1: next to it", 0, 1, true, true},
        {"goal 8 above the ground", 8, 0, false, true},
        {"goal 9 above the ground", 9, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        PlayerAt(10, 10, 0);
        FlatLand(12, 10, 3);
        if (c.goalBlocked) StaticAt(kStaticBlocker, 13, 10, 0);
        PathNode* goal = TheClientPath().FindPath(10, 10, 0, 13, 10, c.goalZ, 60, c.tolerance);
        EXPECT_EQ(goal != nullptr, c.found);
        if (goal && c.tolerance == 1) {
            EXPECT_EQ(goal->x, 12);
        }
    }
}

TEST_F(PathSearchTest, OnlyThe19thPathRequestPlansAndTheWalkerFollows) {
    CClientPlayer* p = PlayerAt(10, 10, 0, 2);
    FlatLand(12, 10, 5);
    ClientPath& path = TheClientPath();
    const Bytes request = ServerPacket(0x38, {0, 15, 0, 10, 0, 0}, false);
    for (int i = 0; i < 18; ++i)
        net.ServerSends(request);
    EXPECT_EQ(p->firstBark, nullptr);
    EXPECT_EQ(path.active, 0);
    net.ServerSends(request);
    ASSERT_NE(p->firstBark, nullptr);
    EXPECT_EQ(p->firstBark->text, "Pathfinding to 15, 10, 0.");
    ASSERT_NE(p->firstBark->older, nullptr);
    EXPECT_EQ(p->firstBark->older->text, "15 10 0");
    EXPECT_EQ(path.active, 1);
    ASSERT_NE(path.current, nullptr);
    EXPECT_EQ(path.current->x, 10);
    // The walker asks for steps while fewer than 3 are queued, then waits.
    Sent();
    for (int i = 0; i < 6; ++i)
        path.WalkerStep();
    EXPECT_EQ(TheWalkQueue().count, 3);
    EXPECT_EQ(Sent().size(), 3u);
    // With every step answered and shown, the walk reaches the goal and the path is freed.
    for (int i = 0; i < 40 && path.active; ++i) {
        CWalkQueue& q = TheWalkQueue();
        for (int k = 0; k < q.count; ++k) {
            if (!q.entries[k].acknowledged) q.Acknowledge(q.entries[k].sequence);
        }
        TickUntilShown();
        path.WalkerStep();
    }
    EXPECT_EQ(path.active, 0);
    EXPECT_EQ(path.LiveNodes(), 0u);
    // Tolerance 1: the walk ends next to the goal.
    EXPECT_EQ(p->loc.x, 14);
    EXPECT_EQ(p->loc.y, 10);
}

}  // namespace

namespace {

// The system messages the world asks to show.
class MessageTrace : public WalkHooks {
public:
    void SystemMessage(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

TEST_F(PathSearchTest, AFollowedMobileOutOfReachIsFollowedOrReported) {
    MessageTrace trace;
    WorldHooks* old = SetWorldHooks(&trace);
    const std::vector<u8> fonts = FixtureFontsMulIn({3});
    GetFontTable().LoadBytes(fonts.data(), fonts.size());
    TheJournal().Reset();
    CClientPlayer* p = PlayerAt(10, 10, 0, 2);
    FlatLand(12, 10, 6);
    p->following = 1;
    p->followedSerial = 0x55;
    TheClientWorld().UpdateObject(0x55, 400, 0, 0, 13, 10, 0, 2, 0, 0);
    EXPECT_EQ(TheClientPath().active, 0);  // within 3 cells
    TheClientWorld().UpdateObject(0x55, 400, 0, 0, 14, 10, 0, 2, 0, 0);
    EXPECT_EQ(TheClientPath().active, 1);
    EXPECT_TRUE(trace.lines.empty());
    // Behind a wall with no way round within 100 expansions.
    for (int y = 4; y <= 16; ++y)
        StaticAt(kStaticBlocker, 16, y, 0);
    TheClientWorld().UpdateObject(0x55, 400, 0, 0, 17, 10, 0, 2, 0, 0);
    EXPECT_EQ(TheClientPath().active, 0);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "Can't get there (follow)");
    // A system line of the client's own: it is in the journal too.
    ASSERT_EQ(TheJournal().Count(), 1u);
    EXPECT_EQ(TheJournal().Entries().back().text, "Can't get there (follow)");
    TheJournal().Reset();
    GetFontTable().Clear();
    SetWorldHooks(old);
}

}  // namespace
