// Mobile stats, vitals, skills and caps, notoriety, fame and karma.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/world/skill_table.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

// A skill table of `count` skills, each of the cap weight, stat weights 10/20/30 and the given
// stat percent; the cap curves' middles as given.
void LoadSkills(int count, int capWeight, int statPercent = 40, int statMiddle = 500,
                int skillMiddle = 500) {
    std::string text = "version 0\nStatCurve " + std::to_string(statMiddle) + "\nSkillCurve " +
                       std::to_string(skillMiddle) + "\n";
    for (int i = 0; i < count; ++i) {
        text += "--\nName S" + std::to_string(i) +
                "\nStr 10\nDex 20\nInt 30\nW 0\nW 0\nW 0\nCurve 0 500 800\nSpare 0\nPct " +
                std::to_string(statPercent) + "\nUse T\nCap " + std::to_string(capWeight) +
                "\nScript s\n";
    }
    ASSERT_EQ(g_skillTable.LoadFromText(text), count);
}

class MobileStatsTest : public WorldTest {
protected:
    void TearDown() override {
        g_skillTable.LoadFromText("");
        WorldTest::TearDown();
    }
    CPlayer* PlacedPlayer(int x = 10, int y = 10) {
        auto* p = new CPlayer;
        p->PlaceInWorld(Location(x, y, 0));
        packets.log.clear();
        return p;
    }
    CNPC* PlacedNpc(int x = 12, int y = 10) {
        auto* n = new CNPC;
        n->PlaceInWorld(Location(x, y, 0));
        return n;
    }
};

TEST_F(MobileStatsTest, NewMobileDefaults) {
    CNPC* npc = PlacedNpc();
    EXPECT_EQ(npc->GetMoveType(), 1);
    EXPECT_EQ(g_mobileManager.GetFirstMobile(), npc);
    EXPECT_EQ(npc->GetSkillUseTime(0), kSkillBaseTime);
    EXPECT_EQ(npc->GetSkillUseTime(49), kSkillBaseTime);
    npc->SetRealStat(kStatStrength, 10);
    EXPECT_EQ(npc->GetMaxWeight(), 70);
}

TEST_F(MobileStatsTest, OneVitalsUpdatePerChange) {
    CPlayer* p = PlacedPlayer();
    // A new player starts with 50 hit points; the steps start from none.
    p->SetCurHits(0);
    p->SetMaxHits(0);
    const std::string me = std::to_string(p->GetSerial());
    struct Step {
        const char* what;
        std::function<int()> act;
        int stored;
        std::vector<std::string> sent;
    } steps[] = {
        {"max hits", [&] { return p->SetMaxHits(50); }, 50, {"A1 " + me + " " + me}},
        {"negative hits store 0, unchanged", [&] { return p->SetCurHits(-5); }, 0, {}},
        {"hits", [&] { return p->SetCurHits(30); }, 30, {"A1 " + me + " " + me}},
        {"same hits again", [&] { return p->SetCurHits(30); }, 30, {}},
        {"hits above the maximum", [&] { return p->SetCurHits(80); }, 50, {"A1 " + me + " " + me}},
        {"max mana", [&] { return p->SetMaxMana(20); }, 20, {"A2 " + me + " " + me}},
        {"mana", [&] { return p->SetCurMana(25); }, 20, {"A2 " + me + " " + me}},
        {"max fatigue", [&] { return p->SetMaxFatigue(-3); }, 0, {}},
        {"fatigue without a maximum", [&] { return p->SetCurFatigue(5); }, 0, {}},
        {"max fatigue", [&] { return p->SetMaxFatigue(9); }, 9, {"A3 " + me + " " + me}},
        {"fatigue", [&] { return p->SetCurFatigue(4); }, 4, {"A3 " + me + " " + me}},
    };
    for (Step& s : steps) {
        packets.log.clear();
        EXPECT_EQ(s.act(), s.stored) << s.what;
        EXPECT_EQ(packets.log, s.sent) << s.what;
    }
    // Adders answer the change.
    EXPECT_EQ(p->AddCurHits(-60), -50);
    EXPECT_EQ(p->AddCurHits(7), 7);
    // A mobile that is not in the world sends nothing.
    CNPC* loose = new CNPC;
    packets.log.clear();
    loose->SetMaxHits(5);
    EXPECT_TRUE(packets.log.empty());
}

TEST_F(MobileStatsTest, OnlyThePlayerItselfIsToldItsVitals) {
    CPlayer* p = PlacedPlayer();
    CPlayer* beside = PlacedPlayer(11, 10);
    CNPC* npc = PlacedNpc(11, 11);
    packets.log.clear();
    p->SetCurHits(20);
    npc->SetMaxHits(30);
    npc->SetCurHits(25);
    beside->SetMaxMana(7);
    const std::string me = std::to_string(p->GetSerial());
    const std::string other = std::to_string(beside->GetSerial());
    EXPECT_EQ(packets.log, (std::vector<std::string>{"A1 " + me + " " + me,
                                                     "A2 " + other + " " + other}));
    // Out of the world a player is told nothing.
    p->RemoveFromWorld();
    packets.log.clear();
    p->SetCurHits(10);
    EXPECT_EQ(packets.With("A1").size(), 0u);
}

TEST_F(MobileStatsTest, StatsMoveTheirMaximaAndTellThePlayer) {
    CPlayer* p = PlacedPlayer();
    const int hitsBefore = p->GetMaxHits();  // a new player starts with 50
    EXPECT_EQ(p->SetRealStat(kStatStrength, 40), 40);
    EXPECT_EQ(p->GetMaxHits(), hitsBefore + 40);
    EXPECT_EQ(p->ModifyRealStat(kStatDexterity, 25), 25);
    EXPECT_EQ(p->GetMaxFatigue(), 25);
    EXPECT_EQ(p->SetStatMod(kStatIntelligence, 15), 15);
    EXPECT_EQ(p->GetMaxMana(), 15);
    EXPECT_EQ(p->ModifyStat(kStatIntelligence, -20), -20);
    EXPECT_EQ(p->GetStat(kStatIntelligence), 0);  // base 0 + modifier -5 reads 0
    EXPECT_EQ(p->GetMaxMana(), 0);
    EXPECT_EQ(packets.With("11").size(), 4u);
    EXPECT_EQ(p->GetBaseStat(3), 0);
    EXPECT_EQ(p->SetRealStat(-1, 9), 0);
}

TEST(CapCurves, PassThroughTheirPoints) {
    struct Case {
        int total, middle, stat;
    } stat[] = {{65, 500, 0}, {170, 500, 500}, {225, 500, 1000}, {100, 300, 33}, {200, 500, 648}};
    for (const Case& c : stat)
        EXPECT_EQ(StatCapChance(c.total, c.middle), c.stat) << c.total;
    struct SkillCase {
        int total, middle, chance;
    } skill[] = {{1000, 600, 0}, {6000, 600, 600}, {7000, 600, 1000}, {3500, 400, 100}};
    for (const SkillCase& c : skill)
        EXPECT_EQ(SkillCapChance(c.total, c.middle), c.chance) << c.total;
}

TEST_F(MobileStatsTest, StatTotalAboveTheCapIsCutAtOnce) {
    for (u32 seed : {1u, 2u, 3u, 4u}) {
        platform::SeedRandom(seed);
        CNPC* npc = PlacedNpc();
        npc->SetRealStat(kStatStrength, 99);
        npc->SetRealStat(kStatDexterity, 100);
        npc->SetRealStat(kStatIntelligence, 26);
        EXPECT_EQ(npc->AdjustStat(kStatStrength, 100), 100);
        EXPECT_EQ(npc->GetBaseStat(kStatStrength), 100);
        EXPECT_EQ(npc->GetBaseStat(kStatDexterity) + npc->GetBaseStat(kStatIntelligence), 125);
        delete npc;
    }
}

TEST_F(MobileStatsTest, StatCapCountFollowsTheCurve) {
    // Total 200 with middle 500: 648 chances in 1000 per point of gain to lose one elsewhere.
    LoadSkills(1, 1, 40, 500, 500);
    platform::SeedRandom(12345);
    CNPC* npc = PlacedNpc();
    npc->SetRealStat(kStatStrength, 50);
    npc->SetRealStat(kStatDexterity, 75);
    npc->SetRealStat(kStatIntelligence, 75);
    EXPECT_EQ(npc->ApplyStatCap(kStatStrength, 100), 0);
    const int lost = 150 - npc->GetBaseStat(kStatDexterity) - npc->GetBaseStat(kStatIntelligence);
    EXPECT_GT(lost, 50);
    EXPECT_LT(lost, 80);
    EXPECT_EQ(npc->GetBaseStat(kStatStrength), 50);
    EXPECT_EQ(npc->ApplyStatCap(kStatStrength, 0), 0);
}

TEST_F(MobileStatsTest, PlayerAboveTheSkillWeightCapPaysFromAnotherSkill) {
    LoadSkills(3, 1);
    CPlayer* p = PlacedPlayer();
    p->SetSkill(0, 3503);
    p->SetSkill(1, 3500);
    EXPECT_EQ(p->GetWeightedSkillTotal(), 7003);
    EXPECT_EQ(p->ApplySkillCap(0, 0), 1);
    EXPECT_EQ(p->GetBaseSkill(0), 3503);
    EXPECT_EQ(p->GetBaseSkill(1), 3497);
    EXPECT_EQ(p->GetSkillPool(), 0);
    // Below the cap with nothing to gain nothing happens.
    EXPECT_EQ(p->ApplySkillCap(0, 0), 0);
}

// Over the cap, the answer is what paying one pool point per weighted point over it gives,
// whatever the cap weights and the pool: the same skills and pool as that loop, with the same
// random draws.
TEST_F(MobileStatsTest, APlayerFarOverTheCapEndsAsThePointByPointPaymentWould) {
    struct Case {
        const char* what;
        int capWeight;
        std::vector<int> skills;
        int pool;
        int paying;
    };
    const Case cases[] = {
        {"weight 3, two skills", 3, {2000, 1500, 0, 0}, 0, 0},
        {"weight 7, a full pool first", 7, {900, 800, 300, 0}, 2500, 1},
        {"weight 1: every point is a skill point", 1, {4000, 3500, 10, 0}, 0, 2},
        {"only the paying skill holds points", 9, {0, 0, 0, 900}, 0, 3},
        {"a negative pool", 4, {1200, 1200, 0, 0}, -5, 0},
    };
    for (const Case& c : cases) {
        LoadSkills(4, c.capWeight);
        platform::ManualClock clock(5000000);
        auto* bounded = new CPlayer;
        auto* stepwise = new CPlayer;
        for (CPlayer* p : {bounded, stepwise}) {
            for (int i = 0; i < 4; ++i) {
                p->SetSkill(i, c.skills[static_cast<size_t>(i)]);
                p->SetSkillUseTime(i, 100u * static_cast<u32>(i + 1));
            }
            p->SetSkillPool(c.pool);
        }
        const int over = bounded->GetWeightedSkillTotal() - kSkillWeightCap;
        ASSERT_GT(over, 0) << c.what;
        platform::SeedRandom(4242);
        for (int i = 0; i < over; ++i)
            stepwise->AdjustSkillPool(c.paying, -1);
        const int nextAfterStepwise = platform::Rand();
        platform::SeedRandom(4242);
        EXPECT_EQ(bounded->ApplySkillCap(c.paying, 0), 1) << c.what;
        EXPECT_EQ(platform::Rand(), nextAfterStepwise) << c.what << ": the same draws";
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(bounded->GetBaseSkill(i), stepwise->GetBaseSkill(i)) << c.what << " " << i;
        EXPECT_EQ(bounded->GetSkillPool(), stepwise->GetSkillPool()) << c.what;
        delete bounded;
        delete stepwise;
    }
}

TEST_F(MobileStatsTest, TheCapsWorkFollowsTheSkillPointsLostNotTheWeightedPoints) {
    // Cap weight 30,000: each skill point lost refills the pool with 29,999 points, so the
    // two billion weighted points over the cap take 65,535 skill points.
    LoadSkills(2, 30000);
    CPlayer* p = PlacedPlayer();
    p->SetSkill(0, 65535);
    p->SetSkillPool(0);
    packets.log.clear();
    EXPECT_EQ(p->ApplySkillCap(1, 0), 1);
    EXPECT_EQ(p->GetBaseSkill(0), 0);
    EXPECT_EQ(p->GetSkillPool(), 7000);
    EXPECT_EQ(packets.log.size(), 2u * 65535u) << "two updates per skill point lost";
    // Only the paying skill has points: it loses them one by one, and once they are gone
    // the rest of the debt changes nothing and is not sent again and again.
    LoadSkills(2, 100);
    p->SetSkill(0, 0);
    p->SetSkill(1, 100);  // weighted 10,000: 3,000 over
    p->SetSkillPool(0);
    packets.log.clear();
    EXPECT_EQ(p->ApplySkillCap(1, 0), 1);
    EXPECT_EQ(p->GetBaseSkill(1), 0);
    EXPECT_EQ(packets.log.size(), 2u * 100u + 1u);
}

TEST_F(MobileStatsTest, SkillPoolPaysFirstThenTheLongestUnusedSkill) {
    LoadSkills(4, 3);
    platform::ManualClock clock(1000000);  // 1000 s on the skill clock
    platform::SeedRandom(99);
    CNPC* npc = PlacedNpc();
    npc->SetSkillPool(1);
    npc->AdjustSkillPool(0, -1);
    EXPECT_EQ(npc->GetSkillPool(), 0);
    // Skill 1 was used long ago, skill 2 just now: skill 1 pays, and its cap weight
    // beyond the point goes to the pool.
    npc->SetSkill(1, 10);
    npc->SetSkill(2, 10);
    npc->SetSkillUseTime(1, kSkillBaseTime - 600000);
    npc->SetSkillUseTime(2, kSkillBaseTime + 100000);
    npc->AdjustSkillPool(0, -1);
    EXPECT_EQ(npc->GetBaseSkill(1), 9);
    EXPECT_EQ(npc->GetBaseSkill(2), 10);
    EXPECT_EQ(npc->GetSkillPool(), 2);
    // Without candidates the skill itself pays; too little of it becomes 0.
    CNPC* lone = PlacedNpc(20, 20);
    lone->SetSkill(3, 1);
    lone->AdjustSkillPool(3, -5);
    EXPECT_EQ(lone->GetBaseSkill(3), 0);
}

TEST_F(MobileStatsTest, SkillsAndEffectiveSkill) {
    LoadSkills(2, 1, 100);
    CPlayer* p = PlacedPlayer();
    p->SetRealStat(kStatStrength, 50);
    p->SetSkill(0, 600);
    p->SetSkillMod(0, 50);
    EXPECT_EQ(p->GetSkillLevel(0), 650);
    EXPECT_EQ(p->GetEffectiveSkill(0, 0), 650);  // stat percent 100: stats do not matter
    EXPECT_EQ(p->GetEffectiveBaseSkill(0), 600);
    EXPECT_EQ(p->GetBaseSkill(2), 0);
    EXPECT_EQ(p->GetBaseSkill(256), 600);  // indexes are taken as signed bytes
    packets.log.clear();
    EXPECT_EQ(p->AddSkill(0, -700), -600);
    EXPECT_EQ(p->AddSkill(5, 1), 0);
    EXPECT_EQ(packets.With("3A").size(), 1u);

    LoadSkills(1, 1, 40);
    // t = (50*10 + 30*20 + 20*30) * 60 / 1000 = 102; (1000 - 102) * 500 / 1000 + 102 = 551
    p->SetRealStat(kStatDexterity, 30);
    p->SetRealStat(kStatIntelligence, 20);
    p->SetSkill(0, 500);
    p->SetSkillMod(0, 0);
    EXPECT_EQ(p->GetEffectiveSkill(0, 0), 551);
    EXPECT_EQ(p->GetSkillTotal(), 500);
}

// A resurrection's penalty: stats shrink toward 10 and skills toward 0 by the percent, scaled
// by how far their totals lie above the starting totals.
TEST_F(MobileStatsTest, PenaltiesShrinkStatsAndSkillsByTheirTotals) {
    struct StatCase {
        const char* what;
        int stats[3];
        int percent;
        int after[3];
    } statCases[] = {
        // total 180: f = 10000 - 10 * 100 * 115 / 150 = 9234
        {"ten percent", {60, 60, 60}, 10, {56, 56, 56}},
        // f = 10000 - 100 * 100 * 115 / 150 = 2334
        {"the full hundred", {60, 60, 60}, 100, {22, 22, 22}},
        {"a total of 65 is spared", {9, 30, 26}, 100, {9, 30, 26}},
        // total 105: f = 10000 - 10 * 100 * 40 / 75 = 9467; a stat below 10 counts as 10
        {"a stat below 10 is lifted to 10", {5, 50, 50}, 10, {10, 48, 48}},
        {"above 100 percent nothing goes below 10", {60, 60, 60}, 1000, {10, 10, 10}},
    };
    for (const StatCase& c : statCases) {
        auto* m = new CNPC;
        for (int i = 0; i < 3; ++i)
            m->SetRealStat(i, c.stats[i]);
        m->ApplyStatPenalty(c.percent);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(m->GetBaseStat(i), c.after[i]) << c.what << " stat " << i;
        m->DeleteSelf();
    }

    LoadSkills(2, 1);
    struct SkillCase {
        const char* what;
        int skills[2];
        int percent;
        int after[2];
    } skillCases[] = {
        // total 2000: f = 10000 - 10 * 100 * 1000 / 2000 = 9500
        {"ten percent", {1000, 1000}, 10, {950, 950}},
        {"the full hundred", {1000, 1000}, 100, {500, 500}},
        {"a total of 1000 is spared", {600, 400}, 100, {600, 400}},
        // total 1001: f = 10000 - 10 * 100 * 1 / 1001 = 10000; rounding keeps each value
        {"just above", {1000, 1}, 10, {1000, 1}},
    };
    for (const SkillCase& c : skillCases) {
        auto* m = new CNPC;
        for (int i = 0; i < 2; ++i)
            m->SetSkill(i, c.skills[i]);
        m->ApplySkillPenalty(c.percent);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(m->GetBaseSkill(i), c.after[i]) << c.what << " skill " << i;
        m->DeleteSelf();
    }
}

TEST_F(MobileStatsTest, FameAndKarma) {
    struct Case {
        const char* what;
        bool fame;
        int start, target, after, answer;
        const char* report;  // null: none
    } cases[] = {
        {"fame loses a tenth", true, 5000, -10, 4500, 1, "You have lost a lot of fame."},
        {"fame above the target stays", true, 5000, 3000, 5000, -2000, nullptr},
        {"fame gains 1% of the gap", true, 1000, 3000, 1020, 1, "You have gained some fame."},
        {"fame clamps at 0", true, 100, -200, 0, 1, "You have lost a lot of fame."},
        {"karma between it and 0 stays", false, -500, -100, -500, 0, nullptr},
        {"karma moves 1% toward a worse target", false, -500, -1000, -505, 1,
         "You have lost a little karma."},
        {"karma toward a better target", false, 0, 5000, 50, 1, "You have gained a lot of karma."},
    };
    for (const Case& c : cases) {
        CPlayer* p = PlacedPlayer();
        const std::string me = std::to_string(p->GetSerial());
        c.fame ? p->SetFame(c.start) : p->SetKarma(c.start);
        triggers.calls.clear();
        const int answer = c.fame ? p->ChangeFame(c.target) : p->ChangeKarma(c.target);
        EXPECT_EQ(c.fame ? p->GetFame() : p->GetKarma(), c.after) << c.what;
        EXPECT_EQ(answer, c.answer) << c.what;
        const std::vector<std::string> report =
            c.report ? std::vector<std::string>{"msg " + me + " " + c.report}
                     : std::vector<std::string>{};
        EXPECT_EQ(packets.With("msg"), report) << c.what;
        const bool changed = c.report != nullptr;
        EXPECT_EQ(triggers.TriggersFor(p->GetSerial()).size(), changed ? 1u : 0u) << c.what;
        delete p;
        packets.log.clear();
    }
    CNPC* npc = PlacedNpc();
    npc->SetFame(25000);
    EXPECT_EQ(npc->GetFame(), 20000);
    EXPECT_EQ(npc->GetFameLevel(), 4);
    npc->SetKarma(-700);
    EXPECT_EQ(npc->GetKarmaLevel(), -1);
    npc->SetKarma(-30000);
    EXPECT_EQ(npc->GetKarma(), -20000);
    EXPECT_EQ(npc->GetKarmaLevel(), -5);
}

TEST_F(MobileStatsTest, FameHandlerThatDeletesTheMobile) {
    CNPC* npc = PlacedNpc();
    npc->SetFame(100);
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger == kTriggerFameChanged || trigger == kTriggerKarmaChanged ||
            trigger == kTriggerIsHealthy)
            object->DeleteSelf();
    };
    const u32 serial = npc->GetSerial();
    npc->ChangeFame(2000);
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    CNPC* second = PlacedNpc();
    const u32 s2 = second->GetSerial();
    second->ChangeKarma(3000);
    EXPECT_EQ(g_objectManager.FindBySerial(s2), nullptr);
    CNPC* third = PlacedNpc();
    const u32 s3 = third->GetSerial();
    EXPECT_EQ(third->CheckHealthy(), 1);  // 0 of 0 hits: healthy
    EXPECT_EQ(g_objectManager.FindBySerial(s3), nullptr);
}

TEST_F(MobileStatsTest, NotorietyCoolDownAndClamp) {
    CPlayer* viewer = PlacedPlayer(10, 10);
    CNPC* npc = PlacedNpc(12, 10);
    packets.log.clear();
    npc->ChangeNotoriety(5);
    npc->ChangeNotoriety(5);
    EXPECT_EQ(npc->GetNotoriety(), 5);
    EXPECT_EQ(npc->GetNotorietyCooldown(), 3600);
    npc->ChangeNotoriety(-80);
    EXPECT_EQ(npc->GetNotoriety(), -45);
    npc->SetNotoriety(-500);
    EXPECT_EQ(npc->GetNotoriety(), -127);
    npc->SetNotoriety(-127);
    EXPECT_EQ(packets.With("77").size(), 3u) << "one update per change";
    EXPECT_EQ(packets.With("77").front(),
              "77 " + std::to_string(viewer->GetSerial()) + " " + std::to_string(npc->GetSerial()));
    npc->LoseFame(10);
    EXPECT_EQ(npc->GetNotoriety(), -117);
    npc->GainFame(10);
    EXPECT_EQ(npc->GetNotoriety(), -127);
    EXPECT_EQ(npc->GetNotorietyTitle(), -5);
    npc->SetNotoriety(200);
    EXPECT_EQ(npc->GetNotoriety(), 127);
}

TEST_F(MobileStatsTest, FallDamage) {
    struct Case {
        int height, moveType, lost;
    } cases[] = {{33, 1, 10}, {21, 1, 0}, {22, 1, 5}, {44, 1, 15}, {90, 2, 0}};
    for (const Case& c : cases) {
        CNPC* npc = PlacedNpc();
        npc->SetMaxHits(100);
        npc->SetCurHits(100);
        npc->SetMoveType(c.moveType);
        npc->TakeFallDamage(c.height);
        EXPECT_EQ(100 - npc->GetCurHits(), c.lost) << c.height;
        delete npc;
    }
}

TEST_F(MobileStatsTest, FatigueFromMovementAndRest) {
    CNPC* npc = PlacedNpc();
    npc->SetType(400);                    // a body: a mobile without one weighs 255
    npc->SetRealStat(kStatStrength, 10);  // carries 70, weighs half its 10 hits
    npc->SetMaxHits(10);
    npc->SetCurHits(10);
    npc->SetMaxFatigue(10);
    npc->SetCurFatigue(10);
    for (int i = 0; i < 20; ++i)
        npc->ConsumeMoveFatigue(100);  // 10 per step
    EXPECT_EQ(npc->GetCurFatigue(), 10);
    EXPECT_EQ(npc->GetFatigueCounter(), 200);
    npc->ConsumeMoveFatigue(100);
    EXPECT_EQ(npc->GetCurFatigue(), 9);
    npc->SetCurFatigue(0);
    EXPECT_TRUE(npc->IsExhausted());
    // The counter stands at 10: 12 rests take it below -200 once.
    for (int i = 0; i < 11; ++i)
        npc->RegenerateFatigue();
    EXPECT_EQ(npc->GetCurFatigue(), 0);
    npc->RegenerateFatigue();
    EXPECT_EQ(npc->GetCurFatigue(), 1);
    EXPECT_EQ(npc->GetMoveSpeed(), 35);
}

TEST_F(MobileStatsTest, PetsAndTheNotorietyTheySee) {
    CPlayer* owner = PlacedPlayer();
    CNPC* wolf = PlacedNpc();
    wolf->SetBodyType(225);
    CNPC* man = PlacedNpc(14, 10);
    man->SetBodyType(400);
    EXPECT_EQ(wolf->GetNotorietyFor(owner), 3);
    EXPECT_EQ(man->GetNotorietyFor(owner), 1);
    EXPECT_FALSE(wolf->IsPet());
    ObjVars::Set(wolf->ScriptAttachments(), "isPet", kTypeInt, ScriptListValue::Int(1));
    EXPECT_TRUE(wolf->IsPet());
    CScriptList bosses;
    ObjVars::Set(wolf->ScriptAttachments(), "myBoss", kTypeList, ScriptListValue::Ptr(&bosses));
    EXPECT_FALSE(wolf->IsOwnedPet()) << "an empty boss list owns nothing";
    bosses.Append(kTypeObject, ScriptListValue::Int(static_cast<s32>(owner->GetSerial())));
    ObjVars::Set(wolf->ScriptAttachments(), "myBoss", kTypeList, ScriptListValue::Ptr(&bosses));
    EXPECT_TRUE(wolf->IsOwnedPet());
    EXPECT_TRUE(wolf->IsPetOf(owner));
    EXPECT_FALSE(wolf->IsPetOf(man));
    EXPECT_EQ(wolf->GetNotorietyFor(owner), 1);
}

TEST_F(MobileStatsTest, ValueOfAMobile) {
    CNPC* npc = PlacedNpc();
    npc->SetRealStat(kStatStrength, 30);   // max hits 30
    npc->SetRealStat(kStatDexterity, 15);  // max fatigue 15
    // (30 + 15 + 30 + 15) / 3 * (50 / 10) = 150, natural weapon 1d8 averages 4.
    EXPECT_EQ(npc->GetValue(0, 0), npc->CContainer::GetValue(0, 0) + 150 + 4);
    ObjVars::Set(npc->ScriptAttachments(), "petCanTame", kTypeInt, ScriptListValue::Int(100));
    EXPECT_EQ(npc->GetValue(0, 0), npc->CContainer::GetValue(0, 0) + 300 + 4);
    ObjVars::Set(npc->ScriptAttachments(), "valueless", kTypeInt, ScriptListValue::Int(0));
    EXPECT_EQ(npc->GetValue(0, 1), 0) << "a valueless mobile is worth what it wears";
    EXPECT_EQ(npc->GetPowerRating(), 45);
}

TEST_F(MobileStatsTest, StatusFlagsShowOnlyOnChange) {
    CPlayer* viewer = PlacedPlayer();
    CNPC* npc = PlacedNpc();
    packets.log.clear();
    npc->SetStatusFlag(kMobilePoisoned);
    npc->SetStatusFlag(kMobilePoisoned);
    npc->ClearStatusFlag(kMobileCursed);
    EXPECT_EQ(packets.With("77").size(), 1u);
    u8 status = 0;
    npc->GetStatusFlags(status);
    EXPECT_EQ(status & kMobilePoisoned, kMobilePoisoned);
    npc->SetStatus(npc->GetStatus() | kStatusShownByMulti);
    packets.log.clear();
    GetPacketServices().SendObjectTo(viewer, npc, true);
    EXPECT_TRUE(packets.log.empty());
}

}  // namespace
