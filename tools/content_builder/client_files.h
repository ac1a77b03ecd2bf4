#pragma once
// Writers of the files the client reads from its install directory, and the demo's client
// install: the terrain and statics in the client's fixed layout (768 x 512 blocks, the
// server's world where its rectangle lies, sea elsewhere), the tile data, animation data and
// hues from the same generators as the server's files (the client's hue file holds 3000 hues,
// the first 1024 equal to the server's), the skin and hair colour lists, the index/data pairs
// of the other data files, the intro movie, and `zq.cfg` (with the intro on). Deterministic: the
// same bytes on every build.
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/content_builder/map_files.h"

constexpr int kClientMapBlockColumns = 768;
constexpr int kClientMapBlockRows = 512;
constexpr int kClientHueFileCount = 3000;

// One record of an index/data pair: absent records get offset -1 in the index.
struct IndexedRecord {
    bool present = false;
    std::vector<u8> bytes;
    u32 extra = 0;
};
// 12-byte entries {s32 offset, s32 length, u32 extra}, the records' bytes one after another.
void WriteIndexedRecords(const std::vector<IndexedRecord>& records, std::vector<u8>& index,
                         std::vector<u8>& data);

// One record of `verdata.mul`: u32 count, 20-byte entries {file, id, offset, length, extra},
// then the data.
struct VerdataPatch {
    u32 file;
    u32 id;
    std::vector<u8> data;
    u32 extra = 0;
};
std::vector<u8> WriteVerdataFile(const std::vector<VerdataPatch>& patches);

struct Rgb {
    int r, g, b;
};
// A colour list: one "(r,g,b)" line per colour, a (0,0,0) line between groups.
std::string WriteColourList(const std::vector<std::vector<Rgb>>& groups);
// The demo's skin list (56 colours in 7 groups) and hair list (48 colours, hues 1101-1148,
// in 6 groups).
std::vector<std::vector<Rgb>> DemoSkinColours();
std::vector<std::vector<Rgb>> DemoHairColours();

// The terrain map in the client's layout: blocks column by column over 768 x 512 blocks;
// cells outside `terrain` are sea.
std::vector<u8> WriteClientMapFile(const TerrainGrid& terrain);
// The statics in the client's layout: one index entry per block of the 768 x 512 grid.
void WriteClientStaticsFiles(const std::vector<StaticEntry>& statics, std::vector<u8>& index,
                             std::vector<u8>& data);

using ClientFiles = std::map<std::string, std::vector<u8>>;
// Every install file of the client for the world rectangle, by file name (a path below the
// install directory), the intro movie "music/intro.wve" among them. False with a message when
// the title font cannot be rendered.
bool BuildClientFiles(int x0, int y0, int width, int height, ClientFiles& files,
                      std::string* error);
// Writes them into `dir`, making the directories they lie in; false with a message. The
// configuration file "zq.cfg" is written only when `dir` has none, or one that still holds
// exactly what an earlier build shipped: the client keeps the player's settings in it.
bool WriteClientFiles(const std::string& dir, const ClientFiles& files, std::string* error);
