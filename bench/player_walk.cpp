// How many walk requests the server accepts per second in the demo town, with 100 players on
// connections of their own walking small loops and 1,000 NPCs standing around them: each
// accepted step is checked against the map, acknowledged, told to the players in view and
// shows the mover what came into view. Prints the accepted steps per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/loop_state.h"
#include "platform/random.h"
#include "server/net/protocol_packet_services.h"
#include "server/net/socket.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "tests/server/world/demo_island.h"
#include "server/world/npc.h"

namespace {

constexpr int kPlayers = 100;
constexpr int kNpcs = 1000;
constexpr int kLoopSide = 4;

// A connection whose bytes go nowhere (the client is not what is measured).
class SinkSock : public CUserSock {
public:
    SinkSock() : CUserSock(-1, 0x7F000001) { handle = 1000000; }
    ~SinkSock() override { handle = -1; }
    long SendRaw(const u8*, size_t count) override {
        bytes += count;
        return static_cast<long>(count);
    }
    size_t bytes = 0;
};

struct Walker {
    CPlayer* player;
    int leg = 0;   // 0..3: east, south, west, north
    int step = 0;  // steps taken on this leg
    int sequence = 1;
};

struct Town {
    std::vector<Walker> walkers;
    ProtocolPacketServices packets;

    // The z of open ground at the tile (the town and the fields around it), or kNoZ.
    static int GroundZ(int x, int y) {
        const int z = g_worldMap.FindGoodZ(Location(x, y, g_worldMap.GetElevation(x, y) + 2), -128,
                                           128, 16, 1, nullptr, 0);
        return z == g_worldMap.GetElevation(x, y) ? z : kNoZ;
    }
    static bool Free(const Location& at) { return GroundZ(at.x, at.y) != kNoZ; }

    Town() {
        std::string error;
        if (LoadDemoIsland("Bench", error) != 0) {
            std::fprintf(stderr, "the demo world did not load: %s\n", error.c_str());
            std::exit(1);
        }
        const Location square = DemoIslandPlaces().townSquare;
        SetPacketServices(&packets);
        // Players on a lattice of loops over the town, each loop on open ground.
        std::set<std::pair<int, int>> loops;
        for (int y = square.y - 36; y < square.y + 36 && walkers.size() < kPlayers; y += 6) {
            for (int x = square.x - 36; x < square.x + 36 && walkers.size() < kPlayers; x += 6) {
                bool clear = true;
                for (int d = 0; d <= kLoopSide && clear; ++d) {
                    clear = Free(Location(x + d, y, 0)) &&
                            Free(Location(x + d, y + kLoopSide, 0)) &&
                            Free(Location(x, y + d, 0)) && Free(Location(x + kLoopSide, y + d, 0));
                }
                if (!clear) continue;
                for (int d = 0; d <= kLoopSide; ++d) {
                    loops.insert({x + d, y});
                    loops.insert({x + d, y + kLoopSide});
                    loops.insert({x, y + d});
                    loops.insert({x + kLoopSide, y + d});
                }
                auto* p = new CPlayer;
                p->SetBodyType(400);
                for (int stat = 0; stat < 3; ++stat)
                    p->SetRealStat(stat, 100);
                p->SetMaxFatigue(100);
                p->SetCurFatigue(100);
                p->SetDirection(2);
                auto* sock = new SinkSock;
                sock->loggedIn = 1;
                LinkPlayerToSocket(p, sock);
                p->PlaceInWorldQuiet(Location(x, y, GroundZ(x, y)));
                walkers.push_back(Walker{p});
            }
        }
        // NPCs around and among them, on open ground off the loops.
        platform::SeedRandom(7);
        for (int placed = 0; placed < kNpcs;) {
            Location at(square.x - 40 + platform::Rand() % 81,
                        square.y - 40 + platform::Rand() % 81, 0);
            if (loops.count({at.x, at.y}) || !Free(at)) continue;
            at.z = static_cast<s16>(GroundZ(at.x, at.y));
            auto* npc = new CNPC;
            npc->SetBodyType(200);
            npc->PlaceInWorldQuiet(at);
            ++placed;
        }
    }
};

Town& TheTown() {
    static Town town;
    return town;
}

void BM_AcceptedPlayerSteps(benchmark::State& state) {
    Town& town = TheTown();
    if (town.walkers.empty()) {
        state.SkipWithError("no room for the walkers in the town");
        return;
    }
    static const int kLegDirection[4] = {2, 4, 6, 0};
    s32 pulse = 1000;
    size_t next = 0;
    s64 accepted = 0, refused = 0;
    for (auto _ : state) {
        Walker& w = town.walkers[next];
        next = (next + 1) % town.walkers.size();
        if (next == 0) {
            // A pulse passes per round of the walkers: every request is a cheap one.
            SetWorldPulse(pulse += 4);
        }
        const Location before = w.player->GetLocation();
        w.player->WalkRequest(kLegDirection[w.leg], 0);
        if (!(w.player->GetLocation() == before)) {
            ++accepted;
            if (++w.step == kLoopSide) {
                w.step = 0;
                w.leg = (w.leg + 1) & 3;
            }
        } else if ((w.player->GetDirection() & 7) != kLegDirection[w.leg]) {
            ++refused;
        }
        if (w.player->GetCurFatigue() < 50) w.player->SetCurFatigue(100);
        UserSockOf(w.player)->FlushSendQueue();
    }
    state.counters["accepted_steps_per_s"] =
        benchmark::Counter(static_cast<double>(accepted), benchmark::Counter::kIsRate);
    state.counters["refused"] = static_cast<double>(refused);
    state.SetItemsProcessed(state.iterations());
    std::fprintf(stderr, "players %zu, npcs %d: %lld accepted steps\n", town.walkers.size(), kNpcs,
                 static_cast<long long>(accepted));
}
BENCHMARK(BM_AcceptedPlayerSteps)->Unit(benchmark::kMicrosecond);

}  // namespace
