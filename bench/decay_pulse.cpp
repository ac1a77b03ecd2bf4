// One pulse of the mode-1 decay sweep (2,048 of the 65,536 serial buckets) over a world of
// 100,000 loose objects; the budget is 1 ms per pulse.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/random.h"
#include "server/world/decay.h"
#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"

namespace {

constexpr int kObjects = 100000;

struct Population {
    std::vector<u32> serials;
    Population() {
        g_sectorGrid.Build(0, 0, 1024, 1024);
        platform::SeedRandom(1);
        for (int i = 0; i < kObjects; ++i) {
            CItem* item = g_objectManager.CreateItem(3821);
            item->PlaceInWorldQuiet(Location(platform::Rand() % 1024, platform::Rand() % 1024, 0));
            serials.push_back(item->GetSerial());
        }
    }
    // Every object back to a fresh counter, so that none decays while measured.
    void Refresh() {
        for (u32 serial : serials)
            g_objectManager.FindBySerial(serial)->SetDecayCount(0);
    }
};

void BM_DecayPulseModeOne(benchmark::State& state) {
    static Population world;
    SetDecayMode(1);
    world.Refresh();
    s32 pulse = 0;
    for (auto _ : state) {
        DecayTick(pulse++);
        // Eleven rounds of the hash (32 pulses each) raise a counter to 66 of 72.
        if (pulse % (32 * 10) == 0) {
            state.PauseTiming();
            world.Refresh();
            state.ResumeTiming();
        }
    }
    SetDecayMode(2);
    state.counters["objects"] = kObjects;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecayPulseModeOne)->Unit(benchmark::kMicrosecond);

}  // namespace
