// Saving and loading a world of 100,000 objects (loose items, bags with contents, mobiles
// wearing items, some with variables and callbacks); the aim is 100,000 objects a second or
// more each way.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/random.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_init.h"
#include "server/world/world_load.h"
#include "server/world/world_save.h"
#include "server/world/world_script_link.h"

namespace {

constexpr int kObjects = 100000;

CItem* Made(CItem* item, int graphic) {
    item->SetType(graphic);
    return item;
}

void BuildWorld() {
    SetTriggerServices(&WorldScriptTriggerServices());
    SetScriptObjectServices(&WorldScriptObjectServices());
    g_sectorGrid.Build(0, 0, 1024, 1024);
    platform::SeedRandom(1);
    auto somewhere = [] { return Location(platform::Rand() % 1024, platform::Rand() % 1024, 0); };
    int made = 0;
    while (made < kObjects) {
        const int kind = platform::Rand() % 10;
        if (kind < 6) {
            CItem* item = Made(new CItem(), 3821);
            item->SetHue(static_cast<u16>(platform::Rand() % 1000));
            if (kind == 0) {
                SetObjectVariable(item, "count", 0, ScriptListValue::Int(platform::Rand()));
                AddCallback(item->TimedCallbacks(), item->GetSerial(), 40, 5, 1, nullptr);
            }
            item->PlaceInWorldQuiet(somewhere());
            ++made;
        } else if (kind < 9) {
            CItem* bag = Made(new CContainer(), 3701);
            bag->PlaceInWorldQuiet(somewhere());
            ++made;
            for (int i = 0; i < 4 && made < kObjects; ++i, ++made) {
                CItem* item = Made(new CItem(), 3821);
                item->AddToContainer(bag, Location(10 + i, 20, 0));
            }
        } else {
            auto* mobile = new CMobile();
            mobile->SetSerial(mobile->GetSerial() & ~0x40000000u);
            mobile->SetName("a wanderer");
            mobile->SetMaxHits(50);
            mobile->SetCurHits(30);
            mobile->PlaceInWorldQuiet(somewhere());
            ++made;
            if (made < kObjects) {
                CItem* hat = Made(new CItem(), 5440);
                if (hat->EquipOn(mobile, 6)) {
                    ++made;
                } else {
                    hat->DeleteSelf();
                }
            }
        }
    }
}

SectorPair& Saved() {
    static SectorPair pair = [] {
        BuildWorld();
        return BuildDynamicPair();
    }();
    return pair;
}

void BM_SaveWorld(benchmark::State& state) {
    Saved();
    size_t bytes = 0;
    for (auto _ : state) {
        SectorPair pair = BuildDynamicPair();
        bytes = pair.data.size();
        benchmark::DoNotOptimize(pair.data.data());
    }
    state.counters["objects/s"] = benchmark::Counter(static_cast<double>(kObjects),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveWorld)->Unit(benchmark::kMillisecond);

void BM_LoadWorld(benchmark::State& state) {
    const SectorPair pair = Saved();
    DestroyWorldObjects();
    int loaded = 0;
    for (auto _ : state) {
        DynamicLoadReport report;
        LoadDynamicObjects(pair.index, pair.data, "bench", &report);
        loaded = report.loaded;
        state.PauseTiming();
        DestroyWorldObjects();
        state.ResumeTiming();
    }
    state.counters["objects/s"] = benchmark::Counter(static_cast<double>(kObjects),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["loaded"] = loaded;
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond);

}  // namespace
