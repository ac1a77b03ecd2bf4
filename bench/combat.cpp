// Strikes a second with players watching: 240 creatures fight in pairs in one part of a world
// of 256 x 256 tiles (one pair in four with swords, the rest bare-handed) while 10 players
// stand among them, each within sight of every fight, so every strike's swing, sound, blood
// and vitals go out to all ten (their connections take the bytes and drop them). The world's
// real services are in force; a pulse runs the combat heartbeat and the due timed callbacks,
// and every creature's hits are topped up now and then so the fights never end. The goal:
// at least 50,000 strikes a second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "bench/bench_goal.h"
#include "platform/random.h"
#include "server/frame/server_services.h"
#include "server/net/socket.h"
#include "server/rules/combat.h"
#include "server/rules/combat_observer.h"
#include "server/world/combat_lists.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/mobile_content.h"
#include "tools/content_builder/tile_set.h"

namespace {

constexpr int kWorldSize = 256;
constexpr int kPairs = 120;
constexpr int kWatchers = 10;
constexpr int kCentre = 128;
constexpr double kGoalStrikesPerSecond = 50000;
constexpr int kHits = 30000;
constexpr int kRefillEvery = 256;  // pulses

// A connection that takes every byte and keeps none.
class SinkSock : public CUserSock {
public:
    SinkSock() : CUserSock(-1, 0x0A000001) {
        handle = 1000000;
        loggedIn = 1;
    }
    ~SinkSock() override { handle = -1; }
    long SendRaw(const u8*, size_t count) override {
        sent += count;
        return static_cast<long>(count);
    }
    void Close() override { handle = -1; }
    size_t sent = 0;
};

class StrikeCounter : public CombatObserver {
public:
    void OnStrike(const CMobile&, const CMobile&, int, int, int) override { ++strikes; }
    void OnDamageRolled(const CMobile&, int) override {}
    void OnAbsorbed(const CMobile&, int, int, const Absorption&) override {}
    long long strikes = 0;
};

struct Arena {
    std::vector<CNPC*> fighters;
    std::vector<std::unique_ptr<SinkSock>> sinks;
    s32 pulse = 1000;
};

CNPC* Creature(int x, int y, bool armed) {
    CNPC* npc = new CNPC;
    npc->SetBodyType(225);
    npc->SetRealStat(kStatStrength, 60);
    npc->SetRealStat(kStatDexterity, 100);
    npc->SetMaxHits(kHits);
    npc->SetCurHits(kHits);
    npc->SetSkill(kSkillMelee, 500);
    npc->SetSkill(kSkillWeaponSlashing, 500);
    npc->PlaceInWorldQuiet(Location(x, y, 0));
    if (armed) {
        if (CItem* sword = g_objectManager.CreateWeapon(demo_tiles::kLongSword))
            sword->EquipOn(npc, 1);
    }
    return npc;
}

// The fighters in a square of 16 x 16 tiles about the centre, each pair side by side, and
// the watchers among them.
Arena& MakeArena() {
    static Arena arena;
    if (!arena.fighters.empty()) return arena;
    g_sectorGrid.Build(0, 0, kWorldSize, kWorldSize);
    InstallServerServices();
    platform::SeedRandom(1);
    const std::vector<u8> tiles = WriteTileDataFile(DemoTileSet());
    GetTileData().ReadTileData(tiles.data(), tiles.size());
    for (const auto& [number, text] : DemoWeaponTemplates())
        g_weaponTemplates.LoadFromText(number, text);
    for (int i = 0; i < kPairs; ++i) {
        const int x = kCentre - 8 + (i % 8) * 2;
        const int y = kCentre - 8 + i / 8;
        CNPC* a = Creature(x, y, i % 4 == 0);
        CNPC* b = Creature(x + 1, y, i % 4 == 0);
        StartAttack(a, b, 0);
        arena.fighters.push_back(a);
        arena.fighters.push_back(b);
    }
    for (int i = 0; i < kWatchers; ++i) {
        CPlayer* watcher = new CPlayer;
        watcher->SetBodyType(400);
        arena.sinks.push_back(std::make_unique<SinkSock>());
        LinkPlayerToSocket(watcher, arena.sinks.back().get());
        watcher->PlaceInWorldQuiet(Location(kCentre - 5 + i, kCentre + 9, 0));
    }
    return arena;
}

void Pulse(Arena& arena) {
    SetWorldPulse(++arena.pulse);
    if (arena.pulse % kRefillEvery == 0) {
        for (CNPC* npc : arena.fighters)
            npc->SetCurHits(kHits);
    }
    g_mobileManager.CombatHeartBeat(arena.pulse);
    RunAllCallbacks();
    for (auto& sink : arena.sinks)
        sink->FlushSendQueue();
}

void BM_StrikesWithTenWatchers(benchmark::State& state) {
    Arena& arena = MakeArena();
    StrikeCounter counter;
    CombatObserver* previous = SetCombatObserver(&counter);
    for (int i = 0; i < 64; ++i)  // every fighter into its swing
        Pulse(arena);
    counter.strikes = 0;
    size_t bytes = 0;
    for (auto& sink : arena.sinks)
        bytes -= sink->sent;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        Pulse(arena);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    for (auto& sink : arena.sinks)
        bytes += sink->sent;
    SetCombatObserver(previous);
    state.counters["strikes"] = static_cast<double>(counter.strikes);
    state.counters["bytes_to_watchers"] = static_cast<double>(bytes);
    if (spent.count() > 0 && counter.strikes > 0)
        ReportAtLeastGoal(state, "strikes_per_s", counter.strikes / spent.count(),
                          kGoalStrikesPerSecond, "strikes/s");
}
BENCHMARK(BM_StrikesWithTenWatchers)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
