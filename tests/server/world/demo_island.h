#pragma once
// The demo island of the content builder (1024 x 1024 tiles at the origin) loaded into the
// server's world model, for the tests and benchmarks that walk through the real map.
#include <string>
#include <vector>

#include "server/world/base_object.h"
#include "server/world/sector_grid.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/terrain.h"

inline constexpr int kDemoIslandSize = 1024;

// Builds the grid over the island and loads its data files under the world name; answers the
// loader's 0, or its failure with the reason in `error`. `result` (when given) gets what was
// loaded.
inline int LoadDemoIsland(const char* world, std::string& error,
                          WorldDataResult* result = nullptr) {
    if (g_sectorGrid.Build(0, 0, kDemoIslandSize, kDemoIslandSize) != 0) {
        error = "the sector grid could not be built";
        return -1;
    }
    const DataMembers members =
        BuildServerDataMembers(world, 0, 0, kDemoIslandSize, kDemoIslandSize);
    return LoadWorldDataFiles(
        [&](const std::string& path, std::vector<u8>& out) {
            auto it = members.find(path);
            if (it == members.end()) return false;
            out = it->second;
            return true;
        },
        world, result, &error);
}

// The named places of the island.
inline DemoPlaces DemoIslandPlaces() {
    return BuildDemoWorld(0, 0, kDemoIslandSize, kDemoIslandSize).places;
}

// Gives back the island's statics (the objects are the caller's to delete).
inline void ReleaseDemoIslandStatics() {
    for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
        while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
            s->Release();
    }
}
