// Fuzz target: the statics reader (`staidx0.mul`, 12 bytes per cell: offset, length, extra;
// `statics0.mul`, 7-byte records) over a small world area chosen by the input. Every static
// placed must lie in the cell its index entry names; the map queries then read them, and
// a reload with no files releases them all.
//
// Input: the world-area header of world_fuzz_support.h, the index length as a u16, the
// index, then the statics data.
#include <cstdint>
#include <cstdlib>

#include "server/world/base_object.h"
#include "server/world/map_queries.h"
#include "world_fuzz_support.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    world_fuzz::Area area;
    if (!world_fuzz::ReadArea(data, size, area)) return 0;
    size_t at = world_fuzz::kHeaderSize;
    if (size < at + 2) return 0;
    const size_t indexSize = std::min<size_t>(LoadLe16(data + at), size - at - 2);
    at += 2;
    const std::vector<u8> index(data + at, data + at + indexSize);
    const std::vector<u8> statics(data + at + indexSize, data + size);

    world_fuzz::InstallDemoTileData();
    world_fuzz::BuildArea(area);
    const int inUse = g_liveObjects.staticsInUse;
    const int placed = LoadStatics(index, statics);
    Check(placed >= 0 &&
          placed <= static_cast<int>(statics.size() / 7) * g_sectorGrid.GetCellCount());
    Check(g_liveObjects.staticsInUse == inUse + placed);

    int found = 0;
    for (int cell = 0; cell < g_sectorGrid.GetCellCount(); ++cell) {
        for (CStaticObject* s = g_sectorGrid.GetCell(cell)->statics; s; s = s->next) {
            const Location& loc = s->GetLocation();
            Check(g_sectorGrid.CellIndexAt(loc.x, loc.y) == cell);
            ++found;
            if (found % 7 == 0) {
                std::vector<MapSurface> surfaces;
                g_worldMap.CollectSurfaces(surfaces, loc, 1, nullptr, 0);
                g_worldMap.GetFloorZ(loc);
                g_worldMap.FindGoodZ(loc, -128, 127, 16, 1, nullptr, 0);
            }
        }
    }
    Check(found == placed);

    // A read with no files leaves no statics behind.
    LoadStatics({}, {});
    Check(g_liveObjects.staticsInUse == inUse);
    return 0;
}

// The demo world's statics as the content builder writes them, cut to a few areas (the
// index entries keep their offsets into the whole data file).
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const world_fuzz::DemoFiles& demo = world_fuzz::Demo();
    for (const world_fuzz::Cut& c : world_fuzz::SeedCuts()) {
        std::vector<u8> input = world_fuzz::Header(c.AreaOf());
        const std::vector<u8> index =
            world_fuzz::CutCells(demo.staticsIndex, 12, c.c0, c.r0, c.columns, c.rows);
        AppendLe16(input, static_cast<u16>(index.size()));
        input.insert(input.end(), index.begin(), index.end());
        input.insert(input.end(), demo.statics.begin(), demo.statics.end());
        emit(input.data(), input.size());
    }
}
