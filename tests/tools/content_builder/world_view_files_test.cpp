// The world view's side files in their readers' layouts: textures through the data cache,
// radar colours, light images, the palette and the step durations.
#include "tools/content_builder/world_view_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "client/data/data_file_cache.h"
#include "tools/content_builder/art_files.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/tile_set.h"

namespace {

u16 Word(const std::vector<u8>& b, size_t i) {
    return static_cast<u16>(b[2 * i] | b[2 * i + 1] << 8);
}

class WorldViewFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files_ = new ClientFiles(BuildWorldViewFiles(BuildDemoArt())); }
    static void TearDownTestSuite() { delete files_; }
    static ClientFiles* files_;
};
ClientFiles* WorldViewFilesTest::files_ = nullptr;

TEST_F(WorldViewFilesTest, TheSameBytesOnEveryBuild) {
    const std::map<std::string, u64> expected = {
        {"animinfo.mul", 0x60ac4617b6b5ac25ull}, {"light.mul", 0x441fcac273263215ull},
        {"lightidx.mul", 0xf94cf6271105046aull}, {"palette.mul", 0x1fca9c016cd64965ull},
        {"radarcol.mul", 0x8860d45881eea9f2ull}, {"texidx.mul", 0x76f1cf3e44f281a2ull},
        {"texmaps.mul", 0xeb681676e5131111ull},
    };
    ASSERT_EQ(files_->size(), expected.size());
    for (const auto& [name, sum] : expected)
        EXPECT_EQ(Fnv1a(files_->at(name)), sum)
            << name << " 0x" << std::hex << Fnv1a(files_->at(name));
}

TEST_F(WorldViewFilesTest, TexturesReadBackThroughTheDataCache) {
    // The files as the install holds them.
    const std::string dir =
        ::testing::TempDir() + "/world_view_textures_" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(dir);
    for (int f = 0; f < kDataFileCount; ++f)
        std::ofstream(dir + DataFileTable(f).name, std::ios::binary);
    for (const char* name : {"texidx.mul", "texmaps.mul"})
        std::ofstream(dir + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(files_->at(name).data()),
                   static_cast<std::streamsize>(files_->at(name).size()));
    CDHDCache cache;
    DataCacheSettings s;
    s.hdDir = dir;
    s.maximumInstall = true;
    cache.Init(s);
    const TileSet& tiles = DemoTileSet();
    for (int tile : {int(demo_tiles::kGrass), int(demo_tiles::kWater), int(demo_tiles::kCobbles)}) {
        SCOPED_TRACE(tile);
        s32 length = 0;
        u32 extra = 0;
        const u8* texture = cache.GetRecord(kFileTextureIndex, kFileTextures,
                                            tiles.land[tile].texture, &length, &extra);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(length, kTextureSide * kTextureSide * 2);
        EXPECT_EQ(extra, 0u);  // 64 x 64
        for (s32 i = 0; i < length; i += 2)
            ASSERT_NE(texture[i] | texture[i + 1] << 8, 0) << i;  // no holes
    }
    s32 length = 0;
    u32 extra = 0;
    EXPECT_EQ(cache.GetRecord(kFileTextureIndex, kFileTextures, 4095, &length, &extra), nullptr);
    cache.Shutdown();
    std::filesystem::remove_all(dir);
}

TEST_F(WorldViewFilesTest, RadarColoursLightsPaletteAndStepDurations) {
    const std::vector<u8>& radar = files_->at("radarcol.mul");
    ASSERT_EQ(radar.size(), 131072u);
    const u16 water = Word(radar, demo_tiles::kWater), grass = Word(radar, demo_tiles::kGrass);
    EXPECT_GT(water & 31, water >> 10 & 31);  // water is blue
    EXPECT_GT(grass >> 5 & 31, grass & 31);   // grass is green
    EXPECT_NE(Word(radar, 0x4000 + demo_tiles::kTree), 0);
    EXPECT_EQ(Word(radar, 0x4000 + 5), 0);  // no art, no colour

    const std::vector<u8>& index = files_->at("lightidx.mul");
    const std::vector<u8>& lights = files_->at("light.mul");
    ASSERT_EQ(index.size(), 12u * kLightImages);
    for (int n = 0; n < kLightImages; ++n) {
        s32 offset, length;
        u16 width, height;
        std::memcpy(&offset, &index[12 * n], 4);
        std::memcpy(&length, &index[12 * n + 4], 4);
        std::memcpy(&width, &index[12 * n + 8], 2);
        std::memcpy(&height, &index[12 * n + 10], 2);
        ASSERT_EQ(length, width * height) << n;
        ASSERT_LE(static_cast<size_t>(offset + length), lights.size()) << n;
        // Brightest in the middle, nothing in the corners.
        EXPECT_GT(static_cast<s8>(lights[offset + (height / 2) * width + width / 2]), 25) << n;
        EXPECT_EQ(lights[offset], 0) << n;
    }
    EXPECT_EQ(files_->at("palette.mul").size(), 768u);
    const std::vector<u8>& info = files_->at("animinfo.mul");
    ASSERT_EQ(info.size(), 2000u);
    EXPECT_EQ(info[2 * 400], 4);
    EXPECT_EQ(info[2 * 400 + 1], 2);
}

}  // namespace
