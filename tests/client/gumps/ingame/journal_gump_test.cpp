// The journal window: following the newest text, locking by scrolling, the lock button, the
// scroll track's paging, the full journal under a locked view, resizing and an empty journal.
#include "client/gumps/ingame/journal_gump.h"

#include <gtest/gtest.h>

#include <string>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "tests/client/gumps/ingame/bark_fixture.h"

namespace {

class JournalGumpTest : public BarkFixture {
protected:
    JournalGumpTest() { JournalArt(); }

    static void Say(int n, const std::string& stem = "line ") {
        for (int i = 0; i < n; ++i)
            TheJournal().AddLine(stem + std::to_string(i), 0);
    }
    static CTextGump* Open() { return TheGumpDesktop().Open<CTextGump>(0, 0); }
    // The row below the newest text's last row.
    static int EndOfText(const CTextGump& j) {
        int y = j.areaTop - j.topOffset;
        for (const JournalEntry* e = j.topEntry; e; e = TheJournal().Newer(e))
            y += j.EntryHeight(*e);
        return y;
    }
    static CButtonGump* UpArrow(CTextGump& j) {
        for (CGump* c = j.firstChild; c; c = c->nextSibling)
            if (c->x == 249 && c->y == 56) return static_cast<CButtonGump*>(c);
        return nullptr;
    }
};

TEST_F(JournalGumpTest, TheNewestTextEndsFourPixelsAboveTheBottomUntilLocked) {
    Say(60);
    CTextGump* j = Open();
    EXPECT_EQ(j->width, 280);
    EXPECT_EQ(j->areaRight, 231);
    EXPECT_EQ(j->areaBottom, 222);
    EXPECT_EQ(EndOfText(*j), j->areaBottom - 3);
    Say(1, "new ");
    EXPECT_EQ(EndOfText(*j), j->areaBottom - 3);

    j->ScrollUp();
    EXPECT_TRUE(j->Locked());
    const JournalEntry* top = j->topEntry;
    const int offset = j->topOffset;
    Say(3, "more ");
    EXPECT_EQ(j->topEntry, top);
    EXPECT_EQ(j->topOffset, offset);
}

TEST_F(JournalGumpTest, ArrowsMoveSixPixelsAndTheLockButtonJumpsBack) {
    Say(60);
    CTextGump* j = Open();
    const int end = EndOfText(*j);
    CButtonGump* up = UpArrow(*j);
    ASSERT_NE(up, nullptr);
    up->OnLeftDown(1, 1);  // a repeat button fires on the press
    EXPECT_TRUE(j->Locked());
    EXPECT_EQ(EndOfText(*j), end + 6);
    EXPECT_EQ(j->lockButton->frameIndex, 1);
    up->OnLeftUp(1, 1);
    j->ScrollDown();
    EXPECT_EQ(EndOfText(*j), end);
    // The lock button released back to frame 0 follows the newest text again.
    Say(2, "later ");
    j->lockButton->OnLeftUp(1, 1);
    EXPECT_FALSE(j->Locked());
    EXPECT_EQ(EndOfText(*j), j->areaBottom - 3);
}

TEST_F(JournalGumpTest, TheTrackPagesTenEntriesOnThePressAndEverySecondTick) {
    Say(80);
    CTextGump* j = Open();
    const std::vector<const JournalEntry*> all = CTextGump::Entries();
    const auto indexOfTop = [&]() {
        return int(std::find(all.begin(), all.end(), j->topEntry) - all.begin());
    };
    const int start = indexOfTop();
    // A press in the track above the thumb.
    j->OnLeftDown(j->width - 30, j->areaTop + 2);
    struct Step {
        int pagesBack;
    } steps[] = {{1}, {1}, {2}, {2}, {3}};
    for (const Step& s : steps) {
        j->OnHover();
        EXPECT_EQ(indexOfTop(), std::max(0, start - 10 * s.pagesBack));
    }
    EXPECT_TRUE(j->Locked());
    j->OnLeftUp(j->width - 30, j->areaTop + 2);
    // Outside the track nothing pages.
    const int before = indexOfTop();
    j->ClickTrack(40, j->areaTop + 2);
    EXPECT_EQ(indexOfTop(), before);
}

TEST_F(JournalGumpTest, AFullJournalMovesALockedTopToTheNextEntry) {
    Say(int(CJournal::kCapacity));
    CTextGump* j = Open();
    j->OnSliderMoved(0, 100, j->thumb);
    ASSERT_EQ(j->topEntry, &TheJournal().Entries().front());
    const JournalEntry* second = TheJournal().Newer(j->topEntry);
    Say(1, "101st ");
    EXPECT_EQ(TheJournal().Count(), CJournal::kCapacity);
    EXPECT_EQ(j->topEntry, second);
    EXPECT_EQ(j->topEntry, &TheJournal().Entries().front());
}

TEST_F(JournalGumpTest, OnlyTheHeightChangesWithinItsLimits) {
    Say(90);
    struct Case {
        int y, askedWidth, askedHeight, height;
    } cases[] = {
        {0, 280, 100, 220},
        {0, 500, 350, 350},
        {0, 280, 1000, 460},
        {100, 280, 1000, 360},
    };
    for (const Case& c : cases) {
        CTextGump* j = Open();
        j->PlaceAt(0, c.y);
        const int lockY = j->lockButton->y;
        j->OnResized(c.askedWidth, c.askedHeight, 0);
        EXPECT_EQ(j->width, 280);
        EXPECT_EQ(j->height, c.height);
        EXPECT_EQ(j->areaBottom, c.height - 78);
        EXPECT_EQ(j->lockButton->y, lockY + c.height - 300);
        EXPECT_EQ(EndOfText(*j), j->areaBottom - 3);
        TheGumpDesktop().Close(j);
    }
}

TEST_F(JournalGumpTest, AnEmptyJournalShowsAnEmptyScroll) {
    CTextGump* j = Open();
    EXPECT_EQ(j->topEntry, nullptr);
    j->ScrollUp();
    j->ScrollDown();
    j->ClickTrack(j->width - 30, j->areaTop + 2);
    j->OnSliderMoved(5, 10, j->thumb);
    TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
    // The first line arrives and shows.
    Say(1);
    j->lockButton->OnLeftUp(1, 1);
    EXPECT_EQ(j->topEntry, &TheJournal().Entries().front());
}

TEST_F(JournalGumpTest, TheDesktopOpensOneJournal) {
    CTextGump* j = Open();
    j->Minimize();
    // A second request raises and restores the one already open.
    EXPECT_EQ(TheGumpDesktop().OpenGump(0, 7, nullptr, false), j);
    EXPECT_FALSE(j->minimised);
}

}  // namespace
