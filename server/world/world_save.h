#pragma once
// Writing the world back: every cell's dynamic objects as text records (object_fields.h)
// and the cells' statics as 7-byte records, each set as a sector pair (12-byte index entries
// {offset, length, 0}, offset 0xFFFFFFFF for an empty cell, and the data), kept in one file
// beside the data archive with a digest over its bytes. The file is written safely
// (platform/save_file.h): a failed or interrupted save leaves the last one as it was.
//
// At start-up the world loads from its save when there is one, else from the archive's
// `dynidx0.mul`/`dynamic0.mul`. A save that cannot be read, is cut short or fails its digest
// is an error naming the file: the server never starts on an empty world instead.
#include <string>
#include <vector>

#include "platform/save_file.h"
#include "platform/types.h"

struct SectorPair {
    std::vector<u8> index;
    std::vector<u8> data;
};

// The dynamic pair of the whole world. Logged-out characters are written with their cells,
// ahead of the cell's chain; objects whose status has bit 0x08 are left out.
SectorPair BuildDynamicPair();
// The statics pair of the whole world, one 7-byte record per static object in chain order.
SectorPair BuildStaticsPair();

// The world a save belongs to: the world's name (its directory in the data archive) and the
// area it covers, corner and size in tiles. A save only ever loads into that same world: the
// cells of another area would put its objects in the wrong places or drop them.
struct SavedWorldIdentity {
    std::string name;
    s32 x = 0;
    s32 y = 0;
    s32 width = 0;
    s32 height = 0;

    bool operator==(const SavedWorldIdentity&) const = default;
    // "ZQGoldDemo (corner 0, 0; 1024 x 1024 tiles)", for messages.
    std::string Describe() const;
};
// The world that runs: the configured name with the sector grid's corner and size.
SavedWorldIdentity RunningWorldIdentity();

// The save file of one pair: an 8-byte kind tag, the world it belongs to (its name in a
// 128-byte field padded with NULs, then corner and size as four s32), the cell count, the
// two lengths, the pair and a digest of everything before it. Files of the first form carry
// no world; they are read when their cell count fits the running world.
inline constexpr char kWorldSaveTag[] = "ZQWORLD2";
inline constexpr char kStaticsSaveTag[] = "ZQSTATC2";
inline constexpr size_t kSavedWorldNameSize = 128;
std::vector<u8> EncodeSaveFile(const char* tag, const SavedWorldIdentity& world,
                               const SectorPair& pair);
// The digest that ends a save file, over the bytes before it.
u64 SaveFileDigest(const u8* bytes, size_t size);
// What a save file's header says besides its pair.
struct SaveFileHeader {
    bool hasWorld = false;  // false for a file of the first form
    SavedWorldIdentity world;
    u32 cellCount = 0;
};
// False, with the reason, when the bytes are not a complete, intact save of that kind.
bool DecodeSaveFile(const std::vector<u8>& bytes, const char* tag, SectorPair& out,
                    std::string* why, SaveFileHeader* header = nullptr);

// Where the saves live: beside the data archive, named after it ("zqdemo.dat" gives
// "zqdemo.sav" and "zqdemo.sta"). Tests may set the paths.
// The file beside an archive path with the archive's extension replaced: the save, the world
// lock and the log are all named this way, so they always sit together.
std::string PathBesideArchive(const std::string& archivePath, const char* extension);
std::string WorldSavePath();
std::string StaticsSavePath();
void SetWorldSavePaths(const std::string& world, const std::string& statics);

// Writes the world's dynamic objects to the save. 0, or 1 with the reason in `error`. With
// `keepOldAs` the save it replaces stays under that name (made just before the new one takes
// its place, so the save's own name always holds a whole save).
int SaveWorld(std::string* error = nullptr, platform::FileOps& ops = platform::SystemFileOps(),
              const std::string& keepOldAs = std::string());
// Writes the statics the same safe way.
int SaveStatics(std::string* error = nullptr, platform::FileOps& ops = platform::SystemFileOps());

// Reads a save file of that kind. 1 when there is none (`out` untouched), 0 when it was read,
// -1 when it is there but unusable (`error` names the file and says why): not a regular
// file, larger than any save can be, damaged, or the save of another world than the running
// one (the message names both). A temporary file left by an interrupted save is removed
// first.
int ReadSaveFile(const std::string& path, const char* tag, SectorPair& out, std::string* error);
