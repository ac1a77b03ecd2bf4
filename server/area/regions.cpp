#include "server/area/regions.h"

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/archive.h"
#include "core/log_sink.h"
#include "server/server_config.h"
#include "server/world/sector_grid.h"

RegionManager g_regionManager;

namespace {

constexpr int kGridShift = 6;
constexpr int kGridColumns = 97;
constexpr int kGridRows = 65;
constexpr int kMaxLine = 511;
constexpr u32 kMaxReplacedId = 8191;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The next white-space-delimited field of the line, or false at its end.
bool NextField(const char*& p, std::string& out) {
    while (*p && IsBlank(*p))
        ++p;
    if (!*p) return false;
    const char* start = p;
    while (*p && !IsBlank(*p))
        ++p;
    out.assign(start, p);
    return true;
}

bool NextNumber(const char*& p, long long& out) {
    std::string field;
    if (!NextField(p, field)) return false;
    char* end = nullptr;
    out = std::strtoll(field.c_str(), &end, 10);
    return end != field.c_str();
}

void Log(const std::string& text) {
    GetLogSink().Log(0, 0, 0, "", "regions", "error", text.c_str());
}

// Copies a name or description into its 40-byte field; a longer text is cut and logged.
void CopyField(char (&field)[kRegionTextCapacity], const std::string& text, u32 id,
               const char* what) {
    if (text.size() >= kRegionTextCapacity) {
        Log("Region " + std::to_string(id) + ": " + what + " \"" + text + "\" is longer than " +
            std::to_string(kRegionTextCapacity - 1) + " characters; cut");
    }
    std::snprintf(field, sizeof field, "%s", text.c_str());
}

bool StartsWith(const char* name, const char* prefix) {
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

bool StartsWithNoCase(const char* name, const char* prefix) {
    return strncasecmp(name, prefix, std::strlen(prefix)) == 0;
}

int Area(const CRegion& r) {
    return r.width * r.height;
}

}  // namespace

Location RegionFixedPlace(int index) {
    static const Location kPlaces[8] = {
        {5188, 638, 0},  {1176, 2636, 0}, {2499, 917, 0}, {513, 1560, 0},
        {2042, 216, 14}, {1297, 1081, 0}, {5905, 17, 64}, {5905, 17, 64},
    };
    if (index < 1 || index > 8) return Location();
    return kPlaces[index - 1];
}

bool CRegion::HoldsXY(int px, int py) const {
    return px >= x && px <= x + width && py >= y && py <= y + height;
}

bool CRegion::Holds(const Location& at) const {
    return HoldsXY(at.x, at.y) && at.z >= zLow && at.z <= zHigh;
}

Location CRegion::Centre() const {
    return Location(x + (width >> 1), y + (height >> 1), zLow + ((zHigh - zLow) >> 1));
}

RegionManager::RegionManager() : grid_(kGridColumns * kGridRows) {}

RegionManager::~RegionManager() {
    Clear();
}

void RegionManager::Clear() {
    for (CRegion* r : all_)
        delete r;
    all_.clear();
    world_.clear();
    for (auto& cell : grid_)
        cell.clear();
    version_ = kRegionFileVersion;
}

void RegionManager::Load() {
    const std::string& path = g_serverConfig.worldFilePaths[ServerConfig::kWorldFileCount - 1];
    ArchiveHandle file = ArchiveOpen(path.c_str(), "rb");
    if (!file) {
        RebuildGrid();
        return;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = ArchiveRead(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    ArchiveClose(file);
    LoadText(text);
}

void RegionManager::LoadText(std::string_view text) {
    size_t pos = 0;
    bool firstLine = true;
    version_ = kRegionOldFileVersion;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(pos, std::min<size_t>(end - pos, kMaxLine)));
        pos = end + 1;
        if (firstLine) {
            firstLine = false;
            unsigned version = 0;
            char tail = 0;
            if (std::sscanf(line.c_str(), "version %u%c", &version, &tail) >= 1 &&
                version <= 0xFFFF) {
                version_ = static_cast<u16>(version);
                continue;
            }
        }
        ParseRegionLine(version_, line.c_str());
    }
    RebuildGrid();
}

bool RegionManager::ParseRegionLine(u16 version, const char* line) {
    const char* p = line;
    long long id, x, y, w, h, zl, zh, unused, first, second, third = 0, place, fourth = 0;
    std::string name;
    if (!NextNumber(p, id) || !NextNumber(p, x) || !NextNumber(p, y) || !NextNumber(p, w) ||
        !NextNumber(p, h) || !NextNumber(p, zl) || !NextNumber(p, zh) || !NextNumber(p, unused) ||
        !NextField(p, name) || !NextNumber(p, first) || !NextNumber(p, second)) {
        return false;
    }
    if (version >= kRegionFileVersion) {
        if (!NextNumber(p, third) || !NextNumber(p, place) || !NextNumber(p, fourth)) return false;
    } else if (!NextNumber(p, place)) {
        return false;
    }
    while (*p && IsBlank(*p))
        ++p;
    std::string description(p);
    while (!description.empty() && IsBlank(description.back()))
        description.pop_back();

    auto region = std::make_unique<CRegion>();
    region->id = static_cast<u32>(id);
    region->x = static_cast<s16>(x);
    region->y = static_cast<s16>(y);
    region->width = static_cast<s16>(w);
    region->height = static_cast<s16>(h);
    region->zLow = static_cast<s16>(zl);
    region->zHigh = static_cast<s16>(zh);
    CopyField(region->name, name, region->id, "name");
    CopyField(region->description, description, region->id, "description");
    region->first = static_cast<u16>(first);
    region->second = static_cast<u16>(second);
    region->third = static_cast<u16>(third);
    region->place = static_cast<u8>(place);
    region->fourth = static_cast<u32>(fourth);
    return AddRegion(std::move(region));
}

bool RegionManager::AddRegion(std::unique_ptr<CRegion> region) {
    if (!region) return false;
    if (region->width < 0 || region->height < 0 || region->zHigh < region->zLow) return false;
    if (region->name[0] == '\0' || std::strcmp(region->name, "0") == 0)
        std::snprintf(region->name, sizeof region->name, "NONE");
    if (std::strcmp(region->description, "NONE") == 0) region->description[0] = '\0';
    if (FindById(region->id)) return false;
    CRegion* r = region.release();
    all_.push_back(r);
    if (g_sectorGrid.Contains(r->x, r->y) ||
        g_sectorGrid.Contains(r->x + r->width, r->y + r->height)) {
        world_.push_back(r);
    }
    return true;
}

void RegionManager::RemoveById(u32 id) {
    auto drop = [id](std::vector<CRegion*>& list) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [id](const CRegion* r) { return r->id == id; }),
                   list.end());
    };
    CRegion* found = nullptr;
    for (CRegion* r : all_) {
        if (r->id == id) found = r;
    }
    drop(world_);
    drop(all_);
    delete found;
}

void RegionManager::ReplaceRegion(std::unique_ptr<CRegion> region) {
    if (!region || region->id > kMaxReplacedId) return;
    RemoveById(region->id);
    if (region->name[0] == '\0') std::snprintf(region->name, sizeof region->name, "NONE");
    CRegion* r = region.release();
    all_.push_back(r);
    if (g_sectorGrid.Contains(r->x, r->y) ||
        g_sectorGrid.Contains(r->x + r->width, r->y + r->height)) {
        world_.push_back(r);
    }
    RebuildGrid();
}

const CRegion* RegionManager::FindById(u32 id) const {
    for (const CRegion* r : all_) {
        if (r->id == id) return r;
    }
    return nullptr;
}

int RegionManager::CellOf(int x, int y) const {
    if (x < 0 || y < 0) return -1;
    const int column = x >> kGridShift;
    const int row = y >> kGridShift;
    if (column >= kGridColumns || row >= kGridRows) return -1;
    return row * kGridColumns + column;
}

void RegionManager::RebuildGrid() {
    for (auto& cell : grid_)
        cell.clear();
    for (CRegion* r : all_) {
        const int x0 = std::max(0, static_cast<int>(r->x)) >> kGridShift;
        const int y0 = std::max(0, static_cast<int>(r->y)) >> kGridShift;
        const int x1 = std::min(kGridColumns - 1, (r->x + r->width) >> kGridShift);
        const int y1 = std::min(kGridRows - 1, (r->y + r->height) >> kGridShift);
        if (r->x + r->width < 0 || r->y + r->height < 0) continue;
        for (int row = y0; row <= y1; ++row) {
            for (int column = x0; column <= x1; ++column)
                grid_[row * kGridColumns + column].push_back(r);
        }
    }
}

std::string RegionManager::FormatRegionLine(u16 version, const CRegion& r) {
    char line[kMaxLine + 128];
    const char* description = r.description[0] ? r.description : "NONE";
    if (version >= kRegionFileVersion) {
        std::snprintf(line, sizeof line,
                      "%5u %5hd %5hd %5hd %5hd %5hd %5hd %12d %s %hu %hu %hu %hu %u %s\n", r.id,
                      r.x, r.y, r.width, r.height, r.zLow, r.zHigh, 0, r.name, r.first, r.second,
                      r.third, static_cast<u16>(r.place), r.fourth, description);
    } else {
        std::snprintf(line, sizeof line,
                      "%5u %5hd %5hd %5hd %5hd %5hd %5hd %12d %s %hu %hu %hu %s\n", r.id, r.x, r.y,
                      r.width, r.height, r.zLow, r.zHigh, 0, r.name, r.first, r.second,
                      static_cast<u16>(r.place), description);
    }
    return line;
}

// ---------------------------------------------------------------- queries

void RegionManager::CollectRegionsAt(std::vector<const CRegion*>& out, const Location& at) const {
    const int cell = CellOf(at.x, at.y);
    if (cell < 0) return;
    for (const CRegion* r : grid_[cell]) {
        if (r->Holds(at)) out.push_back(r);
    }
}

bool RegionManager::HasRegionWithPrefix(const Location& at, const char* prefix) const {
    std::vector<const CRegion*> found;
    CollectRegionsWithPrefix(at, prefix, found);
    return !found.empty();
}

void RegionManager::CollectRegionsWithPrefix(const Location& at, const char* prefix,
                                             std::vector<const CRegion*>& out) const {
    std::vector<const CRegion*> here;
    CollectRegionsAt(here, at);
    for (const CRegion* r : here) {
        if (StartsWith(r->name, prefix)) out.push_back(r);
    }
}

bool RegionManager::IsInJusticeRegion(const Location& at) const {
    return HasRegionWithPrefix(at, "justice") || HasRegionWithPrefix(at, "city");
}

bool RegionManager::IsInCityRegion(const Location& at) const {
    return HasRegionWithPrefix(at, "city");
}

bool RegionManager::IsInNoGuardRegion(const Location& at) const {
    return HasRegionWithPrefix(at, "no_guard");
}

bool RegionManager::AreSpellsAllowed(const Location& at) const {
    return !HasRegionWithPrefix(at, "nospell");
}

bool RegionManager::IsSafeLogoutSpot(const Location& at) const {
    return HasRegionWithPrefix(at, "inn") || HasRegionWithPrefix(at, "safelo") ||
           HasRegionWithPrefix(at, "tavern");
}

bool RegionManager::IsHousingAllowed(const Location& at, int defaultAllowed) const {
    static const char* const kRestricting[] = {"dungeon", "dungn",      "city",
                                               "town",    "housing_no", "justice"};
    bool restricted = false;
    for (const char* prefix : kRestricting)
        restricted = restricted || HasRegionWithPrefix(at, prefix);
    const bool allowed = HasRegionWithPrefix(at, "housing_yes");
    if (defaultAllowed != 0) return allowed || !restricted;
    if (restricted) return false;
    return allowed;
}

void RegionManager::CollectRegionsBySize(std::vector<const CRegion*>& out,
                                         const Location& at) const {
    for (const CRegion* r : all_) {
        if (!r->Holds(at)) continue;
        auto it = out.begin();
        while (it != out.end() && Area(**it) <= Area(*r))
            ++it;
        out.insert(it, r);
    }
}

const CRegion* RegionManager::SmallestDescribed(const Location& at) const {
    std::vector<const CRegion*> bySize;
    CollectRegionsBySize(bySize, at);
    for (const CRegion* r : bySize) {
        if (r->description[0] != '\0') return r;
    }
    return nullptr;
}

bool RegionManager::GetSmallestDescription(std::string& out, const Location& at) const {
    const CRegion* r = SmallestDescribed(at);
    if (!r) return false;
    out = r->description;
    return true;
}

int RegionManager::GetLocalizedDescription(std::string& out, Location& place, const Location& at,
                                           const Location& other) const {
    const CRegion* r = SmallestDescribed(at);
    if (!r) return 0;
    out = r->description;
    place = r->place >= 1 && r->place <= 8
                ? RegionFixedPlace(r->place)
                : Location(r->x + r->width / 2, r->y + r->height / 2, (r->zLow + r->zHigh) / 2);
    return r->Holds(other) ? 2 : 1;
}

std::string RegionManager::GetNamedAreaName(int x1, int y1, int x2, int y2, int which) const {
    const std::vector<CRegion*>& table = which == 0 ? world_ : all_;
    for (const CRegion* r : table) {
        const char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(r->name[0])));
        if (kind != 'c' && kind != 'd') continue;
        const bool overlaps =
            r->x < x2 && x1 < r->x + r->width && r->y < y2 && y1 < r->y + r->height;
        if (!overlaps) continue;
        if (StartsWith(r->name, "city_")) return r->name + 5;
        if (StartsWith(r->name, "dungn_")) return r->name + 6;
    }
    return "Unknown?";
}

bool RegionManager::IsInArea(const char* name, const Location& at, int which) const {
    const std::vector<CRegion*>& table = which == 0 ? world_ : all_;
    for (const CRegion* r : table) {
        if (r->Holds(at) && StartsWithNoCase(r->name, name ? name : "")) return true;
    }
    return false;
}

bool RegionManager::FindClosestArea(std::string& description, Location& centre, const char* name,
                                    const Location& at, int which) const {
    const std::vector<CRegion*>& table = which == 0 ? world_ : all_;
    bool found = false;
    s64 best = 0;
    for (const CRegion* r : table) {
        if (!StartsWithNoCase(r->name, name ? name : "")) continue;
        const int cx = r->x + (r->width >> 1);
        const int cy = r->y + (r->height >> 1);
        const int cz = r->zLow + ((r->zHigh - r->zLow) >> 1);
        const s64 dx = cx - at.x, dy = cy - at.y, dz = cz - at.z;
        if (dx <= -8192 || dx >= 8192 || dy <= -8192 || dy >= 8192 || dz <= -8192 || dz >= 8192)
            continue;
        const s64 d = dx * dx + dy * dy + dz * dz;
        if (!found || d < best) {
            found = true;
            best = d;
            centre = Location(cx, cy, cz);
            description = r->description;
        }
    }
    return found;
}
