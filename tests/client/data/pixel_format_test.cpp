#include "client/data/pixel_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "client/render/land_tile.h"

namespace {

TEST(PixelFormat, PackingAndUnpacking) {
    struct Case {
        u8 r, g, b;
        u16 pixel;
    } cases[] = {
        {255, 255, 255, 0x7FFF},
        {8, 16, 24, 0x0443},
        {0, 0, 0, 0},
        {7, 7, 7, 0},  // below one step of each channel
        {255, 0, 0, 0x7C00},
        {0, 255, 0, 0x03E0},
        {0, 0, 255, 0x001F},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RgbToPixel16(c.r, c.g, c.b), c.pixel) << int{c.r} << "," << int{c.g};
        EXPECT_EQ(ColorRefToPixel16(u32{c.r} | u32{c.g} << 8 | u32{c.b} << 16), c.pixel);
    }
    EXPECT_EQ(Pixel16ToColorRef(0x7FFF), 0x00F8F8F8u);
    EXPECT_EQ(Pixel16ToColorRef(0x7C00), 0x000000F8u);
    EXPECT_EQ(Pixel16ToColorRef(0x001F), 0x00F80000u);
    EXPECT_EQ(Convert555To565(0x7FFF), 0xFFDF);  // blue keeps 5 bits, green's low bit 0
    EXPECT_EQ(Convert555To565(0x03E0), 0x07C0);
}

TEST(PixelFormat, GreyTableWeighsTheChannels) {
    const u16* grey = GreyTable();
    struct Case {
        u16 colour, grey;
    } cases[] = {{0, 0},           {0x7C00, 0x5294},   // pure red: grey 20
                 {0x03E0, 0x1084},                     // pure green: grey 4
                 {0x001F, 0x18C6},                     // pure blue: grey 6
                 {0x7FFF, 0x7FFF}, {0x0421, 0x0421}};  // (536 + 104 + 160) / 100 = 8, >> 3 = 1
    for (const Case& c : cases)
        EXPECT_EQ(grey[c.colour], c.grey) << std::hex << c.colour;
}

TEST(LandTile, TheDiamondFillsTheSquare) {
    std::vector<u16> tile(kLandTilePixels);
    for (size_t i = 0; i < tile.size(); ++i)
        tile[i] = static_cast<u16>(i + 1);
    std::vector<u16> square(kLandSquarePixels, 0xFFFF);
    ASSERT_TRUE(LandTileToSquare(tile.data(), tile.size(), square.data()));
    // Row 0: 2 pixels at columns 21-22; rows 21 and 22 span all 44; row 43: 2 pixels again.
    auto at = [&](int x, int y) { return square[static_cast<size_t>(y) * 44 + x]; };
    EXPECT_EQ(at(20, 0), 0);
    EXPECT_EQ(at(21, 0), 1);
    EXPECT_EQ(at(22, 0), 2);
    EXPECT_EQ(at(23, 0), 0);
    EXPECT_EQ(at(0, 21), 463);  // 21 * 22 + 1: after rows 0..20
    EXPECT_EQ(at(43, 22), 550);
    EXPECT_EQ(at(21, 43), 1011);
    EXPECT_EQ(at(22, 43), 1012);
    size_t painted = 0;
    for (u16 p : square)
        painted += p != 0;
    EXPECT_EQ(painted, kLandTilePixels);
    // A short record is refused and leaves the square clear.
    EXPECT_FALSE(LandTileToSquare(tile.data(), kLandTilePixels - 1, square.data()));
    EXPECT_EQ(std::count(square.begin(), square.end(), 0), static_cast<long>(kLandSquarePixels));
}

}  // namespace
