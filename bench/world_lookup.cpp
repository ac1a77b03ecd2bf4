// How fast the world finds its objects (by serial and by place, 100,000 objects in a world of
// 1024 x 1024 tiles) and answers line-of-sight questions over the demo island.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/random.h"
#include "server/world/item.h"
#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/demo_content.h"

namespace {

constexpr int kObjects = 100000;

struct Population {
    std::vector<u32> serials;
    std::vector<Location> places;
    Population() {
        g_sectorGrid.Build(0, 0, 1024, 1024);
        platform::SeedRandom(1);
        for (int i = 0; i < kObjects; ++i) {
            CItem* item = g_objectManager.CreateItem(3821);
            const Location at(platform::Rand() % 1024, platform::Rand() % 1024, 0);
            item->PlaceInWorldQuiet(at);
            serials.push_back(item->GetSerial());
            places.push_back(at);
        }
    }
};

Population& World() {
    static Population population;
    return population;
}

void BM_FindBySerial(benchmark::State& state) {
    Population& world = World();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(g_objectManager.FindBySerial(world.serials[i]));
        i = (i + 7919) % world.serials.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindBySerial);

void BM_FindNearByPlace(benchmark::State& state) {
    Population& world = World();
    size_t i = 0;
    for (auto _ : state) {
        CItem* item = g_objectManager.FindBySerial(world.serials[i]);
        benchmark::DoNotOptimize(g_objectManager.FindNear(*item, world.serials[i], 2));
        i = (i + 7919) % world.serials.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindNearByPlace);

void BM_ObjectsAtATile(benchmark::State& state) {
    Population& world = World();
    size_t i = 0;
    std::vector<CItem*> found;
    for (auto _ : state) {
        found.clear();
        g_sectorGrid.CollectObjectsAt(found, world.places[i]);
        benchmark::DoNotOptimize(found.data());
        i = (i + 7919) % world.places.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ObjectsAtATile);

void LoadDemoIsland() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    g_sectorGrid.Build(0, 0, 1024, 1024);
    const DataMembers members = BuildServerDataMembers("Bench", 0, 0, 1024, 1024);
    std::string error;
    LoadWorldDataFiles(
        [&](const std::string& path, std::vector<u8>& out) {
            auto it = members.find(path);
            if (it == members.end()) return false;
            out = it->second;
            return true;
        },
        "Bench", nullptr, &error);
}

void BM_LineOfSight(benchmark::State& state) {
    World();  // the objects stay; the statics of the island join them
    LoadDemoIsland();
    platform::SeedRandom(2);
    std::vector<std::pair<Location, Location>> pairs;
    for (int i = 0; i < 4096; ++i) {
        const int x = 200 + platform::Rand() % 600;
        const int y = 200 + platform::Rand() % 600;
        const Location from(x, y, 20);
        const Location to(x + platform::Rand() % 37 - 18, y + platform::Rand() % 37 - 18, 20);
        pairs.emplace_back(from, to);
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            g_worldMap.HasLineOfSight(pairs[i].first, pairs[i].second, kSightWalls));
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineOfSight);

}  // namespace
