#include "world_test_support.h"

#include <cstring>

#include "script/runtime/script_world_link.h"
#include "server/world/placement_record.h"
#include "server/world/resource_type.h"
#include "server/world/world_script_link.h"

namespace {
void SetStatic(int graphic, u32 flags, int height, const char* name, int weight = 1,
               int baseValue = 0) {
    StaticTileRecord* r = GetTileData().MutableStatic(graphic);
    r->flags = flags;
    r->height = static_cast<u8>(height);
    r->weight = static_cast<u8>(weight);
    r->light = static_cast<u16>(baseValue);  // word 14: the base value
    std::memcpy(r->name, name, strnlen(name, 20));
}
void SetLand(int tile, u32 flags, const char* name) {
    LandTileRecord* r = GetTileData().MutableLand(tile);
    r->flags = flags;
    std::memcpy(r->name, name, strnlen(name, 20));
}
}  // namespace

void InstallTestTileSet() {
    GetTileData().Clear();
    SetStatic(kPlainItem, 0, 1, "pebble");
    // The misc word is the amount the packets of an item that is not stackable carry.
    GetTileData().MutableStatic(kPlainItem)->value = 1;
    SetStatic(kTable, kTileSurface, 6, "table");
    SetStatic(kWall, kTileImpassable | kTileWall | kTileNoShoot, 20, "wall");
    SetStatic(kWindow, kTileImpassable, 20, "window");
    SetStatic(kDoorGraphic, kTileImpassable | kTileDoor | kTileNoShoot, 20, "door");
    SetStatic(kDoorGraphic + 1, kTileDoor, 20, "open door");
    SetStatic(kBridgePart, kTileSurface | kTileBridge, 4, "bridge");
    SetStatic(kLowWall, kTileImpassable, 9, "low wall");
    SetStatic(kBag, kTileContainer, 3, "bag");
    SetStatic(kSword, kTileWeapon, 1, "sword");
    SetStatic(kMapGraphic, kTileMap, 1, "map");
    SetStatic(7774, kTileContainer, 1, "board");
    SetStatic(kValued, 0, 1, "trinket", 1, 5);
    SetLand(kGrass, 0, "grass");
    SetLand(kWater, kTileWet | kTileImpassable, "water");
    SetLand(kRock, kTileImpassable | kTileBackground, "rock");
}

void ClearEconomy() {
    GetResourceTypes().Clear();
    for (int graphic = 0; graphic < kTileCount; ++graphic)
        g_objectManager.GetResourcePrototype(graphic)->ClearResources();
}

void ReleaseAllStatics() {
    for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
        while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
            s->Release();
    }
}

void WorldTest::SetUp() {
    InstallTestTileSet();
    ClearEconomy();
    g_sectorGrid.Build(0, 0, 64, 64);
    g_mobileTable.CreateGrid(0, 0, 64, 64);
    SetTriggerServices(&triggers);
    SetPacketServices(&packets);
    // Timed callbacks and object variables reach the objects through the world's link.
    SetScriptObjectServices(&WorldScriptObjectServices());
}

void WorldTest::TearDown() {
    // The objects go while the stand-ins are in force: they free what the objects carry.
    DeleteAllObjects();
    ClearEconomy();
    SetTriggerServices(nullptr);
    SetPacketServices(nullptr);
    SetScriptObjectServices(nullptr);
    EXPECT_EQ(g_liveObjects.items, 0);
}

CItem* WorldTest::NewItem(int graphic) {
    return g_objectManager.CreateItem(graphic);
}

CItem* WorldTest::PlacedItem(int x, int y, int z, int graphic) {
    CItem* item = NewItem(graphic);
    item->PlaceInWorld(Location(x, y, z));
    return item;
}
