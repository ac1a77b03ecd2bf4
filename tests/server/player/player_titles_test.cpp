// Player titles, display names, staff roles and the player's small services.
#include "server/player/player_titles.h"

#include <string>

#include "core/log_sink.h"
#include "script/language/script_value.h"
#include "server/world/player_registry.h"
#include "server/world/reputation.h"
#include "server/world/skill_table.h"
#include "tests/server/world/world_test_support.h"
#include "server/world/npc.h"

namespace {

class PlayerTitlesTest : public WorldTest {
protected:
    // 50 skills, so that every profession number is a skill.
    void SetUp() override {
        WorldTest::SetUp();
        std::string text = "version 0\nStatCurve 500\nSkillCurve 500\n";
        for (int i = 0; i < kMobileSkills; ++i) {
            text += "--\nName S" + std::to_string(i) +
                    "\nStr 10\nDex 20\nInt 30\nW 0\nW 0\nW 0\nCurve 0 500 800\nSpare 0\nPct "
                    "40\nUse T\nCap 1\nScript s\n";
        }
        ASSERT_EQ(g_skillTable.LoadFromText(text), kMobileSkills);
    }
    void TearDown() override {
        g_skillTable.LoadFromText("");
        WorldTest::TearDown();
    }
    CPlayer* Player(const char* name, u16 body = 400) {
        auto* p = new CPlayer;
        p->SetName(name);
        p->SetBodyType(body);
        p->PlaceInWorld(Location(10, 10, 0));
        return p;
    }
    static std::string Titled(const CPlayer* p) {
        CStr out;
        p->GetTitledName(out);
        return out.CText();
    }
    static void SetCounType(CPlayer* p, int v) {
        ObjVars::Set(p->ScriptAttachments(), "counType", kTypeInt, ScriptListValue::Int(v));
    }
};

TEST_F(PlayerTitlesTest, TitledNames) {
    struct Case {
        const char* what;
        u16 body;
        bool female;
        int fame, karma;
        int skill, value;  // the best skill
        int murders;
        const char* expected;
    } cases[] = {
        {"the full form", 401, true, 10000, 10000, 23, 1000, 0,
         "The Glorious Lady Ann, Grandmaster Mage"},
        {"a lord", 400, false, 10000, 10000, 23, 1000, 0,
         "The Glorious Lord Ann, Grandmaster Mage"},
        {"249 gives no skill title", 400, false, 0, 0, 7, 249, 0, "Ann"},
        {"250 gives the profession without a rank", 400, false, 0, 0, 7, 250, 0, "Ann, Smith"},
        {"rank words by hundreds", 400, false, 0, 0, 45, 550, 0, "Ann, Apprentice Miner"},
        {"above 1000 is still grandmaster", 400, false, 0, 0, 45, 1200, 0,
         "Ann, Grandmaster Miner"},
        {"women's form of a profession", 401, true, 0, 0, 40, 700, 0, "Ann, Expert Swordswoman"},
        {"no profession past 45", 400, false, 0, 0, 46, 900, 0, "Ann, Master "},
        {"an empty cell gives no word", 400, false, 0, 700, 0, 0, 0, "Ann"},
        {"a dark title", 400, false, 2500, -10000, 0, 0, 0, "The Nefarious Ann"},
        {"a murderer", 400, false, 10000, 10000, 0, 0, 5, "The Murderer Ann"},
        {"other bodies show the name", 225, false, 10000, 10000, 23, 1000, 0, "Ann"},
    };
    for (const Case& c : cases) {
        CPlayer* p = Player("Ann", c.body);
        p->SetSex(c.female);
        p->SetFame(c.fame);
        p->SetKarma(c.karma);
        if (c.skill < kMobileSkills) p->SetSkill(c.skill, c.value);
        if (c.murders)
            ObjVars::Set(p->ScriptAttachments(), "murderCount", kTypeInt,
                         ScriptListValue::Int(c.murders));
        EXPECT_EQ(Titled(p), c.expected) << c.what;
    }
}

TEST_F(PlayerTitlesTest, TiesGoToTheLowerSkillNumber) {
    CPlayer* p = Player("Bo");
    p->SetSkill(31, 800);
    p->SetSkill(7, 800);
    EXPECT_EQ(Titled(p), "Bo, Adept Smith");
}

TEST_F(PlayerTitlesTest, StaffFormsOnlyInTheStaffBody) {
    CPlayer* gm = Player("Gil");
    gm->SetFlag(kPlayerGameMaster, true);
    gm->SetSkill(23, 1000);
    EXPECT_EQ(Titled(gm), "Gil, Grandmaster Mage");  // an ordinary body: ordinary titles
    EXPECT_STREQ(gm->GetName(0), "Gil");
    gm->SetBodyType(987);
    EXPECT_EQ(Titled(gm), "GM Gil, Game Master");
    EXPECT_STREQ(gm->GetName(0), "GM Gil");

    CPlayer* c = Player("Cy", 987);
    c->SetFlag(kPlayerCounselor, true);
    SetCounType(c, 3);
    EXPECT_EQ(Titled(c), "Senior Counselor Cy, Senior Counselor");
    EXPECT_STREQ(c->GetName(0), "Senior Counselor Cy");
    SetCounType(c, 9);  // no title
    EXPECT_EQ(Titled(c), " Cy, ");
}

TEST_F(PlayerTitlesTest, DisplayNamesAreEachPlayersOwn) {
    CPlayer* lord = Player("Aldo");
    lord->SetFame(10000);
    CPlayer* lady = Player("Bea", 401);
    lady->SetSex(1);
    lady->SetFame(10000);
    const char* first = lord->GetName(0);
    const char* second = lady->GetName(0);
    EXPECT_STREQ(first, "Lord Aldo");  // the second call left the first name alone
    EXPECT_STREQ(second, "Lady Bea");
    lady->SetFame(9999);
    EXPECT_STREQ(lady->GetName(0), "Bea");
}

TEST_F(PlayerTitlesTest, EditModeNeedsGodRightsAndIsLogged) {
    LogCapture capture;
    CPlayer* p = Player("Ed");
    p->SetEditing();
    EXPECT_FALSE(p->IsEditing());
    p->SetFlag(kPlayerGodRights, true);
    p->SetEditing();
    EXPECT_TRUE(p->IsEditing());
    p->ClearEditing();
    EXPECT_FALSE(p->IsEditing());
    const auto lines = capture.FromSource("godmode");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].message, "god mode enabled");
    EXPECT_EQ(lines[1].message, "god mode disabled");
    EXPECT_EQ(lines[1].severity, "misc");
    EXPECT_EQ(lines[1].serial, p->GetSerial());
    EXPECT_EQ(lines[1].actorName, "Ed");
}

TEST_F(PlayerTitlesTest, StaffAreExemptFromTheCaps) {
    CPlayer* p = Player("Sam");
    p->SetFlag(kPlayerCounselor, true);
    EXPECT_EQ(p->ApplySkillCap(3, 5), 0);
    EXPECT_EQ(p->AdjustStatIfAllowed(kStatStrength, 200), 0);
    EXPECT_TRUE(p->SetGameMaster());
    EXPECT_FALSE(p->SetGameMaster());
    EXPECT_TRUE(p->ClearGameMaster());
    EXPECT_FALSE(p->ClearGameMaster());
}

TEST_F(PlayerTitlesTest, AdjustNotorietyScalesByItsTens) {
    struct Case {
        int start, delta, expected;
    } cases[] = {{5, 7, 12}, {0, -3, -3}, {40, 9, 42}, {-60, -13, -62}, {19, 1, 20}};
    for (const Case& c : cases) {
        CPlayer* p = Player("Nia");
        p->SetNotoriety(c.start);
        p->AdjustNotoriety(c.delta);
        EXPECT_EQ(p->GetNotoriety(), c.expected) << c.start << " + " << c.delta;
    }
}

TEST_F(PlayerTitlesTest, HelpingACriminalIsACrimeForPlayersOnly) {
    CPlayer* outlaw = Player("Vex");
    ObjVars::Set(outlaw->ScriptAttachments(), "criminal", kTypeInt, ScriptListValue::Int(1));
    CPlayer* healer = Player("Hal");
    CNPC* npc = new CNPC;
    npc->PlaceInWorld(Location(11, 10, 0));
    outlaw->ReceiveHelpfulActionFrom(npc);
    EXPECT_FALSE(npc->IsCriminal());
    outlaw->ReceiveHelpfulActionFrom(outlaw);
    outlaw->ReceiveHelpfulActionFrom(healer);
    EXPECT_TRUE(healer->IsCriminal());
}

TEST_F(PlayerTitlesTest, CategoriesAndTheStatAudit) {
    CPlayer* counselor = Player("C");
    counselor->SetFlag(kPlayerCounselor | kPlayerLoggedIn, true);
    CPlayer* plain = Player("P");
    plain->SetRealStat(kStatStrength, 100);
    plain->SetRealStat(kStatDexterity, 100);
    plain->SetRealStat(kStatIntelligence, 80);
    std::vector<u32> found;
    GetPlayerRegistry().CollectByCategory(found, kCategoryCounselors);
    EXPECT_EQ(found, std::vector<u32>{counselor->GetSerial()});
    found.clear();
    GetPlayerRegistry().CollectByCategory(found, kCategoryOrdinary);
    EXPECT_EQ(found, std::vector<u32>{plain->GetSerial()});
    GetPlayerRegistry().AuditStatTotals();
    EXPECT_EQ(plain->SumBaseStats(), 150);
}

TEST_F(PlayerTitlesTest, NotorietyCompareByTitles) {
    CPlayer& a = *Player("A");
    CNPC& b = *new CNPC;
    EXPECT_EQ(NotorietyCompare(nullptr, &b), -1);
    struct Case {
        int na, nb, bodyB, expected;
    } cases[] = {
        // notoriety titles are notoriety / 24 toward zero
        {0, -72, 400, 1},                     // d = 0 - (-3) = 3
        {0, -24, 400, 0},                     // d = 1
        {48, -24, 400, 0},                    // t(a) > 0: d = 1
        {-24, -24, 400, -1}, {0, 0, 225, 0},  // not human, neutral
        {0, 0, 400, -1},     {0, 48, 225, -1},
    };
    for (const Case& c : cases) {
        a.SetNotoriety(c.na);
        b.SetNotoriety(c.nb);
        b.SetBodyType(c.bodyB);
        EXPECT_EQ(NotorietyCompare(&a, &b), c.expected) << c.na << " vs " << c.nb;
    }
}

}  // namespace
