#include "server/world/world_init.h"

#include <cstdio>
#include <string>

#include "core/archive.h"
#include "core/loop_state.h"
#include "platform/clock.h"
#include "script/runtime/triggers.h"
#include "server/server_config.h"
#include "server/world/area_services.h"
#include "server/world/autosave.h"
#include "server/world/books.h"
#include "server/world/object_manager.h"
#include "server/world/object_templates.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "server/world/rules_services.h"
#include "server/world/sector_grid.h"
#include "server/world/skill_table.h"
#include "server/world/tile_data.h"
#include "server/world/weapon.h"
#include "server/world/world_load.h"
#include "server/world/world_load_services.h"
#include "server/world/world_save.h"

namespace {

bool g_worldLoaded = false;

// A world that cannot be built is no world to serve: the reason goes to standard error and
// the caller ends the process with exit code 1.
int StartupFailure(const std::string& message) {
    std::fprintf(stderr, "zqdemo: %s\n", message.c_str());
    std::fflush(stderr);
    return 1;
}

// The pair of a world's files: from the safe save when there is one, else the archive's.
// 0 read (or absent: empty), -1 with `error` set when a save is there but unusable.
int ReadWorldPair(const WorldLoadContext& c, const std::string& savePath, const char* tag,
                  const char* indexName, const char* dataName, SectorPair& pair,
                  std::string& source, std::string* error) {
    const int saved = ReadSaveFile(savePath, tag, pair, error);
    if (saved < 0) return -1;
    if (saved == 0) {
        source = savePath;
        return 0;
    }
    source = WorldDataPath(c.world, dataName);
    if (!c.read(WorldDataPath(c.world, indexName), pair.index) ||
        !c.read(WorldDataPath(c.world, dataName), pair.data)) {
        pair.index.clear();
        pair.data.clear();
    }
    return 0;
}

}  // namespace

int RunWorldLoadSequence(const WorldLoadContext& c, WorldDataResult* result, std::string* error) {
    auto progress = [&](int value) {
        if (c.progress) c.progress(value);
    };
    auto fail = [&](const std::string& message) {
        if (error) *error = message;
        return 1;
    };
    AreaServices& area = GetAreaServices();
    WorldLoadServices& net = GetWorldLoadServices();
    WorldDataResult local;
    WorldDataResult& out = result ? *result : local;
    std::vector<u8> bytes;
    TileData& tiles = GetTileData();

    // 1-2: the rule tables.
    if (c.wholeWorld) net.NoteServerPhase("loading");
    progress(0);
    if (c.wholeWorld) {
        g_skillTable.Load();
        LoadReadOnlyBooks(c.read);
    }
    // 3: which types carry a type script; the weather regions.
    progress(5);
    if (c.read(kTypeScriptListPath, bytes)) LoadTypeScriptList(bytes, TypeScriptBits());
    if (c.wholeWorld) area.LoadWeatherRegions();
    // 4: the game hour, hues and animation data. A reader that finds the quit flag set
    // reads nothing.
    progress(10);
    const bool hasHour = c.read(kTimePath, bytes);
    out.gameHour = ReadGameHour(hasHour ? &bytes : nullptr);
    if (c.read(kHuesPath, bytes) && !IsQuitting()) tiles.ReadHues(bytes.data(), bytes.size());
    if (c.read(kAnimDataPath, bytes) && !IsQuitting()) {
        tiles.ReadAnimData(bytes.data(), bytes.size());
    }
    // 5: the tile data, which every map query stands on; the multis; the start-up effects.
    progress(15);
    if (!c.read(kTileDataPath, bytes)) {
        return fail(std::string("The tile data file ") + kTileDataPath + " is missing.");
    }
    if (bytes.size() < static_cast<size_t>(kTileDataFileSize)) {
        return fail(std::string("The tile data file ") + kTileDataPath + " is damaged: it holds " +
                    std::to_string(bytes.size()) + " bytes of the " +
                    std::to_string(kTileDataFileSize) + " it needs.");
    }
    if (!IsQuitting()) tiles.ReadTileData(bytes.data(), bytes.size());
    if (c.wholeWorld) {
        area.LoadMultiDefinitions();
        area.RunStartupEffectText();
    }
    // 6-7: the economy's vocabulary: without the files no type is known and nothing is
    // generic; a damaged one is no world to serve.
    progress(20);
    if (c.read(kResourceTypesPath, bytes) && !IsQuitting()) {
        std::string message;
        if (LoadResourceTypes(bytes, GetResourceTypes(), &message) != 0) return fail(message);
    }
    progress(25);
    if (c.read(kItemResourcesPath, bytes) && !IsQuitting()) {
        std::string message;
        if (LoadItemResources(bytes, &message) != 0) return fail(message);
    }
    // 8: the conversation data.
    progress(30);
    if (c.wholeWorld) GetRulesServices().LoadConversationData();
    // 9: the terrain.
    progress(35);
    const std::string mapPath = WorldDataPath(c.world, "map0.mul");
    if (!c.read(mapPath, bytes)) return fail("The world map file " + mapPath + " is missing.");
    const size_t needed = static_cast<size_t>(g_sectorGrid.GetCellCount()) * kMapBlockSize;
    if (LoadTerrain(bytes) != 0) {
        return fail("The world map file " + mapPath + " is too short for the world: it holds " +
                    std::to_string(bytes.size()) + " bytes of the " + std::to_string(needed) +
                    " it needs.");
    }
    // 10-11: the object and weapon templates.
    progress(40);
    // The templates with their name sets and defines.
    if (c.wholeWorld) g_templateTable.Load();
    progress(50);
    if (c.wholeWorld) g_weaponTemplates.LoadAll();
    // 12: the resource-bank areas and the statics.
    progress(60);
    if (c.read(WorldDataPath(c.world, "resregions.txt"), bytes)) {
        out.resourceRegions = LoadResourceRegions(
            std::string(bytes.begin(), bytes.end()), g_sectorGrid.GetX0(), g_sectorGrid.GetY0(),
            g_sectorGrid.GetWidth(), g_sectorGrid.GetHeight());
    }
    {
        SectorPair statics;
        std::string source;
        if (c.wholeWorld) {
            if (ReadWorldPair(c, StaticsSavePath(), kStaticsSaveTag, "staidx0.mul", "statics0.mul",
                              statics, source, error) != 0) {
                return 2;
            }
        } else if (!c.read(WorldDataPath(c.world, "staidx0.mul"), statics.index) ||
                   !c.read(WorldDataPath(c.world, "statics0.mul"), statics.data)) {
            statics = SectorPair{};
        }
        if (!statics.index.empty()) out.staticsPlaced = LoadStatics(statics.index, statics.data);
    }
    // 13: the saved objects; their creation and objectloaded triggers wait until all of
    // them are there.
    progress(70);
    if (c.wholeWorld) {
        SectorPair dynamic;
        std::string source;
        if (ReadWorldPair(c, WorldSavePath(), kWorldSaveTag, "dynidx0.mul", "dynamic0.mul", dynamic,
                          source, error) != 0) {
            return 2;
        }
        BeginDeferCreationTriggers();
        BeginDeferLoadedTriggers();
        DynamicLoadReport report;
        const int loaded = LoadDynamicObjects(dynamic.index, dynamic.data, source, &report);
        FireDeferredCreationTriggers();
        EndDeferLoadedTriggers();
        const bool fromSave = source == WorldSavePath();
        if (loaded != 0) {
            fail(report.error);
            return fromSave ? 2 : 1;
        }
        out.dynamicLoaded = report.loaded;
        // A load the quit request cut short holds part of the world: it is never saved.
        if (!report.cutShort) NoteWorldLoaded(source, fromSave, report.DroppedTotal());
    }
    // 14: login scripts, sector resources, regions.
    progress(80);
    if (c.wholeWorld) {
        net.LoadLoginScriptList();
        area.RebuildSectorResourcesIfNone();
        area.LoadRegions();
    }
    // 15: the world's name, the regions' ambience, spawn tables, banks, art sizes.
    progress(90);
    if (c.wholeWorld) {
        if (const char* name = area.GetWorldAreaName()) {
            std::string cut(name);
            cut = cut.substr(0, cut.find('_')).substr(0, 127);
            net.SetWorldName(cut.c_str());
        }
        area.ApplyRegionAmbience();
        area.BuildSpawnTables();
        area.LoadBankDefinitionsIfNeeded();
    }
    if (c.read(kArtDimPath, bytes)) {
        tiles.ReadArtDimensions(bytes.data(), bytes.size());
    } else {
        std::vector<u8> artIndex, art;
        if (!c.read(kArtIndexPath, artIndex) || !c.read(kArtPath, art)) {
            artIndex.clear();
            art.clear();
        }
        const std::vector<u8> table = ComputeArtDimensions(artIndex, art);
        tiles.ReadArtDimensions(table.data(), table.size());
        if (c.write) c.write(kArtDimPath, table);
    }
    // 16-17: loaded; the progress bar goes.
    progress(95);
    progress(-1);
    return 0;
}

int CreateWorld(int width, int height, const WorldLoadProgress& progress) {
    g_sectorGrid.SetCorner(g_serverConfig.x, g_serverConfig.y);
    if (g_sectorGrid.Create(width, height) != 0) {
        return StartupFailure("the world size " + std::to_string(width) + " x " +
                              std::to_string(height) + " in server.txt gives no map cells");
    }
    // The server proper has opened its data archive before it gets here; without one (the
    // main loop's own tests) the world stays empty.
    if (GetDataArchive() == nullptr) {
        g_worldLoaded = true;
        return 0;
    }
    WorldLoadContext context;
    context.read = ReadArchiveFile;
    context.write = WriteArchiveFile;
    context.world = g_serverConfig.serverName;
    context.progress = progress;
    std::string error;
    WorldDataResult result;
    const int failed = RunWorldLoadSequence(context, &result, &error);
    if (failed == 2) return StartupFailure(error);
    if (failed != 0) {
        // Say where the world's files were looked for.
        if (!error.empty() && error.back() == '.') error.pop_back();
        return StartupFailure(error + " (looked for in the data archive " +
                              GetDataArchive()->Label() + ").");
    }
    SetLoadedWorldData(result);
    g_worldLoaded = true;
    // Asked to end while loading: readers skipped their files, so the world may lack parts of
    // what its files hold, and is not to be saved over them.
    if (IsQuitting()) ForgetLoadedWorld();
    return 0;
}

bool IsWorldLoaded() {
    return g_worldLoaded;
}

int SaveWorldAtShutdown() {
    if (!HasWorldToSave()) return 0;
    std::string error;
    const int result = SaveRunningWorld(platform::NowMs(), &error) != 0 ? StartupFailure(error) : 0;
    DestroyWorldObjects();
    ForgetLoadedWorld();
    return result;
}

void DestroyWorldObjects() {
    ObjectSwitchGuard quiet(ObjectSwitch::kSendRemovalPackets, false);
    auto destroy = [](CItem* object) {
        object->SetStatus(static_cast<u8>(object->GetStatus() | kStatusNoTriggers));
        delete object;
    };
    for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
        SectorCell* cell = g_sectorGrid.GetCell(n);
        while (CItem* head = cell->objects)
            destroy(head);
        cell->resources = nullptr;
    }
    std::vector<CPlayer*> loggedOut;
    CollectLoggedOutPlayers(loggedOut);
    for (CPlayer* player : loggedOut)
        destroy(player);
    // Whatever is left is detached; contents go with their containers.
    std::vector<u32> serials;
    g_objectManager.CollectAllSerials(serials);
    for (u32 serial : serials) {
        CItem* object = g_objectManager.FindBySerial(serial);
        if (object && !object->GetContainer()) destroy(object);
    }
}
