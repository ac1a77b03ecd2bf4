// Fuzz target: the tile data reader (`tiledata.mul`) and the readers of the tables that
// travel with it (hues, animation data, art sizes), then the map queries that act on what
// they read (flags, heights, names) over a piece of the demo world's terrain and statics.
//
// Input: the tile data file. An input shorter than a whole file is refused as it is, and is
// then repeated to the file's length so that every record comes from the input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "server/world/base_object.h"
#include "server/world/map_queries.h"
#include "world_fuzz_support.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// `size` bytes made of the input repeated (zeros for an empty input).
std::vector<u8> Repeated(const uint8_t* data, size_t length, size_t size) {
    std::vector<u8> out(size, 0);
    if (length == 0) return out;
    for (size_t at = 0; at < size; at += length)
        std::memcpy(&out[at], data, std::min(length, size - at));
    return out;
}

// The busiest 8 x 8 cells of the demo world, loaded once.
world_fuzz::Area LoadDemoArea() {
    const world_fuzz::DemoFiles& demo = world_fuzz::Demo();
    const world_fuzz::Cut busiest = world_fuzz::SeedCuts().front();
    const world_fuzz::Area area = busiest.AreaOf();
    world_fuzz::InstallDemoTileData();
    world_fuzz::BuildArea(area);
    LoadTerrain(world_fuzz::CutCells(demo.map, kMapBlockSize, busiest.c0, busiest.r0,
                                     busiest.columns, busiest.rows));
    LoadStatics(world_fuzz::CutCells(demo.staticsIndex, 12, busiest.c0, busiest.r0, busiest.columns,
                                     busiest.rows),
                demo.statics);
    return area;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const world_fuzz::Area area = LoadDemoArea();
    TileData& tiles = GetTileData();
    const bool whole = size >= static_cast<size_t>(kTileDataFileSize);
    Check(tiles.ReadTileData(data, size) == whole);
    // One repeated image serves every table: it is as long as the longest file.
    const size_t longest = static_cast<size_t>(
        std::max({kTileDataFileSize, kHuesFileSize, kAnimDataFileSize, kArtDimFileSize}));
    const std::vector<u8> file = Repeated(data, size, longest);
    Check(tiles.ReadTileData(file.data(), kTileDataFileSize));
    Check(tiles.ReadHues(file.data(), kHuesFileSize));
    Check(tiles.ReadAnimData(file.data(), kAnimDataFileSize));
    Check(tiles.ReadArtDimensions(file.data(), kArtDimFileSize));
    Check(!tiles.ReadHues(file.data(), kHuesFileSize - 1));

    // Names are always terminated; lookups outside the tables answer empty records.
    for (int i = -1; i <= kTileCount; i += 97) {
        Check(std::strlen(tiles.Land(i).name) < sizeof tiles.Land(i).name);
        Check(std::strlen(tiles.Static(i).name) < sizeof tiles.Static(i).name);
        int w = 0, h = 0;
        tiles.GetArtSize(i, w, h);
        tiles.HueRecord(i);
        tiles.AnimRecord(i);
    }

    // The map queries over the demo area, with the flags and heights of the input.
    u32 h = 2166136261u;
    for (size_t i = 0; i < std::min<size_t>(size, 4096); ++i)
        h = (h ^ data[i]) * 16777619u;
    for (int k = 0; k < 48; ++k) {
        h = h * 1103515245u + 12345u;
        const int x = area.x0 + static_cast<int>(h >> 8) % area.Width();
        const int y = area.y0 + static_cast<int>(h >> 18) % area.Height();
        const Location at(x, y, static_cast<int>(h & 0x7F) - 64);
        std::vector<MapSurface> surfaces;
        g_worldMap.CollectSurfaces(surfaces, at, 1 + static_cast<int>(h % 3), nullptr, 0);
        g_worldMap.FindGoodZ(at, -128, 127, 16, 1, nullptr, 0);
        g_worldMap.CanExistAt(at, 16, 1, nullptr, 0);
        g_worldMap.GetFloorZ(at);
        int low = 0, high = 0;
        g_worldMap.GetStandRange(low, high, at, static_cast<int>(h % 8), 1, nullptr,
                                 StandTerrain::kTowardsDirection);
        const Location to(area.x0 + static_cast<int>(h >> 4) % area.Width(),
                          area.y0 + static_cast<int>(h >> 14) % area.Height(), at.z);
        g_worldMap.HasLineOfSight(at, to, static_cast<SightBlockers>((h >> 30) % 3));
    }
    return 0;
}

// The demo's tile data as the content builder writes it, whole and as a few short pieces.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8>& file = world_fuzz::Demo().tileData;
    emit(file.data(), file.size());
    // One group of land records, and one of statics, as repeating patterns.
    const size_t landGroup = 4 + kTileGroupSize * kLandRecordSize;
    emit(file.data(), landGroup);
    const size_t staticsStart = (kTileCount / kTileGroupSize) * landGroup;
    const size_t staticsGroup = 4 + kTileGroupSize * kStaticRecordSize;
    emit(file.data() + staticsStart + 40 * staticsGroup, staticsGroup);
}
