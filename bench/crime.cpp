// A crime in a crowd: an attack witnessed by 40 townsfolk and 20 players within 9 tiles. The
// goal is 50,000 witnessed crimes a second, that is at most 20 us each.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "bench/bench_goal.h"
#include "platform/random.h"
#include "server/rules/crime.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"

namespace {

constexpr int kNpcs = 40;
constexpr int kPlayers = 20;
constexpr int kCentre = 512;

struct Crowd {
    CPlayer* offender = nullptr;
    CNPC* victim = nullptr;
    Crowd() {
        g_sectorGrid.Create(1024, 1024);
        platform::SeedRandom(1);
        auto spot = [] {
            return Location(kCentre - 9 + platform::Rand() % 19, kCentre - 9 + platform::Rand() % 19,
                            0);
        };
        for (int i = 0; i < kNpcs; ++i) {
            CNPC* npc = new CNPC;
            npc->SetBodyType(400);
            npc->SetTemplateField(10);
            npc->SetName("a townsperson");
            npc->PlaceInWorldQuiet(spot());
            if (!victim) victim = npc;
        }
        for (int i = 0; i <= kPlayers; ++i) {
            CPlayer* player = new CPlayer;
            player->SetSerial(g_objectManager.NewSerial());
            player->SetBodyType(400);
            player->SetName("Ann");
            player->PlaceInWorldQuiet(i == 0 ? Location(kCentre, kCentre, 0) : spot());
            if (!offender) offender = player;
        }
    }
};

void BM_WitnessCrimeInACrowd(benchmark::State& state) {
    static Crowd crowd;
    const Location at = crowd.offender->GetWorldLocation();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WitnessCrime(at, *crowd.offender, crowd.victim, "", 1000, 1, kCrimeMurder));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perCall = seconds * 1e6 / static_cast<double>(std::max<s64>(state.iterations(), 1));
    state.counters["witnesses"] = kNpcs + kPlayers;
    state.counters["crimes_per_s"] = 1e6 / perCall;
    ReportAgainstGoal(state, "witness_crime_us", perCall, 20.0, "us");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WitnessCrimeInACrowd)->Unit(benchmark::kMicrosecond);

}  // namespace
