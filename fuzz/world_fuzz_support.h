#pragma once
// What the world-data fuzz targets share: a small world area chosen by the input's first
// bytes, the demo tile set, and seeds cut from the demo world that the content builder
// writes (the same writers as the shipped archive).
//
// Input header (6 bytes): columns - 1 and rows - 1 of the area in cells of 8 tiles (each
// taken modulo kMaxAreaCells), then the corner's x and y as u16 (taken modulo a little more
// than the surface, so corners that are not multiples of 8 and areas past the surface's
// edge are reached). The rest is the file under test.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/location.h"
#include "platform/types.h"
#include "server/world/mobile_table.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/tile_set.h"

namespace world_fuzz {

constexpr int kHeaderSize = 6;
constexpr int kMaxAreaCells = 16;

struct Area {
    int x0 = 0;
    int y0 = 0;
    int columns = 1;
    int rows = 1;
    int Width() const { return columns * 8; }
    int Height() const { return rows * 8; }
};

// The area the header names; false when the input is shorter than the header.
inline bool ReadArea(const u8* data, size_t size, Area& area) {
    if (size < static_cast<size_t>(kHeaderSize)) return false;
    area.columns = 1 + data[0] % kMaxAreaCells;
    area.rows = 1 + data[1] % kMaxAreaCells;
    area.x0 = LoadLe16(data + 2) % (kSurfaceWidth + 200);
    area.y0 = LoadLe16(data + 4) % (kSurfaceHeight + 200);
    return true;
}

inline std::vector<u8> Header(const Area& area) {
    std::vector<u8> h(kHeaderSize);
    h[0] = static_cast<u8>(area.columns - 1);
    h[1] = static_cast<u8>(area.rows - 1);
    StoreLe16(&h[2], static_cast<u16>(area.x0));
    StoreLe16(&h[4], static_cast<u16>(area.y0));
    return h;
}

// The demo tile set in the tile data, read through the server's own reader (once).
inline void InstallDemoTileData() {
    static const bool done = [] {
        const std::vector<u8> bytes = WriteTileDataFile(DemoTileSet());
        GetTileData().ReadTileData(bytes.data(), bytes.size());
        return true;
    }();
    (void)done;
}

// Makes the sector grid and the NPC grid cover the area.
inline void BuildArea(const Area& area) {
    g_sectorGrid.Build(area.x0, area.y0, area.Width(), area.Height());
    g_mobileTable.CreateGrid(area.x0, area.y0, area.Width(), area.Height());
}

// The smallest demo world the content builder makes, and its files.
struct DemoFiles {
    static constexpr int kSide = 256;
    static constexpr int kCells = kSide / 8;  // per side
    std::vector<u8> map;
    std::vector<u8> staticsIndex;
    std::vector<u8> statics;
    std::string resourceRegions;
    std::vector<u8> tileData;
};

inline const DemoFiles& Demo() {
    static const DemoFiles files = [] {
        DemoFiles f;
        DataMembers members =
            BuildServerDataMembers("Fuzz", 0, 0, DemoFiles::kSide, DemoFiles::kSide);
        f.map = members[WorldDataPath("Fuzz", "map0.mul")];
        f.staticsIndex = members[WorldDataPath("Fuzz", "staidx0.mul")];
        f.statics = members[WorldDataPath("Fuzz", "statics0.mul")];
        const std::vector<u8>& regions = members[WorldDataPath("Fuzz", "resregions.txt")];
        f.resourceRegions.assign(regions.begin(), regions.end());
        f.tileData = members[kTileDataPath];
        return f;
    }();
    return files;
}

// The cell blocks of a sub-rectangle of the demo world (cells column by column, `size`
// bytes per cell), starting at cell column c0 and row r0.
inline std::vector<u8> CutCells(const std::vector<u8>& file, size_t size, int c0, int r0,
                                int columns, int rows) {
    std::vector<u8> out;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const size_t at = (static_cast<size_t>(c0 + c) * DemoFiles::kCells + (r0 + r)) * size;
            if (at + size <= file.size()) out.insert(out.end(), &file[at], &file[at] + size);
        }
    }
    return out;
}

// The 8 x 8 cell window of the demo world with the most statics (its first cell).
inline void BusiestWindow(int& c0, int& r0) {
    const DemoFiles& demo = Demo();
    auto length = [&](int c, int r) -> u64 {
        const size_t at = (static_cast<size_t>(c) * DemoFiles::kCells + r) * 12;
        if (at + 12 > demo.staticsIndex.size()) return 0;
        if (LoadLe32(&demo.staticsIndex[at]) == 0xFFFFFFFFu) return 0;
        return LoadLe32(&demo.staticsIndex[at + 4]);
    };
    u64 best = 0;
    c0 = r0 = 0;
    for (int c = 0; c + 8 <= DemoFiles::kCells; c += 4) {
        for (int r = 0; r + 8 <= DemoFiles::kCells; r += 4) {
            u64 sum = 0;
            for (int i = 0; i < 8; ++i) {
                for (int j = 0; j < 8; ++j)
                    sum += length(c + i, r + j);
            }
            if (sum > best) {
                best = sum;
                c0 = c;
                r0 = r;
            }
        }
    }
}

// A piece of the demo world that a seed covers: the cells from column c0 and row r0, and
// the area's corner moved off the cell lines by (cornerDx, cornerDy).
struct Cut {
    int c0, r0, columns, rows, cornerDx, cornerDy;

    Area AreaOf() const {
        Area area;
        area.columns = columns;
        area.rows = rows;
        area.x0 = c0 * 8 + cornerDx;
        area.y0 = r0 * 8 + cornerDy;
        return area;
    }
};

// The pieces the world targets seed from: the busiest 8 x 8 cells on whole cells and off
// the cell lines, a single cell, and a narrow area.
inline std::vector<Cut> SeedCuts() {
    int c0 = 0, r0 = 0;
    BusiestWindow(c0, r0);
    return {{c0, r0, 8, 8, 0, 0},
            {c0, r0, 8, 8, 3, 5},
            {0, 0, 1, 1, 0, 0},
            {c0 + 2, r0 + 1, 5, 3, 0, 0}};
}

}  // namespace world_fuzz
