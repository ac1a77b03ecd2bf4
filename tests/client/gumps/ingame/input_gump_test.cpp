// The typing line: its size and place at the bottom-left corner, the frame rate before the
// text, and its life beside the other windows.
#include "client/gumps/ingame/input_gump.h"

#include <gtest/gtest.h>

#include "tests/client/gumps/ingame/bark_fixture.h"

namespace {

using InputGumpTest = BarkFixture;

int TextWidth(const std::string& text) {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(3, text, w, h, baseline);
    return w;
}

TEST_F(InputGumpTest, TheLineSitsOnTheBottomEdgeAtItsTextsSize) {
    CInputGump& line = TheTypingLine();
    struct Case {
        std::string text;
        int width;
    } cases[] = {
        {"hello_", TextWidth("hello_")},
        {"Emote: waves_", TextWidth("Emote: waves_")},
        // An empty line is two pixels wide and at least one high.
        {"", 2},
    };
    for (const Case& c : cases) {
        line.SetText(c.text, 0, 3);
        EXPECT_EQ(line.width, c.width) << c.text;
        EXPECT_GE(line.height, 1);
        EXPECT_EQ(line.x, 0);
        EXPECT_EQ(line.y + line.height, kScreenHeight);
        EXPECT_EQ(line.pitch, line.width);
    }
    // A missing font keeps the last size.
    line.SetText("hello", 0, 3);
    const int w = line.width;
    line.SetText("a much longer text", 0, CFontTable::kSlots);
    EXPECT_EQ(line.width, w);
}

TEST_F(InputGumpTest, TheFrameCounterLeadsTheText) {
    ClientSettings settings;
    settings.options.frameCounter = true;
    SetClientSettings(settings);
    CInputGump& line = TheTypingLine();
    line.SetText("hi", 0, 3);
    struct Case {
        u32 step;
        std::string shown;
    } cases[] = {
        {20, " 50 fps hi"},
        {0, "  0 fps hi"},
        {1000, "  1 fps hi"},
        {1, "1000 fps hi"},
    };
    for (const Case& c : cases) {
        Clock().Advance(c.step);
        line.SetText("hi", 0, 3);
        EXPECT_EQ(line.width, TextWidth(c.shown)) << c.shown;
    }
}

TEST_F(InputGumpTest, OneLineStaysInFrontAndOutlivesTheOtherWindows) {
    CInputGump& line = TheTypingLine();
    ShowSystemMessage(0, 3, "over it");
    ASSERT_NE(TheGumpDesktop().head, &line);
    line.SetText("typing", 0, 3);
    EXPECT_EQ(TheGumpDesktop().head, &line);
    EXPECT_EQ(&TheTypingLine(), &line);
    TheGumpDesktop().DeleteNonWorldGumps();
    EXPECT_EQ(TheGumpDesktop().head, &line);
    EXPECT_EQ(TheGumpDesktop().TopLevelCount(), 1);
    TheGumpDesktop().CloseOnEscape();
    EXPECT_EQ(TheGumpDesktop().TopLevelCount(), 1);
}

}  // namespace
