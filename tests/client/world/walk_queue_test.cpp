#include "client/world/walk_queue.h"

#include <gtest/gtest.h>

#include "client/data/anim_data.h"
#include "client/net/world_packet_handlers.h"
#include "client/world/roof_hiding.h"
#include "platform/keys.h"
#include "tests/client/world/walk_fixture.h"
#include "tools/content_builder/map_files.h"

namespace {

class WalkQueueTest : public WalkFixture {};

// --- standing ---------------------------------------------------------------------------------

struct StandCase {
    const char* name;
    int destLandZ;
    // A static on the destination: graphic, flags, height, z (graphic 0: none).
    int graphic;
    u32 flags;
    int height, z;
    int body;
    bool fullStamina;
    bool mobileThere;
    bool ok;
    int out;
};

TEST_F(WalkQueueTest, CanStandAtAnswersTheSurfaceTable) {
    const StandCase cases[] = {
        {"flat step up by 2", 2, 0, 0, 0, 0, 400, true, false, true, 2},
        {"flat step up by 3", 3, 0, 0, 0, 0, 400, true, false, false, 0},
        {"step down 10", -10, 0, 0, 0, 0, 400, true, false, true, -10},
        {"ceiling 16 above the floor", 0, 0x200, 0x40, 1, 16, 400, true, false, true, 0},
        {"ceiling 15 above the floor", 0, 0x200, 0x40, 1, 15, 400, true, false, false, 0},
        {"stairs are climbed", 0, 0x201, 0x200 | 0x400, 10, 0, 400, true, false, true, 5},
        {"a table 10 high is not", 0, 0x202, 0x200, 10, 0, 400, true, false, false, 0},
        {"a mobile blocks when tired", 0, 0, 0, 0, 0, 400, false, true, false, 0},
        {"a rested player passes mobiles", 0, 0, 0, 0, 0, 400, true, true, true, 0},
        {"a wall blocks the living", 0, 1682, 0x40, 20, 0, 400, true, false, false, 0},
        {"a ghost passes the wall", 0, 1682, 0x40, 20, 0, 402, true, false, true, 0},
        {"a ghost stops at other walls", 0, 0x203, 0x40, 20, 0, 402, true, false, false, 0},
    };
    for (const StandCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        if (c.graphic) SetStatic(c.graphic, c.flags, c.height);
        CClientPlayer* p = PlayerAt(10, 10, 0, 2, c.body);
        p->maxStamina = 50;
        p->stamina = c.fullStamina ? 50 : 49;
        LandAt(10, 10, 0);
        LandAt(11, 10, c.destLandZ);
        if (c.graphic) StaticAt(c.graphic, 11, 10, c.z);
        if (c.mobileThere) {
            MobileAt(0x77, 400, 11, 10);
        }
        int out = -1;
        EXPECT_EQ(CanStandAt(11, 10, 0, 2, out), c.ok);
        if (c.ok) {
            EXPECT_EQ(out, c.out);
        }
    }
}

TEST(WalkDirectionOfTest, EachStepGivesItsDirectionAndAnythingElseNone) {
    for (int d = 0; d < 8; ++d)
        EXPECT_EQ(WalkDirectionOf(kWalkDx[d], kWalkDy[d]), d) << d;
    EXPECT_EQ(WalkDirectionOf(0, -1), 0);
    EXPECT_EQ(WalkDirectionOf(-1, -1), 7);
    const int none[][2] = {{0, 0}, {2, 0}, {0, -2}, {1, 2}, {-3, -3}};
    for (const auto& o : none)
        EXPECT_EQ(WalkDirectionOf(o[0], o[1]), -1) << o[0] << "," << o[1];
}

TEST_F(WalkQueueTest, GetStartZTakesTheLandEdgeAndTheClimbedStair) {
    SetStatic(0x201, 0x200 | 0x400, 10);
    PlayerAt(10, 10, 5);
    LandAt(10, 10, 0);
    StaticAt(0x201, 10, 10, 0);  // stand height 5
    int low = 0, high = 0;
    GetStartZ(11, 10, 5, 2, WalkMode::kLiving, low, high);
    // The land edge (0) is the lowest; the stair standing at 5 lets the mobile reach 0 + 10.
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 12);
}

// --- requests, deflection and sequence numbers ------------------------------------------------

TEST_F(WalkQueueTest, DiagonalRequestsAreDeflectedBySideCells) {
    struct Case {
        const char* name;
        bool northBlocked, eastBlocked, diagonalBlocked;
        int facing;
        int sentDirection;  // -1: nothing sent
        bool move;
    };
    const Case cases[] = {
        {"all open", false, false, false, 1, 1, true},
        {"north blocked: east", true, false, false, 2, 2, true},
        {"diagonal blocked: east", false, false, true, 2, 2, true},
        {"deflected while facing north-east: a turn east", true, false, false, 1, 2, false},
        {"both sides blocked: turn", true, true, false, 0, 1, false},
        {"both sides blocked, already facing", true, true, false, 1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        TheWalkQueue().Clear();
        Sent();
        PlayerAt(10, 10, 0, c.facing);
        FlatLand(10, 10, 2);
        if (c.northBlocked) StaticAt(kStaticBlocker, 10, 9, 0);
        if (c.eastBlocked) StaticAt(kStaticBlocker, 11, 10, 0);
        if (c.diagonalBlocked) StaticAt(kStaticBlocker, 11, 9, 0);
        TheWalkQueue().RequestWalk(2, 0);  // index 2: north-east
        const auto sent = Sent();
        if (c.sentDirection < 0) {
            EXPECT_TRUE(sent.empty());
            EXPECT_EQ(TheWalkQueue().count, 0);
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].id, 0x02);
        EXPECT_EQ(sent[0].body[0], c.sentDirection);
        ASSERT_EQ(TheWalkQueue().count, 1);
        EXPECT_EQ(TheWalkQueue().entries[0].IsMove(), c.move);
    }
}

TEST_F(WalkQueueTest, SequenceNumbersRunZeroThenOneTo255ThenOne) {
    PlayerAt(10, 10, 0);
    FlatLand(10, 10, 2);
    CWalkQueue& q = TheWalkQueue();
    std::vector<int> seen;
    for (int i = 0; i < 258; ++i) {
        // Turns on the spot: index 3 (east) and 7 (west) alternate, each shown in one tick.
        q.RequestWalk(i % 2 ? 7 : 3, 0);
        for (const SentPacket& p : Sent()) {
            if (p.id == 0x02) seen.push_back(p.body[1]);
        }
        q.Acknowledge(q.entries[q.count - 1].sequence);
        TickUntilShown();
        ASSERT_EQ(q.count, 0) << i;
    }
    ASSERT_EQ(seen.size(), 258u);
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 1);
    EXPECT_EQ(seen[255], 255);
    EXPECT_EQ(seen[256], 1);
    EXPECT_EQ(seen[257], 2);
    // A reset starts again at 0.
    q.Reset(-1, -1, -1, -1);
    q.RequestWalk(3, 0);
    EXPECT_EQ(Sent().back().body[1], 0);
}

// The queue only says what to ask for; the link it is given sends it, and a closed link is
// asked nothing (no step is queued then).
TEST_F(WalkQueueTest, TheQueueAsksItsLinkForStepsAndResyncs) {
    class RecordingLink : public WalkRequestLink {
    public:
        bool WalkRequestsOpen() override { return open; }
        void SendWalkRequest(const WalkRequest& request) override { asked.push_back(request); }
        bool open = true;
        std::vector<WalkRequest> asked;
    } link;
    PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 6);
    CWalkQueue& q = TheWalkQueue();
    q.link = &link;
    q.RequestWalk(3, 1);
    ASSERT_EQ(link.asked.size(), 1u);
    EXPECT_EQ(link.asked[0].kind, WalkRequest::Kind::kStep);
    EXPECT_EQ(link.asked[0].direction, 0x82);
    EXPECT_EQ(link.asked[0].sequence, 0);
    q.Acknowledge(77);  // no such step: the walk is resynced
    ASSERT_EQ(link.asked.size(), 2u);
    EXPECT_EQ(link.asked[1].kind, WalkRequest::Kind::kResync);
    EXPECT_TRUE(Sent().empty());
    q.Reset(-1, -1, -1, -1);
    link.open = false;
    q.RequestWalk(3, 0);
    EXPECT_EQ(link.asked.size(), 2u);
    EXPECT_EQ(q.count, 0);
    q.link = &net.link;
}

TEST_F(WalkQueueTest, AFifthRequestSendsNothingAndRunningSetsTheHighBit) {
    PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 6);
    CWalkQueue& q = TheWalkQueue();
    for (int i = 0; i < 4; ++i)
        q.RequestWalk(3, i == 1 ? 1 : 0);
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].body[0], 0x02);
    EXPECT_EQ(sent[1].body[0], 0x82);
    q.RequestWalk(3, 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(q.count, 4);
    // Each sent request closes the containers out of reach; the refused fifth does not.
    int closings = 0;
    for (const std::string& call : effects.calls)
        closings += call == "CloseContainersOutOfReach";
    EXPECT_EQ(closings, 4);
    EXPECT_EQ(TheWalkState().pendingRequests, 4);
    // Projected over the queued moves: the fourth stands at x 14.
    int d = 2, z = 0;
    EXPECT_TRUE(q.CheckWalk(d, z));
    // -1 lets the pointer decide: far from the centre runs.
    q.Reset(-1, -1, -1, -1);
    Sent();
    pointerFar = true;
    q.RequestWalk(3, -1);
    EXPECT_EQ(Sent().back().body[0], 0x82);
}

// --- answers ----------------------------------------------------------------------------------

TEST_F(WalkQueueTest, AcknowledgementsOfShownAndUnshownEntries) {
    PlayerAt(10, 10, 0, 0);
    FlatLand(10, 10, 2);
    CWalkQueue& q = TheWalkQueue();
    // Two turns, both shown (executed 2), none acknowledged.
    q.RequestWalk(3, 0);  // east: turn
    q.RequestWalk(5, 0);  // south: turn
    TickUntilShown();
    ASSERT_EQ(q.executed, 2);
    // Entry 0 shown and acknowledged: it leaves.
    q.Acknowledge(0);
    EXPECT_EQ(q.count, 1);
    EXPECT_EQ(q.executed, 1);
    EXPECT_EQ(q.resyncPending, 0);

    // An entry not shown yet is only marked.
    q.RequestWalk(7, 0);  // west: turn, not yet shown
    q.Acknowledge(2);
    EXPECT_EQ(q.count, 2);
    EXPECT_EQ(q.entries[1].acknowledged, 1);
    EXPECT_EQ(q.resyncPending, 0);
    Sent();

    // Entry 1 acknowledged while the older entry 0 is shown and unacknowledged: resync.
    TickUntilShown();
    q.RequestWalk(3, 0);
    TickUntilShown();
    ASSERT_GE(q.executed, 2);
    Sent();
    q.Acknowledge(q.entries[1].sequence);
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].id, 0x22);
    EXPECT_EQ(q.resyncPending, 1);
    EXPECT_EQ(q.count, 0);
    // Every request is refused until the server resets the queue.
    q.RequestWalk(5, 0);
    EXPECT_TRUE(Sent().empty());
    net.ServerSends(ServerPacket(0x21, {7, 0, 12, 0, 13, 0, 0}, false));
    EXPECT_EQ(q.resyncPending, 0);
    q.RequestWalk(5, 0);
    sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].body[1], 0);
}

TEST_F(WalkQueueTest, AnUnknownSequenceAsksForAResync) {
    PlayerAt(10, 10, 0, 0);
    FlatLand(10, 10, 2);
    TheWalkQueue().RequestWalk(3, 0);
    Sent();
    net.ServerSends(ServerPacket(0x22, {9, 1}, false));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].id, 0x22);
    EXPECT_EQ(TheWalkState().pendingRequests, 0);
    EXPECT_EQ(ThePlayer()->notoriety, 1);
}

TEST_F(WalkQueueTest, AnAcknowledgedMoveMovesTheMapCentre) {
    PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 2);
    TheWalkQueue().RequestWalk(3, 0);
    net.ServerSends(ServerPacket(0x22, {0, 1}, false));
    EXPECT_EQ(TheClientMap().centreX, 11);
    EXPECT_EQ(TheClientMap().centreY, 10);
    TickUntilShown();
    EXPECT_EQ(TheWalkQueue().count, 0);
    EXPECT_EQ(ThePlayer()->loc.x, 11);
}

TEST_F(WalkQueueTest, TheRefusalPutsThePlayerWhereTheServerSays) {
    CClientPlayer* p = PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 2);
    CWalkQueue& q = TheWalkQueue();
    q.RequestWalk(3, 0);
    q.RequestWalk(3, 0);
    q.StepTick();
    net.ServerSends(ServerPacket(0x21, {0, 0, 9, 0, 8, 6, 0}, false));
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.stepFrames, 0);
    EXPECT_EQ(TheWalkState().offsetX, 0);
    EXPECT_EQ(p->loc.x, 9);
    EXPECT_EQ(p->loc.y, 8);
    EXPECT_EQ(p->direction, 6);
    EXPECT_EQ(TheClientMap().centreX, 9);
    EXPECT_EQ(TheClientMap().centreY, 8);
    EXPECT_TRUE(p->inCell);
}

TEST_F(WalkQueueTest, AServerStepIntoAFullQueueResyncsAndStillSteps) {
    PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 6);
    CWalkQueue& q = TheWalkQueue();
    for (int i = 0; i < 4; ++i)
        q.RequestWalk(3, 0);
    Sent();
    q.ServerStep(2);
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].id, 0x22);  // the resync, no walk request
    ASSERT_EQ(q.count, 1);
    EXPECT_EQ(q.entries[0].acknowledged, 1);
    EXPECT_EQ(TheClientMap().centreX, 11);

    // A direction byte past 7 names no step.
    q.Reset(-1, -1, -1, -1);
    q.ServerStep(9);
    EXPECT_EQ(q.count, 0);
    EXPECT_TRUE(Sent().empty());
}

// --- the step animation -----------------------------------------------------------------------

TEST_F(WalkQueueTest, StepTickShowsEachDirectionWithOffsetsAndScroll) {
    // Frame offsets (f = 1..3 of 4) by direction: a = f * 22 / 4, b = f * 44 / 4.
    const int kUnit[8][2] = {{1, -1}, {2, 0}, {1, 1}, {0, 2}, {-1, 1}, {-2, 0}, {-1, -1}, {0, -2}};
    for (int d = 0; d < 8; ++d) {
        SCOPED_TRACE(d);
        ResetWorld();
        TheWalkQueue().Clear();
        walkHooks.scrolls.clear();
        CClientPlayer* p = PlayerAt(20, 20, 0, d);
        FlatLand(20, 20, 2);
        p->UpdateStep();
        const int startX = ViewScrollX, startY = ViewScrollY;
        TheWalkQueue().RequestWalk(d + 1, 0);
        for (int f = 1; f <= 3; ++f) {
            TheWalkQueue().StepTick();
            const int a = f * 22 / 4, b = f * 44 / 4;
            auto pick = [&](int k) { return k == 2 ? b : k == -2 ? -b : k * a; };
            EXPECT_EQ(TheWalkState().offsetX, pick(kUnit[d][0]));
            EXPECT_EQ(TheWalkState().offsetY, pick(kUnit[d][1]));
            EXPECT_EQ(p->loc.x, 20);
        }
        TheWalkQueue().StepTick();
        EXPECT_EQ(TheWalkState().offsetX, 0);
        EXPECT_EQ(p->loc.x, 20 + kWalkDx[d]);
        EXPECT_EQ(p->loc.y, 20 + kWalkDy[d]);
        // The scrolls add up to the tile's move on the screen.
        int sx = 0, sy = 0;
        for (const ScreenRect& s : walkHooks.scrolls) {
            sx += s.left;
            sy += s.top;
        }
        EXPECT_EQ(sx, startX - ViewScrollX);
        EXPECT_EQ(sy, startY - ViewScrollY);
        // Weather and moving effects shift with every scroll, and the barks are laid out.
        int shifts = 0, layouts = 0;
        for (const std::string& call : effects.calls) {
            shifts += call.rfind("ShiftForScroll ", 0) == 0;
            layouts += call == "LayOutBarks";
        }
        EXPECT_EQ(shifts, int(walkHooks.scrolls.size()));
        EXPECT_EQ(layouts, int(walkHooks.scrolls.size()));
        effects.calls.clear();
        EXPECT_EQ(ViewScrollX - startX, (kWalkDx[d] - kWalkDy[d]) * 22);
        EXPECT_EQ(ViewScrollY - startY, (kWalkDx[d] + kWalkDy[d]) * 22);
    }
}

TEST_F(WalkQueueTest, FramesPerTileForWalkingRunningAndMounted) {
    struct Case {
        const char* name;
        bool mounted;
        int run;
        int firstFrames, secondFrames;  // the second step takes the first's run flag
    };
    const Case cases[] = {
        {"walking", false, 0, 4, 4},
        {"running", false, 1, 4, 2},
        {"mounted walking", true, 0, 2, 2},
        {"mounted running", true, 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetWorld();
        TheWalkQueue().Clear();
        CClientPlayer* p = PlayerAt(20, 20, 0, 2);
        FlatLand(20, 20, 4);
        if (c.mounted) {
            CClientItem* mount = CClientItem::Allocate(0x4000AAAA, 0x3EA0, 0);
            mount->EquipOn(p, kMountLayer);
        }
        CWalkQueue& q = TheWalkQueue();
        q.RequestWalk(3, c.run);
        q.RequestWalk(3, c.run);
        int frames = 0;
        while (p->loc.x == 20 && frames < 20) {
            q.StepTick();
            ++frames;
        }
        EXPECT_EQ(frames, c.firstFrames);
        frames = 0;
        while (p->loc.x == 21 && frames < 20) {
            q.StepTick();
            ++frames;
        }
        EXPECT_EQ(frames, c.secondFrames);
    }
}

TEST_F(WalkQueueTest, AFallSetsTheFlagAndALongOneSaysOuch) {
    struct Case {
        int drop;
        bool fall;
        bool ouch;
        int frames;
    };
    const Case cases[] = {{10, false, false, 4}, {11, true, false, 6}, {22, true, true, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drop);
        ResetWorld();
        TheWalkQueue().Clear();
        walkHooks.calls.clear();
        CClientPlayer* p = PlayerAt(20, 20, 0, 2);
        LandAt(20, 20, 0);
        LandAt(21, 20, -c.drop);
        CWalkQueue& q = TheWalkQueue();
        q.RequestWalk(3, 0);
        ASSERT_EQ(q.count, 1);
        EXPECT_EQ(q.entries[0].fall, c.fall ? 1 : 0);
        int frames = 0;
        while (p->loc.x == 20 && frames < 30) {
            q.StepTick();
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(p->loc.z, -c.drop);
        const bool said = p->firstBark && p->firstBark->text == "ouch!";
        EXPECT_EQ(said, c.ouch);
        bool hurt = false;
        for (const std::string& call : walkHooks.calls)
            hurt = hurt || call.rfind("PlaySound 34", 0) == 0;
        EXPECT_EQ(hurt, c.ouch);
    }
}

TEST_F(WalkQueueTest, FallHeightNeverDividesByFewFrames) {
    EXPECT_EQ(FallZ(0, -22, 1, 1), 0);
    EXPECT_EQ(FallZ(0, -22, 3, 1), -22);
    EXPECT_EQ(FallZ(0, -22, 3, 2), -22);
    EXPECT_EQ(FallZ(0, -22, 4, 8), -7);
}

TEST_F(WalkQueueTest, BadAnimInfoCountsAsOneFrame) {
    u8 bytes[2000] = {};
    for (int i = 0; i < 1000; ++i) {
        bytes[2 * i] = 0xFE;  // walk -2
        bytes[2 * i + 1] = 0;
    }
    LoadAnimInfo(bytes, sizeof bytes);
    CClientPlayer* p = PlayerAt(20, 20, 0, 2);
    FlatLand(20, 20, 2);
    TheWalkQueue().RequestWalk(3, 0);
    TheWalkQueue().StepTick();
    EXPECT_EQ(p->loc.x, 21);

    CClientMobile* m = MobileAt(0x55, 400, 22, 20);
    m->steps[0] = QueuedStep{ClientLocation{23, 20, 0}, 400, 2, 0};
    m->queuedSteps = 1;
    EXPECT_EQ(m->MovesPerTile(), 1);
    MobilesTick();
    EXPECT_EQ(m->loc.x, 23);
    EXPECT_EQ(m->stepProgress, 0);
}

TEST_F(WalkQueueTest, TheFollowingFlagHoldsStepsUntilAcknowledged) {
    CClientPlayer* p = PlayerAt(20, 20, 0, 2);
    FlatLand(20, 20, 2);
    CWalkQueue& q = TheWalkQueue();
    q.following = 1;
    q.RequestWalk(3, 0);
    q.StepTick();
    EXPECT_EQ(q.stepFrames, 0);
    q.Acknowledge(0);
    TickUntilShown();
    EXPECT_EQ(p->loc.x, 21);
}

// --- other mobiles ----------------------------------------------------------------------------

TEST_F(WalkQueueTest, MobilesTickStepsAdjacentAndJumpsFarther) {
    PlayerAt(20, 20, 0, 2);
    CClientMobile* near = MobileAt(0x55, 400, 22, 20);
    near->steps[0] = QueuedStep{ClientLocation{23, 20, 0}, 400, 2, 0};
    near->queuedSteps = 1;
    CClientMobile* far = MobileAt(0x56, 400, 22, 22);
    far->steps[0] = QueuedStep{ClientLocation{24, 22, 0}, 400, 2 | 0x80, 0};
    far->queuedSteps = 1;
    MobilesTick();
    EXPECT_EQ(near->loc.x, 23);
    EXPECT_EQ(near->stepProgress, 3);
    EXPECT_EQ(near->stepOffsetX, 3 * 22 / 4);
    EXPECT_EQ(near->stepOffsetY, 3 * 22 / 4);
    EXPECT_EQ(near->stepStart.x, 22);
    EXPECT_EQ(far->loc.x, 24);
    EXPECT_EQ(far->stepProgress, 0);
    EXPECT_EQ(far->running, 1);
    EXPECT_EQ(far->stepOffsetX, 0);
    // The stepping mobile's barks follow it; the jump moves no progress.
    auto has = [&](const std::string& call) {
        for (const std::string& c : effects.calls) {
            if (c == call) return true;
        }
        return false;
    };
    EXPECT_TRUE(has("BarksFollow 85"));
    EXPECT_FALSE(has("BarksFollow 86"));
    MobilesTick();
    MobilesTick();
    MobilesTick();
    EXPECT_EQ(near->stepProgress, 0);
    EXPECT_EQ(near->stepOffsetX, 0);
}

TEST_F(WalkQueueTest, AMobileTurnsIdleAfter2001Milliseconds) {
    PlayerAt(20, 20, 0, 2);
    CClientMobile* m = MobileAt(0x55, 200, 22, 20);
    m->lastActivity = Clock().Now();
    Clock().Advance(2000);
    MobilesTick();
    EXPECT_EQ(m->idle, 0);
    Clock().Advance(1);
    MobilesTick();
    EXPECT_EQ(m->idle, 1);
    EXPECT_EQ(m->animCounter, 3);
}

TEST_F(WalkQueueTest, ADyingMobileWithStepsHandsOverToItsCorpse) {
    PlayerAt(20, 20, 0, 2);
    CClientMobile* m = MobileAt(0x55, 400, 22, 20);
    auto* corpse = new CClientCorpse(0x40000077, 0x2006);
    corpse->PlaceInWorld(ClientLocation{22, 20, 0});
    m->Die(0x40000077, 1);
    m->steps[0] = QueuedStep{ClientLocation{23, 20, 0}, 400, 2, 0};
    m->queuedSteps = 1;
    MobilesTick();
    EXPECT_EQ(TheClientWorld().FindBySerial(0x80000055), nullptr);
    EXPECT_NE(TheClientWorld().FindBySerial(0x40000077), nullptr);
}

TEST_F(WalkQueueTest, MobilesTickEndsWithTheAnimatedStaticsNextFrame) {
    constexpr int kFlame = 0x200;
    SetStatic(kFlame, kClientTileAnimated, 1);
    // Frame offsets 0, 3 and 5, one frame per tick; every other graphic stands still.
    std::vector<AnimRecord> records(kAnimDataRecords, AnimRecord{});
    records[kFlame].frames[1] = 3;
    records[kFlame].frames[2] = 5;
    records[kFlame].frameCount = 3;
    records[kFlame].interval = 1;
    const std::vector<u8> file = WriteAnimDataFile(records);
    TheAnimData().ReadImage(file.data(), file.size());
    PlayerAt(20, 20, 0);
    CClientObject* flame = StaticAt(kFlame, 21, 20, 0);
    CClientObject* twin = StaticAt(kFlame, 22, 20, 0);
    std::vector<int> shown;
    for (int tick = 0; tick < 4; ++tick) {
        MobilesTick();
        shown.push_back(flame->increment);
        EXPECT_EQ(twin->increment, flame->increment) << "one graphic, one frame";
        EXPECT_TRUE(flame->inCell) << "back in its cell";
    }
    EXPECT_EQ(shown, (std::vector<int>{3, 5, 0, 3}));
    TheAnimData().LoadAnimData("/nonexistent/animdata.mul");
}

TEST_F(WalkQueueTest, ServerObjectsOutOfRangeGo) {
    PlayerAt(20, 20, 0, 2);
    CClientItem* nearItem = CClientItem::Allocate(0x40000001, 0x0EED, 0);
    nearItem->PlaceInWorld(ClientLocation{38, 20, 0});
    CClientItem* farItem = CClientItem::Allocate(0x40000002, 0x0EED, 0);
    farItem->PlaceInWorld(ClientLocation{39, 20, 0});
    MobilesTick();
    EXPECT_NE(TheClientWorld().FindBySerial(0x40000001), nullptr);
    EXPECT_EQ(TheClientWorld().FindBySerial(0x40000002), nullptr);
}

}  // namespace
