// Land objects drawing themselves from the generated install's land art.
#include <gtest/gtest.h>

#include <vector>

#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/render/land_draw.h"
#include "client/render/land_tile.h"
#include "tests/client/world/installed_world_fixture.h"

namespace {

constexpr int kW = 80, kH = 70;
constexpr u16 kBackground = 0x0421;

class LandObjectDrawTest : public InstalledWorldFixture {
protected:
    BlitTarget CanvasTarget() { return BlitTarget{canvas.data(), kW, kH}; }
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
        tile->Draw(CanvasTarget(), ScreenRect{clip.left, clip.top, clip.right, clip.bottom});
        tile->Destroy();
    }
    // The canvas as the pixel routine would paint the record `id` at (20, 9).
    static std::vector<u16> Expected(int id, bool grey, const ClipRect& clip) {
        std::vector<u16> pixels(kW * kH, kBackground);
        const BlitTarget target{pixels.data(), kW, kH};
        const std::vector<u16> art = LandArt(id);
        if (!art.empty()) {
            if (grey)
                DrawLandPixelsGrey(target, art.data(), art.size(), 20, 9, clip);
            else
                DrawLandPixels(target, art.data(), art.size(), 20, 9, clip);
        }
        return pixels;
    }

    std::vector<u16> canvas = std::vector<u16>(kW * kH, kBackground);
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
            DrawObject(c.graphic, clip);
            const std::vector<u16> drawn = canvas;
            EXPECT_EQ(drawn, Expected(c.artId, false, clip)) << "graphic " << c.graphic;
            EXPECT_NE(drawn, std::vector<u16>(kW * kH, kBackground)) << "graphic " << c.graphic;
        }
    }
    std::fill(canvas.begin(), canvas.end(), kBackground);
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

// A texture number with a 64 x 64 record in the install, 0 when there is none.
int SomeTexture() {
    for (int id = 1; id < 4096; ++id) {
        s32 length = 0;
        u32 size = 0;
        const u8* r =
            TheDataCache().GetRecord(kFileTextureIndex, kFileTextures, id, &length, &size);
        if (r != nullptr && size == 0 && length >= 64 * 64 * 2) return id;
    }
    return 0;
}

class TexturedLandDrawTest : public LandObjectDrawTest {
protected:
    static constexpr int kGraphic = 77;
    void SetUp() override {
        LandObjectDrawTest::SetUp();
        texture = SomeTexture();
        land[kGraphic].texture = u16(texture);
        LoadTiles();
    }
    // Draws a textured cell at (10, 12) so that b (the cell's row line) lands at row 30 and
    // its left edge at column 15; returns the rows that received pixels.
    std::vector<int> DrawCell(int graphic, s8 c0, s8 c1, s8 c2, s8 c3) {
        std::fill(canvas.begin(), canvas.end(), kBackground);
        const s8 corners[4] = {c0, c1, c2, c3};
        TexturedLandTile* tile =
            TexturedLandTile::Allocate(graphic, ClientLocation{10, 12, 0}, corners);
        tile->SetKeys(0);
        tile->UpdateScreenBox();
        ViewScrollX = tile->box.left - 15;
        ViewScrollY = tile->rowKey * 22 - 30;
        tile->Draw(CanvasTarget(), ScreenRect{0, 0, kW, kH});
        tile->Destroy();
        std::vector<int> rows;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (canvas[y * kW + x] != kBackground) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
    int texture = 0;
};

TEST_F(TexturedLandDrawTest, CutsTheCellAlongTheFlatterDiagonal) {
    struct Case {
        s8 c[4];
        int triangles[2][3];
        int highest[2];
    } cases[] = {
        {{0, 0, 0, 6}, {{0, 1, 2}, {2, 3, 0}}, {0, 3}},
        {{0, 3, 6, 3}, {{0, 1, 3}, {1, 2, 3}}, {1, 2}},
        {{12, 0, 0, 0}, {{0, 1, 3}, {1, 2, 3}}, {0, 2}},
        {{4, 4, 4, 4}, {{0, 1, 2}, {2, 3, 0}}, {0, 2}},
    };
    for (const Case& c : cases) {
        TexturedLandTile* tile = TexturedLandTile::Allocate(kGraphic, ClientLocation{1, 1, 0}, c.c);
        for (int t = 0; t < 2; ++t) {
            EXPECT_EQ(tile->highest[t], c.highest[t]) << int(c.c[1]) << " triangle " << t;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(tile->triangles[t][i], c.triangles[t][i]) << int(c.c[1]) << " " << t;
        }
        tile->Destroy();
    }
}

TEST_F(TexturedLandDrawTest, DrawsOnlyWhatFacesTheViewerAndHasATexture) {
    ASSERT_NE(texture, 0);
    // Rows: from one above the top corner down to the lowest corner on screen (the side
    // corners, 2 high: 30 + 22 - 8; the bottom corner, 10 high, is at 30 + 45 - 40).
    std::vector<int> rows = DrawCell(kGraphic, 0, 2, 10, 2);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), 29);
    EXPECT_EQ(rows.back(), 30 + 22 - 8);
    EXPECT_TRUE(DrawCell(kGraphic, 0, 2, 11, 2).empty()) << "faces away";
    EXPECT_TRUE(DrawCell(2, 0, 2, 5, 2).empty()) << "graphic 2";
    EXPECT_TRUE(DrawCell(kGraphic + 1, 0, 2, 5, 2).empty()) << "no texture";
    // The flat-bottomed corner set of the triangle filler.
    EXPECT_FALSE(DrawCell(kGraphic, 0, 2, 4, 2).empty());
}

TEST_F(TexturedLandDrawTest, TheLevelCutLeavesOutTrianglesAboveIt) {
    ASSERT_NE(texture, 0);
    // Cut along corners 1-3: the top triangle holds the corner at 12, the bottom one lies
    // at 0 and starts at the 1-3 line (row 30 + 22).
    std::vector<int> rows = DrawCell(kGraphic, 12, 0, 0, 0);
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), 52);
    TheLevels().cutOn = 1;
    TheLevels().cutLevel = 10;
    rows = DrawCell(kGraphic, 12, 0, 0, 0);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 52);
    TheLevels().cutLevel = 12;
    rows = DrawCell(kGraphic, 12, 0, 0, 0);
    EXPECT_LT(rows.front(), 52);
}

}  // namespace
