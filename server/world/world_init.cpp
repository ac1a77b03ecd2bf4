#include "server/world/world_init.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/archive.h"
#include "core/server_config.h"
#include "server/net/local_connection.h"
#include "server/world/sector_grid.h"
#include "server/world/world_data_files.h"
#include "server/world/world_model_services.h"

namespace {

// A world that cannot be built is no world to serve: the process ends with exit code 1.
[[noreturn]] void StartupFailure(const std::string& message) {
    std::fprintf(stderr, "zqdemo: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

void CreateWorld(int width, int height) {
    g_sectorGrid.SetCorner(g_serverConfig.x, g_serverConfig.y);
    if (g_sectorGrid.Create(width, height) != 0) {
        StartupFailure("the world size " + std::to_string(width) + " x " + std::to_string(height) +
                       " in server.txt gives no map cells");
    }
    InstallWorldModelServices();
    // The player and NPC grids, the region manager and the rest of the world load sequence
    // join here as their parts are built. The server proper has opened its data archive
    // before it gets here; without one (the main loop's own tests) the world stays empty.
    if (GetDataArchive() == nullptr) {
        LoadTextFiles();
        return;
    }
    std::string error;
    WorldDataResult result;
    if (LoadWorldDataFiles(ReadArchiveFile, g_serverConfig.serverName, &result, &error,
                           WriteArchiveFile) != 0) {
        StartupFailure(error);
    }
    LoadTextFiles();
}
