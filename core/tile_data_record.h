#pragma once
// The records of the tile-data file `tiledata.mul`, which both halves read and the content
// builder writes: 0x4000 land records, then 0x4000 static records; every 32 records (a block)
// follow a u32 header that nobody interprets. Little-endian, packed.
//
// A land record (26 bytes): u32 flags, u16 texture, 20-byte name. A static record (37 bytes):
// u32 flags, u8 weight, u8 layer, u32 value (the quantity word), u16 animation, u16 default
// hue, u16 light, u8 height, 20-byte name. Names are NUL-padded, not always terminated.
#include <cstddef>

#include "platform/types.h"

inline constexpr int kTileCount = 0x4000;
inline constexpr int kLandRecordSize = 26;
inline constexpr int kStaticRecordSize = 37;
inline constexpr int kTileNameSize = 20;
inline constexpr int kTileGroupSize = 32;  // records per block, after the block's u32 header
inline constexpr int kLandBlockCount = kTileCount / kTileGroupSize;           // 512, as many static
inline constexpr int kLandBlockBytes = 4 + kTileGroupSize * kLandRecordSize;  // 836
inline constexpr int kStaticBlockBytes = 4 + kTileGroupSize * kStaticRecordSize;  // 1188
inline constexpr long kStaticBlocksStart = static_cast<long>(kLandBlockCount) * kLandBlockBytes;
// The exact size of a complete file.
inline constexpr int kTileDataFileSize =
    kLandBlockCount * kLandBlockBytes + kLandBlockCount * kStaticBlockBytes;

// The article a tile's name takes, from the two article bits of its flags ("a ", "an ", "the "
// or none).
inline const char* TileArticle(u32 flags) {
    switch (flags & 0xC000) {
        case 0x4000:
            return "a ";
        case 0x8000:
            return "an ";
        case 0xC000:
            return "the ";
        default:
            return "";
    }
}

struct LandTileRecord {
    u32 flags = 0;
    u16 texture = 0;
    char name[kTileNameSize + 1] = {};  // always terminated in memory
    bool operator==(const LandTileRecord&) const = default;
};

struct StaticTileRecord {
    u32 flags = 0;
    u8 weight = 0;
    u8 layer = 0;   // the quality byte: the equipment layer of wearables; a placed light's number
    u32 value = 0;  // the quantity word
    u16 animation = 0;
    u16 hue = 0;    // the default hue
    u16 light = 0;  // the light number of a lit item worn by a mobile
    u8 height = 0;
    char name[kTileNameSize + 1] = {};  // always terminated in memory
    // The server takes an item's base value from the word the client reads as its light.
    u16 BaseValue() const { return light; }
    bool operator==(const StaticTileRecord&) const = default;
};

// One record from its bytes in the file's layout (kLandRecordSize or kStaticRecordSize bytes
// at `bytes`).
LandTileRecord ReadLandTileRecord(const u8* bytes);
StaticTileRecord ReadStaticTileRecord(const u8* bytes);

// Reads a file image into the two tables (kTileCount records each), in file order, as far as
// the image holds whole records; the records past its end are left as they were. Answers the
// number of records read: 2 * kTileCount for a complete image.
int ReadTileDataImage(const u8* data, size_t size, LandTileRecord* land, StaticTileRecord* statics);
