#pragma once
// The demo's templates, name sets, defines, regions and town population, from content/:
// `templatestable.dat`, `namestable.dat`, `defines` and `regions.txt` go into the archive as
// they are (after a strict check); `town.txt` lists the objects the town starts with, which
// BuildDemoTown makes in the live world with the server's template code.
//
// The check is strict with our own content: an unknown template key, a template without a
// type line first, a name set or script class that does not exist, a name entry of another
// kind, a region line that makes no region or a town entry that is not a placement of an
// existing template fails the build with "file:line: message".
#include <set>
#include <string>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class ArchiveBuilder;
struct SectorPair;

// What a placed creature does from the start: nothing particular, loiter about its place
// (loiter mode, its place the loiter spot), lead a herd, or follow the last leader placed.
enum class TownRole : u8 { kNone, kLoiter, kLeads, kFollows };

struct TownPlacement {
    int templateNumber = 0;
    Location at;
    TownRole role = TownRole::kNone;
    int line = 0;  // of town.txt
};

struct TownContent {
    std::string templates;  // templatestable.dat
    std::string names;      // namestable.dat
    std::string defines;    // defines
    std::string regions;    // regions.txt
    std::vector<TownPlacement> placements;
};

// The script classes of a content directory (the stems of scripts/*.zqs).
std::set<std::string> ContentScriptClasses(const std::string& contentDir);

// Parses town.txt (<place TEMPLATE X Y Z> with an optional last word loiter, leads or
// follows; a follower needs a leader placed before it); false with "town.txt:line: message".
bool ParseTownPlacements(const std::string& text, std::vector<TownPlacement>& out,
                         std::string* error);
// The strict checks, file by file; `scripts` holds the known script classes.
bool CheckNameTable(const std::string& text, std::string* error);
bool CheckTemplateTable(const std::string& text, const std::string& names,
                        const std::set<std::string>& scripts, std::string* error);
bool CheckRegions(const std::string& text, std::string* error);
bool CheckTownPlacements(const std::vector<TownPlacement>& placements, const std::string& templates,
                         std::string* error);

// Reads and checks the five files of the content directory (a missing one reads as empty).
bool ReadTownContent(const std::string& contentDir, TownContent& out, std::string* error);
// Adds templatestable.dat, namestable.dat and defines to the bank directory and regions.txt to
// the world's directory of the archive (those the content has).
bool AddTownContent(ArchiveBuilder& builder, const std::string& contentDir,
                    const std::string& world, std::string* error);

// The seed the town is made under, so that every build makes the same town.
constexpr u32 kDemoTownSeed = 20261210;

// Makes the town's objects in the live world, in file order, with the template table, the
// regions, the world map and the scripts already loaded, and gives the creatures their roles.
// Appends the serial of each object made; false with "town.txt:line: message" at the first
// placement that makes nothing, or a role given to something that is not an NPC.
bool BuildDemoTown(const std::vector<TownPlacement>& placements, std::vector<u32>& serials,
                   std::string* error);

// Makes the town in a world of its own, brought up from the archive being built as the server
// brings up its world (map, statics, tile data, economy, skills, templates, weapons, regions,
// scripts), and adds the world's dynamic objects, written by the server's save writer, as the
// archive's `dynidx0.mul`/`dynamic0.mul`: the world the server starts with. Nothing is added
// when the content places nothing. False with "town.txt:line: message" or why the world could
// not be brought up.
bool AddDemoTown(ArchiveBuilder& builder, const std::string& contentDir, const std::string& world,
                 int x0, int y0, int width, int height, std::string* error);
