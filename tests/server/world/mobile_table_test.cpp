#include "server/world/mobile_table.h"

#include <gtest/gtest.h>

#include <climits>

#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

struct RecordingNpcRules : NpcServices {
    std::vector<std::string> log;
    std::function<void(CNPC*)> onHeartBeat;
    std::function<void(CNPC*)> onBookkeeping;
    void HeartBeat(CNPC* npc) override {
        log.push_back("beat " + std::to_string(npc->GetSerial()));
        EXPECT_EQ(g_mobileTable.GetCurrentNpc(), npc);
        if (onHeartBeat) onHeartBeat(npc);
    }
    void TickBookkeeping(CNPC* npc) override {
        log.push_back("book " + std::to_string(npc->GetSerial()));
        if (onBookkeeping) onBookkeeping(npc);
    }
    void ExecuteNpcState(CNPC* npc) override {
        log.push_back("state " + std::to_string(npc->GetSerial()));
    }
    int Count(const std::string& what) const {
        int n = 0;
        for (const std::string& line : log)
            n += line == what;
        return n;
    }
};

class MobileTableTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetNpcServices(&rules);
        // The rotor carries over from earlier tests: bring it back to 0.
        while (g_mobileTable.GetRotor() != 0)
            g_mobileTable.NpcHeartbeatSweep();
        rules.log.clear();
    }
    void TearDown() override {
        SetNpcServices(nullptr);
        WorldTest::TearDown();
    }
    // An NPC placed in the world with the given serial (its bucket is serial & 0x3F).
    CNPC* Npc(u32 serial, bool placed = true) {
        CNPC* npc = new CNPC;
        npc->SetSerial(serial);
        if (placed) npc->PlaceInWorld(Location(10, 10, 0));
        return npc;
    }
    static std::string Beat(CNPC* npc) { return "beat " + std::to_string(npc->GetSerial()); }
    RecordingNpcRules rules;
};

TEST_F(MobileTableTest, NpcsAreFoundByTheirSerialInTheirBucket) {
    CNPC* a = Npc(0x40000003);
    CNPC* b = Npc(0x40000043);                 // same bucket
    EXPECT_EQ(g_mobileTable.GetBucket(3), b);  // newest first
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(0x40000003), a);
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(0x40000043), b);
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(0x40000083), nullptr);
    a->SetSerial(0x40000004);
    EXPECT_EQ(g_mobileTable.FindMobileBySerial(0x40000003), nullptr);
    EXPECT_EQ(g_mobileTable.GetBucket(4), a);
    b->DeleteSelf();
    EXPECT_EQ(g_mobileTable.GetBucket(3), nullptr);
    ASSERT_NE(g_mobileTable.GetGrid(), nullptr);
    EXPECT_EQ(g_mobileTable.GetGrid()->GetShift(), 6);
}

TEST_F(MobileTableTest, AGridCornerAtTheTopOfTheIntRangeDoesNotOverflow) {
    // The far corner is corner + size - 1, which overflows an int near 2^31 (undefined
    // behaviour, caught by the sanitizer); the grid then reaches to the top of the range.
    g_mobileTable.CreateGrid(INT_MAX - 100, INT_MAX - 10, 1024, 1024);
    ASSERT_NE(g_mobileTable.GetGrid(), nullptr);
    EXPECT_EQ(g_mobileTable.GetGrid()->Contains(INT_MAX - 100, INT_MAX), 1);
    g_mobileTable.CreateGrid(0, 0, 64, 64);
}

TEST_F(MobileTableTest, HeartbeatsCoverOneEighthPerCallAndTheRotorCarriesOver) {
    std::vector<CNPC*> npcs;
    for (u32 bucket = 0; bucket < 64; ++bucket)
        npcs.push_back(Npc(0x40000000 + bucket));
    g_mobileTable.NpcHeartbeatSweep();
    ASSERT_EQ(rules.log.size(), 8u);
    EXPECT_EQ(rules.log[0], Beat(npcs[0]));
    EXPECT_EQ(rules.log[7], Beat(npcs[7]));
    for (int i = 1; i < 8; ++i)
        g_mobileTable.NpcHeartbeatSweep();
    EXPECT_EQ(rules.log.size(), 64u);
    for (CNPC* npc : npcs)
        EXPECT_EQ(rules.Count(Beat(npc)), 1);
    // The ninth call is one pass into the second cycle.
    rules.log.clear();
    g_mobileTable.NpcHeartbeatSweep();
    EXPECT_EQ(g_mobileTable.GetRotor(), 8);
    EXPECT_EQ(rules.log.front(), Beat(npcs[0]));
    EXPECT_EQ(g_mobileTable.GetCurrentNpc(), nullptr);
}

TEST_F(MobileTableTest, SweepsSurviveDeletionsDuringTheSweep) {
    // Three NPCs in bucket 5, newest first: c, b, a.
    CNPC* a = Npc(0x40000005);
    CNPC* b = Npc(0x40000045);
    CNPC* c = Npc(0x40000085);
    const std::string beatA = Beat(a);
    // c's heartbeat deletes b, the next one in the bucket; the sweep goes on with a.
    rules.onHeartBeat = [&](CNPC* npc) {
        if (npc == c) b->DeleteSelf();
    };
    g_mobileTable.NpcHeartbeatSweep();
    EXPECT_EQ(rules.log, (std::vector<std::string>{Beat(c), beatA}));

    // A heartbeat that deletes its own NPC.
    rules.log.clear();
    rules.onHeartBeat = [&](CNPC* npc) { npc->DeleteSelf(); };
    for (int i = 0; i < 8; ++i)
        g_mobileTable.NpcHeartbeatSweep();
    EXPECT_EQ(rules.log.size(), 2u);
    EXPECT_EQ(g_mobileTable.GetBucket(5), nullptr);
}

TEST_F(MobileTableTest, DetachedOrContainedNpcsKeepBookkeepingButNoHeartbeatOrState) {
    CNPC* placed = Npc(0x40000001);
    CNPC* detached = Npc(0x40000002, false);
    g_mobileTable.NpcHeartbeatSweep();
    EXPECT_EQ(rules.Count(Beat(placed)), 1);
    EXPECT_EQ(rules.Count(Beat(detached)), 0);
    rules.log.clear();
    g_mobileTable.NpcStateSweep();
    EXPECT_EQ(rules.Count("book " + std::to_string(detached->GetSerial())), 1);
    EXPECT_EQ(rules.Count("state " + std::to_string(detached->GetSerial())), 0);
    EXPECT_EQ(rules.Count("state " + std::to_string(placed->GetSerial())), 1);
    // Bookkeeping that ends the NPC: no state step for it, the sweep goes on.
    rules.log.clear();
    rules.onBookkeeping = [&](CNPC* npc) {
        if (npc == placed) npc->DeleteSelf();
    };
    const std::string placedState = "state " + std::to_string(placed->GetSerial());
    g_mobileTable.NpcStateSweep();
    EXPECT_EQ(rules.Count(placedState), 0);
    EXPECT_EQ(rules.Count("book " + std::to_string(detached->GetSerial())), 1);
}

TEST_F(MobileTableTest, ImmediateHeartbeatsRunOnceAndDropUnknownSerials) {
    CNPC* npc = Npc(0x40000009);
    CItem* item = NewItem();
    g_mobileTable.QueueImmediateHeartbeat(npc->GetSerial());
    g_mobileTable.QueueImmediateHeartbeat(item->GetSerial());  // no NPC
    g_mobileTable.QueueImmediateHeartbeat(0x4FFFFFFF);
    g_mobileTable.NpcHeartbeatSweep();  // buckets 0-7 this pass: bucket 9 is not among them
    EXPECT_EQ(rules.log, (std::vector<std::string>{Beat(npc)}));
    rules.log.clear();
    g_mobileTable.NpcHeartbeatSweep();  // buckets 8-15
    EXPECT_EQ(rules.log, (std::vector<std::string>{Beat(npc)}));
}

TEST_F(MobileTableTest, PlaceNewMobileSetsBodyAndPlace) {
    CNPC* npc = Npc(0x40000011, false);
    g_mobileTable.PlaceNewMobile({400, 0, Location(20, 21, 5)}, npc);
    EXPECT_EQ(npc->GetBody(), 400);
    EXPECT_TRUE(npc->GetLocation() == Location(20, 21, 5));
    EXPECT_FALSE(npc->IsDetached());
}

}  // namespace
