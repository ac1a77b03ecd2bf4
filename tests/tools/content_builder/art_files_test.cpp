// The generated art read back by the client (data cache, MakeArtBitmap, the art blitter) and
// the sizes the server reads from artdim.dat.
#include "tools/content_builder/art_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "client/data/data_file_cache.h"
#include "client/render/art_bitmap.h"
#include "client/render/span_blit.h"
#include "core/byte_order.h"
#include "server/world/tile_data.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/scratch_install.h"
#include "tools/content_builder/tile_set.h"

namespace {

class ArtFilesTest : public ScratchInstallSuite<kFileArtIndex, kFileArt, &BuildDemoArt> {};

TEST_F(ArtFilesTest, TheSameBytesOnEveryBuild) {
    std::vector<u8> index, data;
    WriteIndexedRecords(Records(), index, data);
    EXPECT_EQ(Fnv1a(index), 0xb81450a32b66280aull) << std::hex << Fnv1a(index);
    EXPECT_EQ(Fnv1a(data), 0x91fcfc2af23d8472ull) << std::hex << Fnv1a(data);
    std::vector<u8> index2, data2;
    WriteIndexedRecords(BuildDemoArt(), index2, data2);
    EXPECT_TRUE(index2 == index && data2 == data);
}

// Every tile of the set has its land picture: a full diamond, nothing outside it.
TEST_F(ArtFilesTest, LandTilesReadBackAsDiamonds) {
    const TileSet& tiles = DemoTileSet();
    for (int tile = 0; tile < kTileCount; ++tile) {
        if (tiles.land[tile].name[0] == '\0' && tile != 0) continue;
        SCOPED_TRACE(tile);
        const ArtBitmap bitmap = MakeArtBitmap(0x8000u | static_cast<u32>(tile), false, false);
        ASSERT_EQ(bitmap.width, 44);
        ASSERT_EQ(bitmap.height, 44);
        for (auto [x, y, inside] : {std::tuple{21, 0, true},
                                    {0, 21, true},
                                    {43, 22, true},
                                    {22, 43, true},
                                    {0, 0, false},
                                    {43, 43, false}}) {
            EXPECT_EQ(bitmap.pixels[y * 44 + x] != 0, inside) << x << "," << y;
        }
    }
}

// Static art: the size the server reads from artdim.dat is the size of the art the client
// draws, and the picture reaches every row and column.
TEST_F(ArtFilesTest, StaticArtAndArtDimAgree) {
    TileData server;
    const std::vector<u8> artdim =
        BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024).at("../.rundir/artdim.dat");
    ASSERT_TRUE(server.ReadArtDimensions(artdim.data(), artdim.size()));
    const TileSet& tiles = DemoTileSet();
    int checked = 0;
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        if (tiles.statics[graphic].name[0] == '\0') continue;
        SCOPED_TRACE(graphic);
        const ArtBitmap bitmap = MakeArtBitmap(static_cast<u32>(graphic), false, false);
        int width = 0, height = 0;
        server.GetArtSize(graphic, width, height);
        ASSERT_EQ(bitmap.width, width);
        ASSERT_EQ(bitmap.height, height);
        EXPECT_EQ(height, 44 + tiles.statics[graphic].height * 4);
        std::vector<bool> column(static_cast<size_t>(width)), row(static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (bitmap.pixels[static_cast<size_t>(y) * width + x] != 0)
                    column[x] = row[y] = true;
        EXPECT_EQ(std::count(column.begin(), column.end(), true), width);
        EXPECT_EQ(std::count(row.begin(), row.end(), true), height);
        ++checked;
    }
    EXPECT_GT(checked, 20);
    // A graphic without art shows land tile 0; a device bitmap's width is a multiple of 4.
    const ArtBitmap missing = MakeArtBitmap(5, false, false);
    EXPECT_EQ(missing.width, 44);
    EXPECT_EQ(missing.pixels, MakeArtBitmap(0x8000, false, false).pixels);
    EXPECT_EQ(MakeArtBitmap(0x6053 - 0x4000, false, true).width % 4, 0);
}

// A record whose header claims a huge picture is not drawn: land tile 0 stands in for it.
TEST(ArtBitmap, OversizedPiecesCountAsMissing) {
    std::vector<IndexedRecord> records(0x4010);
    std::vector<u16> square(44 * 44, 0x0421);
    records[0] = {true, EncodeLandArt(square.data()), 0};
    struct Case {
        int width, height;
        bool drawn;
    } cases[] = {{kMaxArtBitmapSide, 1, true},
                 {1, kMaxArtBitmapSide, true},
                 {kMaxArtBitmapSide + 1, 1, false},
                 {65535, 2, false},
                 {2, 65535, false}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        // Header and row table only: every row ends at once.
        std::vector<u8> bytes = {0, 0, 0, 0};
        AppendLe16(bytes, static_cast<u16>(cases[i].width));
        AppendLe16(bytes, static_cast<u16>(cases[i].height));
        for (int r = 0; r < cases[i].height; ++r)
            AppendLe16(bytes, 0);
        AppendLe16(bytes, 0);
        AppendLe16(bytes, 0);
        records[0x4001 + i] = {true, bytes, 0};
    }
    ScratchInstall install("art_bitmap_oversized", {{kFileArtIndex, kFileArt, records}});
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const ArtBitmap bitmap = MakeArtBitmap(static_cast<u32>(1 + i), false, false);
        EXPECT_EQ(bitmap.width, cases[i].drawn ? cases[i].width : 44);
        EXPECT_EQ(bitmap.height, cases[i].drawn ? cases[i].height : 44);
    }
}

TEST_F(ArtFilesTest, GreyBitmapsAreGrey) {
    const ArtBitmap grey = MakeArtBitmap(demo_tiles::kCampFire, true, false);
    int painted = 0;
    for (u16 p : grey.pixels) {
        if (p == 0) continue;
        ++painted;
        EXPECT_TRUE(IsGreyPixel(p)) << std::hex << p;
    }
    EXPECT_GT(painted, 0);
}

// The pointer images: the hot spot found as the cursor loader finds it (pure green in the top
// row gives x, the first row whose first pixel is pure green gives y).
TEST_F(ArtFilesTest, CursorHotSpotsAreMarkedGreen) {
    for (u32 art = kFirstCursorArt; art <= kLastCursorArt; ++art) {
        SCOPED_TRACE(art);
        s32 length = 0;
        const u8* record = GetArtRecord(static_cast<s32>(art), &length);
        ASSERT_NE(record, nullptr);
        std::vector<u16> words(static_cast<size_t>(length) / 2);
        std::memcpy(words.data(), record, words.size() * 2);
        const ArtRecord rec{words.data(), words.size()};
        int width = 0, height = 0;
        ASSERT_TRUE(ArtRecordSize(rec, width, height));
        std::vector<u16> pixels(static_cast<size_t>(width) * height);
        DrawArt(BlitTarget{pixels.data(), width, height}, SpanCopy, rec, 0, 0);
        int hx = -1, hy = -1;
        for (int x = 0; x < width && hx < 0; ++x)
            if (pixels[x] == kHotSpotGreen) hx = x;
        for (int y = 0; y < height && hy < 0; ++y) {
            // The row's first painted pixel.
            for (int x = 0; x < width; ++x) {
                if (pixels[static_cast<size_t>(y) * width + x] == 0) continue;
                if (pixels[static_cast<size_t>(y) * width + x] == kHotSpotGreen && x == 0) hy = y;
                break;
            }
        }
        const CursorHotSpot expected = DemoCursorHotSpot(art);
        EXPECT_EQ(hx, expected.x);
        EXPECT_EQ(hy, expected.y);
        // Only the two markers are green.
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kHotSpotGreen), 2);
    }
}

}  // namespace
