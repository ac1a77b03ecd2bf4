#pragma once
// Regions: named boxes of the world (towns, justice areas, inns, guard-free places, spawn
// areas) read from the world's `regions.txt`. Their names carry their meaning: the rules ask
// whether a place lies in a region whose name begins with a prefix ("city", "justice",
// "inn" ...). The process-wide `g_regionManager` keeps them by id, in a list of all regions,
// in a list of those with a corner on the sector grid, and in a grid of 64 x 64 tile cells.
//
// `regions.txt`, one region per line: an optional first line "version N" (without it the
// older, shorter form is read, including the first line), then
//   id x y width height zlow zhigh 0 name first second [third] place [fourth] description
// (third and fourth only from version 64207 on). A region covers x..x + width,
// y..y + height, zlow..zhigh, all ends included.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

constexpr u16 kRegionFileVersion = 64207;
constexpr u16 kRegionOldFileVersion = 64206;
constexpr int kRegionTextCapacity = 40;  // names and descriptions keep 39 characters

struct CRegion {
    u32 id = 0;
    char name[kRegionTextCapacity] = {};
    s16 x = 0, y = 0, width = 0, height = 0, zLow = 0, zHigh = 0;
    char description[kRegionTextCapacity] = {};
    u16 first = 0, second = 0, third = 0;
    u8 place = 0;  // 1-8 selects a fixed place
    u32 fourth = 0;

    bool Holds(const Location& at) const;
    bool HoldsXY(int px, int py) const;
    // The box centre, halves by arithmetic shift.
    Location Centre() const;
};

class RegionManager {
public:
    RegionManager();
    ~RegionManager();
    RegionManager(const RegionManager&) = delete;
    RegionManager& operator=(const RegionManager&) = delete;

    // Reads `regions.txt` of the configured world from the data archive.
    void Load();
    // Removes every region.
    void Clear();
    // Reads a file's text: the version line, every region line, then rebuilds the grid.
    void LoadText(std::string_view text);
    // Creates a region from one line and adds it; false when the line makes no region or
    // AddRegion refuses it.
    bool ParseRegionLine(u16 version, const char* line);
    // Takes the region over; refuses (false, region deleted) a negative width or height, a
    // z high below z low, or an id already present. Does not rebuild the grid.
    bool AddRegion(std::unique_ptr<CRegion> region);
    // Replaces the region of the same id (ids above 8191 are ignored) and rebuilds the grid.
    void ReplaceRegion(std::unique_ptr<CRegion> region);
    void RebuildGrid();
    // One line of the file for the region (with its '\n').
    static std::string FormatRegionLine(u16 version, const CRegion& region);

    u16 GetVersion() const { return version_; }
    int RegionCount() const { return static_cast<int>(all_.size()); }
    const CRegion* FindById(u32 id) const;
    const std::vector<CRegion*>& AllRegions() const { return all_; }
    const std::vector<CRegion*>& WorldRegions() const { return world_; }

    // The regions of the place's grid cell that hold it (all three coordinates).
    void CollectRegionsAt(std::vector<const CRegion*>& out, const Location& at) const;
    bool HasRegionWithPrefix(const Location& at, const char* prefix) const;
    void CollectRegionsWithPrefix(const Location& at, const char* prefix,
                                  std::vector<const CRegion*>& out) const;
    bool IsInJusticeRegion(const Location& at) const;
    bool IsInCityRegion(const Location& at) const;
    bool IsInNoGuardRegion(const Location& at) const;
    bool AreSpellsAllowed(const Location& at) const;
    bool IsSafeLogoutSpot(const Location& at) const;
    bool IsHousingAllowed(const Location& at, int defaultAllowed) const;
    // Every region holding the place, smallest area first.
    void CollectRegionsBySize(std::vector<const CRegion*>& out, const Location& at) const;
    // The description of the smallest region with one that holds the place; false when no
    // region qualifies.
    bool GetSmallestDescription(std::string& out, const Location& at) const;
    // The same description; 2 when `other` lies in that region too, 1 when not, 0 when no
    // region qualifies. `place` is the region's fixed place, else its box centre.
    int GetLocalizedDescription(std::string& out, Location& place, const Location& at,
                                const Location& other) const;
    // The name of the first town or dungeon of the table (0 the world's, else all) whose box
    // overlaps the rectangle x1..x2, y1..y2 (edges that only touch do not overlap): a region
    // named "city_..." or "dungn_..." gives the rest of its name; "Unknown?" when none does.
    std::string GetNamedAreaName(int x1, int y1, int x2, int y2, int which) const;

    // A region of the table (0 the world's, else all) holding the place whose name begins
    // with `name` (compared without regard to case, as in FindClosestArea).
    bool IsInArea(const char* name, const Location& at, int which) const;
    // Among the regions of the table whose names begin with `name`, the one whose centre is
    // nearest the place (squared distance, each axis under 8192): its description and centre.
    bool FindClosestArea(std::string& description, Location& centre, const char* name,
                         const Location& at, int which) const;

private:
    int CellOf(int x, int y) const;
    // The smallest region with a description that holds the place, or null.
    const CRegion* SmallestDescribed(const Location& at) const;
    void RemoveById(u32 id);

    u16 version_ = kRegionFileVersion;
    std::vector<CRegion*> all_;  // owns the regions, in the order they were added
    std::vector<CRegion*> world_;
    std::vector<std::vector<CRegion*>> grid_;
};

extern RegionManager g_regionManager;

// The fixed place of index 1-8.
Location RegionFixedPlace(int index);
