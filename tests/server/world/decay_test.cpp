// Decay of loose objects: the modes, the counter, the trigger's veto and intRet, the home.
#include "server/world/decay.h"

#include <gtest/gtest.h>

#include <vector>

#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

class DecayTest : public WorldTest {
protected:
    void TearDown() override {
        SetDecayMode(2);
        WorldTest::TearDown();
    }
    bool Alive(u32 serial) { return g_objectManager.FindBySerial(serial) != nullptr; }
};

TEST_F(DecayTest, ModesSetTheSweep) {
    struct Case {
        int mode, interval, buckets, limit, home, step;
    } cases[] = {{0, 1, 4, 250, 112, 112},
                 {1, 1, 2048, 72, 18, 6},
                 {2, 0, 0, 255, 0, 0},
                 {-7, 0, 0, 255, 0, 0}};
    for (const Case& c : cases) {
        g_decay.position = 99;
        SetDecayMode(c.mode);
        EXPECT_EQ(g_decay.interval, c.interval) << c.mode;
        EXPECT_EQ(g_decay.bucketsPerSweep, c.buckets) << c.mode;
        EXPECT_EQ(g_decay.limit, c.limit) << c.mode;
        EXPECT_EQ(g_decay.homeRate, c.home) << c.mode;
        EXPECT_EQ(g_decay.step, c.step) << c.mode;
        EXPECT_EQ(g_decay.position, 0) << c.mode;
    }
}

TEST_F(DecayTest, ChecksOfOneObject) {
    struct Case {
        const char* what;
        int start;
        int answer;              // the decay trigger's answer
        std::optional<s32> ret;  // what the handler hands back through intRet
        int visits;
        bool alive;
        int counter;
    } cases[] = {
        {"third visit decays", 0, 1, {}, 3, false, 0},
        {"two visits count up", 0, 1, {}, 2, true, 224},
        {"255 never decays", 255, 1, {}, 5, true, 255},
        {"a veto keeps object and counter", 100, 0, {}, 4, true, 100},
        {"intRet replaces the step", 0, 1, 3, 1, true, 3},
        {"intRet can decay at once", 0, 1, 250, 1, false, 0},
    };
    SetDecayMode(0);
    for (const Case& c : cases) {
        CItem* item = PlacedItem(5, 5, 0);
        const u32 serial = item->GetSerial();
        item->SetDecayCount(static_cast<u8>(c.start));
        triggers.answers[{serial, kTriggerDecay}] = c.answer;
        triggers.intReturn = 77;  // left over from another trigger: not this check's
        triggers.onTrigger = [&](CItem*, int trigger) {
            if (trigger == kTriggerDecay) triggers.intReturn = c.ret;
        };
        for (int i = 0; i < c.visits && Alive(serial); ++i)
            item->CheckDecay();
        EXPECT_EQ(Alive(serial), c.alive) << c.what;
        if (c.alive) {
            EXPECT_EQ(item->GetDecayCount(), c.counter) << c.what;
            item->DeleteSelf();
        }
    }
}

TEST_F(DecayTest, TheTriggerGetsTheCounterAndTheCounterLessTheStep) {
    SetDecayMode(0);
    CItem* item = PlacedItem(5, 5, 0);
    item->SetDecayCount(10);
    item->CheckDecay();
    ASSERT_EQ(triggers.calls.size(), 1u);
    EXPECT_EQ(triggers.calls[0].trigger, kTriggerDecay);
    EXPECT_EQ(triggers.calls[0].ints, (std::vector<int>{10, 10 - 112}));
}

TEST_F(DecayTest, AHandlerThatDeletesTheObject) {
    SetDecayMode(0);
    CItem* item = PlacedItem(5, 5, 0);
    const u32 serial = item->GetSerial();
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger == kTriggerDecay) object->DeleteSelf();
    };
    item->CheckDecay();
    EXPECT_FALSE(Alive(serial));
}

TEST_F(DecayTest, WhatNeverDecaysOrResets) {
    SetDecayMode(0);
    auto* npc = new CNPC;
    npc->PlaceInWorld(Location(3, 3, 0));
    npc->SetDecayCount(200);
    npc->CheckDecay();
    EXPECT_EQ(npc->GetDecayCount(), 200) << "mobiles never decay";
    CItem* bag = PlacedItem(4, 4, 0, kBag);
    CItem* inside = NewItem();
    ASSERT_TRUE(inside->AddToContainer(bag, Location(1, 1, 0)));
    inside->SetDecayCount(200);
    inside->CheckDecay();
    EXPECT_EQ(inside->GetDecayCount(), 0) << "contained objects reset";
    CItem* loose = NewItem();
    loose->SetDecayCount(50);
    loose->CheckDecay();
    EXPECT_EQ(loose->GetDecayCount(), 0) << "detached objects reset";
    EXPECT_TRUE(triggers.calls.empty());
}

TEST_F(DecayTest, ADecayedObjectWithAHomeGoesHome) {
    SetDecayMode(0);
    CItem* item = PlacedItem(5, 5, 0);
    item->SetHome(Location(9, 9, 0));
    const u32 serial = item->GetSerial();
    for (int i = 0; i < 3; ++i)
        item->CheckDecay();
    ASSERT_TRUE(Alive(serial));
    EXPECT_EQ(item->GetLocation(), Location(9, 9, 0));
    EXPECT_EQ(item->GetDecayCount(), 0);
}

TEST_F(DecayTest, ModeOneSweepDecaysOnTheTwelfthVisit) {
    SetDecayMode(1);
    CItem* item = PlacedItem(5, 5, 0);
    const u32 serial = item->GetSerial();
    // 32 sweeps visit the whole hash once.
    s32 pulse = 0;
    for (; pulse < 32 * 11; ++pulse)
        DecayTick(pulse);
    ASSERT_TRUE(Alive(serial));
    EXPECT_EQ(item->GetDecayCount(), 66);
    for (; pulse < 32 * 12; ++pulse)
        DecayTick(pulse);
    EXPECT_FALSE(Alive(serial));
}

std::vector<u32> gChecked;
CItem* gVictim = nullptr;

TEST_F(DecayTest, ASweepSkipsAnObjectThatAnEarlierCheckDeleted) {
    SetDecayMode(1);
    CItem* older = PlacedItem(5, 5, 0);
    older->SetSerial(0x40000005);
    CItem* newer = PlacedItem(6, 6, 0);
    newer->SetSerial(0x40010005);  // the same bucket, checked first (newest first)
    CItem* next = PlacedItem(7, 7, 0);
    next->SetSerial(0x40000006);
    gChecked.clear();
    gVictim = older;
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger != kTriggerDecay) return;
        gChecked.push_back(object->GetSerial());
        if (CItem* victim = gVictim; victim && victim != object) {
            gVictim = nullptr;
            victim->DeleteSelf();
        }
    };
    DecayTick(0);
    EXPECT_EQ(gChecked, (std::vector<u32>{0x40010005, 0x40000006}));
    EXPECT_FALSE(Alive(0x40000005));
    EXPECT_EQ(g_decay.position, 2048);
}

TEST_F(DecayTest, ModeTwoDoesNotSweep) {
    SetDecayMode(2);
    CItem* item = PlacedItem(5, 5, 0);
    for (s32 pulse = 0; pulse < 100; ++pulse)
        DecayTick(pulse);
    EXPECT_EQ(item->GetDecayCount(), 0);
    EXPECT_EQ(g_decay.position, 0);
}

}  // namespace
