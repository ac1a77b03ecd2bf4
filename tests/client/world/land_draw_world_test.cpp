// Land objects drawing themselves from the generated install's land art.
#include <gtest/gtest.h>

#include <vector>

#include "client/data/data_file_cache.h"
#include "client/render/land_draw.h"
#include "client/render/land_tile.h"
#include "client/render/pixel_format.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/world/world_fixture.h"

namespace {

constexpr int kW = 80, kH = 70;
constexpr u16 kBackground = 0x0421;

class LandObjectDrawTest : public WorldFixture {
protected:
    void SetUp() override {
        env_.reset(new ClientTestEnv);
        env_->LinkClientInstall();
        DataCacheSettings s;
        s.hdDir = env_->InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
        SetBlitTarget(canvas.data(), kW, kH);
    }
    void TearDown() override {
        SetBlitTarget(nullptr, 0, 0);
        ResetWorld();
        TheDataCache().Shutdown();
    }
    // The stored pixels of a land record, empty when it is missing or short.
    static std::vector<u16> LandArt(int id) {
        s32 length = 0;
        const u8* record = GetArtRecord(id, &length);
        if (record == nullptr || length < s32(kLandTilePixels * 2)) return {};
        std::vector<u16> tile(kLandTilePixels);
        for (size_t i = 0; i < tile.size(); ++i)
            tile[i] = u16(record[2 * i] | record[2 * i + 1] << 8);
        return tile;
    }
    // Draws a land object of `graphic` at cell (10, 12, z 3) so its box lands at (20, 9).
    void DrawObject(int graphic, const ClipRect& clip) {
        LandTile* tile = LandTile::Allocate(graphic, ClientLocation{10, 12, 3});
        tile->SetKeys(1);
        tile->UpdateScreenBox();
        ViewScrollX = tile->box.left - 20;
        ViewScrollY = tile->box.top - 9;
        tile->Draw(ScreenRect{clip.left, clip.top, clip.right, clip.bottom});
        tile->Destroy();
    }
    // The canvas as the pixel routine would paint the record `id` at (20, 9).
    static std::vector<u16> Expected(int id, bool grey, const ClipRect& clip) {
        std::vector<u16> pixels(kW * kH, kBackground);
        SetBlitTarget(pixels.data(), kW, kH);
        const std::vector<u16> art = LandArt(id);
        if (!art.empty()) {
            if (grey)
                DrawLandPixelsGrey(art.data(), art.size(), 20, 9, clip);
            else
                DrawLandPixels(art.data(), art.size(), 20, 9, clip);
        }
        return pixels;
    }

    std::vector<u16> canvas = std::vector<u16>(kW * kH, kBackground);
    std::unique_ptr<ClientTestEnv> env_;
};

TEST_F(LandObjectDrawTest, DrawsItsArtMissingArtAsIdZeroAndNeverGraphicTwo) {
    int present = -1, missing = -1;
    for (int id = 3; id < 0x4000 && (present < 0 || missing < 0); ++id) {
        if (LandArt(id).empty())
            missing = missing < 0 ? id : missing;
        else
            present = present < 0 ? id : present;
    }
    ASSERT_GE(present, 0);
    ASSERT_GE(missing, 0);
    ASSERT_FALSE(LandArt(0).empty());
    const ClipRect clips[] = {{0, 0, kW, kH}, {30, 15, 50, 40}};
    struct Case {
        int graphic, artId;
    } cases[] = {{present, present}, {present | 0x8000, present}, {missing, 0}};
    for (const ClipRect& clip : clips) {
        for (const Case& c : cases) {
            std::fill(canvas.begin(), canvas.end(), kBackground);
            SetBlitTarget(canvas.data(), kW, kH);
            DrawObject(c.graphic, clip);
            const std::vector<u16> drawn = canvas;
            EXPECT_EQ(drawn, Expected(c.artId, false, clip)) << "graphic " << c.graphic;
            EXPECT_NE(drawn, std::vector<u16>(kW * kH, kBackground)) << "graphic " << c.graphic;
        }
    }
    std::fill(canvas.begin(), canvas.end(), kBackground);
    SetBlitTarget(canvas.data(), kW, kH);
    DrawObject(2, {0, 0, kW, kH});
    EXPECT_EQ(canvas, std::vector<u16>(kW * kH, kBackground));
}

TEST_F(LandObjectDrawTest, AGhostPlayerSeesLandInGrey) {
    int present = -1;
    for (int id = 3; id < 0x4000 && present < 0; ++id)
        if (!LandArt(id).empty()) present = id;
    ASSERT_GE(present, 0);
    MakePlayer(1, 402);
    DrawObject(present, {0, 0, kW, kH});
    const std::vector<u16> drawn = canvas;
    EXPECT_EQ(drawn, Expected(present, true, {0, 0, kW, kH}));
    EXPECT_NE(drawn, Expected(present, false, {0, 0, kW, kH}));
}

}  // namespace
