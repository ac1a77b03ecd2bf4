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

// The save file of one pair: an 8-byte kind tag, the cell count, the two lengths, the pair
// and a digest of everything before it.
inline constexpr char kWorldSaveTag[] = "ZQWORLD1";
inline constexpr char kStaticsSaveTag[] = "ZQSTATC1";
std::vector<u8> EncodeSaveFile(const char* tag, const SectorPair& pair);
// False, with the reason, when the bytes are not a complete, intact save of that kind.
bool DecodeSaveFile(const std::vector<u8>& bytes, const char* tag, SectorPair& out,
                    std::string* why);

// Where the saves live: beside the data archive, named after it ("zqdemo.dat" gives
// "zqdemo.sav" and "zqdemo.sta"). Tests may set the paths.
std::string WorldSavePath();
std::string StaticsSavePath();
void SetWorldSavePaths(const std::string& world, const std::string& statics);

// Writes the world's dynamic objects to the save. 0, or 1 with the reason in `error`.
int SaveWorld(std::string* error = nullptr, platform::FileOps& ops = platform::SystemFileOps());
// Writes the statics the same safe way.
int SaveStatics(std::string* error = nullptr, platform::FileOps& ops = platform::SystemFileOps());

// Reads a save file of that kind. 1 when there is none (`out` untouched), 0 when it was read,
// -1 when it is there but unusable (`error` names the file and says why). A temporary file
// left by an interrupted save is removed first.
int ReadSaveFile(const std::string& path, const char* tag, SectorPair& out, std::string* error);
