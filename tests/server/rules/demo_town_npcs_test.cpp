// The demo town's people and animals with the NPC rules in force, pulse by pulse as the world
// tick runs the sweeps, watched by a character at the market through its connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/byte_order.h"
#include "core/loop_state.h"
#include "platform/random.h"
#include "server/net/socket.h"
#include "server/world/mobile_table.h"
#include "server/world/player_registry.h"
#include "tests/server/player/player_walk_support.h"
#include "tests/server/world/demo_town_fixture.h"

namespace {

const Location kMarket(390, 575, 0);

class DemoTownNpcsTest : public DemoTownTest {
protected:
    struct Outcome {
        std::vector<std::tuple<u32, int, int, int>> npcs;  // serial, x, y, state
        u64 digest = 0;                                    // of every byte the watcher read
        std::vector<std::vector<u8>> packets;
        std::vector<u32> dormant;  // NPCs dormant at the end
        bool operator==(const Outcome& o) const {
            return npcs == o.npcs && digest == o.digest;
        }
    };

    // Builds the town afresh under the same serials, puts a character at the market and runs
    // the sweeps for `pulses` pulses with the generator seeded.
    Outcome Run(u32 seed, int pulses) {
        const u32 firstSerial = g_objectManager.PeekSerialCounter();
        while (g_mobileTable.GetRotor() != 0)
            g_mobileTable.NpcHeartbeatSweep();
        std::vector<u32> serials;
        std::string error;
        EXPECT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
        CPlayer* watcher = Watcher(kMarket);
        g_mobileTable.SetCurrentNpc(nullptr);
        SetWorldPulse(1000);
        platform::SeedRandom(seed);
        Drain(watcher);
        Outcome out;
        u64 digest = 0xcbf29ce484222325ull;
        for (int pulse = 0; pulse < pulses; ++pulse) {
            SetWorldPulse(GetWorldPulse() + 1);
            if (pulse % 8 == 0) g_mobileTable.NpcHeartbeatSweep();
            g_mobileTable.NpcStateSweep();
            for (auto& packet : Drain(watcher)) {
                for (u8 b : packet)
                    digest = (digest ^ b) * 0x100000001b3ull;
                out.packets.push_back(std::move(packet));
            }
        }
        out.digest = digest;
        for (u32 s : serials) {
            CItem* item = g_objectManager.FindBySerial(s);
            if (CNPC* npc = item ? item->AsNPC() : nullptr) {
                const Location at = npc->GetWorldLocation();
                out.npcs.emplace_back(s, at.x, at.y, npc->GetState());
                if (npc->HasNpcFlags(kNpcDormant)) out.dormant.push_back(s);
            }
        }
        DeleteAllSockets();
        DeleteAllObjects();
        g_objectManager.SetSerialCounter(firstSerial);
        SetWorldPulse(0);
        return out;
    }

    static CPlayer* Watcher(const Location& at) { return ConnectedCharacter("Watcher", at); }
    static std::vector<std::vector<u8>> Drain(CPlayer* p) {
        auto* sock = static_cast<ThrottledSock*>(p->GetConnection());
        sock->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(sock->wire);
        return SplitPackets(wire);
    }
    static const std::tuple<u32, int, int, int>* Find(const Outcome& o, u32 serial) {
        for (const auto& n : o.npcs)
            if (std::get<0>(n) == serial) return &n;
        return nullptr;
    }
};

TEST_F(DemoTownNpcsTest, OneSeedGivesOneRunAndAnotherSeedAnother) {
    const Outcome first = Run(7, 4000);
    const Outcome again = Run(7, 4000);
    const Outcome other = Run(8, 4000);
    ASSERT_EQ(first.npcs.size(), 14u);
    EXPECT_TRUE(first == again);
    EXPECT_EQ(first.packets, again.packets);
    EXPECT_FALSE(first == other);
    EXPECT_NE(first.digest, other.digest);
}

// Over the run the townsfolk near the market move and the watcher is told (0x77); the herd and
// the wolves, out of every player's range, go dormant where they were placed and the watcher
// hears nothing of them.
TEST_F(DemoTownNpcsTest, TheMarketMovesAndTheMeadowSleeps) {
    const Outcome run = Run(11, 4000);
    int moved = 0;
    std::vector<u32> meadow;
    for (size_t i = 0, n = 0; i < content->placements.size(); ++i) {
        const TownPlacement& p = content->placements[i];
        if (p.templateNumber < 10 || p.templateNumber >= 1000) continue;
        ASSERT_LT(n, run.npcs.size());
        const auto& [serial, x, y, state] = run.npcs[n++];
        if (p.templateNumber >= 500) {
            meadow.push_back(serial);
            EXPECT_NE(std::find(run.dormant.begin(), run.dormant.end(), serial), run.dormant.end())
                << "line " << p.line;
            EXPECT_EQ(x, p.at.x) << "line " << p.line;
            EXPECT_EQ(y, p.at.y) << "line " << p.line;
            continue;
        }
        moved += x != p.at.x || y != p.at.y;
        if (p.role == TownRole::kLoiter && ChebyshevDistanceXY(p.at.x, p.at.y, kMarket.x,
                                                               kMarket.y) < 18) {
            EXPECT_LT(ChebyshevDistanceXY(x, y, p.at.x, p.at.y), 8) << "line " << p.line;
        }
        (void)state;
    }
    EXPECT_GE(moved, 4);
    EXPECT_EQ(meadow.size(), 6u);
    int updates = 0;
    for (const auto& packet : run.packets) {
        if (packet[0] != 0x77 && packet[0] != 0x20 && packet[0] != 0x78 && packet[0] != 0x6E)
            continue;
        updates += packet[0] == 0x77;
        const u32 serial = packet[0] == 0x6E ? LoadBe32(packet.data() + 1) : ReadSerial(packet);
        for (u32 m : meadow)
            EXPECT_NE(serial, m) << "the meadow is out of range";
    }
    EXPECT_GT(updates, 20);
}

}  // namespace
