#include "client/world/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/world/bark_views.h"
#include "client/world/client_object.h"
#include "client/world/system_message.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/world/world_fixture.h"

namespace {

// A journal window that records what the journal asked of it.
class FakeJournalWindow : public JournalWindow {
public:
    void ScrollToEnd() override { ++scrolls; }
    void SyncThumb() override { ++thumbSyncs; }
    void DrawText() override { ++draws; }
    int scrolls = 0, thumbSyncs = 0, draws = 0;
};

class JournalTest : public WorldFixture {
protected:
    JournalTest() {
        // Font 3 for the system lines, font 9 for the journal's measures.
        const std::vector<u8> fonts = FixtureFontsMulIn({3, 9});
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        TheJournal().Reset();
        TheBarkSpeaker() = BarkSpeaker{};
    }
    ~JournalTest() override {
        TheJournal().Reset();
        GetFontTable().Clear();
        SetClientSettings(ClientSettings{});
        std::remove(logPath.c_str());
    }
    void LogTo(int unicodeSetting, bool unicodeSpeech) {
        ClientSettings s;
        s.options.journalSaveFile = logPath;
        s.options.journalSaveUnicode = unicodeSetting;
        s.options.unicodeSpeech = unicodeSpeech;
        SetClientSettings(s);
        TheJournal().CloseLog();
    }
    std::string LogBytes() {
        TheJournal().CloseLog();
        std::ifstream in(logPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const JournalEntry& e : TheJournal().Entries())
            out.push_back(e.text);
        return out;
    }

    std::string logPath = ::testing::TempDir() + "/journal_test_log.txt";
};

TEST_F(JournalTest, TheHundredAndFirstLineDropsTheOldest) {
    CJournal& j = TheJournal();
    FakeJournalWindow atOldest, atSecond, held;
    for (int i = 0; i < 100; ++i)
        j.AddLine("line " + std::to_string(i), i);
    ASSERT_EQ(j.Count(), 100u);
    const JournalEntry* oldest = &j.Entries().front();
    const JournalEntry* second = j.Newer(oldest);
    atOldest.topEntry = oldest;
    atSecond.topEntry = second;
    held.topEntry = oldest;
    held.held = true;
    for (FakeJournalWindow* w : {&atOldest, &atSecond, &held})
        j.AddWindow(w);
    j.AddLine("line 100", 5);
    EXPECT_EQ(j.Count(), 100u);
    EXPECT_EQ(j.Entries().front().text, "line 1");
    EXPECT_EQ(j.Entries().back().text, "line 100");
    EXPECT_EQ(j.Entries().back().hue, 5);
    // A window showing the dropped entry starts at the next; the others keep their top.
    EXPECT_EQ(atOldest.topEntry, second);
    EXPECT_EQ(held.topEntry, second);
    EXPECT_EQ(atSecond.topEntry, second);
    // Every window redraws and moves its thumb; a held one does not scroll.
    EXPECT_EQ(atOldest.scrolls, 1);
    EXPECT_EQ(held.scrolls, 0);
    for (FakeJournalWindow* w : {&atOldest, &atSecond, &held}) {
        EXPECT_EQ(w->thumbSyncs, 1);
        EXPECT_EQ(w->draws, 1);
    }
    // A removed window hears nothing more.
    j.RemoveWindow(&atSecond);
    j.AddLine("line 101", 0);
    EXPECT_EQ(atSecond.draws, 1);
    EXPECT_EQ(atOldest.draws, 2);
    j.RemoveWindow(&atOldest);
    j.RemoveWindow(&held);
}

TEST_F(JournalTest, EntriesAreMeasuredInTheJournalFont) {
    TheJournal().AddText("gap", 0);
    const JournalEntry& e = TheJournal().Entries().back();
    // The fixture's 'g' is 6 high, one row more than the other glyphs.
    int width = 0, height = 0, baseline = 0;
    ASSERT_TRUE(GetFontTable().MeasureText(CJournal::kFont, "gap", width, height, baseline));
    EXPECT_EQ(e.height, 6);
    EXPECT_EQ(e.height, height);
    EXPECT_EQ(e.baseline, baseline);
    EXPECT_FALSE(e.unicode);
    TheJournal().AddUnicodeText(u"wide", 3);
    EXPECT_TRUE(TheJournal().Entries().back().unicode);
    EXPECT_EQ(TheJournal().Entries().back().wideText, u"wide");
}

TEST_F(JournalTest, TheSuppressFlagKeepsLinesOut) {
    LogTo(0, false);
    FakeJournalWindow w;
    TheJournal().AddWindow(&w);
    {
        JournalSuppressScope quiet;
        TheJournal().AddLine("restored", 0);
        TheJournal().AddUnicodeLine(u"restored", 0);
    }
    EXPECT_EQ(TheJournal().Count(), 0u);
    EXPECT_EQ(w.draws, 0);
    EXPECT_FALSE(TheJournal().suppress);
    TheJournal().AddLine("said", 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{"said"});
    EXPECT_EQ(LogBytes(), "said\n");
    TheJournal().RemoveWindow(&w);
}

TEST_F(JournalTest, LogFilesInBytesAndIn16BitUnits) {
    const std::string wideHello("h\0i\0\n\0\r\0", 8);
    struct Case {
        const char* what;
        int unicodeSetting;
        bool unicodeSpeech;
        std::string expected;
    } cases[] = {
        {"bytes", 0, false, "hi\nhi\n"},
        {"bytes even with Unicode speech", 0, true, "hi\nhi\n"},
        {"16-bit", 1, false, wideHello + wideHello},
        {"following Unicode speech", -1, true, wideHello + wideHello},
        {"following byte speech", -1, false, "hi\nhi\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(logPath.c_str());
        LogTo(c.unicodeSetting, c.unicodeSpeech);
        TheJournal().AddLine("hi", 0);
        TheJournal().AddUnicodeLine(u"hi", 0);
        EXPECT_EQ(LogBytes(), c.expected);
    }
    // A 16-bit text is narrowed for a byte log (units past 127 dropped); the log is appended
    // to, never truncated.
    LogTo(0, false);
    TheJournal().AddUnicodeLine(u"caf\u00e9\u4e2d!", 0);
    EXPECT_EQ(LogBytes(), "hi\nhi\ncaf!\n");
}

TEST_F(JournalTest, NoLogFileNameMeansNoLogAndAnUnopenableOneLosesNoLine) {
    ClientSettings s;
    s.options.journalSaveFile = ::testing::TempDir() + "/no/such/dir/journal.txt";
    SetClientSettings(s);
    TheJournal().CloseLog();
    TheJournal().AddLine("kept", 0);
    TheJournal().AddLine("kept too", 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"kept", "kept too"}));
}

TEST_F(JournalTest, SystemMessagesNeedAValidFont) {
    struct Case {
        int font;
        bool shown;
    } cases[] = {{3, true}, {9, true}, {0, false}, {-1, false}, {25, false}, {1000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        TheJournal().Reset();
        hooks.calls.clear();
        ShowSystemMessage(0x22, c.font, "notice");
        if (c.shown) {
            EXPECT_EQ(Texts(), std::vector<std::string>{"notice"});
            EXPECT_EQ(TheJournal().Entries().back().hue, 0x22);
            EXPECT_EQ(hooks.calls, std::vector<std::string>{"SystemMessage notice"});
        } else {
            EXPECT_EQ(TheJournal().Count(), 0u);
            EXPECT_TRUE(hooks.calls.empty());
        }
    }
}

// Without bubbles to expire them, the system lines keep only the newest few records: every
// line said would otherwise stay for good.
TEST_F(JournalTest, WithoutBubblesOnlyTheNewestSystemLinesAreKept) {
    const int said = 3 * BarkViews::kKeptSystemLines;
    for (int i = 0; i < said; ++i)
        ShowSystemMessage(0, 3, "line " + std::to_string(i));
    int kept = 0;
    for (const OverheadText* b = BarkChainOf(nullptr); b != nullptr; b = b->older)
        ++kept;
    EXPECT_EQ(kept, BarkViews::kKeptSystemLines);
    ASSERT_NE(BarkChainOf(nullptr), nullptr);
    EXPECT_EQ(BarkChainOf(nullptr)->text, "line " + std::to_string(said - 1));
    EXPECT_EQ(TheJournal().Count(), size_t(said)) << "every line enters the journal";
    while (OverheadText* b = BarkChainOf(nullptr))
        DropBark(nullptr, b);
}

TEST_F(JournalTest, OverheadTextsEnterTheJournalUnderTheirSpeaker) {
    CClientPlayer* p = PlayerInStillWorld();
    struct Case {
        int mode;
        const char* name;
        const char* line;
    } cases[] = {
        {BarkSpeaker::kPlain, "Ann", "hello"},
        {BarkSpeaker::kNamed, "Ann", "Ann: hello"},
        {BarkSpeaker::kLabel, "Ann", "You see: hello"},
    };
    for (const Case& c : cases) {
        TheJournal().Reset();
        TheBarkSpeaker() = BarkSpeaker{c.mode, c.name};
        p->AddBark("hello", 0x30, 3, 0);
        EXPECT_EQ(Texts(), std::vector<std::string>{c.line}) << c.mode;
        // The speaker is read once: the next text is plain.
        EXPECT_EQ(TheBarkSpeaker().mode, BarkSpeaker::kPlain);
        p->AddBark("again", 0x30, 3, 0);
        EXPECT_EQ(Texts().back(), "again");
    }
}

TEST_F(JournalTest, RestoredOverheadTextsAreNotJournaledTwice) {
    PlayerInStillWorld();
    CClientObject* item = TheClientWorld().UpdateObject(0x40000100, 10, 0, 1, 11, 10, 0, 0, 0, 0);
    ASSERT_NE(item, nullptr);
    item->AddBark("shiny", 0, 3, 0);
    ASSERT_EQ(TheJournal().Count(), 1u);
    TheClientWorld().SaveBarks(*item);
    item->Destroy();
    CClientObject* back = TheClientWorld().UpdateObject(0x40000100, 10, 0, 1, 11, 10, 0, 0, 0, 0);
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->firstBark, nullptr);
    EXPECT_EQ(back->firstBark->text, "shiny");
    EXPECT_EQ(TheJournal().Count(), 1u);
    EXPECT_FALSE(TheJournal().suppress);
}

}  // namespace
