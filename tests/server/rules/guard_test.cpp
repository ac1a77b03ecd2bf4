// Guards: the gates of a call, which guards are sent, guards made on the spot with their
// flash, their leave countdown (kept by a save), and the leap of a guard whose chase is
// blocked.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "server/rules/npc/npc_behaviour.h"
#include "server/world/mobile_table.h"
#include "server/world/object_fields.h"
#include "tests/server/rules/crime_test_support.h"

namespace {

using Strings = std::vector<std::string>;

class GuardTest : public CrimeTest {
public:
    // The guards made on the spot (not from the test's own hands).
    std::vector<CGuard*> Made(const std::vector<CGuard*>& before) {
        std::vector<CGuard*> out;
        for (CGuard* g = g_guardList.GetFirst(); g; g = g->nextGuard)
            if (std::find(before.begin(), before.end(), g) == before.end()) out.push_back(g);
        return out;
    }
    // Runs the guard's state step for `pulses` pulses or until it is gone; the pulses run.
    int Pulses(u32 guardSerial, int pulses) {
        for (int i = 1; i <= pulses; ++i) {
            CNPC* npc = g_objectManager.FindNPC(guardSerial);
            if (!npc) return i - 1;
            g_mobileTable.SetCurrentNpc(npc);
            ExecuteNpcState(npc);
        }
        return pulses;
    }
    void TearDown() override {
        g_mobileTable.SetCurrentNpc(nullptr);
        CrimeTest::TearDown();
    }
};

TEST_F(GuardTest, TheGatesOfACall) {
    struct Case {
        const char* name;
        Location offender;
        Location at;
        int guards;
        bool ghost;
        int answer;
        bool guardSent;  // the guard standing near the offender is sent
    };
    const Case cases[] = {
        {"in town", {10, 10, 0}, {10, 10, 0}, 1, false, 1, true},
        {"no guards asked", {10, 10, 0}, {10, 10, 0}, 0, false, 0, false},
        {"a ghost offender", {10, 10, 0}, {10, 10, 0}, 1, true, 0, false},
        {"the place is off the map", {10, 10, 0}, {500, 10, 0}, 1, false, 0, false},
        {"offender and place in the camp", {50, 10, 0}, {52, 10, 0}, 1, false, 0, false},
        {"offender in the camp, place in town", {41, 10, 0}, {20, 10, 0}, 1, false, 1, true},
        // Outside guarded places a guard within reach comes, yet the call is unanswered.
        {"between town and camp", {35, 10, 0}, {36, 10, 0}, 1, false, 0, true},
    };
    for (const Case& c : cases) {
        CPlayer* ann = Player("Ann", c.offender.x, c.offender.y);
        if (c.ghost) ann->SetBodyType(402);
        CGuard* guard = Guard(c.offender.x + 4, c.offender.y);
        EXPECT_EQ(CallGuards(ann, c.at, nullptr, c.guards), c.answer) << c.name;
        EXPECT_EQ(guard->GetState() == kNpcAttackTarget, c.guardSent) << c.name;
        EXPECT_EQ(g_guardList.Count(), 1) << c.name << ": none is made beside a sent one";
        DeleteAllObjects();
    }
}

TEST_F(GuardTest, AVictimsPlaceDecidesAndAGhostVictimCallsNoOne) {
    CPlayer* ann = Player("Ann", 50, 10);  // in the camp
    CNPC* victim = Townsperson(20, 10);     // in town
    EXPECT_EQ(CallGuards(ann, Location(50, 10, 0), victim, 1), 1);
    EXPECT_EQ(g_guardList.Count(), 1) << "one made beside the offender";
    DeleteAllObjects();
    ann = Player("Ann", 10, 10);
    CPlayer* ghost = Player("Gus", 11, 10);
    ghost->SetBodyType(403);
    EXPECT_EQ(CallGuards(ann, Location(10, 10, 0), ghost, 1), 0);
    EXPECT_EQ(g_guardList.Count(), 0);
}

TEST_F(GuardTest, DispatchSendsTheNearestFreeGuardsWithin20Tiles) {
    CPlayer* ann = Player("Ann", 10, 10);
    CNPC* other = Townsperson(30, 30);
    CGuard* busy = Guard(11, 10);  // fighting someone else: passed over
    busy->SetState(kNpcAttackTarget);
    busy->ai.targetSerial = other->GetSerial();
    CGuard* onAnn = Guard(13, 10);  // already on Ann: counts without a word
    onAnn->SetState(kNpcAttackTarget);
    onAnn->ai.targetSerial = ann->GetSerial();
    CGuard* free1 = Guard(10, 15);
    CGuard* free2 = Guard(10, 25);
    CGuard* tooFar = Guard(10, 31);
    EXPECT_EQ(DispatchGuards(ann, 2), 2);
    EXPECT_EQ(busy->ai.targetSerial, other->GetSerial());
    EXPECT_EQ(free1->GetState(), kNpcAttackTarget);
    EXPECT_EQ(free1->ai.targetSerial, ann->GetSerial());
    EXPECT_NE(free2->GetState(), kNpcAttackTarget) << "the count was reached";
    EXPECT_TRUE(crimePackets.With("say " + S(onAnn)).empty());
    EXPECT_EQ(crimePackets.With("say " + S(free1)),
              Strings{"say " + S(free1) + " " + kGuardThreat + " h946 t7"});
    EXPECT_EQ(DispatchGuards(ann, 5), 3) << "busy passed over, the one 21 tiles off not reached";
    EXPECT_EQ(free2->GetState(), kNpcAttackTarget);
    EXPECT_NE(tooFar->GetState(), kNpcAttackTarget);
}

TEST_F(GuardTest, AGuardAppearsInAFlashAndLeavesThreeMinutesAfterItsLastFight) {
    CPlayer* ann = Player("Ann", 10, 10);
    CNPC* victim = Townsperson(11, 10);
    EXPECT_EQ(CallGuards(ann, ann->GetWorldLocation(), victim, 1), 1);
    const std::vector<CGuard*> made = Made({});
    ASSERT_EQ(made.size(), 1u);
    CGuard* guard = made[0];
    const Location at = guard->GetWorldLocation();
    const int distance = ChebyshevDistanceWrapped(at, ann->GetWorldLocation());
    EXPECT_GE(distance, 3);
    EXPECT_LE(distance, 6);
    EXPECT_TRUE(guard->GetTemplateId() == 6 || guard->GetTemplateId() == 1006);
    const std::string spot = std::to_string(at.x) + "," + std::to_string(at.y);
    EXPECT_EQ(crimePackets.With("70 "), Strings{"70 " + std::to_string(0x3728) + " " + spot});
    EXPECT_EQ(crimePackets.With("54 "), Strings{"54 510 " + spot});
    EXPECT_EQ(crimePackets.With("say " + S(guard)).size(), 1u);
    EXPECT_EQ(guard->GetState(), kNpcAttackTarget);
    EXPECT_EQ(guard->ai.targetSerial, ann->GetSerial());
    EXPECT_EQ(guard->GetLeaveCountdown(), kGuardLeavePulses);

    // While it fights the countdown stays full; after the fight it runs out in 720 pulses.
    const u32 serial = guard->GetSerial();
    guard->SetNpcFlags(kNpcHoldsStill | kNpcNoAttack);
    guard->ai.actionPause = 255;
    guard->ai.state = kNpcAttackTarget;
    crimePackets.log.clear();
    EXPECT_EQ(Pulses(serial, 50), 50);
    EXPECT_EQ(guard->GetLeaveCountdown(), kGuardLeavePulses);
    guard->ai.state = kNpcIdle;
    EXPECT_EQ(Pulses(serial, 719), 719);
    ASSERT_EQ(g_objectManager.FindNPC(serial), guard);
    EXPECT_TRUE(crimePackets.With("70 ").empty());
    EXPECT_EQ(Pulses(serial, 5), 1) << "it leaves on the 720th pulse";
    EXPECT_EQ(g_objectManager.FindNPC(serial), nullptr);
    EXPECT_EQ(crimePackets.With("70 ").size(), 1u);
    EXPECT_EQ(crimePackets.With("54 510").size(), 1u);
    EXPECT_EQ(crimePackets.With("1D " + std::to_string(serial)).size(), 1u) << "seen to go";
    EXPECT_EQ(g_guardList.Count(), 0);
}

TEST_F(GuardTest, AGuardFromATemplateStaysAndTheCountdownSurvivesASave) {
    CGuard* stays = Guard(10, 10);
    EXPECT_EQ(stays->GetLeaveCountdown(), kGuardStays);
    std::string record;
    WriteObjectRecord(*stays, record, true);
    EXPECT_EQ(record.find("guardLeave"), std::string::npos);

    CGuard* leaves = Guard(12, 10);
    leaves->SetLeaveCountdown(311);
    record.clear();
    WriteObjectRecord(*leaves, record, true);
    EXPECT_NE(record.find(std::string("guardLeave=311") + '\0'), std::string::npos);
    EXPECT_EQ(record.substr(0, 3), "@=G");
    CItem* object = NewObjectOfLetter('G');
    ASSERT_TRUE(object->IsGuard());
    CGuard* loaded = static_cast<CGuard*>(object);
    ObjectLoadState state;
    state.object = loaded;
    ApplyObjectField(state, "guardLeave", "311");
    EXPECT_EQ(loaded->GetLeaveCountdown(), 311);
    ApplyObjectField(state, "guardLeave", "-4");
    EXPECT_EQ(loaded->GetLeaveCountdown(), kGuardStays) << "a value out of range stays";
    delete loaded;
}

TEST_F(GuardTest, AGuardLeapsOnlyWhileChasingAndLandsWithin3TilesAndTwoOfZ) {
    CGuard* guard = Guard(10, 10);
    CNPC* plain = Townsperson(12, 12);
    const Location to(20, 10, 0);
    EXPECT_EQ(guard->TryGuardLeap(to), 0) << "not chasing";
    plain->SetState(kNpcAttackTarget);
    EXPECT_EQ(plain->TryGuardLeap(to), 0) << "not a guard";
    guard->SetState(kNpcAttackTarget);
    EXPECT_EQ(guard->TryGuardLeap(Location(500, 10, 0)), 0) << "off the map";
    crimePackets.log.clear();
    ASSERT_EQ(guard->TryGuardLeap(to), 1);
    const Location now = guard->GetWorldLocation();
    EXPECT_LE(ChebyshevDistanceWrapped(now, to), 3);
    EXPECT_LE(std::abs(now.z - to.z), 2);
    EXPECT_EQ(crimePackets.With("70 "),
              (Strings{"70 " + std::to_string(0x3728) + " 10,10",
                       "70 " + std::to_string(0x3728) + " " + std::to_string(now.x) + "," +
                           std::to_string(now.y)}));
    EXPECT_EQ(crimePackets.With("54 ").size(), 1u);
    std::vector<CGuard*> near;
    g_guardList.CollectNear(now, 0, near);
    EXPECT_EQ(near, std::vector<CGuard*>{guard}) << "the guard grid follows the leap";
}

}  // namespace
