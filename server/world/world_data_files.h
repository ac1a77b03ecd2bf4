#pragma once
// The readers of the world's map and tile data at start-up: the terrain of every sector cell
// (`map0.mul`), the fixed scenery (`staidx0.mul` / `statics0.mul`), the tile data, hues,
// animation data and art sizes, the starting game hour (`time.mul`), the type numbers that
// carry a type script (`objscr.txt`) and the resource-bank areas (`resregions.txt`).
//
// The readers take the bytes of a file; LoadWorldDataFiles gets them through a reader
// function by the path the server opens them under. Sizes and record numbers are checked
// against the grid: a short file is refused, never read past its end.
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "script/runtime/type_script_bits.h"

// Gets the bytes of a data file by its path; false when the file is missing.
using DataFileReader = std::function<bool(const std::string& path, std::vector<u8>& out)>;

constexpr int kMapBlockSize = 196;

// The terrain of every cell of the sector grid, in cell order. 0, or -1 when the bytes are
// fewer than the grid needs (nothing is read then). Nothing is read once the quit flag is set.
int LoadTerrain(const std::vector<u8>& bytes);
// The statics of every cell: the index holds 12 bytes per cell ({offset, length, extra};
// offset 0xFFFFFFFF for none). A record that lies outside the data, or an index shorter than
// the grid, is skipped. Answers the number of statics placed.
int LoadStatics(const std::vector<u8>& index, const std::vector<u8>& data);
// Record n of a sector pair: false for an empty cell, or an entry that lies past the index
// or whose record lies outside the data.
bool SectorRecordAt(const std::vector<u8>& index, const std::vector<u8>& data, int n,
                    const u8*& bytes, size_t& length);
// Creates and places the static objects of one 7-byte-per-object record of a cell.
int ReadStaticsRecord(int cell, const u8* bytes, size_t length);
// The starting game hour: the u32 of `time.mul` when it is 0-23, else 12.
int ReadGameHour(const std::vector<u8>* bytes);
// Sets bit n for every decimal number n > 0 followed by another character.
void LoadTypeScriptList(const std::vector<u8>& bytes, TypeScriptBitSet& bits);

// One resource-bank area, clipped to the world (exclusive right and bottom).
struct ResourceRegion {
    std::string name;
    int left, top, right, bottom;
};
// Pairs of "Region Name: %s" and "Region Rect: %d %d %d %d" lines; areas outside the world
// are dropped, the others clipped to it.
std::vector<ResourceRegion> LoadResourceRegions(const std::string& text, int x0, int y0, int width,
                                                int height);
bool RectanglesOverlap(int left1, int top1, int right1, int bottom1, int left2, int top2,
                       int right2, int bottom2);

// Writes a data file by its path; false when it cannot be written.
using DataFileWriter = std::function<bool(const std::string& path, const std::vector<u8>& bytes)>;

// Reads a whole file of the data archive by the path the server opens it under.
bool ReadArchiveFile(const std::string& path, std::vector<u8>& out);
// Replaces a member of the data archive ("wb"); false when the archive has no writable
// member of that name.
bool WriteArchiveFile(const std::string& path, const std::vector<u8>& bytes);

// The art-size table computed from the client art files: for graphic i the 12-byte index
// record 0x4000 + i of `artidx.mul` gives the offset of its art in `art.mul`, where the
// width and height are the two u16 at offset + 4. Records or offsets outside the files
// (and offset 0xFFFFFFFF) give 0 x 0.
std::vector<u8> ComputeArtDimensions(const std::vector<u8>& artIndex, const std::vector<u8>& art);

// The paths of the files, as the server opens them (the content builder stores the demo's
// files under the same paths). WorldDataPath gives those of one world's directory.
std::string WorldDataPath(const std::string& world, const char* file);
inline constexpr const char* kTileDataPath = "../.rundir/tiledata.mul";
inline constexpr const char* kHuesPath = "../.rundir/hues.mul";
inline constexpr const char* kAnimDataPath = "../.rundir/animdata.mul";
inline constexpr const char* kArtDimPath = "../.rundir/artdim.dat";
inline constexpr const char* kArtIndexPath = "../.rundir/artidx.mul";
inline constexpr const char* kArtPath = "../.rundir/art.mul";
inline constexpr const char* kTimePath = "../.rundir/time.mul";
inline constexpr const char* kTypeScriptListPath = "../.rundir/scripts/objscr.txt";

// What the start-up read found besides the tables it filled.
struct WorldDataResult {
    int gameHour = 12;
    int staticsPlaced = 0;
    int dynamicLoaded = 0;
    std::vector<ResourceRegion> resourceRegions;
};

// What the last LoadWorldDataFiles found, for the parts that take it up: the starting game
// hour (for the game clock) and the resource-bank areas (for the bank manager).
const WorldDataResult& GetLoadedWorldData();
void SetLoadedWorldData(const WorldDataResult& result);

// Reads every file above into the sector grid, the tile data and the type-script bits (the
// data-file steps of the world load sequence, world_init.h).
// The terrain and the tile data are required: a missing or short `map0.mul` or
// `tiledata.mul` answers 1 with a message naming the file in `error`. The others are
// optional and leave their tables as they were when missing or short.
// Without `artdim.dat` the art sizes are computed from the art files and written back
// through `write` when one is given.
int LoadWorldDataFiles(const DataFileReader& read, const std::string& world,
                       WorldDataResult* result, std::string* error,
                       const DataFileWriter& write = nullptr);
