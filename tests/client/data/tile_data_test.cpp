#include "client/data/tile_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "client/data/data_log.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/data/data_files_fixture.h"
#include "tools/content_builder/map_files.h"

namespace {

class RecordingListener : public TileDataListener {
public:
    void RefreshStaticGraphic(int graphic) override {
        calls.push_back("static " + std::to_string(graphic));
    }
    void RefreshLandGraphic(int tile) override { calls.push_back("land " + std::to_string(tile)); }
    void RebuildLightAndAnimatedLists() override { calls.push_back("rebuild"); }
    std::vector<std::string> calls;
};

TEST(ClientTileData, RecordsLieAfterTheirBlockHeaders) {
    // Distinct values at the records the offsets matter for.
    TileSet tiles;
    tiles.land[31].flags = 0x31;
    tiles.land[32].flags = 0x32;
    tiles.land[32].texture = 7;
    std::memcpy(tiles.land[32].name, "grass", 5);
    StaticTileRecord& s = tiles.statics[0];
    s.flags = 0x800000;
    s.weight = 9;
    s.layer = 3;
    s.value = 0x01020304;
    s.animation = 400;
    s.hue = 33;   // default hue
    s.light = 5;  // word 14: the light number of a light source
    s.height = 12;
    std::memcpy(s.name, "lamp", 4);
    tiles.statics[0x3FFF].flags = 0xFFFF;
    const std::vector<u8> file = WriteTileDataFile(tiles);
    // Land record 32 follows two block headers; the first static record follows 428032 + 4.
    EXPECT_EQ(file[4 + 32 * 26 + 4], 0x32);
    EXPECT_EQ(file[428032 + 4], 0x00);
    EXPECT_EQ(file[428032 + 4 + 2], 0x80);

    ClientTileData data;
    data.ReadImage(file.data(), file.size());
    EXPECT_EQ(data.Land(31).flags, 0x31u);
    EXPECT_EQ(data.Land(32).flags, 0x32u);
    EXPECT_EQ(data.Land(32).texture, 7);
    EXPECT_STREQ(data.Land(32).name, "grass");
    const StaticTileRecord& r = data.Static(0);
    EXPECT_EQ(r.flags, 0x800000u);
    EXPECT_EQ(r.weight, 9);
    EXPECT_EQ(r.layer, 3);
    EXPECT_EQ(r.value, 0x01020304u);
    EXPECT_EQ(r.animation, 400);
    EXPECT_EQ(r.hue, 33);
    EXPECT_EQ(r.light, 5);
    EXPECT_EQ(r.height, 12);
    EXPECT_STREQ(r.name, "lamp");
    EXPECT_EQ(data.Static(0x3FFF).flags, 0xFFFFu);
    EXPECT_EQ(data.Static(0x4000).flags, 0u);
    EXPECT_EQ(data.Static(-1).flags, 0u);
}

std::vector<u8> StaticBlock(u32 flags, u16 hue) {
    std::vector<u8> block(kStaticBlockBytes, 0);
    block[0] = 0xAB;  // header word
    for (int i = 0; i < 32; ++i) {
        StaticTileRecord t;
        t.flags = flags;
        t.hue = hue;
        t.height = static_cast<u8>(i);
        WriteStaticTileRecord(t, block.data() + 4 + i * kStaticRecordSize);
    }
    return block;
}

TEST(ClientTileData, BlockUpdatesChangeMemoryAndDiskAndTellTheWorld) {
    ClientTestEnv env;
    const std::string path = env.Dir() + "/tiledata.mul";
    WriteBytes(path, WriteTileDataFile(TileSet{}));
    ClientTileData data;
    data.LoadTileData(path);
    RecordingListener listener;
    data.SetListener(&listener);

    struct Case {
        const char* name;
        int block;
        u32 flags;
        u16 hue;
        bool accepted;
        std::vector<std::string> calls;  // of the first graphic and the rebuild
    } cases[] = {
        {"light source set", 512 + 2, 0x800000, 0, true, {"static 64", "rebuild"}},
        {"same again: nothing to do", 512 + 2, 0x800000, 0, true, {}},
        {"hue changed only", 512 + 2, 0x800000, 9, true, {"static 64"}},
        {"animated cleared and set", 512 + 2, 0x1000000, 9, true, {"static 64", "rebuild"}},
        {"land block number", 511, 0, 0, false, {}},
        {"past the table", 1024, 0, 0, false, {}},
        {"negative", -1, 0, 0, false, {}},
    };
    for (const Case& c : cases) {
        listener.calls.clear();
        const std::vector<u8> block = StaticBlock(c.flags, c.hue);
        EXPECT_EQ(data.UpdateStaticTileBlock(c.block, block.data(), block.size()), c.accepted)
            << c.name;
        std::vector<std::string> firstAndRebuild;
        for (const std::string& call : listener.calls)
            if (call == "static 64" || call == "rebuild") firstAndRebuild.push_back(call);
        EXPECT_EQ(firstAndRebuild, c.calls) << c.name;
    }
    EXPECT_EQ(data.Static(64 + 31).height, 31);
    EXPECT_EQ(data.Static(64).flags, 0x1000000u);
    // The file holds the block at its place: the next start reads it.
    ClientTileData reread;
    reread.LoadTileData(path);
    EXPECT_EQ(reread.Static(64).flags, 0x1000000u);
    EXPECT_EQ(reread.Static(64).hue, 9);
    EXPECT_EQ(ReadBytes(path)[kStaticBlocksStart + 2 * kStaticBlockBytes], 0xAB);

    // A land block: the texture change redraws the tile.
    std::vector<u8> land(kLandBlockBytes, 0);
    LandTileRecord t;
    t.texture = 44;
    WriteLandTileRecord(t, land.data() + 4 + 5 * kLandRecordSize);
    listener.calls.clear();
    EXPECT_TRUE(data.UpdateTileBlock(3, land.data(), land.size()));
    EXPECT_EQ(listener.calls, std::vector<std::string>{"land 101"});
    EXPECT_FALSE(data.UpdateLandTileBlock(512, land.data(), land.size()));
    EXPECT_FALSE(data.UpdateLandTileBlock(3, land.data(), land.size() - 1));
}

TEST(ClientTileData, ABlockThatCannotBeWrittenStillUpdatesMemory) {
    ClientTestEnv env;
    ClientTileData data;
    data.LoadTileData(env.Dir() + "/missing/tiledata.mul");
    DataLogCapture log;
    const std::vector<u8> block = StaticBlock(0x200, 0);
    EXPECT_TRUE(data.UpdateStaticTileBlock(600, block.data(), block.size()));
    EXPECT_EQ(data.Static((600 - 512) * 32).flags, 0x200u);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_NE(log.Lines()[0].find("static block 600 not written"), std::string::npos);
}

}  // namespace
