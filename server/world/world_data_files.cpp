#include "server/world/world_data_files.h"

#include <algorithm>
#include <cstdio>

#include "core/archive.h"
#include "core/byte_order.h"
#include "core/loop_state.h"
#include "server/world/base_object.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/world_init.h"

bool ReadArchiveFile(const std::string& path, std::vector<u8>& out) {
    out.clear();
    ArchiveHandle handle = ArchiveOpen(path.c_str(), "rb");
    if (!handle) return false;
    u8 chunk[65536];
    while (true) {
        const size_t got = ArchiveRead(chunk, 1, sizeof chunk, handle);
        if (got == 0) break;
        out.insert(out.end(), chunk, chunk + got);
    }
    ArchiveClose(handle);
    return true;
}

bool WriteArchiveFile(const std::string& path, const std::vector<u8>& bytes) {
    ArchiveHandle handle = ArchiveOpen(path.c_str(), "wb");
    if (!handle) return false;
    const size_t written = ArchiveWrite(bytes.data(), 1, bytes.size(), handle);
    ArchiveClose(handle);
    return written == bytes.size();
}

std::vector<u8> ComputeArtDimensions(const std::vector<u8>& artIndex, const std::vector<u8>& art) {
    std::vector<u8> table(static_cast<size_t>(kArtDimFileSize), 0);
    for (int i = 0; i < kTileCount; ++i) {
        const size_t record = static_cast<size_t>(kTileCount + i) * 12;
        if (record + 4 > artIndex.size()) continue;
        const u32 offset = LoadLe32(artIndex.data() + record);
        if (offset == 0xFFFFFFFFu || static_cast<size_t>(offset) + 8 > art.size()) continue;
        std::copy(art.begin() + offset + 4, art.begin() + offset + 8, table.begin() + i * 4);
    }
    return table;
}

std::string WorldDataPath(const std::string& world, const char* file) {
    return "../.rundir/" + world + "/" + file;
}

int LoadTerrain(const std::vector<u8>& bytes) {
    const size_t cells = static_cast<size_t>(g_sectorGrid.GetCellCount());
    if (bytes.size() < cells * kMapBlockSize) return -1;
    if (IsQuitting()) return 0;
    g_sectorGrid.BeginAccess();
    for (size_t n = 0; n < cells; ++n) {
        SectorCell* cell = g_sectorGrid.GetCell(static_cast<int>(n));
        const u8* block = bytes.data() + n * kMapBlockSize + 4;
        for (int i = 0; i < 64; ++i) {
            TerrainEntry& entry = cell->terrain[i / 8][i % 8];
            entry.tile = LoadLe16(block + i * 3);
            entry.z = static_cast<s8>(block[i * 3 + 2]);
        }
        cell->editFlags = 0;
    }
    g_sectorGrid.EndAccess();
    return 0;
}

int ReadStaticsRecord(int cell, const u8* bytes, size_t length) {
    int x = 0, y = 0;
    if (!g_sectorGrid.GetCell(cell)) return 0;
    g_sectorGrid.CellCorner(cell, x, y);
    SectorCell* target = g_sectorGrid.GetCell(cell);
    CStaticObject* const before = target->statics;
    int placed = 0;
    for (size_t at = 0; at + 7 <= length; at += 7) {
        const u8* r = bytes + at;
        CStaticObject* object = CStaticObject::Acquire();
        object->SetType(LoadLe16(r));
        object->SetHue(LoadLe16(r + 5));
        // The record holds x & 7 and y & 7: the tile of the cell with those low bits, which
        // is the corner plus the byte only when the world's corner is a multiple of 8.
        object->PlaceInWorldQuiet(
            Location(x + ((r[2] - x) & 7), y + ((r[3] - y) & 7), static_cast<s8>(r[4])));
        ++placed;
    }
    // Each static went to the head of the chain: turn the new ones round so that the chain
    // holds them in record order, and a save writes them back as they were read.
    CStaticObject* reversed = before;
    for (CStaticObject* s = target->statics; s != before;) {
        CStaticObject* next = s->next;
        s->next = reversed;
        if (reversed) reversed->prev = s;
        reversed = s;
        s = next;
    }
    target->statics = reversed;
    if (reversed) reversed->prev = nullptr;
    return placed;
}

bool SectorRecordAt(const std::vector<u8>& index, const std::vector<u8>& data, int n,
                    const u8*& bytes, size_t& length) {
    const size_t entry = static_cast<size_t>(n) * 12;
    if (n < 0 || entry + 12 > index.size()) return false;
    const u32 offset = LoadLe32(index.data() + entry);
    const u32 size = LoadLe32(index.data() + entry + 4);
    if (offset == 0xFFFFFFFFu || size == 0) return false;
    if (offset > data.size() || size > data.size() - offset) return false;
    bytes = data.data() + offset;
    length = size;
    return true;
}

int LoadStatics(const std::vector<u8>& index, const std::vector<u8>& data) {
    const int cells = g_sectorGrid.GetCellCount();
    int placed = 0;
    for (int n = 0; n < cells; ++n) {
        SectorCell* cell = g_sectorGrid.GetCell(n);
        while (CStaticObject* old = cell->statics)
            old->Release();
        const u8* record = nullptr;
        size_t length = 0;
        if (SectorRecordAt(index, data, n, record, length))
            placed += ReadStaticsRecord(n, record, length);
    }
    return placed;
}

int ReadGameHour(const std::vector<u8>* bytes) {
    if (!bytes || bytes->size() < 4) return 12;
    const u32 hour = LoadLe32(bytes->data());
    return hour <= 23 ? static_cast<int>(hour) : 12;
}

void LoadTypeScriptList(const std::vector<u8>& bytes, TypeScriptBitSet& bits) {
    s64 number = -1;
    for (u8 c : bytes) {
        if (c >= '0' && c <= '9') {
            if (number < 0) number = 0;
            if (number < 0x10000000) number = number * 10 + (c - '0');
            continue;
        }
        if (number > 0 && number < static_cast<s64>(bits.size())) bits.set(number);
        number = -1;
    }
}

bool RectanglesOverlap(int left1, int top1, int right1, int bottom1, int left2, int top2,
                       int right2, int bottom2) {
    return left2 < right1 && left1 < right2 && top2 < bottom1 && top1 < bottom2;
}

std::vector<ResourceRegion> LoadResourceRegions(const std::string& text, int x0, int y0, int width,
                                                int height) {
    std::vector<ResourceRegion> regions;
    size_t pos = 0;
    auto nextLine = [&](std::string& line) {
        if (pos >= text.size()) return false;
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        line = text.substr(pos, std::min<size_t>(end - pos, 511));
        pos = end + 1;
        return true;
    };
    std::string line;
    while (true) {
        ResourceRegion region{"", 0, 0, 0, 0};
        char name[512] = {};
        if (!nextLine(line) || std::sscanf(line.c_str(), "Region Name: %511s", name) != 1) break;
        region.name = name;
        if (!nextLine(line) || std::sscanf(line.c_str(), "Region Rect: %d %d %d %d", &region.left,
                                           &region.top, &region.right, &region.bottom) < 1) {
            break;
        }
        const int right = x0 + width;
        const int bottom = y0 + height;
        if (!RectanglesOverlap(region.left, region.top, region.right, region.bottom, x0, y0, right,
                               bottom)) {
            continue;
        }
        region.left = std::max(region.left, x0);
        region.top = std::max(region.top, y0);
        region.right = std::min(region.right, right);
        region.bottom = std::min(region.bottom, bottom);
        if (region.left < region.right && region.top < region.bottom) regions.push_back(region);
    }
    return regions;
}

namespace {
WorldDataResult g_loaded;
}  // namespace

const WorldDataResult& GetLoadedWorldData() {
    return g_loaded;
}

void SetLoadedWorldData(const WorldDataResult& result) {
    g_loaded = result;
}

int LoadWorldDataFiles(const DataFileReader& read, const std::string& world,
                       WorldDataResult* result, std::string* error, const DataFileWriter& write) {
    WorldLoadContext context;
    context.read = read;
    context.write = write;
    context.world = world;
    context.wholeWorld = false;
    WorldDataResult local;
    WorldDataResult& out = result ? *result : local;
    if (RunWorldLoadSequence(context, &out, error) != 0) return 1;
    g_loaded = out;
    return 0;
}
