// A crime at the demo town's market with the real rules, scripts and packets, read as two
// players' clients receive them: Ansel strikes a townsperson; a witness shouts for the guards,
// Bea is told what she saw, Ansel turns criminal, a guard comes with its threat and kills him;
// the ghost asks the death screen for its body back and gets it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/loop_state.h"
#include "core/protocol/packet_table.h"
#include "platform/random.h"
#include "server/net/client_dispatcher.h"
#include "server/net/socket.h"
#include "server/rules/combat.h"
#include "server/rules/guard.h"
#include "server/world/combat_lists.h"
#include "server/world/guard.h"
#include "server/world/mobile_table.h"
#include "server/world/player_registry.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/player/player_walk_support.h"
#include "tests/server/world/demo_town_fixture.h"

namespace {

class DemoCrimeTest : public DemoTownTest {
protected:
    static Received Got(CPlayer* p) { return ReceivedBy(p); }
    // The texts of the 0x1C packets from one speaker.
    static std::vector<std::string> SaidBy(const Received& got, u32 speaker) {
        std::vector<std::string> out;
        for (const auto& p : got.Of(0x1C)) {
            const TextMessageFields f = ReadTextMessage(p);
            if (f.ok && f.serial == speaker) out.push_back(f.text);
        }
        return out;
    }
    // The demo town with the NPC and guard grids the server's start-up makes, the generator
    // seeded; `townsperson` is the first townsperson made.
    void BuildTown(u32 seed, CNPC*& townsperson) {
        g_mobileTable.CreateGrid(0, 0, 1024, 1024);
        std::vector<u32> serials;
        std::string error;
        ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
        platform::SeedRandom(seed);
        SetWorldPulse(1000);
        for (u32 s : serials) {
            CItem* item = g_objectManager.FindBySerial(s);
            CNPC* npc = item ? item->AsNPC() : nullptr;
            if (npc && npc->GetTemplateId() == 10 && !townsperson) townsperson = npc;
        }
        ASSERT_NE(townsperson, nullptr);
    }
    void TearDown() override {
        DeleteAllSockets();
        SetWorldPulse(0);
        DemoTownTest::TearDown();
    }
};

TEST_F(DemoCrimeTest, AnAttackAtTheMarketBringsTheGuardAndTheGhostIsRaised) {
    CNPC* victim = nullptr;
    ASSERT_NO_FATAL_FAILURE(BuildTown(31, victim));
    const Location at = victim->GetWorldLocation();
    CPlayer* ansel = ConnectedCharacter("Ansel", Location(at.x + 1, at.y, 0));
    CPlayer* bea = ConnectedCharacter("Bea", Location(at.x, at.y + 2, 0));
    Got(ansel);
    Got(bea);

    StartAttack(ansel, victim, 1);
    const Received seen = Got(bea);
    const std::string expected = std::string("You see Ansel attacking ") + victim->GetName(0) + "!";
    const std::vector<std::string> texts = seen.Messages();
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end())
        << ::testing::PrintToString(texts);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
        return t.rfind("Guards! ", 0) == 0;
    })) << "a witness shouts for the guards";
    EXPECT_TRUE(ansel->IsCriminal());
    EXPECT_EQ(ansel->GetNotorietyFor(bea), 4);

    // The nearest gate guard answers with its threat and goes after Ansel.
    CGuard* guard = nullptr;
    for (CGuard* g = g_guardList.GetFirst(); g; g = g->nextGuard)
        if (g->GetState() == kNpcAttackTarget && g->ai.targetSerial == ansel->GetSerial()) guard = g;
    ASSERT_NE(guard, nullptr);
    EXPECT_EQ(SaidBy(seen, guard->GetSerial()), std::vector<std::string>{kGuardThreat});

    // Made weak, Ansel falls to the guard: the death is seen, the ghost gets its death screen.
    const u32 anselSerial = ansel->GetSerial();
    ansel->SetCurHits(1);
    Received anselGot, beaGot;
    for (int pulse = 0; pulse < 4000 && !ansel->IsGhost(); ++pulse) {
        SetWorldPulse(GetWorldPulse() + 1);
        if (pulse % 8 == 0) g_mobileTable.NpcHeartbeatSweep();
        g_mobileTable.NpcStateSweep();
        g_mobileManager.CombatHeartBeat(GetWorldPulse());
        ASSERT_EQ(g_objectManager.FindBySerial(anselSerial), ansel);
        for (auto& p : Got(ansel).packets) anselGot.packets.push_back(std::move(p));
        for (auto& p : Got(bea).packets) beaGot.packets.push_back(std::move(p));
    }
    ASSERT_TRUE(ansel->IsGhost()) << "the guard never killed Ansel";
    EXPECT_EQ(ansel->GetBody(), 402);
    EXPECT_FALSE(beaGot.Of(0xAF).empty());
    ASSERT_FALSE(anselGot.Of(0x2C).empty());
    EXPECT_EQ(anselGot.Of(0x2C).back(), (std::vector<u8>{0x2C, 0x00}));

    // The death screen's choice: the body back.
    const std::vector<u8> choice = {0x2C, 0x01};
    PacketReader r(choice.data(), choice.size(), 1);
    FindClientPacketHandler(0x2C, false)(*ansel, r);
    const Received raised = Got(ansel);
    const std::vector<std::string> words = raised.Messages();
    EXPECT_NE(std::find(words.begin(), words.end(), "Your spirit rejoins your body."), words.end())
        << ::testing::PrintToString(words);
    EXPECT_EQ(ansel->GetBody(), 400);
}

}  // namespace

namespace {

// Far from the gate guards (more than 20 tiles) but still in town, a guard appears in a flash,
// kills the offender and leaves three minutes after the fight; the witness sees it go.
TEST_F(DemoCrimeTest, AtTheTownsEdgeAGuardAppearsAndLeavesAfterTheFight) {
    CNPC* victim = nullptr;
    ASSERT_NO_FATAL_FAILURE(BuildTown(32, victim));
    // The town's west edge: 21 tiles from the nearer gate guard.
    const Location edge(364, 559, 0);
    victim->RemoveFromWorld();
    victim->PlaceInWorld(edge);
    CPlayer* ansel = ConnectedCharacter("Ansel", Location(edge.x, edge.y - 1, 0));
    CPlayer* bea = ConnectedCharacter("Bea", Location(edge.x + 2, edge.y + 1, 0));
    Got(ansel);
    Got(bea);
    std::vector<CGuard*> before;
    for (CGuard* g = g_guardList.GetFirst(); g; g = g->nextGuard)
        before.push_back(g);

    StartAttack(ansel, victim, 1);
    CGuard* guard = nullptr;
    for (CGuard* g = g_guardList.GetFirst(); g; g = g->nextGuard)
        if (std::find(before.begin(), before.end(), g) == before.end()) guard = g;
    ASSERT_NE(guard, nullptr) << "no guard appeared";
    EXPECT_EQ(guard->GetLeaveCountdown(), kGuardLeavePulses);
    const Received seen = Got(bea);
    bool flash = false;
    for (const auto& p : seen.Of(0x70))
        flash = flash || (p.size() > 12 && ((p[10] << 8) | p[11]) == kGuardFlashGraphic);
    EXPECT_TRUE(flash) << "the flash of its coming";
    bool sound = false;
    for (const auto& p : seen.Of(0x54))
        sound = sound || (p.size() > 3 && ((p[2] << 8) | p[3]) == kGuardSound);
    EXPECT_TRUE(sound) << "the sound of its coming";
    EXPECT_EQ(SaidBy(seen, guard->GetSerial()), std::vector<std::string>{kGuardThreat});

    // The guard kills Ansel, then leaves 720 pulses after its fight ends.
    const u32 guardSerial = guard->GetSerial();
    ansel->SetCurHits(1);
    Received beaGot;
    int lastFight = -1, gone = -1;
    for (int pulse = 0; pulse < 3000 && gone < 0; ++pulse) {
        SetWorldPulse(GetWorldPulse() + 1);
        if (pulse % 8 == 0) g_mobileTable.NpcHeartbeatSweep();
        g_mobileTable.NpcStateSweep();
        g_mobileManager.CombatHeartBeat(GetWorldPulse());
        CItem* still = g_objectManager.FindBySerial(guardSerial);
        if (!still) gone = pulse;
        else if (still->AsNPC()->GetState() == kNpcAttackTarget) lastFight = pulse;
        for (auto& p : Got(bea).packets) beaGot.packets.push_back(std::move(p));
        Got(ansel);
    }
    EXPECT_TRUE(ansel->IsGhost());
    ASSERT_GE(gone, 0) << "the guard never left";
    // Counted from the last pulse it was seen fighting (its own step may end the fight after
    // the countdown was renewed that pulse).
    EXPECT_NEAR(gone - lastFight, kGuardLeavePulses, 1);
    bool told = false;
    for (const auto& p : beaGot.Of(0x1D))
        told = told || ReadSerial(p) == guardSerial;
    EXPECT_TRUE(told) << "the witness sees the guard go";
}

}  // namespace
