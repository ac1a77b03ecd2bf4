// The tips window: its lines (cut at line ends, wrapped, at most 100 of 79 characters),
// scrolling by lines, the next and previous buttons and "Don't show again".
#include "client/gumps/ingame/tips_gump.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"
#include "tests/client/gumps/ingame/bark_fixture.h"

namespace {

class TipsGumpTest : public BarkFixture {
protected:
    TipsGumpTest() {
        JournalArt();
        for (u32 id : {2506u, 2514u})
            art.Solid(id, 90, 18, 0x001F);
        for (u32 id : {2507u, 2515u})
            art.Solid(id, 60, 24, 0x2108);
        art.Solid(2508, 40, 16, 0x7C00);
        art.Solid(2509, 40, 16, 0x03E0);
        art.Solid(2510, 12, 12, 0x4210);
        art.Solid(2511, 12, 12, 0x7FFF);
    }
    // The windows go while the recorders they report to still exist.
    ~TipsGumpTest() override { TheGumpDesktop().DeleteAllGumps(); }
    CTipsGump* Open(std::vector<std::string> lines, bool tip = true, bool showTips = true) {
        TipsLink link;
        link.requestTip = [this](u8 d) { asked.push_back(d); };
        link.setShowTips = [this](bool on) { shown.push_back(on); };
        return TheGumpDesktop().Open<CTipsGump>(std::move(lines), tip, showTips, link);
    }
    static CButtonGump* ButtonAt(CGump& g, int x) {
        for (CGump* c = g.firstChild; c; c = c->nextSibling)
            if (c->x == x && c->IsKind(GumpKind::kButton)) return static_cast<CButtonGump*>(c);
        return nullptr;
    }
    std::vector<u8> asked;
    std::vector<bool> shown;
};

TEST_F(TipsGumpTest, TheTextIsCutIntoBoundedLines) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"one\ntwo", {"one", "two"}},
        {"one\r\ntwo", {"one", "two"}},
        {"one\rtwo", {"one", "two"}},
        {"one\n\ntwo", {"one", "", "two"}},
        {"one\r\n\r\ntwo", {"one", "", "two"}},
        {"", {""}},
        // Wrapped at 214 pixels (71 of the fixture's 3-pixel glyphs)...
        {std::string(100, 'a'), {std::string(71, 'a'), std::string(29, 'a')}},
        // ...and never more than 79 characters, however narrow they are.
        {std::string(100, '\xC8'), {std::string(79, '\xC8'), std::string(21, '\xC8')}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTipsGump::LinesOf(c.text), c.lines) << c.text;
    std::string many;
    for (int i = 0; i < 150; ++i)
        many += "line\n";
    EXPECT_EQ(CTipsGump::LinesOf(many).size(), CTipsGump::kMaxLines);
}

TEST_F(TipsGumpTest, ATipOfThreeLinesScrollsNoFurtherThanItsLast) {
    CTipsGump* t = Open({"first", "second", "third"});
    EXPECT_EQ(t->x, 320);
    EXPECT_EQ(t->y, 180);
    struct Step {
        bool down;
        int top;
    } steps[] = {{true, 2}, {true, 2}, {false, 0}, {false, 0}};
    for (const Step& s : steps) {
        const int y = s.down ? t->areaBottom : t->areaTop + 9;
        t->OnLeftDown(t->width - 30, y);
        t->OnHover();
        t->OnLeftUp(t->width - 30, y);
        EXPECT_EQ(t->topLine, s.top);
    }
    t->ScrollLines(5);
    EXPECT_EQ(t->topLine, 2);
    t->ScrollLines(-5);
    EXPECT_EQ(t->topLine, 0);
    t->OnSliderMoved(10, 10, t->thumb);
    EXPECT_EQ(t->topLine, 2);
}

TEST_F(TipsGumpTest, NextAndPreviousAskTheServerAndClose) {
    struct Case {
        int x;
        u8 direction;
    } cases[] = {{251, 1}, {35, 0}};
    for (const Case& c : cases) {
        asked.clear();
        CTipsGump* t = Open({"tip"});
        CButtonGump* b = ButtonAt(*t, c.x);
        ASSERT_NE(b, nullptr);
        b->OnLeftDown(1, 1);
        b->OnLeftUp(1, 1);
        EXPECT_EQ(asked, std::vector<u8>{c.direction});
        EXPECT_EQ(TheGumpDesktop().TopLevelCount(), 0);
    }
}

TEST_F(TipsGumpTest, DontShowAgainDecidesWhenTheTipCloses) {
    struct Case {
        bool tip, showTips, tick;
        std::vector<bool> told;
    } cases[] = {
        {true, true, false, {true}},
        {true, true, true, {false}},
        {true, false, false, {false}},
        {true, false, true, {true}},
        // A notice has no box and changes nothing.
        {false, true, false, {}},
    };
    for (const Case& c : cases) {
        shown.clear();
        CTipsGump* t = Open({"tip"}, c.tip, c.showTips);
        EXPECT_EQ(t->dontShow != nullptr, c.tip);
        if (c.tip) {
            EXPECT_EQ(t->dontShow->state, c.showTips ? 0 : 1);
            if (c.tick) {
                t->dontShow->OnLeftDown(1, 1);
                t->dontShow->OnLeftUp(1, 1);
            }
        } else {
            EXPECT_EQ(t->x, 20);
        }
        t->OnRightUp(0, 0);
        EXPECT_EQ(shown, c.told);
    }
}

}  // namespace
