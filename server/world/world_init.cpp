#include "server/world/world_init.h"

#include <cstdio>
#include <string>

#include "core/archive.h"
#include "server/area/regions.h"
#include "server/net/net_services.h"
#include "server/server_config.h"
#include "server/world/object_templates.h"
#include "server/world/sector_grid.h"
#include "server/world/skill_table.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"

namespace {

bool g_worldLoaded = false;

// A world that cannot be built is no world to serve: the reason goes to standard error and
// the caller ends the process with exit code 1.
int StartupFailure(const std::string& message) {
    std::fprintf(stderr, "zqdemo: %s\n", message.c_str());
    std::fflush(stderr);
    return 1;
}

}  // namespace

int CreateWorld(int width, int height) {
    g_sectorGrid.SetCorner(g_serverConfig.x, g_serverConfig.y);
    if (g_sectorGrid.Create(width, height) != 0) {
        return StartupFailure("the world size " + std::to_string(width) + " x " +
                              std::to_string(height) + " in server.txt gives no map cells");
    }
    // The player and NPC grids, the region manager and the rest of the world load sequence
    // join here as their parts are built. The server proper has opened its data archive
    // before it gets here; without one (the main loop's own tests) the world stays empty.
    if (GetDataArchive() == nullptr) {
        GetNetServices().LoadTextFiles();
        g_worldLoaded = true;
        return 0;
    }
    std::string error;
    WorldDataResult result;
    if (LoadWorldDataFiles(ReadArchiveFile, g_serverConfig.serverName, &result, &error,
                           WriteArchiveFile) != 0) {
        // Say where the world's files were looked for.
        if (!error.empty() && error.back() == '.') error.pop_back();
        return StartupFailure(error + " (looked for in the data archive " +
                              GetDataArchive()->Label() + ").");
    }
    g_weaponTemplates.LoadAll();
    g_skillTable.Load();
    // Regions, then the templates with their name sets and defines: creation reads both.
    g_regionManager.Load();
    g_templateTable.Load();
    GetNetServices().LoadTextFiles();
    g_worldLoaded = true;
    return 0;
}

bool IsWorldLoaded() {
    return g_worldLoaded;
}
