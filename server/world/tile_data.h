#pragma once
// The tile data of the world: for every land tile and every static (item) graphic, its flags,
// name and the few numbers the world reads (height, weight, layer, value). Also the hue,
// animation and art-size tables that travel with them. Filled once at world load from
// `tiledata.mul`, `hues.mul`, `animdata.mul` and `artdim.dat`; read-only afterwards.
#include <array>
#include <vector>

#include "core/tile_data_record.h"
#include "platform/types.h"

// Tile flag bits. Land tiles use the first few; statics all of them.
enum TileFlag : u32 {
    kTileWeapon = 0x2,  // with 0x8000000: weapons and armour
    kTileBackground = 0x10,
    kTileImpassable = 0x40,
    kTileWet = 0x80,
    kTileSurface = 0x200,
    kTileBridge = 0x400,
    kTileGeneric = 0x800,   // stackable: counted in whole units
    kTileWall = 0x1000,     // blocks sight
    kTileNoShoot = 0x2000,  // blocks sight
    kTileArticleA = 0x4000,
    kTileArticleAn = 0x8000,
    kTileNoDraw = 0x10000,
    kTileMap = 0x100000,
    kTileContainer = 0x200000,
    kTileWearable = 0x400000,
    kTileLightSource = 0x800000,  // its layer byte (and word 14) is the light number
    kTileAnimated = 0x1000000,    // animated in place (animdata)
    kTileArmour = 0x8000000,
    kTileRoof = 0x10000000,
    kTileDoor = 0x20000000,
};
constexpr u32 kTileWeaponFlags = 0x8000002;

// Sizes of the other tables' records in the files (little-endian, packed), and of their
// groups.
constexpr int kHueCount = 1024;  // hues in `hues.mul`
constexpr int kHueTableCount = 3000;
constexpr int kHueRecordSize = 88;
constexpr int kHueGroupSize = 8;
constexpr int kAnimRecordSize = 68;
constexpr int kAnimGroupSize = 8;
// Exact byte sizes of complete files (the tile data's is kTileDataFileSize).
constexpr int kHuesFileSize = (kHueCount / kHueGroupSize) * (4 + kHueGroupSize * kHueRecordSize);
constexpr int kAnimDataFileSize =
    (kTileCount / kAnimGroupSize) * (4 + kAnimGroupSize * kAnimRecordSize);
constexpr int kArtDimFileSize = kTileCount * 4;

class TileData {
public:
    TileData();

    // Records by number; a number outside 0..0x3FFF gives an all-zero record.
    const LandTileRecord& Land(int tile) const;
    const StaticTileRecord& Static(int graphic) const;
    LandTileRecord* MutableLand(int tile);
    StaticTileRecord* MutableStatic(int graphic);

    u32 LandFlags(int tile) const { return Land(tile).flags; }
    u32 StaticFlags(int graphic) const { return Static(graphic).flags; }

    // Fill the tables from file images; false when the image is shorter than a complete file
    // (the tables are then left as they were).
    bool ReadTileData(const u8* data, size_t size);
    bool ReadHues(const u8* data, size_t size);
    bool ReadAnimData(const u8* data, size_t size);
    bool ReadArtDimensions(const u8* data, size_t size);

    const u8* HueRecord(int hue) const;       // 88 bytes, null outside the table
    const u8* AnimRecord(int graphic) const;  // 68 bytes, null outside the table
    void GetArtSize(int graphic, int& width, int& height) const;

    // Empties every table.
    void Clear();

private:
    std::vector<LandTileRecord> land_;
    std::vector<StaticTileRecord> statics_;
    std::vector<u8> hues_;      // kHueTableCount records of 88 bytes
    std::vector<u8> hues2_;     // kHueTableCount records of 148 bytes (nothing fills it yet)
    std::vector<u8> anim_;      // kTileCount records of 68 bytes
    std::vector<u16> artSize_;  // width, height per graphic
};

// The one tile data of the server.
TileData& GetTileData();

// Terrain tiles no mobile may stand on: 2, 430-437, 475.
bool IsImpassableTerrainTile(int tile);
// Terrain tiles that mark no valid ground: 168-171, 310, 311.
bool IsInvalidTerrainTile(int tile);
// Graphics that are never drawn: tile flag 0x10000, or 1, 8600-8610, 14170.
bool IsNoDrawType(int graphic);
