// Animation frames read from their records (every part checked against the record) and
// painted: the hue words, mirroring, clipping, the shadow and the hit test.
#include "client/render/animation_frame.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "client/render/span_blit.h"
#include "core/byte_order.h"

namespace {

constexpr u16 kGrey = 10 << 10 | 10 << 5 | 10;   // palette index 1
constexpr u16 kRed = 20 << 10;                   // index 2: not grey
constexpr u16 kLight = 25 << 10 | 25 << 5 | 25;  // index 3
constexpr u16 kBlack = 0;                        // index 4

struct Run {
    int x, y;
    std::vector<u8> pixels;
};

u32 RunHeader(const Run& r) {
    return (u32(r.x) & 0x3FF) << 22 | (u32(r.y) & 0x3FF) << 12 | u32(r.pixels.size());
}

// A record of one frame {centre 2, 6, 8 x 6} with the given runs; frames past the first are
// listed with offset 0 (missing).
std::vector<u8> Record(const std::vector<Run>& runs, int frameCount = 1) {
    std::vector<u8> out;
    std::vector<u16> palette(256, 0x1111);
    palette[1] = kGrey;
    palette[2] = kRed;
    palette[3] = kLight;
    palette[4] = kBlack;
    for (u16 c : palette)
        AppendLe16(out, c);
    AppendLe32(out, u32(frameCount));
    for (int f = 0; f < frameCount; ++f)
        AppendLe32(out, f == 0 ? u32(4 + 4 * frameCount) : 0);
    for (s16 v : {s16(2), s16(6), s16(8), s16(6)})
        AppendLe16(out, u16(v));
    for (const Run& r : runs) {
        AppendLe32(out, RunHeader(r));
        out.insert(out.end(), r.pixels.begin(), r.pixels.end());
    }
    AppendLe32(out, 0x7FFF7FFF);
    return out;
}

class AnimFrameTest : public ::testing::Test {
protected:
    static constexpr int kW = 16, kH = 12;
    static constexpr u16 kBack = 31 << 10 | 31 << 5 | 31;

    void SetUp() override {
        hues_.resize(10 * 32);
        for (size_t i = 0; i < hues_.size(); ++i)
            hues_[i] = u16(0x4000 | i);
        SetBlitHueTable(hues_.data(), 10, 32);
        target_.assign(kW * kH, kBack);
    }
    void TearDown() override { SetBlitHueTable(nullptr, 0, 32); }
    BlitTarget Target() { return BlitTarget{target_.data(), kW, kH}; }
    u16 At(int x, int y) const { return target_[size_t(y * kW + x)]; }
    // The frame points into the record, which the test keeps.
    AnimFrame Parse(std::vector<u8> record) {
        records_.push_back(std::move(record));
        AnimFrame f;
        EXPECT_TRUE(ParseAnimFrame(records_.back().data(), records_.back().size(), 0, f));
        return f;
    }

    std::vector<u16> hues_;
    std::vector<u16> target_;
    std::deque<std::vector<u8>> records_;
    const ClipRect all_{0, 0, kW, kH};
};

TEST_F(AnimFrameTest, DamagedRecordsAreMissingFrames) {
    const std::vector<u8> good = Record({{0, -1, {1, 2}}}, 2);
    AnimFrame f;
    ASSERT_TRUE(ParseAnimFrame(good.data(), good.size(), 0, f));
    EXPECT_EQ(f.frameCount, 2);
    EXPECT_EQ(f.centreX, 2);
    EXPECT_EQ(f.centreY, 6);
    EXPECT_EQ(f.width, 8);
    EXPECT_EQ(f.height, 6);

    auto withWord = [&](size_t at, u32 v) {
        std::vector<u8> r = good;
        StoreLe32(r.data() + at, v);
        return r;
    };
    const size_t firstRun = 512 + 4 + 8 + 8;
    struct Case {
        const char* what;
        std::vector<u8> record;
        int index;
    } cases[] = {
        {"frame offset 0", good, 1},
        {"index at the count", good, 2},
        {"negative index", good, -1},
        {"shorter than the frame table", std::vector<u8>(good.begin(), good.begin() + 515), 0},
        {"count past the offsets", withWord(512, 40), 30},
        {"offset past the record", withWord(516, u32(good.size())), 0},
        {"run past the record", withWord(firstRun, RunHeader({0, -1, std::vector<u8>(200, 1)})), 0},
        {"no end marker", std::vector<u8>(good.begin(), good.end() - 4), 0},
    };
    for (const Case& c : cases) {
        AnimFrame out;
        EXPECT_FALSE(ParseAnimFrame(c.record.data(), c.record.size(), c.index, out)) << c.what;
        EXPECT_EQ(out.runs, nullptr) << c.what;
    }
}

TEST_F(AnimFrameTest, HueWordsChooseThePixelRule) {
    // Anchor (4, 6): grey, red, light and black pixels on row 5, columns 5..8.
    const AnimFrame f = Parse(Record({{1, -1, {1, 2, 3, 4}}}));
    auto hued = [&](int hueIndex, u16 colour) {
        return hues_[size_t(hueIndex * 32 + (colour >> 10))];
    };
    auto darkened = [](u16 back, u16 src) {
        const int d = 23 - (src >> 10);
        if (d <= 0) return back;
        auto ch = [&](int v) { return v * (32 - d) / 32; };
        return u16(ch(back >> 10 & 31) << 10 | ch(back >> 5 & 31) << 5 | ch(back & 31));
    };
    struct Case {
        u16 hueWord;
        std::vector<u16> want;
    } cases[] = {
        {0x0000, {kGrey, kRed, kLight, kBlack}},
        {0x8000, {kGrey, kRed, kLight, kBlack}},  // no hue number: palette colours
        {0x0005, {hued(4, kGrey), hued(4, kRed), hued(4, kLight), hued(4, kBlack)}},
        {0x8005, {hued(4, kGrey), kRed, hued(4, kLight), hued(4, kBlack)}},
        {0x4000,
         {darkened(kBack, kGrey), darkened(kBack, kRed), darkened(kBack, kLight),
          darkened(kBack, kBlack)}},
        {0xC000, {darkened(kBack, kGrey), kRed, darkened(kBack, kLight), darkened(kBack, kBlack)}},
        {0x0040, {kGrey, kRed, kLight, kBlack}},  // a hue outside the table leaves the colours
    };
    for (const Case& c : cases) {
        target_.assign(target_.size(), kBack);
        DrawAnimationFrame(Target(), false, c.hueWord, 4, 6, all_, f);
        EXPECT_EQ((std::vector<u16>{At(5, 5), At(6, 5), At(7, 5), At(8, 5)}), c.want)
            << std::hex << c.hueWord;
        EXPECT_EQ(At(4, 5), kBack);
        EXPECT_EQ(At(9, 5), kBack);
    }
    // A black source keeps 9/32 of the background; red 23 and above leaves it alone.
    EXPECT_EQ(darkened(kBack, kBlack), u16(8 << 10 | 8 << 5 | 8));
    u16 d = kBack;
    DarkenByBrightness(&d, u16(23 << 10));
    EXPECT_EQ(d, kBack);
}

TEST_F(AnimFrameTest, MirroredFramesRunRightToLeftAboutTheAnchor) {
    const AnimFrame f = Parse(Record({{1, -2, {1, 2, 3}}}));
    DrawAnimationFrame(Target(), false, 0, 8, 6, all_, f);
    EXPECT_EQ((std::vector<u16>{At(9, 4), At(10, 4), At(11, 4)}),
              (std::vector<u16>{kGrey, kRed, kLight}));
    target_.assign(target_.size(), kBack);
    DrawAnimationFrame(Target(), true, 0, 8, 6, all_, f);
    // First column 8 - 1 - 3 = 4, the run's last pixel first.
    EXPECT_EQ((std::vector<u16>{At(4, 4), At(5, 4), At(6, 4), At(7, 4)}),
              (std::vector<u16>{kLight, kRed, kGrey, kBack}));
    // The hit test agrees with what was painted, edges included.
    struct Probe {
        int x;
        bool mirrored, hit;
    } probes[] = {{8, false, false}, {9, false, true}, {11, false, true}, {12, false, false},
                  {3, true, false},  {4, true, true},  {6, true, true},   {7, true, false}};
    for (const Probe& p : probes)
        EXPECT_EQ(FrameContainsPoint(p.x, 4, p.mirrored, 8, 6, f), p.hit)
            << p.x << " " << p.mirrored;
    EXPECT_FALSE(FrameContainsPoint(9, 5, false, 8, 6, f));
}

TEST_F(AnimFrameTest, ClippingCutsRunsAndARowBelowTheClipEndsTheFrame) {
    // Runs out of row order on purpose: the third lies above the second but is never reached.
    const AnimFrame f = Parse(Record({{-3, -4, {1, 1, 1, 1, 1, 1}}, {0, -1, {2}}, {0, -3, {3}}}));
    DrawAnimationFrame(Target(), false, 0, 5, 6, ClipRect{4, 0, 7, 4}, f);
    // Row 2: columns 2..7 of the run, only 4..6 inside the clip.
    EXPECT_EQ(At(3, 2), kBack);
    EXPECT_EQ(At(4, 2), kGrey);
    EXPECT_EQ(At(6, 2), kGrey);
    EXPECT_EQ(At(7, 2), kBack);
    EXPECT_EQ(At(5, 5), kBack);  // below the clip: the frame ends here
    EXPECT_EQ(At(5, 3), kBack);  // so the later run is not painted
    // A frame hanging over every edge of the target writes nothing outside it (checked by
    // the address sanitizer on the exact-size target).
    const AnimFrame wide = Parse(Record({{-40, -1, std::vector<u8>(90, 1)}, {0, 30, {1}}}));
    DrawAnimationFrame(Target(), false, 0, 5, 6, ClipRect{-100, -100, 100, 100}, wide);
    EXPECT_EQ(At(0, 5), kGrey);
    EXPECT_EQ(At(kW - 1, 5), kGrey);
    DrawAnimationFrame(Target(), true, 0, 5, 6, ClipRect{-100, -100, 100, 100}, wide);
    DrawFrameShadow(Target(), false, 5, 6, ClipRect{-100, -100, 100, 100}, wide);
}

TEST_F(AnimFrameTest, ShadowsHalveTheBackgroundOfEvenRowsAtHalfHeight) {
    const u16 half = u16((kBack & 0x7BDE) >> 1);
    // A run of odd y offset casts nothing; y offset -4 lands two rows above the anchor,
    // two pixels to the right.
    const AnimFrame f = Parse(Record({{0, -4, {1, 1}}, {0, -3, {1, 1}}}));
    DrawFrameShadow(Target(), false, 5, 6, all_, f);
    std::vector<u16> want(target_.size(), kBack);
    want[size_t(4 * kW + 7)] = want[size_t(4 * kW + 8)] = half;
    EXPECT_EQ(target_, want);
    target_.assign(target_.size(), kBack);
    DrawFrameShadow(Target(), true, 5, 6, all_, f);
    want.assign(target_.size(), kBack);
    // Mirrored: 5 - 0 - 2 + 2 = 5.
    want[size_t(4 * kW + 5)] = want[size_t(4 * kW + 6)] = half;
    EXPECT_EQ(target_, want);
}

}  // namespace
