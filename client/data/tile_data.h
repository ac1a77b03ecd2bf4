#pragma once
// The client's tile data: 0x4000 land and 0x4000 static records read from `tiledata.mul`,
// patched in place (and on disk) by blocks the server sends, and in memory by `verdata.mul`.
//
// The records and the file layout are core/tile_data_record.h.
#include <string>
#include <vector>

#include "core/tile_data_record.h"
#include "platform/types.h"

// Static tile flags the client tests.
enum ClientTileFlag : u32 {
    kClientTileImpassable = 0x40,
    kClientTileSurface = 0x200,
    kClientTileClimbable = 0x400,
    kClientTileStackable = 0x800,
    kClientTilePartialHue = 0x40000,
    kClientTileMapItem = 0x100000,
    kClientTileContainer = 0x200000,
    kClientTileWearable = 0x400000,
    kClientTileLightSource = 0x800000,
    kClientTileAnimated = 0x1000000,
};

// What a block update asks of the world model and the renderer.
class TileDataListener {
public:
    virtual ~TileDataListener() = default;
    // Re-place every shown object of the graphic (flags or default hue changed).
    virtual void RefreshStaticGraphic(int graphic) = 0;
    // Redraw every land object showing the tile (texture changed).
    virtual void RefreshLandGraphic(int tile) = 0;
    // Rebuild the light-source and animated lists (flags 0x1800000 changed somewhere).
    virtual void RebuildLightAndAnimatedLists() = 0;
};

class ClientTileData {
public:
    ClientTileData();

    // Reads the tables from the file; a missing file leaves every record zero. Block updates
    // are written back to this path.
    void LoadTileData(const std::string& path);
    // Reads the tables from a file image (a short image fills what it holds).
    void ReadImage(const u8* bytes, size_t size);

    // Records by number; outside 0..0x3FFF an all-zero record.
    const LandTileRecord& Land(int tile) const;
    const StaticTileRecord& Static(int graphic) const;

    // Blocks sent by the server: land blocks 0-511, static blocks 512-1023; `data` is the u32
    // header and 32 records. Refused (false) outside those ranges or when too short. Memory is
    // updated even when the file cannot be written (a log line says so).
    bool UpdateTileBlock(int block, const u8* data, size_t length);
    bool UpdateLandTileBlock(int block, const u8* data, size_t length);
    bool UpdateStaticTileBlock(int block, const u8* data, size_t length);
    // A block of `verdata.mul` (id < 512 land, else static block id - 512); memory only.
    void ApplyPatchBlock(u32 id, const u8* data, size_t length);

    void SetListener(TileDataListener* listener) { listener_ = listener; }
    const std::string& Path() const { return path_; }

private:
    // Writes a block back to the file; a failure leaves memory updated and logs a line.
    void WriteBlock(long offset, const u8* data, size_t bytes, const std::string& what) const;

    std::vector<LandTileRecord> land_;
    std::vector<StaticTileRecord> statics_;
    std::string path_;
    TileDataListener* listener_ = nullptr;
};

ClientTileData& TheClientTileData();
