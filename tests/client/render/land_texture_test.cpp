// Land textures read once from the data files: the texels as stored, refused when short or of
// an unknown size, and read afresh when the files are opened again.
#include "client/render/land_texture.h"

#include <gtest/gtest.h>

#include "client/data/data_file_cache.h"
#include "core/byte_order.h"
#include "tests/client/app/client_test_env.h"

namespace {

class LandTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_.LinkClientInstall();
        DataCacheSettings s;
        s.hdDir = env_.InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
    }
    void TearDown() override { TheDataCache().Shutdown(); }
    ClientTestEnv env_;
};

TEST_F(LandTextureTest, TexelsAreTheRecordsAndStayDecoded) {
    int found = 0;
    for (int n = 1; n <= 4095 && found < 3; ++n) {
        s32 length = 0;
        u32 size = 0;
        const u8* record =
            TheDataCache().GetRecord(kFileTextureIndex, kFileTextures, n, &length, &size);
        const LandTexture t = GetLandTexture(n);
        if (record == nullptr) {
            EXPECT_EQ(t.texels, nullptr) << n;
            continue;
        }
        ++found;
        ASSERT_NE(t.texels, nullptr) << n;
        EXPECT_EQ(t.sizeCode, static_cast<int>(size));
        ASSERT_EQ(t.texelCount, (size_t{64} << size) * (size_t{64} << size));
        for (size_t i : {size_t{0}, t.texelCount / 2, t.texelCount - 1})
            EXPECT_EQ(t.texels[i], LoadLe16(record + 2 * i)) << n << " texel " << i;
        EXPECT_EQ(GetLandTexture(n).texels, t.texels) << "decoded once";
    }
    EXPECT_EQ(found, 3) << "the install has textures";
    for (int n : {0, -1, 4096})
        EXPECT_EQ(GetLandTexture(n).texels, nullptr) << n;
}

}  // namespace
