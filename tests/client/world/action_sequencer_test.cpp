// The action sequencer: frames, repeats and the ping-pong turn, the 20 slots, and deaths that
// destroy a slot's mobile while the sequencer runs.
#include "client/world/action_sequencer.h"

#include <gtest/gtest.h>

#include "tests/client/world/world_fixture.h"

namespace {

class ActionSequencerTest : public WorldFixture {
protected:
    // The frames shown, one per sequencer step, until the action ends.
    static std::vector<int> Frames(CClientMobile& m, int limit = 200) {
        std::vector<int> out;
        for (int i = 0; i < limit && m.action.active; ++i) {
            out.push_back(m.action.frame);
            RunActionSequencer();
        }
        return out;
    }
};

TEST_F(ActionSequencerTest, SequencerExamples) {
    MakePlayer();
    struct Case {
        int frames, delay, repeat;
        bool backward, pingPong;
        std::vector<int> shown;  // frames in order, each shown delay + 2 steps
    } cases[] = {
        {5, 0, 1, false, false, {0, 1, 2, 3, 4}},
        {5, 0, 1, true, false, {4, 3, 2, 1, 0}},
        {5, 0, 2, false, true, {0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 3, 2, 1, 0, 4, 3, 2, 1, 0}},
        {3, 1, 1, false, false, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        CClientMobile* m = Mobile(0x80, 400);
        m->StartAction(7, c.frames, c.delay, c.repeat, c.backward, c.pingPong);
        std::vector<int> want;
        for (int f : c.shown)
            want.insert(want.end(), size_t(c.delay + 2), f);
        // The last frame is shown one step less: the end comes on the step that would leave it.
        EXPECT_EQ(Frames(*m), want) << c.frames << " " << c.repeat << " " << c.pingPong;
        EXPECT_EQ(m->sequencerSlot, -1);
        EXPECT_EQ(m->GetActionFrame(), -1);
        m->Destroy();
    }
}

TEST_F(ActionSequencerTest, ATwentyFirstActionGetsNoSlotAndStaysOnItsFirstFrame) {
    MakePlayer();
    std::vector<CClientMobile*> mobiles;
    for (u32 i = 0; i < 21; ++i) {
        mobiles.push_back(Mobile(0x100 + i, 400, 10 + int(i), 10));
        mobiles.back()->StartAction(7, 5, 0, 1, false, false);
    }
    EXPECT_EQ(mobiles[19]->sequencerSlot, 19);
    EXPECT_EQ(mobiles[20]->sequencerSlot, -1);
    for (int i = 0; i < 2; ++i)
        RunActionSequencer();
    EXPECT_EQ(mobiles[0]->action.frame, 1);
    EXPECT_EQ(mobiles[20]->action.frame, 0);
    EXPECT_TRUE(mobiles[20]->action.active);
}

TEST_F(ActionSequencerTest, TheSequencerSurvivesDeathsThatDestroyMobiles) {
    MakePlayer();
    // Neighbouring slots: the first's death destroys it mid-pass, the next still advances.
    CClientMobile* a = Mobile(0x200, 400);
    CClientMobile* b = Mobile(0x201, 400, 12, 10);
    a->Die(0x40000200, 1);
    b->Die(0x40000201, 1);
    for (int i = 0; i < 40; ++i)
        RunActionSequencer();
    EXPECT_EQ(TheClientWorld().mobileCount, 1);
    EXPECT_EQ(ActionSlot(0), nullptr);
    EXPECT_EQ(ActionSlot(1), nullptr);
}

TEST_F(ActionSequencerTest, DestroyingAMobileMidDeathDestroysItOnce) {
    MakePlayer();
    CClientMobile* m = Mobile(0x210, 400);
    m->Die(0, 1);  // no corpse: the destructor's action end must not destroy it again
    m->Destroy();
    EXPECT_EQ(TheClientWorld().mobileCount, 1);
    EXPECT_EQ(ActionSlot(0), nullptr);
}

TEST_F(ActionSequencerTest, ThePlayersDeathActionOnlyEnds) {
    CClientPlayer* p = MakePlayer();
    p->PlaceInWorld(ClientLocation{10, 10, 0});
    p->Die(0, 1);
    while (p->action.active)
        RunActionSequencer();
    EXPECT_EQ(ThePlayer(), p);
}

}  // namespace
