#include "movie/palette_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace movie;

std::vector<u8> LzStream(std::vector<u8> commands, u32 size = 0) {
    std::vector<u8> out = {0x10, 0xFB, u8(size >> 16), u8(size >> 8), u8(size)};
    out.insert(out.end(), commands.begin(), commands.end());
    return out;
}

std::vector<u8> Decompress(const std::vector<u8>& stream, size_t capacity) {
    std::vector<u8> out(capacity, 0xEE);
    size_t written = 0;
    DecompressLz(stream.data(), stream.size(), out.data(), out.size(), &written);
    out.resize(written);
    return out;
}

TEST(DecompressLz, CommandsOfEveryForm) {
    struct Case {
        const char* name;
        std::vector<u8> commands;
        std::vector<u8> expected;
    };
    const Case cases[] = {
        // 2 literals, then 3 bytes from one back: a run of the last byte.
        {"short match, distance 1", {0x02, 0x00, 'a', 'b', 0xFC}, {'a', 'b', 'b', 'b', 'b'}},
        {"00 00 repeats the last byte three times",
         {0xE0, 1, 2, 3, 4, 0x00, 0x00, 0xFC},
         {1, 2, 3, 4, 4, 4, 4}},
        {"end without literals", {0xFC}, {}},
        {"end with three literals", {0xFF, 'x', 'y', 'z'}, {'x', 'y', 'z'}},
        {"literal run of 4", {0xE0, 1, 2, 3, 4, 0xFC}, {1, 2, 3, 4}},
        // 0x80 | 0: 4 bytes; b1 = 1 literal, distance (0 << 8 | 0) + 1.
        {"medium match", {0x80, 0x40, 0x00, 'q', 0xFC}, {'q', 'q', 'q', 'q', 'q'}},
        // literals "ab", then 5 bytes from 2 back.
        {"long match",
         {0xC2, 0x00, 0x01, 0x00, 'a', 'b', 0xFC},
         {'a', 'b', 'a', 'b', 'a', 'b', 'a'}},
        // A match reaching before the start stops the data.
        {"match before the start", {0x01, 0x05, 'a', 0xFF, 'z', 'z', 'z'}, {'a'}},
        // A literal run cut short by the end of the source.
        {"truncated literals", {0xE1, 1, 2, 3}, {1, 2, 3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decompress(LzStream(c.commands), 64), c.expected) << c.name;
}

TEST(DecompressLz, HeaderAndSizeOnly) {
    EXPECT_EQ(DecompressLz(nullptr, 10, nullptr, 0), 0u);
    const std::vector<u8> stream = LzStream({0xFC}, 0x012345);
    EXPECT_EQ(DecompressLz(stream.data(), stream.size(), nullptr, 0), 0x012345u);
    // Bit 0 of the first byte: three more header bytes.
    const std::vector<u8> longer = {0x11, 0xFB, 9, 9, 9, 0, 0, 7, 0xFD, 'k'};
    std::vector<u8> out(4);
    size_t written = 0;
    EXPECT_EQ(DecompressLz(longer.data(), longer.size(), out.data(), out.size(), &written), 7u);
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(out[0], 'k');
    EXPECT_EQ(DecompressLz(longer.data(), 6, out.data(), out.size()), 0u);
}

TEST(DecompressLz, OutputStopsAtTheCapacity) {
    // 8 literals and a long match of 300: far more than the 10 bytes the picture holds.
    const std::vector<u8> stream =
        LzStream({0xE1, 1, 2, 3, 4, 5, 6, 7, 8, 0xC4, 0x00, 0x00, 0xFF, 0xFC});
    std::vector<u8> out(10);
    size_t written = 0;
    DecompressLz(stream.data(), stream.size(), out.data(), out.size(), &written);
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(out, (std::vector<u8>{1, 2, 3, 4, 5, 6, 7, 8, 8, 8}));
}

TEST(UnpackIndices, FieldsFromTheLowBitUp) {
    const u8 bytes[] = {0xAB, 0xCD, 0xEF};
    s32 table[2];
    UnpackIndices(table, bytes, sizeof bytes, 2, 12);
    EXPECT_EQ(table[0], 0xDAB);
    EXPECT_EQ(table[1], 0xEFC);
    s32 bits[4];
    UnpackIndices(bits, bytes, 1, 4, 3);  // 0xAB = 10 101 011
    EXPECT_EQ(bits[0], 3);
    EXPECT_EQ(bits[1], 5);
    EXPECT_EQ(bits[2], 2);
    EXPECT_EQ(bits[3], 0);  // past the area: zero
}

// ---- Frames ----

void PutLe16(std::vector<u8>& out, int v) {
    out.push_back(u8(v));
    out.push_back(u8(v >> 8));
}

// A key frame whose picture is `picture` sent as literals.
std::vector<u8> KeyFrame(int width, int height, int count, const std::vector<u8>& palette,
                         const std::vector<u8>& picture) {
    std::vector<u8> out;
    PutLe16(out, width);
    PutLe16(out, height);
    PutLe16(out, 0);
    PutLe16(out, count);
    out.insert(out.end(), 4, 0);
    out.insert(out.end(), palette.begin(), palette.end());
    std::vector<u8> lz = {0x10, 0xFB, 0, 0, 0};
    size_t at = 0;
    while (picture.size() - at >= 4) {
        const size_t n = std::min<size_t>((picture.size() - at) & ~size_t(3), 112);
        lz.push_back(u8(0xE0 + n / 4 - 1));
        lz.insert(lz.end(), picture.begin() + long(at), picture.begin() + long(at + n));
        at += n;
    }
    lz.push_back(u8(0xFC | (picture.size() - at)));
    lz.insert(lz.end(), picture.begin() + long(at), picture.end());
    out.insert(out.end(), lz.begin(), lz.end());
    return out;
}

// 8 x 4 picture: pixel (x, y) = 10 * y + x.
std::vector<u8> Ramp(int width = 8, int height = 4) {
    std::vector<u8> p(size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[size_t(y * width + x)] = u8(10 * y + x);
    return p;
}

struct Delta {
    std::vector<std::pair<int, int>> vectors;
    std::vector<std::vector<u8>> raw;                   // 16 bytes each
    std::vector<std::pair<std::vector<u8>, u32>> four;  // colours, word
    int bits = 4;
    std::vector<int> indices;

    std::vector<u8> Bytes() const {
        std::vector<u8> out;
        PutLe16(out, int(vectors.size()));
        PutLe16(out, int(raw.size()));
        PutLe16(out, int(four.size()));
        PutLe16(out, bits);
        out.insert(out.end(), 4, 0);
        std::vector<u8> area((((20 * vectors.size() + 31) >> 3) & ~size_t(3)), 0);
        size_t bit = 0;
        const auto put = [](std::vector<u8>& to, size_t& at, u32 value, int width) {
            for (int i = 0; i < width; ++i, ++at) {
                if (at / 8 >= to.size()) to.push_back(0);
                to[at / 8] |= u8(((value >> i) & 1) << (at % 8));
            }
        };
        for (const auto& v : vectors) {
            put(area, bit, u32(v.first) & 0x3FF, 10);
            put(area, bit, u32(v.second) & 0x3FF, 10);
        }
        out.insert(out.end(), area.begin(), area.end());
        for (const auto& r : raw)
            out.insert(out.end(), r.begin(), r.end());
        for (const auto& f : four) {
            out.insert(out.end(), f.first.begin(), f.first.end());
            for (int i = 0; i < 4; ++i)
                out.push_back(u8(f.second >> (8 * i)));
        }
        std::vector<u8> packed;
        size_t at = 0;
        for (int i : indices)
            put(packed, at, u32(i), bits);
        out.insert(out.end(), packed.begin(), packed.end());
        return out;
    }
};

std::vector<u8> PictureOf(const PaletteFrameDecoder& d) {
    return std::vector<u8>(d.Picture(), d.Picture() + d.Width() * d.Height());
}

// The 4 x 4 block at (x, y) of an 8-wide picture.
std::vector<u8> BlockOf(const std::vector<u8>& p, int x, int y, int width = 8) {
    std::vector<u8> b;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            b.push_back(p[size_t((y + r) * width + x + c)]);
    return b;
}

TEST(PaletteKeyFrame, SetsSizePictureAndOnlyTheNamedPaletteEntries) {
    PaletteFrameDecoder d(50);
    std::vector<u8> palette(3 * 256);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = u8(i);
    const std::vector<u8> first = KeyFrame(8, 4, 256, palette, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(first.data(), first.size()));
    EXPECT_EQ(d.Width(), 8);
    EXPECT_EQ(d.Height(), 4);
    EXPECT_EQ(PictureOf(d), Ramp());
    EXPECT_EQ(d.Palette()[3 * 100 + 1], u8((3 * 100 + 1) % 256 / 2));  // brightness 50

    const std::vector<u8> second = KeyFrame(8, 4, 2, {200, 201, 202, 203, 204, 205}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(second.data(), second.size()));
    EXPECT_EQ(d.PaletteCount(), 2);
    EXPECT_EQ(d.Palette()[0], 100);
    EXPECT_EQ(d.Palette()[5], 102);
    EXPECT_EQ(d.Palette()[6], 6 / 2);  // entry 2 kept
}

TEST(PaletteKeyFrame, BrightnessSaturatesAt255) {
    PaletteFrameDecoder d(300);
    const std::vector<u8> frame = KeyFrame(8, 4, 1, {10, 100, 255}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(frame.data(), frame.size()));
    EXPECT_EQ(d.Palette()[0], 30);
    EXPECT_EQ(d.Palette()[1], 255);
    EXPECT_EQ(d.Palette()[2], 255);
}

TEST(PaletteKeyFrame, MoreThan256EntriesKeepTheFirst256AndThePictureAfterThemAll) {
    PaletteFrameDecoder d;
    std::vector<u8> palette(3 * 300, 7);
    palette[3 * 255] = 9;
    const std::vector<u8> frame = KeyFrame(8, 4, 300, palette, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(frame.data(), frame.size()));
    EXPECT_EQ(d.PaletteCount(), 256);
    EXPECT_EQ(d.Palette()[3 * 255], 9);
    EXPECT_EQ(PictureOf(d), Ramp());
}

TEST(PaletteFrames, RefusedFramesChangeNothing) {
    PaletteFrameDecoder fresh;
    Delta still;
    still.vectors = {{0, 0}};
    still.indices = {0, 0};
    const std::vector<u8> delta = still.Bytes();
    EXPECT_FALSE(fresh.DecodePaletteDeltaFrame(delta.data(), delta.size()))
        << "a delta before any key frame";
    EXPECT_FALSE(fresh.HasPicture());

    struct Case {
        const char* name;
        std::vector<u8> frame;
    };
    Delta wide = still;
    wide.bits = 13;
    wide.indices = {0, 0};
    std::vector<u8> shortDelta = still.Bytes();
    shortDelta.pop_back();
    const Case keyCases[] = {
        {"width not a multiple of 8", KeyFrame(12, 4, 0, {}, std::vector<u8>(48, 1))},
        {"height not a multiple of 4", KeyFrame(8, 6, 0, {}, std::vector<u8>(48, 1))},
        {"empty picture", KeyFrame(0, 4, 0, {}, {})},
        {"larger than the limit", KeyFrame(648, 4, 0, {}, std::vector<u8>(648 * 4, 1))},
        {"palette past the payload", KeyFrame(8, 4, 200, {1, 2, 3}, {})},
        {"header cut short", {8, 0, 4, 0}},
    };
    const Case deltaCases[] = {
        {"index width 13", wide.Bytes()},
        {"indices past the payload", shortDelta},
        {"header cut short", {1, 0, 0, 0, 4, 0}},
    };
    PaletteFrameDecoder d;
    const std::vector<u8> key = KeyFrame(8, 4, 0, {}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
    for (const Case& c : keyCases) {
        EXPECT_FALSE(d.DecodePaletteKeyFrame(c.frame.data(), c.frame.size())) << c.name;
        EXPECT_EQ(d.Width(), 8) << c.name;
        EXPECT_EQ(PictureOf(d), Ramp()) << c.name;
    }
    for (const Case& c : deltaCases) {
        EXPECT_FALSE(d.DecodePaletteDeltaFrame(c.frame.data(), c.frame.size())) << c.name;
        EXPECT_EQ(PictureOf(d), Ramp()) << c.name;
    }
}

TEST(PaletteDeltaFrame, VectorsCodebookBlocksAndTheirLimits) {
    PaletteFrameDecoder d;
    const std::vector<u8> key = KeyFrame(8, 4, 0, {}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
    const std::vector<u8> before = Ramp();
    std::vector<u8> raw(16);
    for (int i = 0; i < 16; ++i)
        raw[size_t(i)] = u8(100 + i);

    struct Case {
        const char* name;
        int index0, index1;  // indices of the two blocks
        std::vector<u8> left, right;
    };
    // Sources: vectors 0 (0, 0), 1 (4, 0), 2 (1, 0) (leaves the picture for the right block),
    // raw block 3, four-colour blocks 4 (W = 0) and 5 (W = all ones).
    const Case cases[] = {
        {"vector (0, 0) keeps both blocks", 0, 0, BlockOf(before, 0, 0), BlockOf(before, 4, 0)},
        {"vector (4, 0) copies the right block left", 1, 0, BlockOf(before, 4, 0),
         BlockOf(before, 4, 0)},
        {"a vector leaving the picture keeps its block", 0, 2, BlockOf(before, 0, 0),
         BlockOf(before, 4, 0)},
        {"a vector inside it moves", 2, 0, BlockOf(before, 1, 0), BlockOf(before, 4, 0)},
        {"raw block", 3, 0, raw, BlockOf(before, 4, 0)},
        {"four-colour W = 0 is c0", 4, 0, std::vector<u8>(16, 50), BlockOf(before, 4, 0)},
        {"four-colour W = ~0 is c3", 0, 5, BlockOf(before, 0, 0), std::vector<u8>(16, 63)},
        {"an index past the codebook keeps its block", 9, 6, BlockOf(before, 0, 0),
         BlockOf(before, 4, 0)},
    };
    for (const Case& c : cases) {
        // Start each case from the ramp on screen.
        ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
        Delta delta;
        delta.vectors = {{0, 0}, {4, 0}, {1, 0}};
        delta.raw = {raw};
        delta.four = {{{50, 51, 52, 53}, 0u}, {{60, 61, 62, 63}, 0xFFFFFFFFu}};
        delta.indices = {c.index0, c.index1};
        const std::vector<u8> bytes = delta.Bytes();
        ASSERT_TRUE(d.DecodePaletteDeltaFrame(bytes.data(), bytes.size())) << c.name;
        const std::vector<u8> after = PictureOf(d);
        EXPECT_EQ(BlockOf(after, 0, 0), c.left) << c.name;
        EXPECT_EQ(BlockOf(after, 4, 0), c.right) << c.name;
    }
}

TEST(PaletteDeltaFrame, FourColourPixelsTakeTheirTwoBitsFromTheTop) {
    PaletteFrameDecoder d;
    const std::vector<u8> key = KeyFrame(8, 4, 0, {}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
    Delta delta;
    // Pixel 0: bits 31-30 = 01, pixel 1: 10, pixel 2: 11, pixel 15: bits 1-0 = 01.
    delta.four = {{{5, 6, 7, 8}, 0x6C000001u}};
    delta.bits = 1;
    delta.indices = {0, 0};
    const std::vector<u8> bytes = delta.Bytes();
    ASSERT_TRUE(d.DecodePaletteDeltaFrame(bytes.data(), bytes.size()));
    const std::vector<u8> block = BlockOf(PictureOf(d), 0, 0);
    EXPECT_EQ(block[0], 6);
    EXPECT_EQ(block[1], 7);
    EXPECT_EQ(block[2], 8);
    EXPECT_EQ(block[3], 5);
    EXPECT_EQ(block[15], 6);
}

TEST(PaletteDeltaFrame, VectorsAloneWithAnEmptyCodebook) {
    PaletteFrameDecoder d;
    const std::vector<u8> key = KeyFrame(8, 4, 0, {}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
    Delta swap;
    swap.vectors = {{4, 0}, {-4, 0}};
    swap.bits = 1;
    swap.indices = {0, 1};
    const std::vector<u8> bytes = swap.Bytes();
    ASSERT_TRUE(d.DecodePaletteDeltaFrame(bytes.data(), bytes.size()));
    EXPECT_EQ(BlockOf(PictureOf(d), 0, 0), BlockOf(Ramp(), 4, 0));
    EXPECT_EQ(BlockOf(PictureOf(d), 4, 0), BlockOf(Ramp(), 0, 0));
}

TEST(PaletteDeltaFrame, IndexWidthZeroReusesTheLastDeltaFramesIndices) {
    PaletteFrameDecoder d;
    const std::vector<u8> key = KeyFrame(8, 4, 0, {}, Ramp());
    ASSERT_TRUE(d.DecodePaletteKeyFrame(key.data(), key.size()));
    Delta first;
    first.raw = {std::vector<u8>(16, 1), std::vector<u8>(16, 2)};
    first.bits = 1;
    first.indices = {1, 0};
    std::vector<u8> bytes = first.Bytes();
    ASSERT_TRUE(d.DecodePaletteDeltaFrame(bytes.data(), bytes.size()));
    Delta second;
    second.raw = {std::vector<u8>(16, 3), std::vector<u8>(16, 4)};
    second.bits = 0;
    bytes = second.Bytes();
    ASSERT_TRUE(d.DecodePaletteDeltaFrame(bytes.data(), bytes.size()));
    const std::vector<u8> after = PictureOf(d);
    EXPECT_EQ(BlockOf(after, 0, 0), std::vector<u8>(16, 4));
    EXPECT_EQ(BlockOf(after, 4, 0), std::vector<u8>(16, 3));
}

TEST(WritePalettePicture, SinglePixelsAndPairs) {
    u32 table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = u32(i) * 0x00010001u + 0x10000u;
    const u8 picture[8] = {0, 1, 2, 3, 4, 5, 6, 255};
    u16 singles[8];
    WritePalettePicture(picture, 8, 1, table, false, singles);
    EXPECT_EQ(singles[7], 255);
    u32 pairs[8];
    WritePalettePicture(picture, 8, 1, table, true, pairs);
    EXPECT_EQ(pairs[2], 0x00030002u);
}

}  // namespace
