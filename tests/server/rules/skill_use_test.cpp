// Skill use and learning: chances, advance rates, learning limits, practice repeats, watchers,
// stat gain, the slow loss of skills and stats, and the facing helpers the watchers use.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "platform/clock.h"
#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/rules/skill_use.h"
#include "server/world/npc.h"
#include "server/world/player_registry.h"
#include "server/world/skill_table.h"
#include "server/world/world_utilities.h"
#include "tests/server/world/world_test_support.h"

namespace {

void SetDebug(CItem& player, int skill) {
    ObjVars::Set(player.ScriptAttachments(), "debugSkillInfo", kTypeInt,
                 ScriptListValue::Int(skill));
}

// `count` skills with stat weights 10/20/30, the stat percent and a flat advance curve at
// `rate` (a middle equal to the low end gives the straight line, here a constant).
void LoadSkills(int count, int statPercent = 100, int rate = 1600) {
    std::string text = "version 0\nStatCurve 500\nSkillCurve 500\n";
    const std::string curve = std::to_string(rate);
    for (int i = 0; i < count; ++i) {
        text += "--\nName S" + std::to_string(i) +
                "\nStr 10\nDex 20\nInt 30\nW 0\nW 0\nW 0\nCurve " + curve + " " + curve + " " +
                curve + "\nSpare 0\nPct " + std::to_string(statPercent) +
                "\nUse T\nCap 1\nScript s\n";
    }
    ASSERT_EQ(g_skillTable.LoadFromText(text), count);
}

class SkillUseTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        platform::SeedRandom(77);
        LoadSkills(4);
        g_skillTable.ClearUsage();
    }
    void TearDown() override {
        g_skillTable.LoadFromText("");
        g_skillTable.ClearUsage();
        WorldTest::TearDown();
    }
    CPlayer* Player(int x, int y, int facing = 0) {
        auto* p = new CPlayer;
        p->PlaceInWorld(Location(x, y, 0));
        p->SetDirection(facing);
        packets.log.clear();
        return p;
    }
    platform::ManualClock clock{5000};
};

TEST_F(SkillUseTest, ChanceIsEvenAtTheDifficultyAndFocusScalesIt) {
    CPlayer* p = Player(10, 10);
    p->SetSkill(0, 600);  // stat percent 100: effective skill = skill level
    struct Case {
        int difficulty, focus, chance;
    } cases[] = {
        {600, 100, 500},       // even
        {500, 100, 600},       // 1 per point at focus 100
        {700, 50, 300},        // 2 per point at focus 50
        {600, 0, 500},         // a focus of 0 counts as 1
        {599, -5, 600},        // so does a negative one
        {INT_MIN, 1, INT_MAX}, // clamped, not overflowed
        {INT_MAX, 1, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p->GetSkillChance(0, c.difficulty, c.focus), c.chance)
            << c.difficulty << " / " << c.focus;
}

TEST_F(SkillUseTest, AdvanceRateFollowsUsageAgainstTheAverage) {
    // Nothing used: the average is 0 and every ratio is clamped to half speed.
    EXPECT_EQ(g_skillTable.GetAdvanceRate(0, 0), 800);
    // Skill 1 used often, the others never: 0 is rare (five times), 1 common (half speed).
    g_skillTable.SetCurrentUsage(1, 4000);
    EXPECT_EQ(g_skillTable.GetAdvanceRate(0, 0), 5 * 1600);
    EXPECT_EQ(g_skillTable.GetAdvanceRate(1, 0), 800);
    // Refused numbers, and a table without records, answer 0.
    EXPECT_EQ(g_skillTable.GetAdvanceRate(-1, 0), 0);
    EXPECT_EQ(g_skillTable.GetAdvanceRate(4, 0), 0);
    g_skillTable.LoadFromText("");
    EXPECT_EQ(g_skillTable.GetAdvanceRate(0, 0), 0);
}

TEST_F(SkillUseTest, UseCountersShiftDownAtTheirLimitInsteadOfWrapping) {
    CPlayer* p = Player(10, 10);
    // Skill 0's count and skill 1's before, the uses of skill 0 (through UseSkill or
    // TestSkill), and skill 0's count and the total after.
    struct Case {
        const char* what;
        u32 count0, count1;
        int uses;
        bool test;
        u32 after0, total;
    } cases[] = {
        {"far from the limit", 10, 0, 2, false, 12, 12},
        {"one short of the limit", 0xFFFFFFF9u, 5, 1, false, 0xFFFFFFFAu, 0xFFFFFFFFu},
        {"at the limit: shifted, then counted", 0xFFFFFFF9u, 5, 2, false, 0x10000u, 0x10000u},
        {"one skill holds it all", 0xFFFFFFFFu, 0, 1, true, 0x10000u, 0x10000u},
        {"on and on past it", 0xFFFFFFFFu, 0, 3, true, 0x10002u, 0x10002u},
    };
    for (const Case& c : cases) {
        g_skillTable.ClearUsage();
        g_skillTable.SetCurrentUsage(1, c.count1);
        g_skillTable.SetCurrentUsage(0, c.count0);
        for (int i = 0; i < c.uses; ++i) {
            if (c.test)
                p->TestSkill(0);
            else
                p->UseSkill(0, 0, 100, 0, 100, 1);
        }
        EXPECT_EQ(g_skillTable.GetUsage(0), c.after0) << c.what;
        EXPECT_EQ(g_skillTable.GetTotalUsage(), c.total) << c.what;
        // The rates stay within half to five times the curve's 1600.
        for (int skill = 0; skill < 2; ++skill) {
            EXPECT_GE(g_skillTable.GetAdvanceRate(skill, 0), 800) << c.what;
            EXPECT_LE(g_skillTable.GetAdvanceRate(skill, 0), 8000) << c.what;
        }
    }
    // An NPC's uses are not counted.
    g_skillTable.ClearUsage();
    CNPC* npc = new CNPC;
    npc->PlaceInWorld(Location(12, 10, 0));
    npc->UseSkill(0, 0, 100, 0, 100, 1);
    EXPECT_EQ(g_skillTable.GetTotalUsage(), 0u);
}

TEST_F(SkillUseTest, LearningStopsAt1000AndNeverLowersASkill) {
    CPlayer* p = Player(10, 10);
    // Rate 800 x 1000 % = 8000; at chance 1000 exactly 8 points, no draw can add one.
    struct Case {
        int before, after;
    } cases[] = {{0, 8}, {995, 1000}, {1000, 1000}, {1200, 1200}};
    for (const Case& c : cases) {
        p->SetSkill(2, c.before);
        p->LearnSkill(2, 5000, 1000);  // a chance above 1000 counts as 1000
        EXPECT_EQ(p->GetBaseSkill(2), c.after) << c.before;
    }
    // A chance below 1 teaches nothing; refused skill numbers change nothing.
    p->SetSkill(2, 0);
    p->LearnSkill(2, 0, 1000);
    EXPECT_EQ(p->GetBaseSkill(2), 0);
    for (int bad : {-1, 4, 50, 255}) {
        p->LearnSkill(bad, 1000, 1000);
        p->PracticeSkill(bad, 100, true);
        p->GainStats(bad, 100000, 1);
        EXPECT_EQ(p->TestSkill(bad), 0) << bad;
        EXPECT_EQ(p->UseSkill(bad, 0, 100, 1, 100, 1), 0) << bad;
    }
    EXPECT_EQ(p->GetSkillTotal(), 0);
    EXPECT_EQ(p->GetBaseStat(0) + p->GetBaseStat(1) + p->GetBaseStat(2), 0);
}

TEST_F(SkillUseTest, QuickRepeatsCountOnAndALaterSecondStartsAgain) {
    CPlayer* p = Player(10, 10);
    p->PracticeSkill(1, 0, true);
    EXPECT_EQ(p->GetSkillRepeatCount(1), 1);  // the base time is long ago
    p->PracticeSkill(1, 0, true);
    p->PracticeSkill(1, 0, true);
    EXPECT_EQ(p->GetSkillRepeatCount(1), 3);  // the same second
    clock.Advance(1000);
    p->PracticeSkill(1, 0, true);
    EXPECT_EQ(p->GetSkillRepeatCount(1), 1);  // a later second
    // Practice by watching does not stamp the time: the count goes on from the last own use.
    p->PracticeSkill(1, 0, false);
    clock.Advance(1000);
    p->PracticeSkill(1, 0, false);
    EXPECT_EQ(p->GetSkillRepeatCount(1), 1);
    for (int i = 0; i < 150; ++i)
        p->PracticeSkill(1, 0, true);
    EXPECT_EQ(p->GetSkillRepeatCount(1), 100);
}

TEST_F(SkillUseTest, WatchersWithinATileThatSeeAndFaceLearn) {
    CPlayer* teacher = Player(10, 10);
    teacher->SetSkill(0, 900);
    // North of the teacher facing south (4) toward it; one facing away; one two tiles off;
    // one that knows more.
    CPlayer* facing = Player(10, 9, 4);
    CPlayer* away = Player(11, 10, 2);
    CPlayer* far = Player(10, 12, 0);
    CPlayer* knows = Player(9, 10, 2);
    knows->SetSkill(0, 950);
    for (int i = 0; i < 200; ++i) {
        clock.Advance(1000);  // no repeats: every practice draws
        teacher->TeachWatchers(0, 100);
    }
    EXPECT_GT(facing->GetBaseSkill(0), 0);
    EXPECT_EQ(away->GetBaseSkill(0), 0);
    EXPECT_EQ(far->GetBaseSkill(0), 0);
    EXPECT_EQ(knows->GetBaseSkill(0), 950);
    // A non-human teaches nobody.
    CNPC* wolf = new CNPC;
    wolf->SetTemplateField(550);
    wolf->PlaceInWorld(Location(10, 8, 0));
    wolf->SetSkill(0, 1000);
    const int before = facing->GetBaseSkill(0);
    for (int i = 0; i < 100; ++i)
        wolf->TeachWatchers(0, 100);
    EXPECT_EQ(facing->GetBaseSkill(0), before);
}

TEST_F(SkillUseTest, UseCountsTimesAndShowsDebugLines) {
    CPlayer* p = Player(10, 10);
    p->SetSkill(3, 500);
    SetDebug(*p, 666);
    clock.Advance(7000);
    p->UseSkill(3, 500, 100, 1, 100, 1);
    EXPECT_EQ(g_skillTable.GetUsage(3), 1u);
    EXPECT_EQ(p->GetSkillUseTime(3), SkillClockSeconds());
    const auto lines = packets.With("msg ");
    ASSERT_GE(lines.size(), 2u);
    const std::string me = std::to_string(p->GetSerial());
    EXPECT_EQ(lines[0].rfind("msg " + me + " S3 At:(500/500), Diff:500, Focus:100, Chance:500, "
                             "Success:",
                             0),
              0u)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("msg " + me + " Learn S3 At: 500, Chance: 500, AdvRate: ", 0), 0u)
        << lines[1];
    // Only the skill named (or 666) shows lines.
    SetDebug(*p, 2);
    EXPECT_FALSE(IsSkillDebugOn(*p, 3));
    EXPECT_TRUE(IsSkillDebugOn(*p, 2));
    // A non-combatant player neither succeeds nor learns.
    p->SetFlag(kPlayerNonCombatant, true);
    EXPECT_EQ(p->UseSkill(3, -100000, 1, 1, 100, 1), 0);
    EXPECT_EQ(p->TestSkill(3), 0);
}

TEST_F(SkillUseTest, StatsAtTheTopNeverGain) {
    CPlayer* p = Player(10, 10);
    p->SetRealStat(kStatStrength, 100);
    p->SetRealStat(kStatDexterity, 20);
    int highest = 0;
    for (int i = 0; i < 200; ++i) {
        p->GainStats(0, 1000, 1);
        highest = std::max(highest, p->GetBaseStat(kStatStrength));
    }
    // Strength may pay for the others' gains under the stat cap, but never rises.
    EXPECT_EQ(highest, 100);
    EXPECT_GT(p->GetBaseStat(kStatDexterity), 20);
}

TEST_F(SkillUseTest, LossIsSeededAndGhostsLoseTwice) {
    auto lost = [&](bool ghost, u32 seed) {
        CPlayer* p = Player(20, 20);
        if (ghost) p->SetBodyType(kGhostBodies[0]);
        for (int s = 0; s < 4; ++s)
            p->SetSkill(s, 800);
        p->SetRealStat(kStatIntelligence, 60);
        // The pass's order is the table's, shuffled when the table is made.
        platform::SeedRandom(seed);
        g_skillTable = CSkillTable();
        LoadSkills(4);
        for (int i = 0; i < 400; ++i) {
            p->LoseSkills(5000);
            p->LoseStats(500);
        }
        const int result = 4 * 800 - p->GetSkillTotal() + 60 - p->GetBaseStat(2);
        p->DeleteSelf();
        return result;
    };
    const int living = lost(false, 5);
    EXPECT_EQ(lost(false, 5), living);  // the same seed, the same losses
    EXPECT_GT(living, 0);
    EXPECT_GT(lost(true, 5), living);
    // A stat of 10 or less never drops.
    CPlayer* p = Player(30, 30);
    p->SetRealStat(kStatStrength, 10);
    for (int i = 0; i < 200; ++i)
        p->LoseStats(100000);
    EXPECT_EQ(p->GetBaseStat(kStatStrength), 10);
}

TEST(Facing, DirectionBetweenPlacesAndFacingBands) {
    struct Case {
        int x, y, direction;
    } cases[] = {
        {110, 104, 2}, {110, 106, 3}, {100, 90, 0}, {100, 100, 0}, {90, 104, 6},
        {94, 110, 5},  {94, 90, 7},   {106, 90, 1}, {100, 101, 4},
        {95, 110, 4},  // exactly twice as far south as west: south
        {5100, 100, 2},  // the short way round the surface edge is taken as positive
    };
    for (const Case& c : cases)
        EXPECT_EQ(DirectionBetween(Location(100, 100, 0), Location(c.x, c.y, 0)), c.direction)
            << c.x << "," << c.y;
}

TEST_F(SkillUseTest, FacingCoversTheDirectionAndOneStepEitherSide) {
    CPlayer* a = Player(50, 50, 2);  // east
    struct Case {
        int x, y;
        bool facing;
    } cases[] = {{51, 50, true}, {51, 49, true}, {51, 51, true}, {50, 51, false},
                 {49, 50, false}, {50, 50, true}};
    for (const Case& c : cases) {
        CItem* thing = PlacedItem(c.x, c.y, 5);
        EXPECT_EQ(IsFacing(*a, *thing), c.facing) << c.x << "," << c.y;
        thing->DeleteSelf();
    }
}

}  // namespace
