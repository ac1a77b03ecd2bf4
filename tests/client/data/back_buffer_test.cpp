#include "client/data/back_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/data/data_log.h"
#include "client/data/row_copy.h"

namespace {

TEST(BackBuffer, IsPaintedWithTheStartUpArtOnceCreated) {
    std::vector<int> painted;
    SetBackgroundPainter([&](int id, u16* pixels, int width, int height) {
        painted.push_back(id);
        pixels[0] = 0x1234;
        return width == 640 && height == 480;
    });
    DeleteBackBuffer();
    EXPECT_EQ(BackBufferPixels(), nullptr);
    CreateBackBuffer();
    CreateBackBuffer();  // exists already
    ASSERT_NE(BackBufferPixels(), nullptr);
    EXPECT_EQ(painted, std::vector<int>{1415});
    EXPECT_EQ(BackBufferPixels()[0], 0x1234);
    EXPECT_EQ(BackBufferPixels()[640 * 480 - 1], 0);
    DeleteBackBuffer();
    SetBackgroundPainter(nullptr);
}

TEST(BackBuffer, DiamondAndShadeTables) {
    const LandDiamondTables& d = LandDiamond();
    struct Row {
        int r, width, start, end, data;
    } rows[] = {
        {0, 2, 21, 23, 0},    {1, 4, 20, 24, 2},  {21, 44, 0, 44, 462},
        {22, 42, 1, 43, 507}, {43, 0, 22, 22, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(d.rowWidth[row.r], row.width) << row.r;
        EXPECT_EQ(d.rowStart[row.r], row.start) << row.r;
        EXPECT_EQ(d.rowEnd[row.r], row.end) << row.r;
        if (row.r < 43) {
            EXPECT_EQ(d.rowData[row.r], row.data) << row.r;
        }
    }
    EXPECT_EQ(Shades().shade[4][31], 27);
    EXPECT_EQ(Shades().shade[31][31], 0);
    EXPECT_EQ(Shades().red[31][4], 27u << 10);
    EXPECT_EQ(Shades().green[31][0], 31u << 5);
}

TEST(RowCopy, CopiesExactlyTheCountAtAnyAlignment) {
    const u16 source[5] = {0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x0421};
    const u16 wide[5] = {0xFFDF, 0x001F, 0x07C0, 0xF800, 0x0841};
    for (int count : {0, 1, 4, 5}) {
        for (int shift : {0, 1}) {  // destination 4-byte aligned or not
            alignas(4) u16 out[8];
            std::fill(std::begin(out), std::end(out), 0xAAAA);
            SpanCopyAligned(out + shift, source, count);
            for (int i = 0; i < 8; ++i) {
                const bool inside = i >= shift && i < shift + count;
                EXPECT_EQ(out[i], inside ? source[i - shift] : 0xAAAA) << count << shift << i;
            }
            std::fill(std::begin(out), std::end(out), 0xAAAA);
            SpanCopy555To565(out + shift, source, count);
            for (int i = 0; i < 8; ++i) {
                const bool inside = i >= shift && i < shift + count;
                EXPECT_EQ(out[i], inside ? wide[i - shift] : 0xAAAA) << count << shift << i;
            }
        }
    }
}

}  // namespace
