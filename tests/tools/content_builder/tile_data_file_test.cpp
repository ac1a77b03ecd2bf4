// The tile data as the content builder writes it, read back by the one record reader, and the
// same records in both halves' tables.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "client/data/tile_data.h"
#include "core/tile_data_record.h"
#include "server/world/tile_data.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/tile_set.h"

namespace {

// The demo's tile set with every field of a few records set apart, names of full width too.
TileSet MarkedTileSet() {
    TileSet tiles = DemoTileSet();
    LandTileRecord& land = tiles.land[kTileGroupSize];  // first record of the second block
    land.flags = 0x89ABCDEF;
    land.texture = 0xFEDC;
    std::memcpy(land.name, "twenty letters long.", kTileNameSize);
    StaticTileRecord& last = tiles.statics[kTileCount - 1];
    last.flags = 0xF0E0D0C0;
    last.weight = 201;
    last.layer = 25;
    last.value = 0x01020304;
    last.animation = 0xA1A2;
    last.hue = 0xB1B2;
    last.light = 0xC1C2;
    last.height = 99;
    std::memcpy(last.name, "the last static tile", kTileNameSize);
    return tiles;
}

TEST(TileDataFile, EveryRecordComesBackWholeThroughTheRecordReader) {
    const TileSet tiles = MarkedTileSet();
    const std::vector<u8> file = WriteTileDataFile(tiles);
    ASSERT_EQ(file.size(), size_t(kTileDataFileSize));
    std::vector<LandTileRecord> land(kTileCount);
    std::vector<StaticTileRecord> statics(kTileCount);
    EXPECT_EQ(ReadTileDataImage(file.data(), file.size(), land.data(), statics.data()),
              2 * kTileCount);
    for (int i = 0; i < kTileCount; ++i) {
        ASSERT_TRUE(land[i] == tiles.land[i]) << "land " << i;
        ASSERT_TRUE(statics[i] == tiles.statics[i]) << "static " << i;
    }
    EXPECT_STREQ(statics[kTileCount - 1].name, "the last static tile");
}

TEST(TileDataFile, AShortImageReadsItsWholeRecordsOnly) {
    const TileSet tiles = MarkedTileSet();
    const std::vector<u8> file = WriteTileDataFile(tiles);
    struct Case {
        size_t size;
        int records;
    } cases[] = {
        {0, 0},
        {4 + kLandRecordSize - 1, 0},
        {4 + kLandRecordSize, 1},
        {kLandBlockBytes + 4 + kLandRecordSize - 1, kTileGroupSize},  // the header is no record
        {size_t(kStaticBlocksStart) + 4 + kStaticRecordSize, kTileCount + 1},
        {size_t(kTileDataFileSize) - 1, 2 * kTileCount - 1},
    };
    for (const Case& c : cases) {
        std::vector<LandTileRecord> land(kTileCount);
        std::vector<StaticTileRecord> statics(kTileCount);
        EXPECT_EQ(ReadTileDataImage(file.data(), c.size, land.data(), statics.data()), c.records)
            << c.size;
        // The record after the last whole one is left as it was.
        if (c.records < kTileCount) {
            EXPECT_TRUE(land[c.records] == LandTileRecord{}) << c.size;
        } else if (c.records < 2 * kTileCount) {
            EXPECT_TRUE(statics[c.records - kTileCount] == StaticTileRecord{}) << c.size;
        }
    }
}

TEST(TileDataFile, BothHalvesHoldTheSameRecords) {
    const std::vector<u8> file = WriteTileDataFile(MarkedTileSet());
    TileData server;
    ASSERT_TRUE(server.ReadTileData(file.data(), file.size()));
    ClientTileData client;
    client.ReadImage(file.data(), file.size());
    for (int i = 0; i < kTileCount; ++i) {
        ASSERT_TRUE(server.Land(i) == client.Land(i)) << "land " << i;
        ASSERT_TRUE(server.Static(i) == client.Static(i)) << "static " << i;
    }
    EXPECT_EQ(server.Static(kTileCount - 1).BaseValue(), 0xC1C2);
    // The server takes a complete file only; the client what it holds.
    TileData shortServer;
    EXPECT_FALSE(shortServer.ReadTileData(file.data(), file.size() - 1));
    EXPECT_TRUE(shortServer.Static(kTileCount - 1) == StaticTileRecord{});
}

// The robes a death and a resurrection put on layer 22: worn there, with a picture on the body
// and art of their own.
TEST(TileDataFile, TheRobesOfDeathAreWornOnTheRobeLayer) {
    const TileSet& tiles = DemoTileSet();
    const std::vector<std::pair<u16, u16>> art = DemoArtSizes();
    for (int graphic : {demo_tiles::kDeathRobe, demo_tiles::kRobe}) {
        const StaticTileRecord& r = tiles.statics[graphic];
        EXPECT_TRUE(r.flags & kTileWearable) << graphic;
        EXPECT_EQ(r.layer, 22) << graphic;
        EXPECT_NE(r.animation, 0) << graphic;
        EXPECT_NE(art[graphic].first, 0) << graphic;
    }
}

}  // namespace
