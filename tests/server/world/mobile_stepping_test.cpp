// Stepping: the walk checks (corners, the map's edge, the z window) and the step itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

class SteppingTest : public WorldTest {
protected:
    CNPC* Npc(int x, int y, int z = 0) {
        auto* n = new CNPC;
        n->PlaceInWorld(Location(x, y, z));
        n->SetMaxFatigue(10);
        n->SetCurFatigue(10);
        n->SetMaxHits(50);
        n->SetCurHits(50);
        return n;
    }
};

TEST_F(SteppingTest, WalkChecks) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> walls;
        int x, y;
        int direction;
        int ok;
    } cases[] = {
        {"a free step", {}, 10, 10, 2, 1},
        {"a wall ahead", {{11, 10}}, 10, 10, 2, 0},
        {"a diagonal between two walls", {{10, 9}, {11, 10}}, 10, 10, 1, 0},
        {"a diagonal beside one wall", {{10, 9}}, 10, 10, 1, 1},
        {"a diagonal onto a wall", {{11, 9}}, 10, 10, 1, 0},
        {"off the map's west edge", {}, 0, 10, 6, 0},
        {"off the map's north edge", {}, 10, 0, 7, 0},
        {"the running bit is ignored", {}, 10, 10, 0x82, 1},
    };
    for (const Case& c : cases) {
        std::vector<CItem*> walls;
        for (auto [x, y] : c.walls)
            walls.push_back(PlacedItem(x, y, 0, kWall));
        CNPC* npc = Npc(c.x, c.y);
        int z = 99;
        EXPECT_EQ(npc->Walk(c.direction, &z), c.ok) << c.what;
        EXPECT_EQ(npc->Walk(c.direction), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(z, 0) << c.what;
        }
        npc->DeleteSelf();
        for (CItem* w : walls)
            w->DeleteSelf();
    }
}

TEST_F(SteppingTest, FrozenOrExhaustedMobilesStay) {
    CNPC* npc = Npc(10, 10);
    npc->SetMobFlag(kMobFrozen, true);
    EXPECT_EQ(npc->Walk(2), 0);
    npc->SetMobFlag(kMobFrozen, false);
    npc->SetCurFatigue(0);
    EXPECT_EQ(npc->Walk(2), 0);
    npc->SetCurFatigue(1);
    EXPECT_EQ(npc->Walk(2), 1);
}

TEST_F(SteppingTest, AFlyersWindowIsSixteenHigh) {
    CNPC* npc = Npc(10, 10, 4);
    int low = 0, high = 0;
    npc->GetStandingZ(Location(10, 10, 4), low, high);
    EXPECT_EQ(low, 4);
    EXPECT_EQ(high, 6);
    npc->SetMoveType(kMoveTypeFlying);
    npc->GetStandingZ(Location(10, 10, 4), low, high);
    EXPECT_EQ(high, 20);
    EXPECT_EQ(npc->GetTravelZ(Location(11, 10, 4), low, high), 10);
}

TEST_F(SteppingTest, AStepMovesRevealsAndFalls) {
    auto* viewer = new CPlayer;
    viewer->PlaceInWorld(Location(12, 10, 0));
    CNPC* npc = Npc(10, 10, 40);
    npc->SetHidden(true);
    packets.log.clear();
    EXPECT_EQ(npc->MoveInDirection(0x82, 0), 1);
    EXPECT_EQ(npc->GetLocation(), Location(11, 10, 0));
    EXPECT_EQ(npc->GetDirection(), 0x82);
    EXPECT_FALSE(npc->IsHidden());
    EXPECT_EQ(npc->GetCurHits(), 40);  // a drop of 40: 10 hits
    EXPECT_EQ(packets.With("77"),
              (std::vector<std::string>{"77 " + std::to_string(viewer->GetSerial()) + " " +
                                        std::to_string(npc->GetSerial())}));
    // Into another cell, with the landing z worked out.
    EXPECT_EQ(npc->MoveInDirection(4, -128), 1);
    EXPECT_EQ(npc->MoveInDirection(4, -128), 1);
    EXPECT_EQ(npc->GetLocation(), Location(11, 12, 0));
    EXPECT_EQ(g_sectorGrid.CellIndexOf(npc->GetLocation()),
              g_sectorGrid.CellIndexOf(Location(11, 12, 0)));
    // A blocked step does not move.
    PlacedItem(11, 13, 0, kWall);
    EXPECT_EQ(npc->MoveInDirection(4, -128), 0);
    EXPECT_EQ(npc->GetLocation(), Location(11, 12, 0));
}

TEST_F(SteppingTest, AStepIsShownToThePlayersInSightOfEitherPlace) {
    // Eighteen tiles is the sight range: the step east from 30 to 31 leaves the first player
    // behind, brings the second into sight and stays in sight of the third; the fourth sees
    // neither place.
    struct Viewer {
        const char* what;
        int x;
        const char* seen;  // the packet the player's own serial is named in, or none
    } const viewers[] = {
        {"left behind", 12, nullptr},
        {"comes into sight", 49, "78"},
        {"in sight of both", 20, "77"},
        {"out of sight", 50, nullptr},
    };
    std::vector<CPlayer*> players;
    for (const Viewer& v : viewers) {
        players.push_back(new CPlayer);
        players.back()->PlaceInWorld(Location(v.x, 10, 0));
    }
    for (bool playerSteps : {false, true}) {
        CMobile* mover = nullptr;
        if (playerSteps) {
            mover = new CPlayer;
            mover->PlaceInWorld(Location(30, 10, 0));
        } else {
            mover = Npc(30, 10);
        }
        const std::string who = playerSteps ? "a player steps: " : "an NPC steps: ";
        packets.log.clear();
        ASSERT_EQ(mover->MoveInDirection(2, -128), 1);
        std::vector<std::string> expected;
        for (size_t i = 0; i < players.size(); ++i) {
            if (viewers[i].seen)
                expected.push_back(std::string(viewers[i].seen) + " " +
                                   std::to_string(players[i]->GetSerial()) + " " +
                                   std::to_string(mover->GetSerial()));
        }
        // The one left behind, and only that one, is told the mover is gone; the mover is
        // never told of itself.
        expected.push_back("1D " + std::to_string(players[0]->GetSerial()) + " " +
                           std::to_string(mover->GetSerial()));
        std::vector<std::string> sent;
        for (const std::string& e : packets.log)
            if (e.rfind("77 ", 0) == 0 || e.rfind("78 ", 0) == 0 || e.rfind("1D ", 0) == 0)
                sent.push_back(e);
        std::sort(expected.begin(), expected.end());
        std::sort(sent.begin(), sent.end());
        EXPECT_EQ(sent, expected) << who;
        mover->DeleteSelf();
    }
}

TEST_F(SteppingTest, AnNpcPlacedInTheWorldIsShownAsAMobileWithWhatItWears) {
    auto* near = new CPlayer;
    near->PlaceInWorld(Location(12, 10, 0));
    auto* far = new CPlayer;
    far->PlaceInWorld(Location(40, 10, 0));
    struct Case {
        bool hidden;
        std::vector<std::string> shown;
    } const cases[] = {
        {false, {"78 " + std::to_string(near->GetSerial())}},
        {true, {}},
    };
    for (const Case& c : cases) {
        auto* npc = new CNPC;
        npc->SetHidden(c.hidden);
        packets.log.clear();
        npc->PlaceInWorld(Location(10, 10, 0));
        std::vector<std::string> shown;
        for (const std::string& e : packets.log) {
            EXPECT_NE(e.rfind("1A ", 0), 0u) << "shown as an item: " << e;
            if (e.rfind("78 ", 0) == 0 || e.rfind("77 ", 0) == 0)
                shown.push_back(e.substr(0, e.rfind(' ')));
        }
        EXPECT_EQ(shown, c.shown) << (c.hidden ? "hidden" : "seen");
        npc->DeleteSelf();
    }
}

TEST_F(SteppingTest, RangeListenersVetoOrDeleteTheMover) {
    CItem* watcher = PlacedItem(14, 10, 0);
    triggers.scripted.insert(watcher->GetSerial());
    triggers.handlers[watcher->GetSerial()] = {{kTriggerEnterRange, 3}};
    AddRangeListeners(watcher);
    CNPC* npc = Npc(10, 10);
    triggers.answers[{watcher->GetSerial(), kTriggerEnterRange}] = 0;
    EXPECT_EQ(npc->MoveInDirection(2, -128), 0);
    EXPECT_EQ(npc->GetLocation(), Location(10, 10, 0));
    triggers.answers.clear();
    const u32 serial = npc->GetSerial();
    triggers.onTrigger = [serial](CItem*, int trigger) {
        if (trigger == kTriggerEnterRange) g_objectManager.FindBySerial(serial)->DeleteSelf();
    };
    EXPECT_EQ(npc->MoveInDirection(2, -128), 0);
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    RemoveRangeListeners(watcher);
}

TEST_F(SteppingTest, FollowersStepAlongWhenTheyCan) {
    CNPC* leader = Npc(10, 10);
    CNPC* free = Npc(10, 12);
    CNPC* blocked = Npc(20, 12);
    PlacedItem(21, 12, 0, kWall);
    leader->AddFollower(free);
    leader->AddFollower(blocked);
    leader->MoveFollowers(2);
    EXPECT_EQ(free->GetLocation(), Location(11, 12, 0));
    EXPECT_EQ(blocked->GetLocation(), Location(20, 12, 0));
}

}  // namespace
