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
    static Received Got(CPlayer* p) {
        auto* sock = static_cast<ThrottledSock*>(p->GetConnection());
        sock->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(sock->wire);
        return Received{SplitPackets(wire)};
    }
    // The texts of the 0x1C packets from one speaker.
    static std::vector<std::string> SaidBy(const Received& got, u32 speaker) {
        std::vector<std::string> out;
        for (const auto& p : got.Of(0x1C)) {
            const TextMessageFields f = ReadTextMessage(p);
            if (f.ok && f.serial == speaker) out.push_back(f.text);
        }
        return out;
    }
    void TearDown() override {
        DeleteAllSockets();
        SetWorldPulse(0);
        DemoTownTest::TearDown();
    }
};

TEST_F(DemoCrimeTest, AnAttackAtTheMarketBringsTheGuardAndTheGhostIsRaised) {
    // The NPC and guard grids over the demo world, as the server's start-up makes them.
    g_mobileTable.CreateGrid(0, 0, 1024, 1024);
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    platform::SeedRandom(31);
    SetWorldPulse(1000);
    CNPC* victim = nullptr;
    for (u32 s : serials) {
        CItem* item = g_objectManager.FindBySerial(s);
        CNPC* npc = item ? item->AsNPC() : nullptr;
        if (npc && npc->GetTemplateId() == 10 && !victim) victim = npc;
    }
    ASSERT_NE(victim, nullptr);
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
