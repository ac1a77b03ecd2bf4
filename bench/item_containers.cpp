// How fast items go into and out of containers while the cached weights climb three levels
// (bag in pouch in a mobile's pack), and how many stack splits and merges a second the
// resource-unit bookkeeping allows.
#include <benchmark/benchmark.h>

#include <cstring>

#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"

namespace {

constexpr int kCoin = 3821;
constexpr int kBagGraphic = 3702;
constexpr int kPackGraphic = 3701;
constexpr int kPebble = 100;

void SetTile(int graphic, u32 flags, int weight, const char* name) {
    StaticTileRecord* r = GetTileData().MutableStatic(graphic);
    r->flags = flags;
    r->weight = static_cast<u8>(weight);
    std::memcpy(r->name, name, strnlen(name, 20));
}

struct World {
    CMobile* mobile = nullptr;
    CContainer* bag = nullptr;
    int gold = 0;
    World() {
        g_sectorGrid.Build(0, 0, 64, 64);
        SetTile(kCoin, kTileGeneric, 0, "gold coin%s%");
        SetTile(kBagGraphic, kTileContainer, 1, "bag");
        SetTile(kPackGraphic, kTileContainer, 3, "backpack");
        SetTile(kPebble, 0, 1, "pebble");
        auto* type = new CResourceType;
        type->SetNumber(GetResourceTypes().AllocNumber());
        type->SetInternalName("gold");
        GetResourceTypes().Add(type);
        gold = type->GetNumber();
        g_objectManager.GetResourcePrototype(kCoin)->AddResource(gold, kResourceHeld, 1, 0, 1);
        mobile = new CMobile;
        mobile->PlaceInWorldQuiet(Location(10, 10, 0));
        CItem* pack = g_objectManager.CreateItem(kPackGraphic);
        pack->EquipOn(mobile, 21);
        CItem* pouch = g_objectManager.CreateItem(kBagGraphic);
        pouch->AddToContainer(pack, Location(50, 80, 0));
        bag = g_objectManager.CreateItem(kBagGraphic)->AsContainer();
        bag->AddToContainer(pouch, Location(50, 80, 0));
    }
};

World& TheWorld() {
    static World world;
    return world;
}

void BM_ContainerAddRemoveThreeLevels(benchmark::State& state) {
    World& world = TheWorld();
    CItem* pebble = g_objectManager.CreateItem(kPebble);
    for (auto _ : state) {
        pebble->AddToContainer(world.bag, Location(-1, -1, 0));
        pebble->RemoveFromWorld();
    }
    benchmark::DoNotOptimize(world.mobile->GetContentWeight());
    pebble->DeleteSelf();
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ContainerAddRemoveThreeLevels);

void BM_StackSplitAndMergeBack(benchmark::State& state) {
    World& world = TheWorld();
    CItem* stack = g_objectManager.CreateItem(kCoin);
    stack->AddResource(world.gold, kResourceHeld, 1000, 0, 1000);
    stack->AddToContainer(world.bag, Location(40, 90, 0));
    for (auto _ : state) {
        CItem* part = stack->SplitStack(10);
        part->ReturnToLastPlace();  // stacks back onto the old stack
    }
    if (stack->GetQuantity() != 1000) state.SkipWithError("the stack lost units");
    stack->DeleteSelf();
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_StackSplitAndMergeBack);

}  // namespace
