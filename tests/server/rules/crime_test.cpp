// Crime witnesses: who weighs how much, who shouts and who is told, when the offender turns
// criminal, how guards are called, how awareness grows, and what combat reports.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "script/runtime/script_list.h"
#include "server/rules/combat.h"
#include "tests/server/rules/crime_test_support.h"

namespace {

using Strings = std::vector<std::string>;

TEST_F(CrimeTest, WitnessWeightsByWhoAndWhere) {
    CPlayer* offender = Player("Ann", 10, 10);
    CNPC* victim = Townsperson(11, 10);
    CNPC* beast = Beast(10, 12);
    CNPC* beside = Townsperson(10, 11);
    CNPC* far = Townsperson(18, 10);
    CNPC* behindWall = Townsperson(10, 16);
    PlacedItem(10, 14, 0, kWall);
    const Location at(10, 10, 0);
    struct Case {
        CMobile* witness;
        int radius;
        int weight;
    };
    const Case cases[] = {
        {nullptr, 9, 0},
        {offender, 9, 0},
        {beast, 9, 0},          // not human
        {victim, 9, 10},        // the victim always weighs 10
        {beside, 9, 6},         // 9/3 + 1 - 1/3 + 2 (sees the offender)
        {far, 9, 4},            // 9/3 + 1 - 8/3 + 2
        {beside, 4, 4},         // 4/3 + 1 - 0 + 2
        {behindWall, 9, 2},     // 9/3 + 1 - 6/3, no sight
    };
    for (const Case& c : cases)
        EXPECT_EQ(WitnessWeight(c.witness, at, *offender, victim, c.radius), c.weight)
            << (c.witness ? c.witness->GetName(0) : "none") << " radius " << c.radius;
}

TEST_F(CrimeTest, MessagesNameThePeopleAsTextAndAbsentFormatsSayNothing) {
    struct Case {
        int kind;
        bool hasVictim;
        bool toVictim;
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {kCrimeMurder, true, false, "", "You see %d attacking B%b!"},
        {kCrimeMurder, true, true, "", ""},  // no message to a murder's victim
        {kCrimeMurder, false, false, "", "DEBUG! THERE SHOULD ALWAYS BE A VICTIM IN A MURDER!"},
        {kCrimeTheft, false, false, "a ring", "You notice %d trying to steal a ring."},
        {kCrimeTheft, true, false, "a ring", "You notice %d trying to steal a ring from B%b."},
        {kCrimeTheft, true, true, "a ring", "You notice %d attempting to steal a ring from you!"},
        // The peek message's second place names the victim, not the (empty) crime text.
        {kCrimePeek, true, false, "", "You notice %d trying to peek into B%b's belongings."},
        {kCrimePeek, true, true, "", "You notice %d peeking into your belongings!"},
        {kCrimeProvoke, true, false, "a bear", "You notice %d provoking a bear to attack B%b."},
        {kCrimeProvoke, true, true, "a bear", ""},
        {kCrimeOther, false, false, " Odd.", "You notice %d committing a crime. Odd."},
        {kCrimeOther, true, true, "", "You notice %d doing something illegal to you."},
    };
    // Names full of format sequences stay as they are.
    const std::string offender = "%d";
    const std::string victim = "B%b";
    for (const Case& c : cases)
        EXPECT_EQ(CrimeMessage(c.kind, c.hasVictim, c.toVictim, offender, c.text, victim),
                  c.expected)
            << c.kind << " " << c.hasVictim << c.toVictim;
    EXPECT_EQ(GetCrimeRecord(kCrimeMurder).radius, 9);
    EXPECT_EQ(GetCrimeRecord(kCrimeTheft).shouts.size(), 21u);
    EXPECT_EQ(GetCrimeRecord(kCrimePeek).radius, 4);
    EXPECT_EQ(GetCrimeRecord(kCrimeProvoke).shouts.size(), 20u);
    EXPECT_EQ(GetCrimeRecord(kCrimeOther).shouts.size(), 10u);
}

TEST_F(CrimeTest, ANoticedMurderIsShoutedToldAndMakesTheOffenderCriminal) {
    CPlayer* ann = Player("Ann", 10, 10);
    CNPC* victim = Townsperson(11, 10, "Bob");
    CNPC* witness = Townsperson(12, 12);
    CPlayer* bea = Player("Bea", 9, 12);
    const int weight = WitnessCrime(ann->GetWorldLocation(), *ann, victim, "", 1000, 1,
                                    kCrimeMurder);
    // Bob 10, the witness 9/3 + 1 - 2/3 + 2 = 6, Bea the same.
    EXPECT_EQ(weight, 22);
    // The victim, nearest, is the first to shout, and only one shouts (then a guard comes).
    const Strings said = crimePackets.With("say " + S(victim));
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("say " + S(victim) + " Guards! ", 0), 0u) << said[0];
    EXPECT_TRUE(crimePackets.With("say " + S(witness)).empty());
    EXPECT_EQ(g_guardList.Count(), 1);
    EXPECT_EQ(crimePackets.With("msg " + S(bea)), Strings{"msg " + S(bea) +
                                                          " You see Ann attacking Bob!"});
    EXPECT_TRUE(ann->IsCriminal());
    EXPECT_FALSE(crimePackets.With("77 " + S(bea)).empty()) << "recoloured for those near";
    EXPECT_EQ(Awareness(ann), 166);  // 100 x (22 x 3 + 100) / 100
}

TEST_F(CrimeTest, WhenOnlyWhoNoticesMakesACriminal) {
    struct Case {
        const char* name;
        bool npcWitness;
        bool playerWitness;
        int guards;
        bool criminal;
    };
    const Case cases[] = {
        {"nobody near", false, false, 1, false},
        {"an NPC shouts", true, false, 1, true},
        {"a player sees it", false, true, 1, true},
        {"a player sees a crime that asks no guards", false, true, 0, false},
        {"NPCs do not look when no guards are asked", true, false, 0, false},
    };
    for (const Case& c : cases) {
        CPlayer* ann = Player("Ann", 20, 20);
        if (c.npcWitness) Townsperson(22, 20);
        if (c.playerWitness) Player("Bea", 20, 22);
        WitnessCrime(ann->GetWorldLocation(), *ann, nullptr, " x", 1000, c.guards, kCrimeOther);
        EXPECT_EQ(ann->IsCriminal(), c.criminal) << c.name;
        DeleteAllObjects();
    }
}

TEST_F(CrimeTest, AwarenessGatesTheChanceAndGrowsWithEveryWitnessedCrime) {
    // A peek (radius 4) seen by one player 3 tiles away: weight 4/3 + 1 - 1 + 2 = 3.
    struct Case {
        int awareness;  // -1: none set
        int result;
        int after;
    };
    const Case cases[] = {
        {-1, 3, 109},    // 100 x (3 x 3 + 100) / 100
        {0, 0, 0},       // never witnessed
        {-50, 0, -50},   // read as 0: never witnessed, left alone
        {950, 3, 1000},  // capped
    };
    for (const Case& c : cases) {
        CPlayer* ann = Player("Ann", 10, 10);
        CPlayer* owner = Player("Cal", 10, 11);
        Player("Bea", 13, 10);
        owner->RemoveFromWorld();  // the victim is elsewhere: only Bea weighs
        if (c.awareness != -1) SetAwareness(ann, c.awareness);
        EXPECT_EQ(WitnessCrime(ann->GetWorldLocation(), *ann, owner, "", 1000, 0, kCrimePeek),
                  c.result)
            << c.awareness;
        EXPECT_EQ(Awareness(ann), c.after == 0 && c.awareness == 0 ? 0 : c.after)
            << c.awareness;
        DeleteAllObjects();
    }
}

TEST_F(CrimeTest, BelowGroundWitnessesShoutPlainlyAndNoGuardComes) {
    ASSERT_EQ(g_sectorGrid.Build(5184, 0, 64, 64), 0);
    g_mobileTable.CreateGrid(5184, 0, 64, 64);
    g_regionManager.LoadText(
        "version 64207\n1 5184 0 64 64 -128 127 0 city_Deep 0 0 0 0 0 NONE\n");
    CPlayer* ann = Player("Ann", 5200, 10);
    CNPC* victim = Townsperson(5201, 10);
    Townsperson(5202, 10);
    CGuard* guard = Guard(5210, 10);
    WitnessCrime(ann->GetWorldLocation(), *ann, victim, "", 1000, 1, kCrimeMurder);
    const Strings said = crimePackets.With("say " + S(victim));
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].find("Guards!"), std::string::npos) << said[0];
    EXPECT_NE(guard->GetState(), kNpcAttackTarget);
    EXPECT_EQ(g_guardList.Count(), 1) << "none made";
    EXPECT_TRUE(ann->IsCriminal());
}

TEST_F(CrimeTest, AShoutInTownBringsTheNearestGuardAndOneForThePetsController) {
    CPlayer* owner = Player("Ann", 8, 8);
    CNPC* pet = Beast(10, 10);
    ObjVars::Set(pet->ScriptAttachments(), "controller", kTypeObject,
                 ScriptListValue::Int(static_cast<s32>(owner->GetSerial())));
    CNPC* victim = Townsperson(11, 10);
    Townsperson(12, 10);
    CGuard* near = Guard(14, 10);
    CGuard* farther = Guard(20, 10);
    WitnessCrime(pet->GetWorldLocation(), *pet, victim, "", 1000, 1, kCrimeMurder);
    EXPECT_EQ(near->GetState(), kNpcAttackTarget);
    EXPECT_EQ(near->ai.targetSerial, pet->GetSerial());
    EXPECT_EQ(farther->GetState(), kNpcAttackTarget);
    EXPECT_EQ(farther->ai.targetSerial, owner->GetSerial()) << "the controller is called on too";
    EXPECT_EQ(crimePackets.With("say " + S(near) + " " + kGuardThreat).size(), 1u);
}

TEST_F(CrimeTest, AggressionIsReportedOnlyAgainstInnocentHumansAndOwnedPets) {
    struct Case {
        const char* name;
        // Makes the attacker and the target (Ann stands at (10, 10)).
        std::function<std::pair<CMobile*, CMobile*>(CrimeTest&, CPlayer*)> make;
        bool reported;
        bool petMessage;
    };
    const Case cases[] = {
        {"self", [](CrimeTest&, CPlayer* ann) { return std::make_pair<CMobile*, CMobile*>(ann, ann); },
         false, false},
        {"a guard attacks",
         [](CrimeTest& t, CPlayer*) {
             return std::make_pair<CMobile*, CMobile*>(t.Guard(9, 10), t.Townsperson(11, 10));
         },
         false, false},
        {"retaliation",
         [](CrimeTest& t, CPlayer* ann) {
             CNPC* target = t.Townsperson(11, 10);
             ann->AddAggressor(target->GetSerial());
             return std::make_pair<CMobile*, CMobile*>(ann, target);
         },
         false, false},
        {"a wild beast",
         [](CrimeTest& t, CPlayer* ann) {
             return std::make_pair<CMobile*, CMobile*>(ann, t.Beast(11, 10));
         },
         false, false},
        {"an innocent townsperson",
         [](CrimeTest& t, CPlayer* ann) {
             return std::make_pair<CMobile*, CMobile*>(ann, t.Townsperson(11, 10));
         },
         true, false},
        {"an owned pet",
         [](CrimeTest& t, CPlayer* ann) {
             CNPC* pet = t.Beast(11, 10);
             CPlayer* owner = t.Player("Cal", 30, 30);
             CScriptList bosses;
             bosses.Append(kTypeObject, ScriptListValue::Int(static_cast<s32>(owner->GetSerial())));
             ObjVars::Set(pet->ScriptAttachments(), "myBoss", kTypeList,
                          ScriptListValue::Ptr(&bosses));
             return std::make_pair<CMobile*, CMobile*>(ann, pet);
         },
         true, true},
    };
    for (const Case& c : cases) {
        CPlayer* ann = Player("Ann", 10, 10);
        Townsperson(10, 12);  // a witness
        auto [attacker, target] = c.make(*this, ann);
        crimePackets.log.clear();
        ReportAggression(attacker, target);
        EXPECT_EQ(Awareness(attacker) != -1, c.reported) << c.name;
        EXPECT_EQ(crimePackets.With("msg " + S(ann) + " Attacking a pet!").size(),
                  c.petMessage ? 1u : 0u)
            << c.name;
        DeleteAllObjects();
    }
}

TEST_F(CrimeTest, PlayersFightingAreEachToldOverThemselvesAlone) {
    CPlayer* ann = Player("Ann", 10, 10);
    CPlayer* bea = Player("Bea", 11, 10);
    ReportAggression(ann, bea);
    EXPECT_EQ(crimePackets.With("to "),
              (Strings{"to " + S(bea) + " " + S(bea) + " Ann is attacking you! h34",
                       "to " + S(ann) + " " + S(ann) + " You are attacking Bea! h34"}));
    crimePackets.log.clear();
    // Bea striking back at her aggressor is not reported.
    bea->AddAggressor(ann->GetSerial());
    ReportAggression(bea, ann);
    EXPECT_TRUE(crimePackets.With("to ").empty());
}

TEST_F(CrimeTest, StartAttackReportsWhenAsked) {
    CPlayer* ann = Player("Ann", 10, 10);
    CNPC* victim = Townsperson(11, 10);
    Townsperson(12, 11);
    StartAttack(ann, victim, 0);
    EXPECT_EQ(Awareness(ann), -1);
    ann->ClearCombatLists();
    victim->ClearCombatLists();
    StartAttack(ann, victim, 1);
    EXPECT_GT(Awareness(ann), 100);
    EXPECT_TRUE(ann->IsCriminal());
}

}  // namespace
