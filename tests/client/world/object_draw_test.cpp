// Statics and items drawing themselves: the colour effect chosen from tile flags, hue, the
// marked object and the ghost view, doubled stacks, and what is never drawn.
#include <gtest/gtest.h>

#include <vector>

#include "client/data/back_buffer.h"
#include "client/data/data_file_cache.h"
#include "client/render/span_blit.h"
#include "client/world/world_draw.h"
#include "tests/client/world/installed_world_fixture.h"

namespace {

constexpr int kW = 120, kH = 120;
constexpr u16 kBackground = 0x2108;

class ObjectDrawTest : public InstalledWorldFixture {
protected:
    void SetUp() override {
        InstalledWorldFixture::SetUp();
        hues_.resize(1000 * 32);
        for (size_t i = 0; i < hues_.size(); ++i)
            hues_[i] = u16((i * 97 + 5) & 0x7FFF);
        SetBlitHueTable(hues_.data(), 1000, 32);
        // A static graphic with art no wider or taller than the canvas leaves room for.
        for (int g = 2; g < 0x4000 && graphic_ == 0; ++g) {
            s32 length = 0;
            const u8* r = GetArtRecord(0x4000 + g, &length);
            if (r == nullptr || length < 8) continue;
            const int w = r[4] | r[5] << 8, h = r[6] | r[7] << 8;
            if (w > 4 && h > 4 && w < 60 && h < 60) graphic_ = g;
        }
    }
    void TearDown() override {
        SetBlitHueTable(nullptr, 0, 32);
        InstalledWorldFixture::TearDown();
    }
    // Places the object's box at (20, 20) and draws it clipped to the whole canvas.
    std::vector<u16> Draw(CClientObject* o) {
        std::vector<u16> canvas(kW * kH, kBackground);
        o->SetKeys(0);
        o->UpdateScreenBox();
        ViewScrollX = o->box.left - 20;
        ViewScrollY = o->box.top - 20;
        o->Draw(BlitTarget{canvas.data(), kW, kH}, ScreenRect{0, 0, kW, kH});
        return canvas;
    }
    // The art of the graphic drawn at (x, y) with the span and blit hue, once or twice.
    std::vector<u16> Expected(SpanFn span, int blitHue, bool twice = false) {
        std::vector<u16> canvas(kW * kH, kBackground);
        const BlitTarget target{canvas.data(), kW, kH};
        s32 length = 0;
        const u8* r = GetArtRecord(0x4000 + graphic_, &length);
        std::vector<u16> words(size_t(length) / 2);
        for (size_t i = 0; i < words.size(); ++i)
            words[i] = u16(r[2 * i] | r[2 * i + 1] << 8);
        const BlitSpan hued(span, blitHue);
        DrawArt(target, hued, ArtRecord{words.data(), words.size()}, 20, 20);
        if (twice) DrawArt(target, hued, ArtRecord{words.data(), words.size()}, 25, 25);
        return canvas;
    }
    const std::vector<u16> blank_ = std::vector<u16>(kW * kH, kBackground);
    int graphic_ = 0;
    std::vector<u16> hues_;
};

TEST_F(ObjectDrawTest, ColourEffectFollowsFlagsHueAndMark) {
    ASSERT_NE(graphic_, 0);
    struct Case {
        u32 flags;
        u16 hue;
        bool marked;
        SpanFn span;
        int blitHue;
    } cases[] = {
        {0, 0, false, SpanCopy, -1},
        {0x8, 0, false, SpanBlendOver, -1},
        {0x8, 33, false, SpanHueBlendOver, 32},
        {0x20008, 0, false, SpanBlendUnder, -1},
        {0x40000, 7, false, SpanHueGrey, 6},
        {0x20000, 7, false, SpanHue, 6},
        {0x40008, 7, false, SpanHueGreyBlendOver, 6},
        {0x20008, 7, false, SpanCopy, 6},  // 0x2000A: no routine of its own
        {0, 0, true, SpanHue, 52},
        {0, 60000, false, SpanHue, 59999},
    };
    for (const Case& c : cases) {
        SetStatic(graphic_, c.flags);
        CClientItem* item = CClientItem::Allocate(0x40000001, graphic_, 0);
        item->hue = c.hue;
        hooks.markedObject = c.marked ? item->serial : 0;
        const std::vector<u16> drawn = Draw(item);
        EXPECT_EQ(drawn, Expected(c.span, c.blitHue))
            << "flags " << std::hex << c.flags << " hue " << std::dec << c.hue;
        EXPECT_NE(drawn, blank_);
        item->Destroy();
    }
    hooks.markedObject = 0;
}

TEST_F(ObjectDrawTest, GhostsSeeEveryObjectInOneHueAndTheObjectKeepsItsOwn) {
    ASSERT_NE(graphic_, 0);
    MakePlayer(1, 402);
    for (u32 flags : {0u, 0x8u, 0x60008u}) {
        SetStatic(graphic_, flags);
        CClientObject* o = CClientObject::AllocateStatic(graphic_);
        o->hue = 0;
        EXPECT_EQ(Draw(o), Expected(SpanHue, 945)) << std::hex << flags;
        EXPECT_EQ(o->hue, 0);
        o->Destroy();
    }
}

TEST_F(ObjectDrawTest, NeverDrawnAndDoubled) {
    ASSERT_NE(graphic_, 0);
    SetStatic(graphic_, 0x10000);
    CClientItem* item = CClientItem::Allocate(0x40000002, graphic_, 0);
    EXPECT_EQ(Draw(item), blank_) << "flag 0x10000";
    SetStatic(graphic_, 0);
    item->hue = 60001;
    EXPECT_EQ(Draw(item), blank_) << "hue past 60000";
    item->hue = 0;
    item->statusFlags = 0x80;
    EXPECT_EQ(Draw(item), blank_) << "hidden";
    item->statusFlags = 0;
    SetStatic(graphic_, kClientTileStackable);
    item->amount = 2;
    EXPECT_EQ(Draw(item), Expected(SpanCopy, -1, true)) << "doubled";
    item->Destroy();
    SetStatic(1, 0);
    CClientObject* marker = CClientObject::AllocateStatic(1);
    EXPECT_EQ(Draw(marker), blank_) << "marker";
    marker->Destroy();
}

// Through the cell walk: a static hidden by the level cut stays hidden, unless it is a
// see-through piece, which is drawn translucent.
TEST_F(ObjectDrawTest, HiddenSeeThroughPiecesAreDrawnTranslucent) {
    ASSERT_NE(graphic_, 0);
    PlayerInStillWorld();
    RecentreCellGrid(10, 10);
    TheLevels().cutOn = 1;
    TheLevels().cutLevel = 10;
    // Flags 0x20000 and 0x8 together blend the art under the background (here the black of
    // the cut): a quarter of each pixel, black where the art has none.
    std::vector<u16> translucent = Expected(SpanCopy, -1);
    for (u16& p : translucent)
        p = p == kBackground ? 0 : u16(((p & 0x739C) >> 2) | 1);
    for (u32 flags : {0u, 0x20000u}) {
        SetStatic(graphic_, flags);
        CClientObject* o = CClientObject::AllocateStatic(graphic_);
        o->PlaceInWorld(ClientLocation{12, 8, 20});
        ASSERT_TRUE(o->IsHidden());
        ViewScrollX = o->box.left - 20;
        ViewScrollY = o->box.top - 20;
        std::vector<u16> screen(kBackBufferWidth * kBackBufferHeight, kBackground);
        DrawWorldRect(screen.data(), ScreenRect{0, 0, kW, kH});
        std::vector<u16> drawn(kW * kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                drawn[y * kW + x] = screen[y * kBackBufferWidth + x];
        EXPECT_EQ(drawn, flags ? translucent : std::vector<u16>(kW * kH, 0)) << flags;
        o->Destroy();
    }
}

}  // namespace
