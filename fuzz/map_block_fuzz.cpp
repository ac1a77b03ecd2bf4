// Fuzz target: the terrain reader (`map0.mul`, one 196-byte block per cell) over a small
// world area chosen by the input, and the map queries that read the terrain it leaves:
// tiles, corner heights, elevations, floors, the z a mover fits at and lines of sight.
//
// Input: the world-area header of world_fuzz_support.h, then the map file.
#include <cstdint>
#include <cstdlib>

#include "server/world/map_queries.h"
#include "world_fuzz_support.h"

namespace {

u32 Mix(u32 h, u32 v) {
    return (h ^ v) * 16777619u;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    world_fuzz::Area area;
    if (!world_fuzz::ReadArea(data, size, area)) return 0;
    world_fuzz::InstallDemoTileData();
    world_fuzz::BuildArea(area);
    const std::vector<u8> map(data + world_fuzz::kHeaderSize, data + size);
    const int loaded = LoadTerrain(map);
    const size_t needed = static_cast<size_t>(g_sectorGrid.GetCellCount()) * kMapBlockSize;
    if ((loaded == 0) != (map.size() >= needed)) std::abort();  // short files only refused

    // Tiles of the area and one tile beyond each edge, plus a spread of far places.
    u32 h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = Mix(h, data[i]);
    const int step = std::max(1, (area.Width() * area.Height()) / 256);
    int n = 0;
    for (int y = area.y0 - 1; y <= area.y0 + area.Height(); ++y) {
        for (int x = area.x0 - 1; x <= area.x0 + area.Width(); ++x) {
            const bool edge = x < area.x0 || y < area.y0 || x >= area.x0 + area.Width() - 1 ||
                              y >= area.y0 + area.Height() - 1;
            if (!edge && (n++ % step) != 0) continue;
            const Location at(x, y, 0);
            g_worldMap.GetTerrainTileAt(x, y);
            g_worldMap.GetCornerZ(x, y);
            g_worldMap.GetElevation(x, y);
            g_worldMap.GetLowestCornerZ(x, y);
            g_worldMap.GetTerrainZTowards(at, static_cast<int>(h % 8));
            g_worldMap.IsInvalidTerrainAt(at);
            g_worldMap.GetFloorZ(at);
            std::vector<MapSurface> surfaces;
            g_worldMap.CollectSurfaces(surfaces, at, 1, nullptr, 0);
            g_worldMap.FindGoodZ(at, -128, 127, 16, 1, nullptr, 0);
            h = Mix(h, static_cast<u32>(x * 31 + y));
            const Location to(area.x0 + static_cast<int>(h % (area.Width() + 16)) - 8,
                              area.y0 + static_cast<int>((h >> 12) % (area.Height() + 16)) - 8,
                              static_cast<int>(h >> 24) - 128);
            g_worldMap.HasLineOfSight(at, to, kSightTerrainOnly);
        }
    }
    return 0;
}

// The demo world's terrain as the content builder writes it, cut to a few areas.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const world_fuzz::DemoFiles& demo = world_fuzz::Demo();
    for (const world_fuzz::Cut& c : world_fuzz::SeedCuts()) {
        std::vector<u8> input = world_fuzz::Header(c.AreaOf());
        const std::vector<u8> blocks =
            world_fuzz::CutCells(demo.map, kMapBlockSize, c.c0, c.r0, c.columns, c.rows);
        input.insert(input.end(), blocks.begin(), blocks.end());
        emit(input.data(), input.size());
    }
    // An area at the surface's far edge, on the demo's first cells.
    world_fuzz::Area edge;
    edge.columns = 4;
    edge.rows = 2;
    edge.x0 = kSurfaceWidth - 16;
    edge.y0 = kSurfaceHeight - 8;
    std::vector<u8> input = world_fuzz::Header(edge);
    const std::vector<u8> blocks = world_fuzz::CutCells(demo.map, kMapBlockSize, 0, 0, 4, 2);
    input.insert(input.end(), blocks.begin(), blocks.end());
    emit(input.data(), input.size());
}
