#include "server/world/multi_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/file_layer.h"
#include "core/log_sink.h"
#include "platform/save_file.h"
#include "server/world/item.h"
#include "server/world/map_queries.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"

CMultiTable g_multiTable;

namespace {
// Hands out the file's lines as the reader of a text file with a 512-byte buffer does: at
// most 511 characters at a time (a longer line comes in pieces), without the line end.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool Next(std::string& line) {
        if (pos_ >= text_.size()) return false;
        size_t end = text_.find('\n', pos_);
        const bool whole = end != std::string_view::npos &&
                           end - pos_ <= static_cast<size_t>(CMultiTable::kMaxLine);
        if (whole) {
            line.assign(text_.substr(pos_, end - pos_));
            pos_ = end + 1;
        } else {
            const size_t n = std::min<size_t>(text_.size() - pos_, CMultiTable::kMaxLine);
            line.assign(text_.substr(pos_, n));
            pos_ += n;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// A line holding one number; a line without one reads as 0.
int ReadNumber(const std::string& line) {
    long value = 0;
    if (std::sscanf(line.c_str(), "%ld", &value) != 1) return 0;
    return static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

// Splits at blanks, skipping empty words.
void SplitWords(const char* text, std::vector<std::string>& out) {
    while (*text) {
        while (*text == ' ') ++text;
        const char* start = text;
        while (*text && *text != ' ') ++text;
        if (text > start) out.emplace_back(start, text);
    }
}

MultiComponentEntry ReadComponent(const std::string& line, int version) {
    MultiComponentEntry e;
    long g = 0, x = -1, y = -1, z = -1, flags = 0;
    char rest[CMultiTable::kMaxLine + 1] = {};
    int read;
    if (version < 4) {
        read = std::sscanf(line.c_str(), "%ld %ld %ld %ld %511s", &g, &x, &y, &z, rest);
    } else {
        read = std::sscanf(line.c_str(), "%ld %ld %ld %ld %ld %511[^\n]", &g, &x, &y, &z, &flags,
                           rest);
    }
    // Fields past the first one that did not scan keep their defaults.
    if (read >= 1) e.graphic = static_cast<u16>(g);
    if (read >= 2) e.offset.x = static_cast<s16>(x);
    if (read >= 3) e.offset.y = static_cast<s16>(y);
    if (read >= 4) e.offset.z = static_cast<s16>(z);
    if (version < 4) {
        if (read == 5) e.scripts.emplace_back(rest);
    } else {
        if (read >= 5) e.flags = static_cast<s32>(std::clamp<long>(flags, INT32_MIN, INT32_MAX));
        if (read == 6) SplitWords(rest, e.scripts);
    }
    return e;
}

void Fold(s16 value, bool& first, s16& lo, s16& hi) {
    if (first) {
        lo = hi = value;
        first = false;
        return;
    }
    lo = std::min(lo, value);
    hi = std::max(hi, value);
}

void PutLe(std::vector<u8>& out, u32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<u8>(value >> (8 * i)));
}
}  // namespace

void ComputeMultiExtents(CMultiDef& def) {
    def.min = Location(-1, -1, -256);
    def.max = Location(-1, -1, -256);
    bool fx = true, fy = true, fz = true;
    for (const MultiComponentEntry& e : def.components) {
        Fold(e.offset.x, fx, def.min.x, def.max.x);
        Fold(e.offset.y, fy, def.min.y, def.max.y);
        Fold(e.offset.z, fz, def.min.z, def.max.z);
    }
}

void CMultiTable::LoadMultiText() {
    defs_.clear();
    ArchiveHandle file = net_openfile(kMultiTextFileId, nullptr, "r");
    std::vector<u8> bytes;
    const bool read = file && ReadWholeArchiveFile(file, bytes);
    if (file) ArchiveClose(file);
    if (!read || bytes.empty()) {
        GetLogSink().Log(0, 0, 0, "", "load", "error",
                         "multi.txt is missing or unreadable: no multi types are defined");
        return;
    }
    LoadText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void CMultiTable::LoadText(std::string_view text) {
    defs_.clear();
    LineReader lines(text);
    std::string line;
    if (!lines.Next(line)) return;
    const int version = ReadNumber(line);
    if (version < kLowestVersion) return;
    const int unused = version >= 6 ? 1 : (version <= 4 ? 2 : 0);
    while (lines.Next(line)) {
        const int type = ReadNumber(line);
        bool ended = false;
        for (int i = 0; i < unused && !ended; ++i) ended = !lines.Next(line);
        if (ended || !lines.Next(line)) break;
        const int count = ReadNumber(line);
        CMultiDef def;
        for (int i = 0; i < count && lines.Next(line); ++i)
            def.components.push_back(ReadComponent(line, version));
        ComputeMultiExtents(def);
        Insert(type, std::move(def));
    }
}

const CMultiDef* CMultiTable::Find(int type) const {
    auto it = defs_.find(type);
    return it == defs_.end() ? nullptr : &it->second;
}

bool CMultiTable::Insert(int type, CMultiDef def) {
    return defs_.emplace(type, std::move(def)).second;
}

int CMultiTable::CanExistAt(int type, const Location& at, int moveType) const {
    const CMultiDef* def = Find(type);
    if (!def) return kMultiNoDefinition;
    for (const MultiComponentEntry& e : def->components) {
        const Location spot = at + e.offset;
        if (!g_sectorGrid.Contains(spot.x, spot.y)) return kMultiOffMap;
        const int height = GetTileData().Static(e.graphic).height;
        if (!(g_worldMap.CanExistAt(spot, height, moveType, nullptr, 0) & kExistSurfaceThere))
            return kMultiBlocked;
    }
    return kMultiFits;
}

bool CMultiTable::GetExtents(int type, Location& min, Location& max) const {
    const CMultiDef* def = Find(type);
    if (!def) return false;
    min = def->min;
    max = def->max;
    return true;
}

bool CMultiTable::GetComponentCount(int type, int& count) const {
    const CMultiDef* def = Find(type);
    if (!def) return false;
    count = static_cast<int>(def->components.size());
    return true;
}

bool CMultiTable::GetSize(int type, int& dx, int& dy, int& dz) const {
    dx = dy = dz = 0;
    const CMultiDef* def = Find(type);
    if (!def) return false;
    dx = def->max.x - def->min.x;
    dy = def->max.y - def->min.y;
    dz = def->max.z - def->min.z;
    return true;
}

bool CMultiTable::AreMobilesInArea(int type, const Location& at) const {
    const CMultiDef* def = Find(type);
    if (!def) return false;
    std::vector<CItem*> found;
    for (const MultiComponentEntry& e : def->components) {
        const Location spot = at + e.offset;
        found.clear();
        if (g_worldMap.CollectObjectsAt(spot.x, spot.y, -128, 128, found,
                                        [](CItem* o) { return o->IsMobile(); }) > 0)
            return true;
    }
    return false;
}

std::vector<u8> CMultiTable::BuildComponentData(int type) const {
    std::vector<u8> out;
    const CMultiDef* def = Find(type);
    if (!def) return out;
    out.reserve(def->components.size() * kComponentRecordSize);
    for (const MultiComponentEntry& e : def->components) {
        PutLe(out, e.graphic, 2);
        PutLe(out, static_cast<u16>(e.offset.x), 2);
        PutLe(out, static_cast<u16>(e.offset.y), 2);
        PutLe(out, static_cast<u16>(e.offset.z), 2);
        PutLe(out, static_cast<u32>(e.flags), 4);
    }
    return out;
}

void CMultiTable::BuildMultiFiles(std::vector<u8>& index, std::vector<u8>& data) const {
    index.clear();
    data.clear();
    index.reserve(static_cast<size_t>(kIndexEntries) * kIndexEntrySize);
    for (int t = 0; t < kIndexEntries; ++t) {
        const std::vector<u8> record = BuildComponentData(t);
        // A definition without components has no record: an empty entry, as the record store
        // writes one of no bytes.
        if (!Find(t) || record.empty()) {
            PutLe(index, 0xFFFFFFFFu, 4);
            PutLe(index, 0xFFFFFFFFu, 4);
            PutLe(index, Find(t) ? 0u : 0xFFFFFFFFu, 4);
            continue;
        }
        PutLe(index, static_cast<u32>(data.size()), 4);
        PutLe(index, static_cast<u32>(record.size()), 4);
        PutLe(index, 0, 4);
        data.insert(data.end(), record.begin(), record.end());
    }
}

bool CMultiTable::WriteMultiFiles(const std::string& indexPath, const std::string& dataPath,
                                  std::string* error) const {
    std::vector<u8> index, data;
    BuildMultiFiles(index, data);
    return platform::WriteFileSafely(indexPath, index.data(), index.size(), error) &&
           platform::WriteFileSafely(dataPath, data.data(), data.size(), error);
}

std::string FormatMultiText(const std::map<int, CMultiDef>& defs) {
    std::string out = std::to_string(CMultiTable::kCurrentVersion) + "\n";
    for (const auto& [type, def] : defs) {
        out += std::to_string(type) + "\n0\n" + std::to_string(def.components.size()) + "\n";
        for (const MultiComponentEntry& e : def.components) {
            char line[64];
            std::snprintf(line, sizeof line, "%u %d %d %d %d", e.graphic, e.offset.x, e.offset.y,
                          e.offset.z, e.flags);
            out += line;
            for (const std::string& s : e.scripts) out += " " + s;
            out += "\n";
        }
    }
    return out;
}
