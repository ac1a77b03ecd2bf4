// The client's install files, read back by the client's own readers.
#include "tools/content_builder/client_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

#include "client/app/client_app.h"
#include "client/app/client_config.h"
#include "client/data/anim_data.h"
#include "client/data/data_file_cache.h"
#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "server/world/tile_data.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/font_and_gump_files.h"
#include "tools/content_builder/terrain.h"
#include "tools/content_builder/tile_set.h"

namespace {

// The demo install written once for the whole program (77 MB of map).
class ClientFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // One directory per process: the suite's tests may run in parallel processes.
        dir_ = new std::string(::testing::TempDir() + "/client_files_install_" +
                               std::to_string(::getpid()) + "/");
        std::filesystem::remove_all(*dir_);
        files_ = new ClientFiles;
        std::string error;
        ASSERT_TRUE(BuildClientFiles(0, 0, 1024, 1024, *files_, &error)) << error;
        ASSERT_TRUE(WriteClientFiles(*dir_, *files_, &error)) << error;
        // The install's fonts and gump art, as the content builder writes them beside.
        ASSERT_TRUE(WriteFontAndGumpFiles(*dir_, &error)) << error;
    }
    static void TearDownTestSuite() {
        std::filesystem::remove_all(*dir_);
        delete dir_;
        delete files_;
    }
    static std::string* dir_;
    static ClientFiles* files_;
};
std::string* ClientFilesTest::dir_ = nullptr;
ClientFiles* ClientFilesTest::files_ = nullptr;

TEST_F(ClientFilesTest, TheSameBytesOnEveryBuild) {
    const std::map<std::string, u64> expected = {
        {"animdata.mul", 0xafbb0f253b0bd55full},    {"tiledata.mul", 0x362c9fe30cffd44aull},
        {"hairhue.txt", 0xc987b5d12d439011ull},     {"hues.mul", 0xecf911ae9a8e4f43ull},
        {"map0.mul", 0xf8f5f5d09579a490ull},        {"skinhue.txt", 0xdfe2f42a31dc6e2cull},
        {"staidx0.mul", 0x3d9ead1264720a45ull},     {"statics0.mul", 0x1d5224026e0a7d5bull},
        {"skills.idx", 0x98546bea8af5d61bull},      {"skills.mul", 0xc58bf2175f099616ull},
        {"music/intro.wve", 0x04ca95d484ce5a19ull}, {"multi.idx", 0xf1c3206afe3737e1ull},
        {"multi.mul", 0x5e194bde2b8e294full},
    };
    for (const auto& [name, sum] : expected) {
        ASSERT_TRUE(files_->count(name)) << name;
        EXPECT_EQ(Fnv1a(files_->at(name)), sum) << name;
    }
    ClientFiles again;
    std::string error;
    ASSERT_TRUE(BuildClientFiles(0, 0, 1024, 1024, again, &error)) << error;
    EXPECT_TRUE(again == *files_);
}

TEST_F(ClientFilesTest, TablesReadBackThroughTheClientReaders) {
    const TileSet& tiles = DemoTileSet();
    ClientTileData tileData;
    tileData.LoadTileData(*dir_ + "tiledata.mul");
    for (int g : {int(demo_tiles::kCampFire), int(demo_tiles::kBackpack), int(demo_tiles::kTable),
                  0x3FFF}) {
        const StaticTileRecord& s = tiles.statics[g];
        const StaticTileRecord& c = tileData.Static(g);
        EXPECT_EQ(c.flags, s.flags) << g;
        EXPECT_EQ(c.layer, s.layer) << g;
        EXPECT_EQ(c.height, s.height) << g;
        EXPECT_EQ(c.weight, s.weight) << g;
        EXPECT_EQ(c.light, s.light) << g;
        EXPECT_STREQ(c.name, s.name) << g;
    }
    EXPECT_STREQ(tileData.Land(demo_tiles::kWater).name, "water");
    EXPECT_NE(tileData.Static(demo_tiles::kCampFire).flags & kClientTileAnimated, 0u);

    AnimDataTable anim;
    anim.LoadAnimData(*dir_ + "animdata.mul");
    const AnimRecord fire = DemoAnimData()[demo_tiles::kCampFire];
    EXPECT_EQ(anim.Record(demo_tiles::kCampFire).frameCount, fire.frameCount);
    EXPECT_EQ(anim.Record(demo_tiles::kCampFire).interval, fire.interval);
    EXPECT_EQ(anim.Record(demo_tiles::kCampFire).frames[3], fire.frames[3]);

    // 3000 hues: the first 1024 are the server's file, byte for byte.
    const std::vector<u8>& clientHues = files_->at("hues.mul");
    const std::vector<u8> serverHues =
        BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024).at("../.rundir/hues.mul");
    EXPECT_EQ(clientHues.size(), 375u * 708);
    EXPECT_TRUE(std::equal(serverHues.begin(), serverHues.end(), clientHues.begin()));
    HueTable hues;
    LoadHues(hues, *dir_);
    const std::vector<HueRecord> demo = DemoHues();
    EXPECT_EQ(hues.Hue(9)->colours[31], demo[8].colours[31]);
    EXPECT_STREQ(hues.Hue(9)->name, demo[8].name);
    // Skin: 56 colours in groups from hue 1001; hair: 48 hues 1101-1148.
    EXPECT_EQ(hues.skinGroups.hueCount, 56);
    EXPECT_EQ(hues.skinGroups.starts.size(), 7u);
    EXPECT_EQ(hues.skinColours.size(), 56u);
    EXPECT_EQ(hues.hairGroups.hueCount, 48);
    EXPECT_STREQ(hues.Hue(1148)->name, "HairHue #1148");
    EXPECT_STRNE(hues.Hue(1149)->name, "HairHue #1149");
}

TEST_F(ClientFilesTest, BothTerrainsAgreeAndTheInstallStarts) {
    CDHDCache cache;
    DataCacheSettings s;
    s.hdDir = *dir_;
    s.maximumInstall = true;
    cache.Init(s);
    const DemoWorld world = BuildDemoWorld(0, 0, 1024, 1024);
    const std::vector<u8> serverMap =
        BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024).at("../.rundir/ZQGoldDemo/map0.mul");
    struct Cell {
        int x, y;
    } cells[] = {{0, 0}, {7, 9}, {512, 512}, {1023, 1023}, {300, 700}, {1024, 0}, {6143, 4095}};
    for (const Cell& c : cells) {
        const u8* block = cache.GetIndexEntry(kFileMap, (c.x >> 3) * 512 + (c.y >> 3));
        ASSERT_NE(block, nullptr);
        const u8* cell = block + 4 + (c.y & 7) * 24 + (c.x & 7) * 3;
        const u16 tile = static_cast<u16>(cell[0] | cell[1] << 8);
        const s8 z = static_cast<s8>(cell[2]);
        if (c.x < 1024 && c.y < 1024) {
            // The server's file: blocks column by column over its 128 x 128 blocks.
            const u8* server = serverMap.data() + ((c.x >> 3) * 128 + (c.y >> 3)) * 196 + 4 +
                               (c.y & 7) * 24 + (c.x & 7) * 3;
            EXPECT_EQ(tile, server[0] | server[1] << 8) << c.x << "," << c.y;
            EXPECT_EQ(z, static_cast<s8>(server[2])) << c.x << "," << c.y;
            EXPECT_EQ(tile, world.terrain.At(c.x, c.y).tile);
        } else {
            EXPECT_GE(tile, demo_tiles::kWater);  // sea outside the server's world
            EXPECT_LT(tile, demo_tiles::kWater + 4);
        }
    }
    // Statics: the camp fire's block lists it at its place.
    const Location fire = world.places.campFire;
    s32 length;
    u32 extra;
    const u8* statics = cache.GetRecord(kFileStaticsIndex, kFileStatics,
                                        (fire.x >> 3) * 512 + (fire.y >> 3), &length, &extra);
    ASSERT_NE(statics, nullptr);
    bool found = false;
    for (s32 i = 0; i + 7 <= length; i += 7) {
        const u16 graphic = static_cast<u16>(statics[i] | statics[i + 1] << 8);
        if (graphic == demo_tiles::kCampFire && statics[i + 2] == (fire.x & 7) &&
            statics[i + 3] == (fire.y & 7)) {
            found = true;
        }
    }
    EXPECT_TRUE(found);
    // The data files without records yet are empty mappings.
    EXPECT_EQ(cache.GetRecord(kFileAnimIndex, kFileAnim, 0, &length, &extra), nullptr);
}

TEST_F(ClientFilesTest, TheIntroIsWrittenUnderMusicAndSwitchedOn) {
    std::ifstream in(*dir_ + "music/intro.wve", std::ios::binary);
    const std::vector<u8> written((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    EXPECT_TRUE(written == files_->at("music/intro.wve"));
    // Read as the client reads its configuration: the intro is on (whatever the default).
    CClientApp app(*dir_, false);
    app.options.showIntroAnim = false;
    const std::vector<u8>& cfg = files_->at("zq.cfg");
    ReadConfigText(app, std::string_view(reinterpret_cast<const char*>(cfg.data()), cfg.size()),
                   true);
    EXPECT_TRUE(app.options.showIntroAnim);
}

// The shipped settings leave every step of the front end to the player: the main menu waits
// for its login button (no chest opening that logs in alone) and the character list for a
// choice (nothing played by itself).
TEST_F(ClientFilesTest, TheShippedSettingsWaitForThePlayer) {
    CClientApp app(*dir_, false);
    const std::vector<u8>& cfg = files_->at("zq.cfg");
    ReadConfigText(app, std::string_view(reinterpret_cast<const char*>(cfg.data()), cfg.size()),
                   true);
    EXPECT_FALSE(app.options.chestOpening);
    EXPECT_FALSE(app.options.autoLogIn);
    EXPECT_TRUE(app.options.acctId.empty());
}

TEST(ClientFileWriters, IndexedRecordsAndPatchesReadBack) {
    const std::string dir =
        ::testing::TempDir() + "/client_file_writers_" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, const std::vector<u8>& bytes) {
        std::ofstream(dir + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    };
    for (int f = 0; f < kDataFileCount; ++f)
        write(DataFileTable(f).name, {});
    std::vector<IndexedRecord> records(5);
    records[1] = {true, {1, 2, 3}, 0x00200010};
    records[4] = {true, {9}, 0};
    std::vector<u8> index, data;
    WriteIndexedRecords(records, index, data);
    write("gumpidx.mul", index);
    write("gumpart.mul", data);
    write("verdata.mul", WriteVerdataFile({{kFileGumpArt, 4, {7, 7}, 5}}));
    CDHDCache cache;
    DataCacheSettings s;
    s.hdDir = dir;
    cache.Init(s);
    cache.LoadPatches();
    s32 length;
    u32 extra;
    const u8* r = cache.GetRecord(kFileGumpIndex, kFileGumpArt, 1, &length, &extra);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(extra, 0x00200010u);
    EXPECT_EQ(r[2], 3);
    EXPECT_EQ(cache.GetRecord(kFileGumpIndex, kFileGumpArt, 0, &length, &extra), nullptr);
    r = cache.GetRecord(kFileGumpIndex, kFileGumpArt, 4, &length, &extra);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(extra, 5u);
    cache.Shutdown();
    std::filesystem::remove_all(dir);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A rebuild refreshes the data but keeps the settings the player saved in zq.cfg.
TEST(WriteClientFiles, KeepsAnExistingConfigurationFile) {
    const std::string dir =
        ::testing::TempDir() + "/client_files_cfg_" + std::to_string(::getpid());
    std::filesystem::remove_all(dir);
    auto bytes = [](const std::string& text) { return std::vector<u8>(text.begin(), text.end()); };
    std::string error;
    ClientFiles first{{"zq.cfg", bytes("ShowIntroAnim=on\n")}, {"hues.txt", bytes("one")}};
    ASSERT_TRUE(WriteClientFiles(dir, first, &error)) << error;
    EXPECT_EQ(ReadAll(dir + "/zq.cfg"), "ShowIntroAnim=on\n");
    {
        std::ofstream saved(dir + "/zq.cfg", std::ios::trunc);
        saved << "ShowIntroAnim=off\n";
    }
    ClientFiles second{{"zq.cfg", bytes("ShowIntroAnim=on\n")}, {"hues.txt", bytes("two")}};
    ASSERT_TRUE(WriteClientFiles(dir, second, &error)) << error;
    EXPECT_EQ(ReadAll(dir + "/zq.cfg"), "ShowIntroAnim=off\n");
    EXPECT_EQ(ReadAll(dir + "/hues.txt"), "two");
    std::filesystem::remove_all(dir);
}

// A zq.cfg still holding exactly what an earlier build shipped was never the player's: a
// rebuild brings the new settings. Any other text is kept.
TEST(WriteClientFiles, ReplacesAnUneditedEarlierConfigurationFile) {
    const std::string dir =
        ::testing::TempDir() + "/client_files_old_cfg_" + std::to_string(::getpid());
    auto bytes = [](const std::string& text) { return std::vector<u8>(text.begin(), text.end()); };
    const std::string shipped = "HdUsage=max\nShowIntroAnim=on\nautoLogIn=off\n";
    struct Case {
        std::string present;
        std::string after;
    };
    const Case cases[] = {
        {"HdUsage=max\nShowIntroAnim=on\n", shipped},
        {"HdUsage=max\nShowIntroAnim=on\nSound=off\n", "HdUsage=max\nShowIntroAnim=on\nSound=off\n"},
        {"HdUsage=max\n", "HdUsage=max\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.present);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::ofstream(dir + "/zq.cfg", std::ios::binary) << c.present;
        std::string error;
        ASSERT_TRUE(WriteClientFiles(dir, {{"zq.cfg", bytes(shipped)}}, &error)) << error;
        EXPECT_EQ(ReadAll(dir + "/zq.cfg"), c.after);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
