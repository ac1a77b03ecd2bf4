#include "movie/transform_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "movie/idct.h"
#include "movie/vlc_tables.h"
#include "tools/content_builder/bit_writer.h"

namespace {

using namespace movie;
using movie_content::LsbBitWriter;
using movie_content::MsbWordWriter;

std::vector<u8> Header(int width, int height, int quality, u8 flags = 0) {
    return {u8(width), u8(width >> 8), u8(height), u8(height >> 8), u8(quality), 0, 0, flags};
}

void Append(std::vector<u8>& out, const std::vector<u8>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// A sink that records what the decoder asks of it.
class RecordingSink : public MacroblockSink {
public:
    RecordingSink(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void PutMacroblock(int x, int y, const MacroblockSamples&, ColourRange range) override {
        puts.push_back({x, y});
        ranges.push_back(range);
    }
    void CopyMacroblock(int x, int y, int fromX, int fromY) override {
        copies.push_back({x, y, fromX, fromY});
    }
    std::vector<std::vector<int>> puts, copies;
    std::vector<ColourRange> ranges;

private:
    int width_, height_;
};

// The value of a sample plane over an 8 x 8 quadrant of the first macroblock, or -999 when it
// is not flat.
int Flat(const SamplePicture& p, int x0, int y0, int plane = 0) {
    const auto at = [&](int x, int y) {
        return plane == 0 ? p.Y(x, y) : (plane == 1 ? p.Cb(x, y) : p.Cr(x, y));
    };
    const int first = at(x0, y0);
    for (int y = y0; y < y0 + 8; ++y)
        for (int x = x0; x < x0 + 8; ++x)
            if (at(x, y) != first) return -999;
    return first;
}

// ---- Type 3 ----

// A transform record (length byte and bits) from the block codes.
std::vector<u8> Record(LsbBitWriter& w) {
    std::vector<u8> bytes = w.Bytes();
    if (bytes.size() <= 12) bytes.resize(13, 0);
    std::vector<u8> out = {u8(bytes.size())};
    Append(out, bytes);
    return out;
}

// Zero coefficients for the rest of a block, from position `from`: 8-bit runs of 2 and a final
// 3-bit single zero, as the format's own example.
void PutZeroTail(LsbBitWriter& w, int from) {
    int left = 64 - from;
    while (left > 1) {
        w.Put(1, 2);  // b0 = 1, b1 = 0
        w.Put(2, 6);
        left -= 2;
    }
    if (left == 1) {
        w.Put(0, 2);
        w.Put(0, 1);
    }
}

void PutDcOnlyBlock(LsbBitWriter& w, int dc) {
    w.Put(u32(dc) & 0xFF, 8);
    PutZeroTail(w, 1);
}

TEST(QualityFrame, FlatRecordOfZerosIsMidGreyAtEveryQuality) {
    for (int quality : {0, 37, 100}) {
        SamplePicture picture(16, 16);
        std::vector<u8> frame = Header(16, 16, quality);
        Append(frame, {3, 0, 0, 0});
        // Start from something else so that the fill shows.
        std::vector<u8> other = Header(16, 16, quality);
        Append(other, {3, 40, 40, 40});
        ASSERT_TRUE(DecodeQualityFrame(other.data(), other.size(), picture));
        ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(Flat(picture, (q & 1) * 8, (q >> 1) * 8), 0) << quality;
        EXPECT_EQ(Flat(picture, 0, 0, 1), 0);
        EXPECT_EQ(Flat(picture, 8, 8, 2), 0);
    }
}

TEST(QualityFrame, FlatRecordsOfSixAndTwelveBytes) {
    // At quality 100 the DC step is 8: byte x gives the half-scale sample x / 2.
    SamplePicture picture(32, 16);
    std::vector<u8> frame = Header(32, 16, 100);
    Append(frame, {6, 16, 32, u8(-16), 0, 10, u8(-10)});
    Append(frame, {12, 2, 99, 4, 99, 6, 99, 8, 99, 10, 99, 12, 99});
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));
    EXPECT_EQ(Flat(picture, 0, 0), 8);
    EXPECT_EQ(Flat(picture, 8, 0), 16);
    EXPECT_EQ(Flat(picture, 0, 8), -8);
    EXPECT_EQ(Flat(picture, 8, 8), 0);
    EXPECT_EQ(Flat(picture, 0, 0, 1), 5);
    EXPECT_EQ(Flat(picture, 8, 8, 2), -5);
    EXPECT_EQ(Flat(picture, 16, 0), 1);
    EXPECT_EQ(Flat(picture, 24, 0), 2);
    EXPECT_EQ(Flat(picture, 16, 8), 3);
    EXPECT_EQ(Flat(picture, 24, 8), 4);
    EXPECT_EQ(Flat(picture, 16, 0, 1), 5);
    EXPECT_EQ(Flat(picture, 16, 0, 2), 6);
}

TEST(QualityFrame, RecordsOfOtherLengthsLeaveTheirMacroblock) {
    for (int length : {0, 1, 2, 4, 5, 7, 8, 9, 10, 11}) {
        RecordingSink sink(32, 16);
        std::vector<u8> frame = Header(32, 16, 50);
        frame.push_back(u8(length));
        frame.insert(frame.end(), size_t(length), 0x55);
        Append(frame, {3, 1, 2, 3});
        ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), sink));
        ASSERT_EQ(sink.puts.size(), 1u) << length;
        EXPECT_EQ(sink.puts[0], (std::vector<int>{16, 0})) << length;
    }
}

TEST(QualityFrame, ADcOfSixteenAndZeroRunsGiveEightEverywhereAtQuality100) {
    SamplePicture picture(16, 16);
    LsbBitWriter w;
    PutDcOnlyBlock(w, 16);
    for (int b = 1; b < 6; ++b)
        PutDcOnlyBlock(w, 0);
    std::vector<u8> frame = Header(16, 16, 100);
    Append(frame, Record(w));
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));
    EXPECT_EQ(Flat(picture, 0, 0), 8);
    EXPECT_EQ(Flat(picture, 8, 0), 0);
    EXPECT_EQ(Flat(picture, 0, 0, 1), 0);
}

// The decoded luminance block Y0 of the first macroblock.
std::vector<s32> Y0(const SamplePicture& p) {
    std::vector<s32> out;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            out.push_back(p.Y(x, y));
    return out;
}

std::vector<s32> Transformed(const s64 coefficients[64]) {
    s32 samples[64];
    InverseTransformBlock(coefficients, samples);
    return std::vector<s32>(samples, samples + 64);
}

TEST(QualityFrame, EveryCodeForm) {
    LsbBitWriter w;
    w.Put(20, 8);  // DC 20
    w.Put(2, 2);   // +1 at position 1
    w.Put(0, 1);
    w.Put(2, 2);  // -1 at position 2
    w.Put(1, 1);
    w.Put(0, 2);  // two zeros: positions 3, 4
    w.Put(1, 1);
    w.Put(3, 2);  // 6-bit level -5 at position 5
    w.Put(u32(-5) & 0x3F, 6);
    w.Put(1, 2);  // five zeros: 6..10
    w.Put(5, 6);
    w.Put(3, 2);  // 8-bit level -100 at position 11
    w.Put(0x3F, 6);
    w.Put(u32(-100) & 0xFF, 8);
    PutZeroTail(w, 12);
    for (int b = 1; b < 6; ++b)
        PutDcOnlyBlock(w, 0);
    SamplePicture picture(16, 16);
    std::vector<u8> frame = Header(16, 16, 60);
    Append(frame, Record(w));
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));

    s64 table[64];
    BuildQualityTable(60, table);
    s64 expected[64] = {};
    const auto set = [&](int pos, int level) {
        expected[kZigzag[pos]] = level * table[kZigzag[pos]];
    };
    set(0, 20);
    set(1, 1);
    set(2, -1);
    set(5, -5);
    set(11, -100);
    EXPECT_EQ(Y0(picture), Transformed(expected));
}

TEST(QualityFrame, QualityAbove100CountsAs100) {
    LsbBitWriter w;
    w.Put(u32(-30) & 0xFF, 8);
    w.Put(3, 2);
    w.Put(7, 6);
    PutZeroTail(w, 2);
    for (int b = 1; b < 6; ++b)
        PutDcOnlyBlock(w, 3);
    const std::vector<u8> record = Record(w);
    SamplePicture at100(16, 16), at200(16, 16);
    std::vector<u8> frame = Header(16, 16, 100);
    Append(frame, record);
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), at100));
    frame[4] = 200;
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), at200));
    EXPECT_EQ(Y0(at200), Y0(at100));
    EXPECT_EQ(at200.Cb(0, 0), at100.Cb(0, 0));
}

// A zero run that would pass position 63 ends its block; the next block starts after it.
TEST(QualityFrame, ARunPastPosition63EndsTheBlock) {
    LsbBitWriter w;
    w.Put(16, 8);
    w.Put(2, 2);  // +1 at position 1
    w.Put(0, 1);
    w.Put(1, 2);  // 63 zeros from position 2: past the block
    w.Put(63, 6);
    PutDcOnlyBlock(w, 32);  // Y1
    for (int b = 2; b < 6; ++b)
        PutDcOnlyBlock(w, 0);
    SamplePicture picture(16, 16);
    std::vector<u8> frame = Header(16, 16, 100);
    Append(frame, Record(w));
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));
    s64 table[64];
    BuildQualityTable(100, table);
    s64 expected[64] = {};
    expected[0] = 16 * table[0];
    expected[1] = table[1];
    EXPECT_EQ(Y0(picture), Transformed(expected));
    EXPECT_EQ(Flat(picture, 8, 0), 16);
}

// Codes running past the record's bytes end the block with what it has; the blocks after it
// find nothing and stay zero.
TEST(QualityFrame, CodesPastTheRecordEndTheBlock) {
    std::vector<u8> frame = Header(32, 16, 100);
    frame.push_back(13);
    frame.push_back(16);  // DC 16, then 16-bit codes of level -1: six fit in 12 bytes
    frame.insert(frame.end(), 12, 0xFF);
    Append(frame, {3, 20, 0, 0});
    SamplePicture picture(32, 16);
    ASSERT_TRUE(DecodeQualityFrame(frame.data(), frame.size(), picture));
    s64 table[64];
    BuildQualityTable(100, table);
    s64 expected[64] = {};
    expected[0] = 16 * table[0];
    for (int pos = 1; pos <= 6; ++pos)
        expected[kZigzag[pos]] = -table[kZigzag[pos]];
    EXPECT_EQ(Y0(picture), Transformed(expected));
    EXPECT_EQ(Flat(picture, 8, 0), 0);
    EXPECT_EQ(Flat(picture, 0, 0, 1), 0);
    EXPECT_EQ(Flat(picture, 16, 0), 10);  // the next record is read where it starts
}

TEST(TransformFrames, RefusedSizesLeaveTheSinkAlone) {
    struct Case {
        const char* name;
        std::vector<u8> payload;
    };
    const Case cases[] = {
        {"width not a multiple of 16", Header(24, 16, 50)},
        {"height not a multiple of 16", Header(16, 8, 50)},
        {"no width", Header(0, 16, 50)},
        {"negative height", Header(16, -16, 50)},
        {"wider than the target", Header(48, 16, 50)},
        {"taller than the target", Header(16, 32, 50)},
        {"header cut short", {16, 0, 16, 0, 50}},
    };
    using Decoder = std::function<bool(const u8*, size_t, MacroblockSink&)>;
    const Decoder decoders[] = {DecodeQualityFrame, DecodeVlcFrame};
    for (const Decoder& decode : decoders) {
        for (const Case& c : cases) {
            std::vector<u8> frame = c.payload;
            if (frame.size() == 8) frame.insert(frame.end(), 64, 0x03);
            RecordingSink sink(32, 16);
            EXPECT_FALSE(decode(frame.data(), frame.size(), sink)) << c.name;
            EXPECT_TRUE(sink.puts.empty() && sink.copies.empty()) << c.name;
        }
    }
}

// ---- Type 4 ----

void PutDcSize(MsbWordWriter& w, bool chroma, int size) {
    const VlcCode& code = (chroma ? kDcSizeChromaCodes : kDcSizeLumaCodes)[size];
    w.Put(code.bits, code.length);
}

// A block that keeps the predictor: DC size 0 and end of block.
void PutKeepBlock(MsbWordWriter& w, bool chroma) {
    PutDcSize(w, chroma, 0);
    w.Put(kEndOfBlockCode, kEndOfBlockLength);
}

void PutKeepMacroblock(MsbWordWriter& w) {
    for (int b = 0; b < 6; ++b)
        PutKeepBlock(w, b >= 4);
}

std::vector<u8> VlcFrame(int width, int height, int quality, u8 flags, const MsbWordWriter& w) {
    std::vector<u8> frame = Header(width, height, quality, flags);
    Append(frame, w.Bytes());
    return frame;
}

TEST(VlcFrame, TheNoCopyFlagReadsNoCopyBits) {
    // "100 10" is a kept luminance block, or, read with copy flags, a copy (1), a skipped bit
    // and displacements.
    MsbWordWriter w;
    PutKeepMacroblock(w);
    for (u8 flags : {0, 1}) {
        RecordingSink sink(16, 16);
        const std::vector<u8> frame = VlcFrame(16, 16, 50, flags, w);
        ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), sink));
        EXPECT_EQ(sink.puts.size(), flags == 1 ? 1u : 0u);
        EXPECT_EQ(sink.copies.size(), flags == 1 ? 0u : 1u);
    }
}

TEST(VlcFrame, CopyDisplacementsAndTheirClamp) {
    struct Case {
        int dx, dy;  // as coded, 4 bits each
        int mbX;     // the macroblock of the 48 x 32 frame, in its top row
        int fromX, fromY;
    };
    const Case cases[] = {
        {0, 0, 16, 16, 0},                       // repeats the macroblock
        {15, 0, 16, 17, 0},                      // -1: the source lies one pixel right
        {1, 0, 16, 15, 0},   {8, 0, 16, 24, 0},  // -8
        {7, 0, 0, 0, 0},                         // would start at -7
        {15, 15, 32, 32, 1},                     // would end past the right edge
        {0, 1, 16, 16, 0},                       // would start above the top
        {0, 9, 16, 16, 7},                       // dy -7
    };
    for (const Case& c : cases) {
        MsbWordWriter w;
        for (int mb = 0; mb < 6; ++mb) {
            if (mb == c.mbX / 16) {
                w.Put(1, 1);
                w.Put(0, 1);
                w.Put(u32(c.dx), 4);
                w.Put(u32(c.dy), 4);
            } else {
                w.Put(0, 1);
                PutKeepMacroblock(w);
            }
        }
        RecordingSink sink(48, 32);
        const std::vector<u8> frame = VlcFrame(48, 32, 50, 0, w);
        ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), sink));
        ASSERT_EQ(sink.copies.size(), 1u);
        EXPECT_EQ(sink.copies[0], (std::vector<int>{c.mbX, 0, c.fromX, c.fromY}))
            << c.dx << "," << c.dy;
        EXPECT_EQ(sink.puts.size(), 5u);
    }
}

TEST(VlcFrame, CopiesReadTheReferencePicture) {
    // The reference: a flat grey of 10 with one bright column at x = 16.
    SamplePicture reference(32, 16);
    MsbWordWriter grey;
    for (int mb = 0; mb < 2; ++mb) {
        PutDcSize(grey, false, 5);  // +20
        grey.Put(20, 5);
        grey.Put(kEndOfBlockCode, kEndOfBlockLength);
        for (int b = 1; b < 6; ++b)
            PutKeepBlock(grey, b >= 4);
    }
    std::vector<u8> frame = VlcFrame(32, 16, 50, 1, grey);
    ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), reference));
    EXPECT_EQ(Flat(reference, 0, 0), 10);
    EXPECT_EQ(Flat(reference, 16, 0), 20);

    // The left macroblock copies with dx = -1: its last column comes from x = 16.
    SamplePicture picture(32, 16);
    picture.SetReference(&reference);
    MsbWordWriter copy;
    copy.Put(1, 1);
    copy.Put(0, 1);
    copy.Put(15, 4);
    copy.Put(0, 4);
    copy.Put(0, 1);
    PutKeepMacroblock(copy);
    frame = VlcFrame(32, 16, 50, 0, copy);
    ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), picture));
    EXPECT_EQ(picture.Y(0, 3), 10);
    EXPECT_EQ(picture.Y(14, 3), 10);
    EXPECT_EQ(picture.Y(15, 3), 20);
}

TEST(VlcFrame, DcPredictionPerComponent) {
    MsbWordWriter w;
    PutDcSize(w, false, 5);  // Y0: +20 (top bit set)
    w.Put(20, 5);
    w.Put(kEndOfBlockCode, kEndOfBlockLength);
    PutKeepBlock(w, false);  // Y1: size 0 keeps 20
    PutDcSize(w, false, 3);  // Y2: d = 2, top bit clear: 2 - 7 = -5
    w.Put(2, 3);
    w.Put(kEndOfBlockCode, kEndOfBlockLength);
    PutKeepBlock(w, false);  // Y3: 15
    PutDcSize(w, true, 8);   // Cb: +200
    w.Put(200, 8);
    w.Put(kEndOfBlockCode, kEndOfBlockLength);
    PutKeepBlock(w, true);  // Cr: its own predictor, 0
    for (bool studio : {false, true}) {
        SamplePicture picture(16, 16);
        const std::vector<u8> frame = VlcFrame(16, 16, 50, studio ? 3 : 1, w);
        ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), picture));
        EXPECT_EQ(Flat(picture, 0, 0), 10);
        EXPECT_EQ(Flat(picture, 8, 0), 10);
        EXPECT_EQ(Flat(picture, 0, 8), 7);
        EXPECT_EQ(Flat(picture, 8, 8), 7);
        EXPECT_EQ(Flat(picture, 0, 0, 1), 100);
        EXPECT_EQ(Flat(picture, 0, 0, 2), 0);
        EXPECT_EQ(picture.Range(3, 3), studio ? ColourRange::kStudio : ColourRange::kFull);
    }
}

TEST(VlcFrame, RunLevelCodesAndEscapes) {
    struct Case {
        const char* name;
        std::function<void(MsbWordWriter&)> codes;
        int pos, level;
    };
    const Case cases[] = {
        {"11 is run 0, level 1",
         [](MsbWordWriter& w) {
             w.Put(3, 2);
             w.Put(0, 1);
         },
         1, 1},
        {"run 2, level -1 (0101 s)",
         [](MsbWordWriter& w) {
             w.Put(5, 4);
             w.Put(1, 1);
         },
         3, -1},
        {"run 1, level 18 (16 bits)",
         [](MsbWordWriter& w) {
             w.Put(0x10, 16);
             w.Put(0, 1);
         },
         2, 18},
        {"escape, run 0, level 255",
         [](MsbWordWriter& w) {
             w.Put(kEscapeCode, kEscapeLength);
             w.Put(0, 6);
             w.Put(0, 8);
             w.Put(0xFF, 8);
         },
         1, 255},
        {"escape, run 0, level -255",
         [](MsbWordWriter& w) {
             w.Put(kEscapeCode, kEscapeLength);
             w.Put(0, 6);
             w.Put(128, 8);
             w.Put(0x01, 8);
         },
         1, -255},
        {"escape, run 5, level -3",
         [](MsbWordWriter& w) {
             w.Put(kEscapeCode, kEscapeLength);
             w.Put(5, 6);
             w.Put(0xFD, 8);
         },
         6, -3},
    };
    s64 table[64];
    BuildVlcTable(70, table);
    for (const Case& c : cases) {
        MsbWordWriter w;
        PutDcSize(w, false, 0);
        c.codes(w);
        w.Put(kEndOfBlockCode, kEndOfBlockLength);
        for (int b = 1; b < 6; ++b)
            PutKeepBlock(w, b >= 4);
        SamplePicture picture(16, 16);
        const std::vector<u8> frame = VlcFrame(16, 16, 70, 1, w);
        ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), picture)) << c.name;
        s64 expected[64] = {};
        expected[kZigzag[c.pos]] = c.level * table[kZigzag[c.pos]];
        EXPECT_EQ(Y0(picture), Transformed(expected)) << c.name;
    }
}

// Twelve leading zeros match no code: the block ends without consuming them, and the next
// blocks read their DC sizes from those zeros (luminance 00: size 1, difference -1;
// chrominance 00: size 0).
TEST(VlcFrame, TwelveLeadingZerosEndTheBlockWithoutConsumingThem) {
    MsbWordWriter w;
    PutDcSize(w, false, 0);
    w.Put(0, 16);
    w.Put(0, 16);
    SamplePicture picture(16, 16);
    const std::vector<u8> frame = VlcFrame(16, 16, 50, 1, w);
    ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), picture));
    EXPECT_EQ(Flat(picture, 0, 0), 0);
    EXPECT_EQ(Flat(picture, 8, 0), -1);  // predictor -1
    EXPECT_EQ(Flat(picture, 0, 8), -1);  // -2
    EXPECT_EQ(Flat(picture, 8, 8), -2);  // -3
    EXPECT_EQ(Flat(picture, 0, 0, 1), 0);
}

TEST(VlcFrame, ARunPastPosition63EndsTheBlock) {
    MsbWordWriter w;
    PutDcSize(w, false, 0);
    w.Put(kEscapeCode, kEscapeLength);  // run 63: past the block
    w.Put(63, 6);
    w.Put(5, 8);
    PutDcSize(w, false, 2);  // Y1 starts right after: +3
    w.Put(3, 2);
    w.Put(kEndOfBlockCode, kEndOfBlockLength);
    for (int b = 2; b < 6; ++b)
        PutKeepBlock(w, b >= 4);
    SamplePicture picture(16, 16);
    const std::vector<u8> frame = VlcFrame(16, 16, 50, 1, w);
    ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), picture));
    EXPECT_EQ(Flat(picture, 0, 0), 0);
    EXPECT_EQ(Flat(picture, 8, 0), 1);
}

TEST(VlcFrame, AFrameCutShortLeavesTheRestAsItWas) {
    MsbWordWriter w;
    PutKeepMacroblock(w);  // 4 x 5 + 2 x 4 = 28 bits: the first macroblock in 4 bytes
    PutKeepMacroblock(w);
    RecordingSink sink(32, 16);
    std::vector<u8> frame = VlcFrame(32, 16, 50, 1, w);
    frame.resize(8 + 4);
    ASSERT_TRUE(DecodeVlcFrame(frame.data(), frame.size(), sink));
    ASSERT_EQ(sink.puts.size(), 1u);
    EXPECT_EQ(sink.puts[0], (std::vector<int>{0, 0}));
}

// ---- Pixels ----

struct TestTables {
    u32 luma[128], cb[128], cr[128], red[512], green[512], blue[512];
    s32 crToRed[256], cbToBlue[256], cbToGreen[256], crToGreen[256];
    ColourTables View() const {
        return {luma, cb, cr, red, green, blue, crToRed, cbToBlue, cbToGreen, crToGreen};
    }
    // Full range: the three 7-bit indices in separate bytes. Studio range: the clamped
    // indices, red + green + blue, in fields of 10 bits each; the chroma tables as zero.
    TestTables() {
        for (u32 i = 0; i < 128; ++i) {
            luma[i] = i;
            cb[i] = i << 8;
            cr[i] = i << 16;
        }
        for (u32 i = 0; i < 512; ++i) {
            red[i] = i;
            green[i] = i << 10;
            blue[i] = i << 20;
        }
        for (int i = 0; i < 256; ++i) {
            crToRed[i] = cbToBlue[i] = cbToGreen[i] = crToGreen[i] = 0;
        }
    }
};

TEST(PixelTarget, FullRangeUsesTheLowSevenBits) {
    TestTables tables;
    EXPECT_EQ(FullRangePixel(tables.View(), 5, -1, 130), 5u | 0x7Fu << 8 | 2u << 16);
}

TEST(PixelTarget, StudioIndicesAreClampedToTheTables) {
    TestTables tables;
    tables.crToRed[0xFF] = -170;  // cr = -1
    tables.cbToBlue[0x10] = 40;
    struct Case {
        s32 y, cb, cr;
        u32 red, green, blue;
    };
    const Case cases[] = {
        {0, 0, 0, 96, 250, 73},        {100, 0x10, -1, 26, 350, 213}, {-1000, 0, 0, 0, 0, 0},
        {100000, 0, 0, 511, 511, 511}, {-50, 0, 0x1FF, 0, 200, 23},  // cr's low byte, -1, reaches
                                                                     // the red table
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StudioRangePixel(tables.View(), c.y, c.cb, c.cr),
                  c.red | c.green << 10 | c.blue << 20)
            << c.y;
    }
}

TEST(PixelTarget, WritesPixelsOrPairsAtThePitchAndCopiesFromTheReference) {
    TestTables tables;
    MacroblockSamples samples;
    for (int i = 0; i < 256; ++i)
        samples.y[i] = i % 16;
    for (int i = 0; i < 64; ++i) {
        samples.cb[i] = 1;
        samples.cr[i] = 2;
    }
    // Pairs: 32 x 16 frame, 4 bytes per pixel, pitch 128.
    std::vector<u8> pairs(128 * 16, 0), reference(128 * 16, 0xAB);
    PixelTarget pairTarget(tables.View(), 32, 16, true, pairs.data(), reference.data(), 128);
    pairTarget.PutMacroblock(16, 0, samples, ColourRange::kFull);
    u32 pixel;
    std::memcpy(&pixel, &pairs[5 * 128 + (16 + 3) * 4], 4);
    EXPECT_EQ(pixel, 3u | 1u << 8 | 2u << 16);
    pairTarget.CopyMacroblock(0, 0, 16, 0);
    EXPECT_EQ(pairs[0], 0xAB);
    EXPECT_EQ(pairs[15 * 128 + 63], 0xAB);
    EXPECT_EQ(pairs[15 * 128 + 64], 0);

    std::vector<u8> singles(64 * 16, 0);
    PixelTarget singleTarget(tables.View(), 32, 16, false, singles.data(), nullptr, 64);
    singleTarget.PutMacroblock(0, 0, samples, ColourRange::kFull);
    u16 low;
    std::memcpy(&low, &singles[2 * 64 + 7 * 2], 2);
    EXPECT_EQ(low, u16(7 | 1 << 8));
}

}  // namespace
