// The per-frame redraw over the ring-addressed screen: the clip split at the ring's wrap, the
// save-unders that leave only world pixels behind, and golden frames of composed gumps.
#include "client/gumps/framework/gump_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"
#include "client/gumps/windows/sign_gump.h"
#include "client/gumps/windows/waiting_gump.h"
#include "client/gumps/windows/yes_no_gump.h"
#include "tests/client/data/pixel_format_scope.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/golden_frame.h"

namespace {

class GumpRedrawTest : public GumpDesktopTest {};

// Counts the pieces of a frame: every piece saves under every gump once.
class CountingGump : public CGump {
public:
    CountingGump(int x, int y, int w, int h) : CGump(x, y, nullptr, 0, 1, w, h) {
        pitch = w;
        Bitmap16& frame = MakeFrame(0);
        std::fill(frame.Pixels(), frame.Pixels() + static_cast<size_t>(w) * h, 0x7C1F);
    }
    void SaveUnder(const ClipRect& clip) override {
        ++saves;
        CGump::SaveUnder(clip);
    }
    int saves = 0;
};

TEST_F(GumpRedrawTest, TheClipIsSplitAtTheRingWrapAndOnlyWorldPixelsStay) {
    struct Case {
        const char* what;
        u32 offset;
        int pieces;
    };
    const Case cases[] = {
        {"ring offset 0", 0, 1},
        {"wrap at column 0", 640 * 200, 2},
        {"general offset", 640 * 123 + 77, 4},
        {"last pixel (one piece is empty)", CGumpDesktop::kScreenPixels - 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Desktop().DeleteAllGumps();
        PaintWorld(c.offset);
        auto* full = TheGumpDesktop().Open<CountingGump>(0, 0, kScreenWidth, kScreenHeight);
        full->visible = true;
        // 150 overlapping windows over it, some across the screen's edges.
        for (int i = 0; i < 150; ++i)
            MakeFilledGump(i * 4 - 30, i * 3 - 20, 80, 60, static_cast<u16>(0x001F + i));
        DrawFrame();
        EXPECT_EQ(full->saves, c.pieces);
        EXPECT_TRUE(ScreenIsWorld());
        EXPECT_EQ(Desktop().SaveUnderCount(), 0u);
        // The frame shown had the front window on top and the full-screen gump elsewhere.
        EXPECT_EQ(Shown(149 * 4 - 30 + 40, 149 * 3 - 20 + 30), 0x001F + 149);
        EXPECT_EQ(Shown(639, 0), 0x7C1F);
        EXPECT_EQ(Shown(0, 479), 0x7C1F);
    }
}

TEST_F(GumpRedrawTest, EverySavedRectangleIsRestoredHoweverManyThereAre) {
    PaintWorld(640 * 31 + 5);
    // More windows than a fixed list of 4,096 entries would hold, each saved in one or more
    // pieces.
    for (int i = 0; i < 5000; ++i)
        MakeFilledGump((i * 13) % 630, (i * 7) % 470, 10, 10, static_cast<u16>(0x7000 | i));
    DrawFrame();
    EXPECT_TRUE(ScreenIsWorld());
}

TEST_F(GumpRedrawTest, AnInvisibleGumpAndItsChildrenAreNeitherDrawnNorSaved) {
    CGump* hidden = MakeFilledGump(10, 10, 50, 50, 0x7FFF);
    MakeFilledGump(5, 5, 10, 10, 0x03E0, hidden);
    hidden->visible = false;
    DrawFrame();
    EXPECT_EQ(Shown(20, 20), world[20 * 640 + 20]);
    EXPECT_EQ(Shown(16, 16), world[16 * 640 + 16]);
    EXPECT_TRUE(ScreenIsWorld());
}

TEST_F(GumpRedrawTest, AnEmptyClipOnlyPresentsAndRestores) {
    MakeFilledGump(0, 0, 50, 50, 0x7FFF);
    Desktop().DrawGumps({10, 10, 10, 40}, true);
    EXPECT_EQ(host.presents, 1);
    EXPECT_TRUE(ScreenIsWorld());
    EXPECT_EQ(Shown(5, 5), world[5 * 640 + 5]);
}

TEST_F(GumpRedrawTest, EveryPresentedFrameStepsTheMobilesActions) {
    host.calls.clear();
    Desktop().DrawGumps({10, 10, 10, 40}, true);
    DrawFrame();
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "RunActionSequencer"),
              host.presents);
    EXPECT_GE(host.presents, 2);
}

// Fixture art of the composed screens: boxes with a see-through notch, buttons and fields.
void PutComposedArt(FixtureGumpArt& art) {
    art.Notched(2070, 180, 100, 0x5294);
    for (int id = 2071; id <= 2076; ++id)
        art.Solid(static_cast<u32>(id), 30, 14, static_cast<u16>(0x0200 + id % 8 * 0x0C63));
    art.Solid(2443, 120, 16, 0x318C);
    art.Solid(2444, 120, 16, 0x4210);
    art.Solid(1227, 12, 20, 0x7FE0);
    art.Solid(210, 14, 14, 0x001F);
    art.Solid(211, 14, 14, 0x7C00);
    for (int k = 0; k < 9; ++k)
        art.Solid(static_cast<u32>(3000 + k), 12, 12, static_cast<u16>(0x0842 * (k + 1)));
}

void ComposeScreens() {
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.Open<CWaitingGump>(20, 20, "Connecting to the game server", nullptr, false, 0, false);
    desktop.Open<CYesNoGump>("Quit the game?", CloseParentGump, CloseParentGump, 0);
    auto* sign =
        desktop.Open<CSignGump>(400, 300, 3000, 200, 120, "A panel sign with wrapped words", 0);
    auto* field =
        sign->Add<CInputControlGump>(30, 20, sign, 2443, 2443, 0, 30, 1, 902, true, false, 0);
    field->SetText("Name");
    desktop.SetKeyboardFocus(field);
    field->Redraw();
    sign->Add<CToggleControlGump>(30, 60, sign, 210, 211, 1, 902, "Toggle", 1, 210, 211);
    auto* thumb = sign->Add<CThumbGump>(170, 20, true, 100, sign, 1227);
    thumb->SetPosition(1, 2);
}

TEST_F(GumpRedrawTest, ComposedGumpsMatchTheirGoldenFrameIn555And565) {
    PutComposedArt(art);
    for (bool is565 : {false, true}) {
        SCOPED_TRACE(is565 ? "565" : "555");
        Scoped565 format(is565);
        Desktop().DeleteAllGumps();
        std::fill(screen.begin(), screen.end(), 0x0421);
        world = screen;
        Desktop().SetScreen(screen.data(), 640 * 17 + 300);
        ComposeScreens();
        DrawFrame();
        EXPECT_TRUE(ScreenIsWorld());
        std::vector<u16> frame = host.presented;
        if (is565)
            for (u16& p : frame)
                p = static_cast<u16>(((p >> 6) << 5) | (p & 0x1F));
        // The world pixel is the same number in both formats; only gump pixels convert.
        for (size_t i = 0; i < frame.size(); ++i)
            if (host.presented[i] == 0x0421) frame[i] = 0x0421;
        EXPECT_TRUE(MatchesGolden("gumps_composed", frame.data(), kScreenWidth, kScreenHeight));
    }
}

}  // namespace

namespace {

TEST_F(GumpRedrawTest, ButtonsShowPressedHoverAndGreyedLooks) {
    // Hue 960 turns every colour green; the other hues are left as they are.
    std::vector<u16> hues(960 * 32, 0);
    std::fill(hues.begin() + 959 * 32, hues.end(), 0x03E0);
    SetBlitHueTable(hues.data(), 960, 32);
    art.Solid(800, 20, 10, 0x7FFF);
    art.Solid(801, 20, 10, 0x7C00);
    art.Solid(802, 20, 10, 0x001F);
    CGump* window = MakeFilledGump(100, 100, 100, 100, 0x1111);
    auto* button =
        window->Add<CButtonGump>(10, 10, window, CButtonGump::kPush, 0, nullptr, 800, 801, 0);
    button->hoverArt = 802;
    struct Case {
        int frame;
        bool hovered, disabled;
        u16 shown;
    };
    for (const Case& c : {Case{0, false, false, 0x7FFF}, Case{1, false, false, 0x7C00},
                          Case{0, true, false, 0x001F}, Case{0, true, true, 0x03E0},
                          Case{1, false, true, 0x03E0}}) {
        button->frameIndex = c.frame;
        button->hovered = c.hovered;
        button->disabled = c.disabled;
        DrawFrame();
        EXPECT_EQ(Shown(115, 115), c.shown)
            << "frame " << c.frame << " hovered " << c.hovered << " disabled " << c.disabled;
    }
    SetBlitHueTable(nullptr, 0, 0);
}

}  // namespace
