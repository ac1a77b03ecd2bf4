// A player's walk as its client and the players around see it: the fatigue charged by the
// pace of the requests, refusals and the resynchronisation, turns, diagonals, the shove, the
// ghost's visibility, falls, the guard zone, and who is told of a move.
#include <gtest/gtest.h>

#include <algorithm>

#include "server/player/player_movement.h"
#include "server/world/area_services.h"
#include "server/world/map_queries.h"
#include "server/world/map_step.h"
#include "server/world/npc_services.h"
#include "server/world/player_registry.h"
#include "tests/server/player/player_walk_support.h"
#include "server/world/npc.h"

namespace {

constexpr s32 kPulse = 100000;

// The fatigue a request charged, as the mobile counts it (its fatigue counter and the points
// it took): 10 for a cheap step, 40 for a fast one, plus 1 for the load of a player carrying
// only itself (25 stones of 230).
struct FatigueMeter {
    explicit FatigueMeter(CPlayer* p) : player(p) { Reset(); }
    void Reset() {
        counter = player->GetFatigueCounter();
        fatigue = player->GetCurFatigue();
    }
    int Charged() {
        const int charged =
            player->GetFatigueCounter() - counter + 200 * (fatigue - player->GetCurFatigue());
        Reset();
        return charged;
    }
    CPlayer* player;
    int counter = 0, fatigue = 0;
};

using WalkTest = WalkWorldTest;

TEST_F(WalkTest, TheCostFollowsThePulsesSinceTheFifthLastRequest) {
    struct Case {
        int elapsed;
        int charged;
    } cases[] = {{0, 41}, {1, 41}, {2, 41}, {3, 41}, {4, 11}, {9, 11}};
    for (const Case& c : cases) {
        SetWorldPulse(kPulse);
        CPlayer* p = NewPlayer(10, 10);
        // Turns in place (north, south, ...), so the player stays put and every request counts.
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(Request(p, (i & 1) ? 4 : 0, i + 1, kPulse), 1);
        FatigueMeter meter(p);
        ASSERT_EQ(Request(p, 0, 6, kPulse + c.elapsed), 1);
        EXPECT_EQ(meter.Charged(), c.charged) << "elapsed " << c.elapsed;
        Destroy(p);
    }
}

TEST_F(WalkTest, ANewPlayersFirstFiveRequestsAreCheap) {
    CPlayer* p = NewPlayer(10, 10);
    FatigueMeter meter(p);
    std::vector<int> charged;
    for (int i = 0; i < 7; ++i) {
        Request(p, 2, i + 1);  // all in the same pulse
        charged.push_back(meter.Charged());
    }
    EXPECT_EQ(charged, (std::vector<int>{11, 11, 11, 11, 11, 41, 41}));
    EXPECT_EQ(p->GetLocation(), Location(17, 10, 0));
}

TEST_F(WalkTest, AnExhaustedPlayerIsRefusedWithItsMessage) {
    struct Case {
        const char* what;
        bool mounted, ghost;
        int answer;
        const char* message;
    } cases[] = {
        {"on foot", false, false, 0, "You are too fatigued to move."},
        {"riding", true, false, 0, "Your horse is too fatigued to move."},
        {"a ghost", false, true, 1, nullptr},
    };
    for (const Case& c : cases) {
        CPlayer* p = NewPlayer(10, 10);
        if (c.ghost) p->SetBodyType(kGhostBodies[0]);
        if (c.mounted) {
            CNPC* horse = NewNpc(10, 11);
            horse->SetBodyType(200);
            ASSERT_EQ(p->Mount(horse), 1) << c.what;
            Got(p);
        }
        p->SetCurFatigue(0);
        FatigueMeter meter(p);
        EXPECT_EQ(Request(p, 2, 7), c.answer) << c.what;
        const Received got = Got(p);
        if (c.message) {
            EXPECT_EQ(got.Messages(), std::vector<std::string>{c.message}) << c.what;
            ASSERT_EQ(got.Ids(), "1C 21") << c.what;
            const MoveReject r = ReadMoveReject(got.Of(0x21)[0]);
            EXPECT_EQ(r.sequence, 7);
            EXPECT_EQ(r.x, p->GetLocation().x);
            EXPECT_EQ(r.y, p->GetLocation().y);
            EXPECT_EQ(r.facing, p->GetDirection());
            EXPECT_TRUE(p->IsWalkBlocked()) << c.what;
        } else {
            EXPECT_EQ(got.Ids(), "22") << c.what << ": a ghost walks and pays nothing";
            EXPECT_EQ(meter.Charged(), 0);
            EXPECT_EQ(p->GetLocation(), Location(11, 10, 0));
        }
        Destroy(p);
    }
}

TEST_F(WalkTest, AfterARefusalOnlyASequenceZeroRequestGoesThrough) {
    CPlayer* p = NewPlayer(10, 10);
    PlacedItem(11, 10, 0, kWall);
    EXPECT_EQ(Request(p, 2, 1), 1);  // handled: the step itself is refused
    EXPECT_EQ(ReadMoveReject(Got(p).Of(0x21).at(0)).sequence, 1);
    EXPECT_TRUE(p->IsWalkBlocked());

    // Blocked: refused before any fatigue is charged; the ring does not advance.
    FatigueMeter meter(p);
    const PlayerWalkState before = p->GetWalkState();
    EXPECT_EQ(Request(p, 4, 2), 0);
    EXPECT_EQ(Got(p).Ids(), "21");
    EXPECT_EQ(meter.Charged(), 0);
    EXPECT_EQ(p->GetWalkState().ringIndex, before.ringIndex);

    // Sequence 0 clears the block, and the step is handled like any other.
    EXPECT_EQ(Request(p, 4, 0), 1);
    const Received got = Got(p);
    ASSERT_EQ(got.Ids(), "22");
    EXPECT_EQ(ReadMoveAck(got.Of(0x22).at(0)).sequence, 0);
    EXPECT_FALSE(p->IsWalkBlocked());
}

TEST_F(WalkTest, ATeleportSendsTheUpdateAndBlocksUntilResync) {
    CPlayer* p = NewPlayer(10, 10);
    p->RemoveFromWorld();
    p->PlaceInWorld(Location(30, 30, 0));
    const Received placed = Got(p);
    EXPECT_EQ(placed.Of(0x20).size(), 2u) << placed.Ids();
    EXPECT_EQ(ReadSerial(placed.Of(0x20)[0]), p->GetSerial());
    EXPECT_EQ(Request(p, 2, 5), 0);
    EXPECT_EQ(Got(p).Ids(), "21");
    EXPECT_EQ(Request(p, 2, 0), 1);
    EXPECT_EQ(Got(p).Ids(), "22");
    EXPECT_EQ(p->GetLocation(), Location(31, 30, 0));
}

TEST_F(WalkTest, ARequestInAnotherDirectionOnlyTurns) {
    CPlayer* p = NewPlayer(10, 10, 0, 2);
    CPlayer* near = NewPlayer(12, 10);
    FatigueMeter meter(p);
    const u8 index = p->GetWalkState().ringIndex;
    EXPECT_EQ(Request(p, 0x84, 3), 1);  // south, running
    EXPECT_EQ(p->GetLocation(), Location(10, 10, 0));
    EXPECT_EQ(p->GetDirection(), 0x84);
    const Received got = Got(p);
    ASSERT_EQ(got.Ids(), "22");
    EXPECT_EQ(ReadMoveAck(got.Of(0x22).at(0)).sequence, 3);
    EXPECT_EQ(meter.Charged(), 11);
    EXPECT_EQ(p->GetWalkState().ringIndex, (index + 1) % 5);
    const Received seen = Got(near);
    ASSERT_EQ(seen.Ids(), "77");
    EXPECT_EQ(ReadSerial(seen.packets[0]), p->GetSerial());
    // The same direction (running bit and all) now steps.
    EXPECT_EQ(Request(p, 0x84, 4), 1);
    EXPECT_EQ(p->GetLocation(), Location(10, 11, 0));
}

TEST_F(WalkTest, ADiagonalNeedsOneOpenSide) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> walls;
        bool moves;
    } cases[] = {
        {"both sides open", {}, true},
        {"north side walled", {{10, 9}}, true},
        {"east side walled", {{11, 10}}, true},
        {"both sides walled", {{10, 9}, {11, 10}}, false},
        {"the diagonal itself walled", {{11, 9}}, false},
    };
    for (const Case& c : cases) {
        std::vector<CItem*> walls;
        for (auto [x, y] : c.walls)
            walls.push_back(PlacedItem(x, y, 0, kWall));
        CPlayer* p = NewPlayer(10, 10, 0, 1);
        EXPECT_EQ(Request(p, 1, 9), 1) << c.what;
        EXPECT_EQ(Got(p).Ids(), c.moves ? "22" : "21") << c.what;
        EXPECT_EQ(p->GetLocation(), c.moves ? Location(11, 9, 0) : Location(10, 10, 0)) << c.what;
        Destroy(p);
        for (CItem* w : walls)
            w->DeleteSelf();
    }
}

TEST_F(WalkTest, AStepOffTheSectorGridIsRefused) {
    struct Case {
        int x, y, direction;
    } cases[] = {{0, 10, 6}, {10, 0, 0}, {63, 10, 2}, {10, 63, 4}, {0, 0, 7}};
    for (const Case& c : cases) {
        CPlayer* p = NewPlayer(c.x, c.y, 0, c.direction);
        EXPECT_EQ(Request(p, c.direction, 1), 1);
        EXPECT_EQ(Got(p).Ids(), "21") << c.x << "," << c.y << " dir " << c.direction;
        EXPECT_EQ(p->GetLocation(), Location(c.x, c.y, 0));
        Destroy(p);
    }
}

TEST_F(WalkTest, AFullyRestedPlayerShovesAMobileAside) {
    struct Case {
        const char* what;
        int fatigueBelowFull;
        int victimStrength;
        int victimZ;
        bool hidden;
        int cost;  // -1: blocked
        const char* name;
    } cases[] = {
        {"as strong", 0, 50, 0, false, 10, "Bob"},
        {"twice as strong", 0, 25, 0, false, 5, "Bob"},
        {"weaker than the victim", 0, 80, 0, false, 10, "Bob"},
        {"a hidden victim", 0, 50, 0, true, 10, "something invisible"},
        {"one point below full", 1, 50, 0, false, -1, nullptr},
        {"the victim 8 higher", 0, 50, 8, false, -1, nullptr},
    };
    for (const Case& c : cases) {
        CPlayer* p = NewPlayer(10, 10, 0, 2);
        p->SetCurFatigue(50 - c.fatigueBelowFull);
        CPlayer* bob = NewPlayer(11, 10, c.victimZ);
        bob->SetName("Bob");
        bob->SetRealStat(kStatStrength, c.victimStrength);
        if (c.hidden) bob->SetHidden(true);
        const int before = p->GetCurFatigue();
        EXPECT_EQ(Request(p, 2, 1), 1);
        const Received got = Got(p);
        if (c.cost < 0) {
            EXPECT_EQ(got.Ids(), "21") << c.what;
            EXPECT_EQ(p->GetLocation(), Location(10, 10, 0)) << c.what;
        } else {
            EXPECT_EQ(p->GetLocation(), Location(11, 10, 0)) << c.what;
            EXPECT_EQ(got.Messages(),
                      std::vector<std::string>{std::string("Being perfectly rested, you shove ") +
                                               c.name + " out of the way."})
                << c.what;
            // The step's own charge (10 counter points) costs no fatigue point by itself.
            EXPECT_EQ(before - p->GetCurFatigue(), c.cost) << c.what;
        }
        // The step's context was its own: none stays on the mover or on the mobile it passed.
        EXPECT_EQ(p->GetShoveContext(), nullptr) << c.what;
        EXPECT_EQ(bob->GetShoveContext(), nullptr) << c.what;
        Destroy(p);
        Destroy(bob);
    }
}

TEST_F(WalkTest, AGhostIsSeenMovingOnlyByGhostsAndGameMasters) {
    CPlayer* ghost = NewPlayer(10, 10, 0, 2);
    ghost->SetBodyType(kGhostBodies[1]);
    CPlayer* living = NewPlayer(12, 12);
    CPlayer* otherGhost = NewPlayer(12, 8);
    otherGhost->SetBodyType(kGhostBodies[0]);
    CPlayer* gm = NewPlayer(8, 12);
    gm->SetFlag(kPlayerGameMaster, true);

    EXPECT_EQ(Request(ghost, 2, 1), 1);  // a move
    EXPECT_EQ(Got(living).Ids(), "");
    EXPECT_EQ(Got(otherGhost).Ids(), "77");
    EXPECT_EQ(Got(gm).Ids(), "77");

    EXPECT_EQ(Request(ghost, 4, 2), 1);  // a turn: only ghosts see it
    EXPECT_EQ(Got(living).Ids(), "");
    EXPECT_EQ(Got(otherGhost).Ids(), "77");
    EXPECT_EQ(Got(gm).Ids(), "");

    ghost->SetFlag(kPlayerGhostHeard, true);  // manifesting: everyone sees it
    EXPECT_EQ(Request(ghost, 4, 3), 1);
    EXPECT_EQ(Request(ghost, 2, 4), 1);
    EXPECT_EQ(Got(living).Ids(), "77 77");
    EXPECT_EQ(Got(gm).Ids(), "77 77");
}

TEST_F(WalkTest, AFallOf22OrMoreHurts) {
    struct Case {
        int height;
        int hitsLost;
    } cases[] = {{21, 0}, {22, 5}, {32, 5}, {33, 10}, {44, 15}};
    for (const Case& c : cases) {
        // On a ledge c.height above the ground, stepping east off it.
        CItem* ledge = PlacedItem(10, 10, c.height - 6, kTable);
        CPlayer* p = NewPlayer(10, 10, c.height, 2);
        EXPECT_EQ(Request(p, 2, 1), 1);
        ASSERT_EQ(p->GetLocation(), Location(11, 10, 0)) << c.height;
        EXPECT_EQ(50 - p->GetCurHits(), c.hitsLost) << c.height;
        Destroy(p);
        ledge->DeleteSelf();
    }
}

// Guards protect the tiles from x = 30 eastwards.
struct GuardedEast : AreaServices {
    bool IsInJusticeRegion(const Location& at) override { return at.x >= 30; }
};

TEST_F(WalkTest, TheGuardZoneIsLookedAtEveryTenMovesAndToldOnlyOnAChange) {
    GuardedEast area;
    SetAreaServices(&area);
    CPlayer* p = NewPlayer(25, 10, 0, 2);
    // 30 moves east (into the zone at the 5th), then a turn and 30 moves back west (out of it
    // at the 26th): the player is told at the looks after the 10th and the 30th.
    std::vector<std::pair<int, std::string>> told;
    int request = 0, moves = 0;
    for (auto [direction, count] : {std::pair{2, 30}, std::pair{6, 31}}) {
        for (int i = 0; i < count; ++i) {
            ++request;
            const Location before = p->GetLocation();
            ASSERT_EQ(Request(p, direction, request & 0xFF, kPulse + 4 * request), 1);
            if (!(p->GetLocation() == before)) ++moves;
            for (const std::string& m : Got(p).Messages())
                told.emplace_back(moves, m);
        }
    }
    SetAreaServices(nullptr);
    EXPECT_EQ(moves, 60);
    EXPECT_EQ(told, (std::vector<std::pair<int, std::string>>{
                        {10, "You are now under the protection of the town guards."},
                        {60, "You have left the protection of the town guards."}}));
}

TEST_F(WalkTest, AMoveTellsTheStayingTheEnteringAndTheLeaving) {
    CPlayer* mover = NewPlayer(30, 30, 0, 2);
    CPlayer* staying = NewPlayer(40, 30);
    CPlayer* entering = NewPlayer(49, 30);  // 19 before the step, 18 after
    CPlayer* leaving = NewPlayer(12, 30);   // 18 before, 19 after
    CPlayer* far = NewPlayer(30, 55);
    CItem* stone = PlacedItem(49, 35, 0);  // comes into view
    CItem* seen = PlacedItem(45, 35, 0);   // was in view already
    (void)seen;
    DropAll();

    EXPECT_EQ(Request(mover, 2, 1), 1);
    const Received self = Got(mover);
    EXPECT_EQ(self.Ids(), "22 78 1A") << "the ack, then what came into view";
    std::vector<u32> shown;
    for (const auto& p : self.packets)
        if (p[0] == 0x78 || p[0] == 0x1A) shown.push_back(ReadSerial(p));
    std::sort(shown.begin(), shown.end());
    std::vector<u32> expected{entering->GetSerial(), stone->GetSerial()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected);

    const Received s = Got(staying);
    ASSERT_EQ(s.Ids(), "77");
    EXPECT_EQ(ReadSerial(s.packets[0]), mover->GetSerial());
    const Received e = Got(entering);
    ASSERT_EQ(e.Ids(), "78");
    EXPECT_EQ(ReadSerial(e.packets[0]), mover->GetSerial());
    const Received l = Got(leaving);
    ASSERT_EQ(l.Ids(), "1D");
    EXPECT_EQ(ReadSerial(l.packets[0]), mover->GetSerial());
    EXPECT_EQ(Got(far).Ids(), "");
}

TEST_F(WalkTest, APushedPlayerMovesWithoutAnAcknowledgement) {
    CPlayer* p = NewPlayer(10, 10, 0, 2);
    CPlayer* near = NewPlayer(14, 10);
    StepPlayer(p, 2);
    EXPECT_EQ(p->GetLocation(), Location(11, 10, 0));
    EXPECT_EQ(Got(p).Ids(), "20") << "no 0x22; the player is told of itself";
    EXPECT_EQ(Got(near).Ids(), "77");
    // An NPC is not stepped this way; a refused step does not update.
    CNPC* npc = NewNpc(20, 20);
    StepPlayer(npc, 2);
    EXPECT_EQ(npc->GetLocation(), Location(20, 20, 0));
    p->SetMobFlag(kMobFrozen, true);
    StepPlayer(p, 2);
    EXPECT_EQ(p->GetLocation(), Location(11, 10, 0));
    EXPECT_EQ(Got(p).Messages(), std::vector<std::string>{"You are frozen and can not move."});
}

TEST_F(WalkTest, GhostsAndCounselorsMoveLikeGhosts) {
    CPlayer* p = NewPlayer(10, 10);
    const int own = p->GetMoveType();
    EXPECT_NE(own, kMoveTypeGhost);
    p->SetFlag(kPlayerCounselor, true);
    EXPECT_EQ(p->GetMoveType(), kMoveTypeGhost);
    p->SetFlag(kPlayerCounselor, false);
    p->SetBodyType(kGhostBodies[0]);
    EXPECT_EQ(p->GetMoveType(), kMoveTypeGhost);
    p->SetFlag(kPlayerEditing | kPlayerPassThrough, true);
    EXPECT_EQ(p->GetMoveType(), kMoveTypeEditing);
}

TEST_F(WalkTest, AStepTriggerThatDeletesThePlayerEndsTheWalkCleanly) {
    CItem* watcher = PlacedItem(14, 10, 0);
    triggers.scripted.insert(watcher->GetSerial());
    triggers.handlers[watcher->GetSerial()] = {{kTriggerEnterRange, 3}};
    AddRangeListeners(watcher);
    CPlayer* p = NewPlayer(10, 10, 0, 2);
    const u32 serial = p->GetSerial();
    triggers.onTrigger = [serial](CItem*, int trigger) {
        if (trigger != kTriggerEnterRange) return;
        CItem* victim = g_objectManager.FindBySerial(serial);
        victim->SetStatus(victim->GetStatus() | kStatusNoTriggers);
        delete victim;
    };
    EXPECT_EQ(Request(p, 2, 1), 1);
    EXPECT_EQ(FindLivePlayerBySerial(serial), nullptr);
    RemoveRangeListeners(watcher);
}

TEST_F(WalkTest, ACharacterOutOfTheWorldDoesNotWalkIntoIt) {
    CPlayer* p = NewPlayer(10, 10, 0, 2);
    p->RemoveFromWorld();
    EXPECT_EQ(Request(p, 2, 0), 0);
    EXPECT_EQ(Got(p).Ids(), "21");
    EXPECT_TRUE(p->IsDetached());
    std::vector<CPlayer*> near;
    CollectPlayersInRange(near, Location(11, 10, 0), 5);
    EXPECT_TRUE(near.empty()) << "not filed in the player grid";
}

// Records which NPC noticed which mobile.
struct NoticingNpcs : NpcServices {
    std::vector<std::pair<u32, u32>> noticed;
    void NoticeMobile(CNPC* npc, CMobile* mobile) override {
        noticed.emplace_back(npc->GetSerial(), mobile->GetSerial());
    }
};

TEST_F(WalkTest, AnNpcComingIntoViewIsShownAndNoticesTheMover) {
    NoticingNpcs npcs;
    SetNpcServices(&npcs);
    CPlayer* p = NewPlayer(20, 20, 0, 2);
    CNPC* ahead = NewNpc(39, 25);  // 19 away before the step, 18 after
    NewNpc(38, 25);                // in view already
    EXPECT_EQ(Request(p, 2, 1), 1);
    const Received got = Got(p);
    ASSERT_EQ(got.Ids(), "22 78");
    EXPECT_EQ(ReadSerial(got.Of(0x78)[0]), ahead->GetSerial());
    EXPECT_EQ(npcs.noticed,
              (std::vector<std::pair<u32, u32>>{{ahead->GetSerial(), p->GetSerial()}}));
    SetNpcServices(nullptr);
}

TEST_F(WalkTest, TheSurroundingsGoToThePlayerAndThePlayerToThoseAround) {
    NoticingNpcs npcs;
    SetNpcServices(&npcs);
    CPlayer* p = NewPlayer(20, 20);
    CPlayer* near = NewPlayer(30, 30);
    CPlayer* ghost = NewPlayer(25, 20);
    ghost->SetBodyType(kGhostBodies[0]);
    CPlayer* far = NewPlayer(20, 40);
    CItem* stone = PlacedItem(38, 20, 0);
    CNPC* npc = NewNpc(20, 38);
    PlacedItem(39, 20, 0);  // 19 away: not sent
    DropAll();

    p->SendSurroundings();
    std::vector<u32> shown;
    const Received got = Got(p);
    for (const auto& packet : got.packets)
        shown.push_back(ReadSerial(packet));
    std::sort(shown.begin(), shown.end());
    std::vector<u32> expected{near->GetSerial(), stone->GetSerial(), npc->GetSerial()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected) << got.Ids() << ": not the unseen ghost, not what lies 19 away";
    EXPECT_EQ(npcs.noticed, (std::vector<std::pair<u32, u32>>{{npc->GetSerial(), p->GetSerial()}}));
    EXPECT_EQ(Got(near).Ids(), "78");
    EXPECT_EQ(Got(ghost).Ids(), "78");
    EXPECT_EQ(Got(far).Ids(), "") << "20 away";

    // In edit mode the player sees the ghost; hidden, it is sent to nobody.
    p->SetFlag(kPlayerEditing, true);
    p->SetHidden(true);
    DropAll();
    p->SendSurroundings();
    EXPECT_EQ(Got(p).Of(0x78).size(), 3u) << "near, the ghost and the NPC";
    EXPECT_EQ(Got(near).Ids(), "");
    SetNpcServices(nullptr);
}

}  // namespace
