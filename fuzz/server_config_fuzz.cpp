// Fuzz target: the reader of the world's configuration `server.txt` (entries between '<' and
// '>', read from the data archive). A configuration it accepts must describe a world whose
// every tile has coordinates a Location holds; a small one is then built (sector grid and
// NPC grid) and its corners looked up.
//
// Input: the text of server.txt.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "server/server_config.h"
#include "server/world/mobile_table.h"
#include "server/world/sector_grid.h"
#include "tools/content_builder/server_content.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ArchiveBuilder builder;
    if (!builder.Add(ServerConfigPath("ZQGoldDemo"), std::vector<u8>(data, data + size))) return 0;
    const std::vector<u8> archive = builder.Build();
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return 0;
    if (std::fwrite(archive.data(), 1, archive.size(), file) != archive.size()) {
        std::fclose(file);
        return 0;
    }
    std::fflush(file);
    Check(InitDataArchiveFromFile(file, "fuzz input"));

    ServerConfig config;
    std::string error;
    const bool read = ReadServerConfig(config, &error);
    ShutdownDataArchive();
    if (!read) {
        Check(!error.empty());
        return 0;
    }
    Check(config.owner.size() <= 127 && config.serverName == "ZQGoldDemo");
    Check(config.worldFilePaths[0] == "../.rundir/ZQGoldDemo/map0.mul");
    const s64 lastX = s64(config.x) + config.width - 1;
    const s64 lastY = s64(config.y) + config.height - 1;
    Check(config.x >= kMinWorldCoordinate && config.y >= kMinWorldCoordinate);
    Check(config.width <= 0 || lastX <= kMaxWorldCoordinate);
    Check(config.height <= 0 || lastY <= kMaxWorldCoordinate);

    // A world of up to 64 x 64 cells is built as the server builds it.
    if (config.width >= 8 && config.height >= 8 && config.width <= 512 && config.height <= 512) {
        g_sectorGrid.SetCorner(config.x, config.y);
        Check(g_sectorGrid.Create(config.width, config.height) == 0);
        Check(g_sectorGrid.CellIndexAt(config.x, config.y) == 0);
        const int lastCell = g_sectorGrid.GetCellCount() - 1;
        const int right = config.x + (config.width / 8) * 8 - 1;
        const int bottom = config.y + (config.height / 8) * 8 - 1;
        Check(g_sectorGrid.CellIndexAt(right, bottom) == lastCell);
        Check(g_sectorGrid.CellIndexAt(right + 1, bottom) == -1);
        Check(g_mobileTable.GetGrid() != nullptr);
        g_mobileTable.GetGrid()->Contains(right, bottom);
    }
    g_spawnClient = 1;
    return 0;
}

// The content builder's default server.txt, and a few corners.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string seeds[] = {
        DefaultServerTxt(),
        "<x 31744> <y 100>\n<width 64>\n<height 128>\n<owner Me>\n<spawnclient 0>",
        "<x 2147483600>\n<width 1024>",
        "<X -32768> <Y 32759> <WIDTH 8> <HEIGHT 8> <@@@ end @@@> <x 5>",
        "<templates write> <statics read> <startx 70000> <port 99999999999",
    };
    for (const std::string& s : seeds)
        emit(reinterpret_cast<const u8*>(s.data()), s.size());
}
