// Golden frames of the speech windows in the 555 and the 565 layout: bubbles stacked over a
// mobile, two bubbles of different mobiles overlapping (the one behind blended), a Unicode
// bubble, the system lines in the corner and the typing line; and the journal window.
#include <gtest/gtest.h>

#include "client/data/pixel_format.h"
#include "client/data/unicode_fonts.h"
#include "client/gumps/ingame/input_gump.h"
#include "client/gumps/ingame/journal_gump.h"
#include "client/gumps/ingame/tips_gump.h"
#include "tests/client/gumps/ingame/bark_fixture.h"
#include "tests/golden_frame.h"
#include "tools/content_builder/font_files.h"

namespace {

// Glyphs of 5 x 7 pixels: a hollow box, so the outline shows inside and out.
std::vector<u8> BoxUnicodeFont() {
    UnicodeFontWriter writer;
    const u8 rows[] = {0xF8, 0x88, 0x88, 0x88, 0x88, 0x88, 0xF8};
    for (char16_t unit : std::u16string(u"abcdefghijklmnopqrstuvwxyz\u0416"))
        writer.Add(unit, 0, 0, 5, 7, rows);
    return writer.Bytes();
}

class SpeechWindowsGoldenTest : public BarkFixture {
protected:
    ~SpeechWindowsGoldenTest() override {
        SetPixelFormat565(false);
        ResetUnicodeFonts();
    }
    // A calm world picture (a dark gradient) in the layout of the frame, so the texts show.
    void PaintWorld(bool use565) {
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                const u16 p = static_cast<u16>(3 << 10 | (4 + y / 40) << 5 | (6 + x / 64));
                screen[size_t(y) * kScreenWidth + x] = use565 ? Convert555To565(p) : p;
            }
    }
    ::testing::AssertionResult Frame(const std::string& name, bool use565,
                                     bool dropGreenLow = false) {
        TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
        if (dropGreenLow)
            for (u16& p : host.presented)
                p = static_cast<u16>(p & ~0x20);
        return use565 ? MatchesGolden565(name, host.presented.data(), kScreenWidth, kScreenHeight)
                      : MatchesGolden(name, host.presented.data(), kScreenWidth, kScreenHeight);
    }
};

TEST_F(SpeechWindowsGoldenTest, BubblesAndTypingLine) {
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        PaintWorld(use565);
        ResetUnicodeFonts();
        SetUnicodeFontBytes(0, BoxUnicodeFont());
        TheGumpDesktop().DeleteAllGumps();
        CClientMobile* talker = MobileWithBox(0x55, {200, 260, 240, 320});
        for (const char* t : {"Well met, traveller.", "The road north is closed",
                              "since the bridge fell in the spring floods."})
            talker->AddBark(t, 0, 3, 0);
        CClientMobile* behind = MobileWithBox(0x56, {420, 200, 460, 260});
        CClientMobile* front = MobileWithBox(0x57, {432, 204, 472, 264});
        behind->AddBark("WWWW behind WWWW", 0, 3, 0);
        front->AddBark("in front", 0, 3, 0);
        CClientMobile* foreign = MobileWithBox(0x58, {330, 120, 370, 180});
        foreign->AddUnicodeBark(u"zdravo \u0416", 0, 0, 0);
        ShowSystemMessage(0, 3, "Welcome to the town.");
        ShowSystemMessage(0, 3, "You feel rested.");
        TheTypingLine().SetText("Emote: waves_", 0, 3);
        // The 565 blend keeps the lowest green bit, which the 555 picture cannot hold: that
        // frame is pinned at 555 precision in a picture of its own.
        EXPECT_TRUE(Frame(use565 ? "speech_bubbles_565" : "speech_bubbles", use565, use565));
        for (CClientMobile* m : {talker, behind, front, foreign})
            m->Destroy();
    }
}

TEST_F(SpeechWindowsGoldenTest, Journal) {
    JournalArt();
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        PaintWorld(use565);
        TheGumpDesktop().DeleteAllGumps();
        TheJournal().Reset();
        for (int i = 0; i < 40; ++i)
            TheJournal().AddLine("Guard: entry number " + std::to_string(i) +
                                     (i % 5 == 0 ? " which is long enough to wrap onto a "
                                                   "second line of the journal"
                                                 : ""),
                                 0);
        CTextGump* j = TheGumpDesktop().Open<CTextGump>(40, 20);
        j->ScrollUp();  // locked, so the lock shows
        EXPECT_TRUE(Frame("journal", use565));
    }
}

TEST_F(SpeechWindowsGoldenTest, TipOfTheDay) {
    JournalArt();
    art.Solid(2506, 90, 18, 0x001F);
    art.Solid(2507, 60, 24, 0x2108);
    art.Solid(2508, 40, 16, 0x7C00);
    art.Solid(2509, 40, 16, 0x03E0);
    art.Solid(2510, 12, 12, 0x4210);
    art.Solid(2511, 12, 12, 0x7FFF);
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        PaintWorld(use565);
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().Open<CTipsGump>(
            CTipsGump::LinesOf("Double-click yourself to see what you wear.\nThe journal keeps "
                               "the last hundred things said to you; scroll it to look back."),
            true, false, TipsLink{});
        EXPECT_TRUE(Frame("tip_of_the_day", use565));
    }
}

}  // namespace
