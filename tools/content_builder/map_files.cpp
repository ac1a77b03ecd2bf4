#include "tools/content_builder/map_files.h"

#include <cstring>

#include "core/byte_order.h"
#include "server/world/world_data_files.h"

namespace {
void PutName(u8* out, const char* name) {
    std::memset(out, 0, kTileNameSize);
    std::memcpy(out, name, strnlen(name, kTileNameSize));
}
}  // namespace

TerrainGrid::TerrainGrid(int x0_, int y0_, int width_, int height_, u16 tile, s8 z)
    : x0(x0_), y0(y0_), width(width_), height(height_) {
    cells.assign(static_cast<size_t>(width) * height, Cell{tile, z});
}

std::vector<u8> WriteMapFile(const TerrainGrid& terrain) {
    std::vector<u8> out;
    const int columns = terrain.width / 8;
    const int rows = terrain.height / 8;
    out.reserve(static_cast<size_t>(columns) * rows * kMapBlockSize);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            AppendLe32(out, 0);
            // Entries are ordered by y & 7, then x & 7, whatever the corner of the world: the
            // tile of slot (r, c) is the one of the block whose low three bits are r and c.
            const int bx = terrain.x0 + column * 8;
            const int by = terrain.y0 + row * 8;
            for (int r = 0; r < 8; ++r) {
                for (int c = 0; c < 8; ++c) {
                    const TerrainGrid::Cell& cell =
                        terrain.At(bx + ((c - bx) & 7), by + ((r - by) & 7));
                    AppendLe16(out, cell.tile);
                    out.push_back(static_cast<u8>(cell.z));
                }
            }
        }
    }
    return out;
}

void WriteStaticsFiles(const TerrainGrid& area, const std::vector<StaticEntry>& statics,
                       std::vector<u8>& index, std::vector<u8>& data) {
    const int columns = area.width / 8;
    const int rows = area.height / 8;
    std::vector<std::vector<const StaticEntry*>> perCell(static_cast<size_t>(columns) * rows);
    for (const StaticEntry& s : statics) {
        if (s.x < area.x0 || s.y < area.y0) continue;
        const int column = (s.x - area.x0) >> 3;
        const int row = (s.y - area.y0) >> 3;
        if (column >= columns || row >= rows) continue;
        perCell[static_cast<size_t>(column) * rows + row].push_back(&s);
    }
    index.clear();
    data.clear();
    for (const auto& cell : perCell) {
        if (cell.empty()) {
            AppendLe32(index, 0xFFFFFFFFu);
            AppendLe32(index, 0);
            AppendLe32(index, 0);
            continue;
        }
        AppendLe32(index, static_cast<u32>(data.size()));
        AppendLe32(index, static_cast<u32>(cell.size() * 7));
        AppendLe32(index, 0);
        for (const StaticEntry* s : cell) {
            AppendLe16(data, s->graphic);
            data.push_back(static_cast<u8>(s->x & 7));
            data.push_back(static_cast<u8>(s->y & 7));
            data.push_back(static_cast<u8>(s->z));
            AppendLe16(data, s->hue);
        }
    }
}

void WriteLandTileRecord(const LandTileRecord& r, u8* out) {
    StoreLe32(out, r.flags);
    StoreLe16(out + 4, r.texture);
    PutName(out + 6, r.name);
}

void WriteStaticTileRecord(const StaticTileRecord& r, u8* out) {
    StoreLe32(out, r.flags);
    out[4] = r.weight;
    out[5] = r.layer;
    StoreLe32(out + 6, r.value);
    StoreLe16(out + 10, r.animation);
    StoreLe16(out + 12, r.hue);
    StoreLe16(out + 14, r.light);
    out[16] = r.height;
    PutName(out + 17, r.name);
}

std::vector<u8> WriteTileDataFile(const TileSet& tiles) {
    // Block headers are written as zeros.
    std::vector<u8> out(kTileDataFileSize, 0);
    size_t at = 0;
    for (int i = 0; i < kTileCount; ++i) {
        if (i % kTileGroupSize == 0) at += 4;
        WriteLandTileRecord(tiles.land[i], out.data() + at);
        at += kLandRecordSize;
    }
    for (int i = 0; i < kTileCount; ++i) {
        if (i % kTileGroupSize == 0) at += 4;
        WriteStaticTileRecord(tiles.statics[i], out.data() + at);
        at += kStaticRecordSize;
    }
    return out;
}

std::vector<u8> WriteHuesFile(const std::vector<HueRecord>& hues, int count) {
    std::vector<u8> out;
    out.reserve(static_cast<size_t>(count / kHueGroupSize) * (4 + kHueGroupSize * kHueRecordSize));
    for (int i = 0; i < count; ++i) {
        if (i % kHueGroupSize == 0) AppendLe32(out, 0);
        const HueRecord blank{};
        const HueRecord& h = i < static_cast<int>(hues.size()) ? hues[i] : blank;
        for (u16 c : h.colours)
            AppendLe16(out, c);
        AppendLe16(out, h.tableStart);
        AppendLe16(out, h.tableEnd);
        out.insert(out.end(), h.name, h.name + sizeof h.name);
    }
    return out;
}

std::vector<u8> WriteAnimDataFile(const std::vector<AnimRecord>& records) {
    std::vector<u8> out;
    out.reserve(kAnimDataFileSize);
    for (int i = 0; i < kTileCount; ++i) {
        if (i % kAnimGroupSize == 0) AppendLe32(out, 0);
        const AnimRecord blank{};
        const AnimRecord& r = i < static_cast<int>(records.size()) ? records[i] : blank;
        for (s8 f : r.frames)
            out.push_back(static_cast<u8>(f));
        out.push_back(r.startFrame);
        out.push_back(r.frameCount);
        out.push_back(r.interval);
        out.push_back(r.startOffset);
    }
    return out;
}

std::vector<u8> WriteArtDimensionsFile(const std::vector<std::pair<u16, u16>>& sizes) {
    std::vector<u8> out;
    out.reserve(kArtDimFileSize);
    for (int i = 0; i < kTileCount; ++i) {
        const auto size = i < static_cast<int>(sizes.size()) ? sizes[i] : std::pair<u16, u16>{};
        AppendLe16(out, size.first);
        AppendLe16(out, size.second);
    }
    return out;
}

std::vector<u8> WriteTimeFile(u32 hour) {
    std::vector<u8> out;
    AppendLe32(out, hour);
    return out;
}
