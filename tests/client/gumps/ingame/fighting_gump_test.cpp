// The fighting bar: one style button always on, the sliders only for the second style, the
// settings 0 and 100 at the track's ends, Apply and OK sending 0x72 with the war-mode flag,
// Reset sending nothing, and the minimised picture that a double click restores.
#include "client/gumps/ingame/fighting_gump.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/net/world_packet_handlers.h"
#include "platform/clock.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/net/link_fixture.h"

namespace {

class FightingBarTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        art.Solid(2110, 290, 210, 0x2945);
        art.Solid(2131, 40, 30, 0x3DEF);
        art.Solid(2117, 12, 12, 0x7FE0);
        art.Solid(2118, 12, 12, 0x7FE1);
        for (u32 id = 2111; id <= 2116; ++id)
            art.Solid(id, 20, 20, static_cast<u16>(0x0400 + id));
        for (u32 id = 2119; id <= 2130; ++id)
            art.Solid(id, 40, 20, static_cast<u16>(0x0800 + id));
        net.link.OpenLocalConnection();
        SetTheClientLink(&net.link);
        net.ClientSent();
    }
    void TearDown() override {
        GumpDesktopTest::TearDown();
        SetTheClientLink(nullptr);
    }
    // The server's last word on the style (what 0x72 stored).
    void ServerStyle(u8 style, u8 first, u8 second) {
        u8* bytes = net.link.WorldHandlers().warModeBytes;
        bytes[0] = style;
        bytes[1] = first;
        bytes[2] = second;
    }
    CFightingGump* Open(int x = 100, int y = 100) {
        return Desktop().Open<CFightingGump>(x, y);
    }
    // A click on a child at its top-left corner + 2.
    static void ClickChild(const CGump* bar, const CGump* child) {
        Click(bar->x + child->x + 2, bar->y + child->y + 2);
    }
    static CGump* ChildAt(const CGump* bar, int x, int y) {
        for (CGump* c = bar->firstChild; c != nullptr; c = c->nextSibling)
            if (c->x == x && c->y == y) return c;
        return nullptr;
    }
    static CGump* ApplyButton(const CGump* bar) { return ChildAt(bar, 88, 178); }
    static CGump* ResetButton(const CGump* bar) { return ChildAt(bar, 151, 177); }
    static CGump* OkButton(const CGump* bar) { return ChildAt(bar, 213, 177); }
    static CGump* CloseButton(const CGump* bar) { return ChildAt(bar, 25, 177); }

    LinkFixture net;
    platform::ManualClock clock{1000};
};

TEST_F(FightingBarTest, TheStyleButtonsExcludeEachOtherAndOneStaysOn) {
    CFightingGump* bar = Open();
    EXPECT_EQ(Desktop().fightingGump, bar);
    EXPECT_FALSE(bar->Slider(0)->visible);
    EXPECT_FALSE(bar->Slider(1)->visible);
    EXPECT_EQ(bar->StyleButton(0)->frameIndex, 1);
    ClickChild(bar, bar->StyleButton(1));
    EXPECT_EQ(bar->StyleButton(1)->frameIndex, 1);
    EXPECT_EQ(bar->StyleButton(0)->frameIndex, 0);
    EXPECT_TRUE(bar->Slider(0)->visible);
    EXPECT_TRUE(bar->Slider(1)->visible);
    ClickChild(bar, bar->StyleButton(1));  // clicked again: still the chosen style
    EXPECT_EQ(bar->StyleButton(1)->frameIndex, 1);
    EXPECT_EQ(bar->StyleButton(0)->frameIndex, 0);
    EXPECT_TRUE(bar->Slider(0)->visible);
    EXPECT_TRUE(net.ClientSent().empty());
    Desktop().Close(bar);
    EXPECT_EQ(Desktop().fightingGump, nullptr);
}

TEST_F(FightingBarTest, ApplySendsTheStyleAndTheSettingsWithZeroAndOneHundredAtTheEnds) {
    struct Case {
        const char* name;
        u8 style, first, second;
        int firstAt;   // -1 track start, +1 track end, 0 as the server said
        int secondAt;
        Bytes sent;
    };
    const Case cases[] = {
        {"as the server said", 1, 50, 0, 0, 0, {0x72, 0x00, 0x01, 0x32, 0x00}},
        {"both ends", 1, 50, 50, -1, +1, {0x72, 0x00, 0x01, 0x00, 0x64}},
        {"first style", 0, 20, 70, 0, 0, {0x72, 0x00, 0x00, 0x14, 0x46}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desktop().DeleteAllGumps();
        ServerStyle(c.style, c.first, c.second);
        CFightingGump* bar = Open();
        const int at[2] = {c.firstAt, c.secondAt};
        for (int i = 0; i < 2; ++i) {
            CThumbGump* s = bar->Slider(i);
            if (at[i] < 0) s->x = s->minX;
            if (at[i] > 0) s->x = s->maxX;
        }
        ClickChild(bar, ApplyButton(bar));
        EXPECT_EQ(net.ClientSent(), c.sent);
        const u8* stored = net.link.WorldHandlers().warModeBytes;
        EXPECT_EQ(stored[0], c.sent[2]);
        EXPECT_EQ(stored[1], c.sent[3]);
        EXPECT_EQ(stored[2], c.sent[4]);
        EXPECT_EQ(Desktop().head, bar);
    }
}

TEST_F(FightingBarTest, TheStepAreasMoveAShownSliderOnePixelWithinItsTrack) {
    ServerStyle(1, 0, 100);
    CFightingGump* bar = Open();
    CThumbGump* first = bar->Slider(0);
    CThumbGump* second = bar->Slider(1);
    EXPECT_EQ(first->x, first->minX);
    EXPECT_EQ(second->x, second->maxX);
    Click(bar->x + 200, bar->y + 110);  // first up
    Click(bar->x + 85, bar->y + 110);   // first down
    Click(bar->x + 85, bar->y + 110);   // first down, at the start already
    Click(bar->x + 85, bar->y + 155);   // second down
    Click(bar->x + 200, bar->y + 155);  // second up
    Click(bar->x + 200, bar->y + 155);  // second up, at the end already
    EXPECT_EQ(first->x, first->minX);
    EXPECT_EQ(second->x, second->maxX);
    Click(bar->x + 200, bar->y + 110);
    EXPECT_EQ(first->x, first->minX + 1);
    // Hidden sliders do not move.
    ClickChild(bar, ResetButton(bar));
    Click(bar->x + 200, bar->y + 110);
    EXPECT_EQ(first->x, first->minX + 1);
}

TEST_F(FightingBarTest, ResetSendsNothingResetThenOkSendsTheFirstStyleWithTheSameSettings) {
    ServerStyle(1, 50, 0);
    CFightingGump* bar = Open();
    ClickChild(bar, ResetButton(bar));
    EXPECT_EQ(bar->StyleButton(0)->frameIndex, 1);
    EXPECT_EQ(bar->StyleButton(1)->frameIndex, 0);
    EXPECT_FALSE(bar->Slider(0)->visible);
    ClickChild(bar, CloseButton(bar));
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_TRUE(net.ClientSent().empty());

    bar = Open();
    ClickChild(bar, ResetButton(bar));
    ClickChild(bar, OkButton(bar));
    EXPECT_EQ(net.ClientSent(), (Bytes{0x72, 0x00, 0x00, 0x32, 0x00}));
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_EQ(Desktop().fightingGump, nullptr);
}

TEST_F(FightingBarTest, AMinimisedBarShowsOnlyItsPictureAndADoubleClickRestoresIt) {
    ServerStyle(1, 0, 0);
    CFightingGump* bar = Open(200, 150);
    Click(bar->x + 260, bar->y + 30);  // the minimise area
    ASSERT_TRUE(bar->minimised);
    DrawFrame();
    const int mx = bar->x, my = bar->y;
    EXPECT_EQ(Shown(mx + 5, my + 5), 0x3DEF);
    EXPECT_EQ(Shown(mx + 45, my + 5), world[static_cast<size_t>(my + 5) * 640 + mx + 45]);
    Click(mx + 5, my + 5);
    EXPECT_TRUE(bar->minimised) << "a single click leaves it";
    Click(mx + 5, my + 5);
    EXPECT_FALSE(bar->minimised);
    EXPECT_EQ(bar->x, 200);
    EXPECT_EQ(bar->y, 150);
}

TEST_F(FightingBarTest, ThePanelFollowsThePointerAndARightClickClosesIt) {
    CFightingGump* bar = Open(100, 100);
    TheCursorManager().OnLeftDown(110, 110);
    Tick(113, 112);
    Tick(130, 140);
    TheCursorManager().OnLeftUp(130, 140);
    EXPECT_EQ(bar->x, 120);
    EXPECT_EQ(bar->y, 130);
    TheCursorManager().OnRightDown(125, 135);
    TheCursorManager().OnRightUp(125, 135);
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_TRUE(net.ClientSent().empty());
}

}  // namespace
