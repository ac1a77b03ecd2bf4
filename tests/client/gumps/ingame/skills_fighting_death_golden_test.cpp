// Golden frames of the skill window (groups collapsed and expanded, and in the middle of a
// skill drag onto a collapsed group), the fighting bar and the death menu over the finished
// death fade, each drawn in the 555 and the 565 layout against one picture.
#include <gtest/gtest.h>

#include "client/data/pixel_format.h"
#include "client/gumps/ingame/death_menu_gump.h"
#include "client/gumps/ingame/fighting_gump.h"
#include "client/gumps/ingame/skill_gump.h"
#include "client/net/world_packet_handlers.h"
#include "client/world/world_view_frame.h"
#include "tests/client/gumps/ingame/skill_gump_fixture.h"
#include "tests/golden_frame.h"

namespace {

class InGameWindowGoldenTest : public SkillGumpTest {
protected:
    void SetUp() override {
        SkillGumpTest::SetUp();
        // Fighting bar and death menu art with some inner structure, so that misplaced
        // pieces show.
        PanelArt(2110, 290, 210, 0x2529, 0x4631);
        art.Solid(2131, 40, 30, 0x3DEF);
        art.Solid(2117, 12, 12, 0x7FE0);
        art.Solid(2118, 12, 12, 0x7FE1);
        for (u32 id = 2111; id <= 2116; ++id)
            art.Solid(id, 40, 16, static_cast<u16>((id - 2111) * 0x0C63 + 0x0400));
        for (u32 id = 2119; id <= 2130; ++id)
            art.Solid(id, 44, 18, static_cast<u16>((id - 2119) * 0x0842 + 0x1000));
        for (u32 k = 0; k < 9; ++k)
            PanelArt(5100 + k, 16, 16, static_cast<u16>(0x1084 + k * 0x0421), 0x5294);
        art.Solid(5050, 20, 20, 0x7FFF);
        art.Solid(5051, 20, 20, 0x7C00);
    }
    void TearDown() override {
        SetPixelFormat565(false);
        SkillGumpTest::TearDown();
    }
    // A picture of one colour with a frame of another.
    void PanelArt(u32 id, int w, int h, u16 fill, u16 rim) {
        std::vector<u16> pixels(static_cast<size_t>(w) * h, fill);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2)
                    pixels[static_cast<size_t>(y) * w + x] = rim;
        art.Put(id, EncodeGumpArt(pixels.data(), w, h), w, h);
    }
    // The presented frame's rectangle, in screen order.
    std::vector<u16> Crop(int x, int y, int w, int h) const {
        std::vector<u16> out;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                out.push_back(Shown(col, row));
        return out;
    }
    ::testing::AssertionResult Matches(const std::string& name, bool use565,
                                       const std::vector<u16>& pixels, int w, int h) {
        return use565 ? MatchesGolden565(name, pixels.data(), w, h)
                      : MatchesGolden(name, pixels.data(), w, h);
    }
    void BlackScreen() {
        std::fill(screen.begin(), screen.end(), u16{0});
        world = screen;
    }
    // Misc (Peek, Alchemy, Battle) expanded; Fighting (Melee, Fishing) and Thieving
    // (Stealing, Hiding, Camping) collapsed; values from 0 to 100.0.
    CSkillGump* OpenGroupedWindow() {
        MakeGroups({"Miscellaneous", "Fighting", "Thieving"},
                   {{0, 0}, {1, 0}, {6, 0}, {4, 1}, {7, 1}, {2, 2}, {3, 2}, {5, 2}});
        const u16 values[] = {0, 1000, 505, 12, 999, 250, 77, 1};
        for (int i = 0; i < 8; ++i)
            ThePlayerSkillValues().values[i] = values[i];
        CSkillGump* w = Open();
        int sx = 0, sy = 0;
        EXPECT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
        SingleClick(sx, sy);
        EXPECT_TRUE(LineScreenPoint(w, Header(1), false, sx, sy));
        SingleClick(sx, sy);  // Fighting selected
        return w;
    }
};

TEST_F(InGameWindowGoldenTest, SkillWindowCollapsedAndDragging) {
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        Desktop().DeleteAllGumps();
        ResetSkillGroups(TheSkillGroupTable());
        BlackScreen();
        CSkillGump* w = OpenGroupedWindow();
        DrawFrame();
        EXPECT_TRUE(Matches("skill_window_collapsed", use565, Crop(w->x, w->y, w->width, w->height),
                            w->width, w->height));

        // Battle held past the double-click time and carried over the collapsed Thieving.
        int sx = 0, sy = 0, hx = 0, hy = 0;
        ASSERT_TRUE(LineScreenPoint(w, Skill(0, 1), false, sx, sy));
        ASSERT_TRUE(LineScreenPoint(w, Header(2), false, hx, hy));
        Press(sx, sy);
        TickAt(sx, sy, 600);
        TickAt(hx, hy, 20);
        ASSERT_EQ(w->DropGroup(), 2);
        DrawFrame();
        EXPECT_TRUE(Matches("skill_window_dragging", use565, Crop(w->x, w->y, w->width, w->height),
                            w->width, w->height));
        Release(hx, hy);
        EXPECT_EQ(TheSkillGroupTable().groupOf[6], 2);
    }
}

TEST_F(InGameWindowGoldenTest, FightingBarWithTheSecondStyle) {
    LinkFixture net;
    net.link.OpenLocalConnection();
    SetTheClientLink(&net.link);
    u8* style = net.link.WorldHandlers().warModeBytes;
    style[0] = 1;
    style[1] = 50;
    style[2] = 100;
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        Desktop().DeleteAllGumps();
        BlackScreen();
        CFightingGump* bar = Desktop().Open<CFightingGump>(100, 100);
        DrawFrame();
        EXPECT_TRUE(Matches("fighting_bar", use565, Crop(bar->x, bar->y, 290, 210), 290, 210));
    }
}

TEST_F(InGameWindowGoldenTest, DeathMenuOverTheFinishedFade) {
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        Desktop().DeleteAllGumps();
        PaintWorld(0);
        for (int step = 0; step < 31; ++step)
            DarkenScreenOneStep(screen.data(), static_cast<int>(screen.size()), use565);
        for (u16 p : screen)
            ASSERT_EQ(p & (use565 ? 0xFFDF : 0x7FFF), 0) << "black within 31 steps";
        world = screen;
        CDeathMenuGump* menu = OpenDeathMenuGump([](u8) {});
        DrawFrame();
        EXPECT_TRUE(Matches("death_menu_fade", use565, Crop(0, 0, 640, 480), 640, 480));
        EXPECT_EQ(Shown(menu->x - 1, menu->y), 0);
    }
}

}  // namespace
