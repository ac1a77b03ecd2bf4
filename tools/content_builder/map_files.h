#pragma once
// Writers of the binary world data files: the terrain (`map0.mul`), the statics pair
// (`staidx0.mul` / `statics0.mul`), the tile data (`tiledata.mul`), the hues (`hues.mul`),
// the animation data (`animdata.mul`), the art sizes (`artdim.dat`) and the starting hour
// (`time.mul`). All fields little-endian; the same bytes for the same input on every build.
#include <vector>

#include "platform/types.h"
#include "server/world/tile_data.h"

// A rectangle of terrain: one {tile, z} per tile, row by row (index (y - y0) * width + x - x0).
struct TerrainGrid {
    int x0 = 0;
    int y0 = 0;
    int width = 0;
    int height = 0;
    struct Cell {
        u16 tile = 0;
        s8 z = 0;
    };
    std::vector<Cell> cells;

    TerrainGrid() = default;
    TerrainGrid(int x0, int y0, int width, int height, u16 tile, s8 z);
    bool Contains(int x, int y) const {
        return x >= x0 && y >= y0 && x < x0 + width && y < y0 + height;
    }
    Cell& At(int x, int y) { return cells[static_cast<size_t>(y - y0) * width + (x - x0)]; }
    const Cell& At(int x, int y) const {
        return cells[static_cast<size_t>(y - y0) * width + (x - x0)];
    }
};

// One piece of fixed scenery.
struct StaticEntry {
    u16 graphic;
    int x;
    int y;
    s8 z;
    u16 hue;
};

// The tile set: 0x4000 land and 0x4000 static records.
struct TileSet {
    std::vector<LandTileRecord> land = std::vector<LandTileRecord>(kTileCount);
    std::vector<StaticTileRecord> statics = std::vector<StaticTileRecord>(kTileCount);
};

// One block of 196 bytes per 8 x 8 cell, cells column by column (block = column * rows + row).
std::vector<u8> WriteMapFile(const TerrainGrid& terrain);
// The statics of each cell as 7-byte records; the index holds {offset, length, 0} per cell,
// offset 0xFFFFFFFF for an empty cell. Statics outside the rectangle are left out.
void WriteStaticsFiles(const TerrainGrid& area, const std::vector<StaticEntry>& statics,
                       std::vector<u8>& index, std::vector<u8>& data);
// The tile data: every record of the set in the file's layout (core/tile_data_record.h), with
// zero block headers. The record writers put one record at `out` (kLandRecordSize or
// kStaticRecordSize bytes); tests build tile-data blocks with them.
std::vector<u8> WriteTileDataFile(const TileSet& tiles);
void WriteLandTileRecord(const LandTileRecord& record, u8* out);
void WriteStaticTileRecord(const StaticTileRecord& record, u8* out);
// Hues in groups of 8, each 32 colours, a table start and end, and a name: `count` records
// (the server's file holds 1024, the client's 3000; missing records are blank).
struct HueRecord {
    u16 colours[32];
    u16 tableStart;
    u16 tableEnd;
    char name[20];
};
std::vector<u8> WriteHuesFile(const std::vector<HueRecord>& hues, int count = kHueCount);
// 0x4000 records of 64 frame offsets and four bytes: the starting frame, the frame count, the
// interval in ticks (0: not animated) and the start offset of the timing.
struct AnimRecord {
    s8 frames[64];
    u8 startFrame;
    u8 frameCount;
    u8 interval;
    u8 startOffset;
};
std::vector<u8> WriteAnimDataFile(const std::vector<AnimRecord>& records);
// Width and height of each static graphic's art.
std::vector<u8> WriteArtDimensionsFile(const std::vector<std::pair<u16, u16>>& sizes);
std::vector<u8> WriteTimeFile(u32 hour);
