// The earlier evaluation code: its ratings and tests, and one seeded look around.
#include "server/rules/npc/npc_evaluation.h"

#include <gtest/gtest.h>

#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/object_templates.h"
#include "tests/server/rules/npc_test_support.h"

namespace {

class NpcEvaluationTest : public NpcTest {
protected:
    static void SetVar(CItem* item, const char* name, int value) {
        ObjVars::Set(item->ScriptAttachments(), name, kTypeInt, ScriptListValue::Int(value));
    }
    static void Stats(CMobile* m, int each) {
        for (int s = 0; s < 3; ++s)
            m->SetRealStat(s, each);
    }
};

TEST_F(NpcEvaluationTest, PowerRatingFromStatsAndSpellLevel) {
    CNPC* npc = Npc(10, 10);
    npc->SetRealStat(kStatStrength, 40);
    npc->SetRealStat(kStatDexterity, 30);
    npc->SetRealStat(kStatIntelligence, 21);
    EXPECT_EQ(PowerRating(npc), 30);
    SetVar(npc, "spellCasterLevel", 2);
    EXPECT_EQ(PowerRating(npc), 40);
}

TEST_F(NpcEvaluationTest, AversionAndPrey) {
    struct Case {
        const char* what;
        int ownStats;
        int otherStats;
        const char* var;
        int value;
        int otherNotoriety;
        bool aversive;
    } cases[] = {
        {"no variable", 30, 90, nullptr, 0, 0, false},
        {"stronger than the power share", 30, 90, "aversionPower", 200, 0, true},
        {"weaker", 30, 30, "aversionPower", 200, 0, false},
        {"rated 0, other rated above", 0, 3, "aversionPower", 200, 0, true},
        {"rated 0, other rated 0", 0, 0, "aversionPower", 200, 0, false},
        {"bad repute", 30, 30, "aversionRepute", 10, -5, true},
        {"good repute", 30, 30, "aversionRepute", 10, 50, false},
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10);
        CNPC* other = Npc(12, 10);
        Stats(npc, c.ownStats);
        Stats(other, c.otherStats);
        other->SetNotoriety(c.otherNotoriety);
        if (c.var) SetVar(npc, c.var, c.value);
        EXPECT_EQ(IsAversiveTo(npc, other), c.aversive) << c.what;
        DeleteAllObjects();
    }
    CNPC* wolf = Npc(10, 10, 600);
    CNPC* deer = Npc(12, 10, 550);
    EXPECT_FALSE(IsPreyFor(wolf, deer));
    SetVar(wolf, "predator", 4);
    SetVar(deer, "foddertype", 4);
    EXPECT_TRUE(IsPreyFor(wolf, deer));
    EXPECT_FALSE(IsPreyFor(deer, wolf));
    EXPECT_TRUE(IsKinOf(deer, Npc(14, 10, 550)));
    EXPECT_FALSE(IsKinOf(deer, wolf));
    EXPECT_TRUE(IsKinOf(Npc(15, 15, 10), Npc(16, 15, 1100)));  // both human
    EXPECT_FALSE(IsKinOf(deer, Npc(17, 15, 10)));                // a deer is no human's kin
}

// A template's friends list makes the NPCs of the templates it names kin (one way: the friend
// need not name it back); a name that is not a template number names no one.
TEST_F(NpcEvaluationTest, FriendsListedByTheTemplateAreKin) {
    g_templateTable.LoadTemplatesText(
        "<600>\n<type normal 225>\n<friends { 610 1 wolves 2 }>\n<@@@ END @@@>\n"
        "<610>\n<type normal 225>\n<@@@ END @@@>\n"
        "<620>\n<type normal 225>\n<friends 600>\n<@@@ END @@@>\n");
    struct Case {
        int own, other;
        bool kin;
    };
    const Case cases[] = {
        {600, 610, true},  {610, 600, false}, {620, 600, true},
        {600, 620, false}, {610, 620, false}, {600, 600, true},
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10, c.own);
        CNPC* other = Npc(12, 10, c.other);
        EXPECT_EQ(IsKinOf(npc, other), c.kin) << c.own << " -> " << c.other;
        DeleteAllObjects();
    }
    g_templateTable.UnloadTemplates();
}

TEST_F(NpcEvaluationTest, SeededLookAroundActsOnOneCandidate) {
    auto run = [this](u32 seed) {
        CNPC* npc = Npc(20, 20, 600);
        Stats(npc, 10);
        SetVar(npc, "predator", 4);
        SetVar(npc, "aversionPower", 150);
        CNPC* prey = Npc(22, 20, 550);
        SetVar(prey, "foddertype", 4);
        CNPC* bear = Npc(18, 20, 650);
        Stats(bear, 80);
        platform::SeedRandom(seed);
        EXPECT_EQ(EvaluateSurroundings(npc, 10, true, true, false), 2);
        const int state = npc->GetState();
        const Location goal = npc->ai.destination;
        DeleteAllObjects();
        return std::make_pair(state, goal);
    };
    EXPECT_EQ(run(5), run(5));
    bool fled = false, fought = false;
    for (u32 seed = 1; seed < 20; ++seed) {
        const auto [state, goal] = run(seed);
        if (state == 2) {
            fled = true;
            EXPECT_EQ(goal, Location(40, 20, 0));  // ten times its offset from the bear
        }
        fought |= state == 3;
    }
    EXPECT_TRUE(fled && fought);
}

}  // namespace
