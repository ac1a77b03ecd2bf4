// Speech bubbles: lifetimes, stacking over an object and in the system corner, trimming,
// clamps, following, clicks and the blend of a bubble behind another.
#include "client/gumps/ingame/bark_gump.h"

#include <gtest/gtest.h>

#include "client/data/pixel_format.h"
#include "tests/client/gumps/ingame/bark_fixture.h"

namespace {

using BarkGumpTest = BarkFixture;

TEST(BarkLifetime, GrowsWithLinesAndTheModifier) {
    struct Case {
        int height, modifier;
        bool scaled;
        u32 ms;
    } cases[] = {
        {15, 100, true, 4000},
        {30, 100, true, 8000},
        {44, 100, true, 8000},
        {30, 100, false, 4000},
        {15, 50, true, 2000},
        {30, 50, true, 4000},
        {30, 0, true, 8000},
        {45, 200, false, 8000},
        // Lower than one line: still one line's time, so it is seen at all.
        {14, 100, true, 4000},
        {0, 100, true, 4000},
        {5, 50, true, 2000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BarkLifetime(c.height, c.modifier, c.scaled), c.ms)
            << c.height << " px, " << c.modifier << "%, scaled " << c.scaled;
}

TEST_F(BarkGumpTest, ABubbleLivesItsLifetimeThenGoesWithItsRecord) {
    CClientMobile* m = MobileWithBox(0x55, {300, 200, 340, 260});
    OverheadText* record = m->AddBark("short", 0, 3, 0);
    ASSERT_NE(record, nullptr);
    ASSERT_NE(BubbleOf(record), nullptr);
    EXPECT_EQ(record->lifetime, 4000u);
    Clock().Advance(4000);
    TheGumpDesktop().ExpireBarks();
    EXPECT_EQ(BubbleCount(), 1);
    Clock().Advance(1);
    TheGumpDesktop().ExpireBarks();
    EXPECT_EQ(BubbleCount(), 0);
    EXPECT_EQ(m->firstBark, nullptr);
}

TEST_F(BarkGumpTest, BubblesStackNewestLowestAndAFourthTakesTheOldest) {
    CClientMobile* m = MobileWithBox(0x55, {300, 200, 340, 260});
    std::vector<OverheadText*> records;
    for (const char* t : {"one", "two", "three"})
        records.push_back(m->AddBark(t, 0, 3, 0));
    const std::vector<CBarkGump*> chain = Chain(m);
    ASSERT_EQ(chain.size(), 3u);
    const int h = chain[0]->height;
    // The newest hangs right above the anchor (box top + 4), each older one above it.
    EXPECT_EQ(chain[0]->y + h, 204);
    EXPECT_EQ(chain[1]->y + chain[1]->height, chain[0]->y);
    EXPECT_EQ(chain[2]->y + chain[2]->height, chain[1]->y);
    EXPECT_EQ(chain[0]->x, 320 - chain[0]->width / 2);

    m->AddBark("four", 0, 3, 0);
    EXPECT_EQ(BubbleCount(), 3);
    EXPECT_EQ(BubbleOf(m->firstBark)->record->text, "four");
    EXPECT_EQ(m->BarkCount(), 3);
    for (CBarkGump* b : Chain(m))
        EXPECT_NE(b->record->text, "one");
}

TEST_F(BarkGumpTest, SystemLinesStandInTheCornerAndPushTheOlderUp) {
    ShowSystemMessage(0, 3, "first");
    ShowSystemMessage(0, 3, "second");
    const std::vector<CBarkGump*> chain = Chain(nullptr);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0]->x, 0);
    EXPECT_EQ(chain[0]->y + chain[0]->height, 460);
    EXPECT_EQ(chain[1]->x, 0);
    EXPECT_EQ(chain[1]->y + chain[1]->height, chain[0]->y);
    // Both entered the journal once.
    EXPECT_EQ(TheJournal().Count(), 2u);
}

TEST_F(BarkGumpTest, BubblesAreClampedToTheScreen) {
    struct Case {
        ScreenRect box;
        bool rightEdge, topEdge, leftEdge;
    } cases[] = {
        {{630, 200, 640, 260}, true, false, false},
        {{300, -40, 340, 0}, false, true, false},
        {{0, 200, 4, 260}, false, false, true},
    };
    u32 serial = 0x60;
    for (const Case& c : cases) {
        CClientMobile* m = MobileWithBox(serial++, c.box);
        CBarkGump* b = BubbleOf(m->AddBark("a rather long line of text", 0, 3, 0));
        ASSERT_NE(b, nullptr);
        EXPECT_LE(b->x + b->width, 639);
        EXPECT_GE(b->x, 0);
        EXPECT_GE(b->y, 0);
        if (c.rightEdge) {
            EXPECT_EQ(b->x + b->width, 639);
        }
        if (c.topEdge) {
            EXPECT_EQ(b->y, 0);
        }
        if (c.leftEdge) {
            EXPECT_EQ(b->x, 0);
        }
    }
}

TEST_F(BarkGumpTest, AChainOf480PixelsLosesItsOldestButNeverTheNewest) {
    // A text of about 200 pixels, wrapped at 320 in the system corner.
    const int lines = 200 / LineHeight() + 1;
    std::string tall;
    for (int i = 0; i < lines; ++i)
        tall += std::string(70, 'x') + " ";
    ShowSystemMessage(0, 3, "A" + tall);
    ShowSystemMessage(0, 3, "B" + tall);
    ASSERT_EQ(Chain(nullptr).size(), 2u);
    ShowSystemMessage(0, 3, "C" + tall);
    const std::vector<CBarkGump*> chain = Chain(nullptr);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0]->record->text[0], 'C');
    EXPECT_EQ(chain[1]->record->text[0], 'B');
    // The record of the trimmed bubble is gone from the chain too.
    int records = 0;
    for (OverheadText* r = BarkChainOf(nullptr); r; r = r->older)
        ++records;
    EXPECT_EQ(records, 2);
    // A single bubble taller than the screen stays.
    ShowSystemMessage(0, 3, "D" + tall + tall + tall);
    ASSERT_EQ(Chain(nullptr).size(), 1u);
    EXPECT_EQ(Chain(nullptr)[0]->y, 0);
}

TEST_F(BarkGumpTest, BubblesFollowTheirObjectAndRecordWhereTheyMoved) {
    CClientMobile* m = MobileWithBox(0x55, {300, 200, 340, 260});
    CBarkGump* b = BubbleOf(m->AddBark("hello", 0, 3, 0));
    const int x0 = b->x, y0 = b->y;
    m->box = ScreenRect{320, 180, 360, 240};
    TheBarkViews().Follow(*m);
    EXPECT_EQ(b->x, x0 + 20);
    EXPECT_EQ(b->y, y0 - 20);
    EXPECT_EQ(TheGumpDesktop().GumpDirtyRectCount(), 1u);
    // The view scrolled: every bubble follows.
    ViewScrollX = 10;
    TheBarkViews().FollowAll();
    EXPECT_EQ(b->x, x0 + 10);
}

TEST_F(BarkGumpTest, TooManyMovesRestartTheListWithoutABox) {
    CGumpDesktop& d = TheGumpDesktop();
    for (size_t i = 0; i < CGumpDesktop::kMaxGumpDirtyRects; ++i)
        d.AddGumpDirtyRect({0, 0, 1, 1});
    EXPECT_EQ(d.GumpDirtyRectCount(), CGumpDesktop::kMaxGumpDirtyRects);
    d.AddGumpDirtyRect({0, 0, 1, 1});
    EXPECT_EQ(d.GumpDirtyRectCount(), 0u);
    for (const std::string& call : host.calls)
        EXPECT_NE(call.rfind("MessageBox", 0), 0u) << call;
    d.AddGumpDirtyRect({0, 0, 1, 1});
    d.DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
    EXPECT_EQ(d.GumpDirtyRectCount(), 0u);
}

TEST_F(BarkGumpTest, OnlyBubblesOfMobilesAndCorpsesAreClickable) {
    CClientMobile* m = MobileWithBox(0x55, {300, 200, 340, 260});
    CClientObject* corpse =
        TheClientWorld().UpdateObject(0x40000010, 8198, 0, 1, 11, 10, 0, 0, 0, 0);
    CClientObject* item =
        TheClientWorld().UpdateObject(0x40000011, 0x0EED, 0, 1, 12, 10, 0, 0, 0, 0);
    ASSERT_NE(corpse, nullptr);
    ASSERT_NE(item, nullptr);
    ShowSystemMessage(0, 3, "system");
    struct Case {
        CBarkGump* bubble;
        bool clickable;
    } cases[] = {
        {BubbleOf(m->AddBark("m", 0, 3, 0)), true},
        {BubbleOf(corpse->AddBark("c", 0, 3, 0)), true},
        {BubbleOf(item->AddBark("i", 0, 3, 0)), false},
        {Chain(nullptr).front(), false},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.bubble, nullptr);
        EXPECT_EQ(c.bubble->IsClickable(), c.clickable) << c.bubble->record->text;
        EXPECT_FALSE(c.bubble->ClosesOnEscape());
    }
    // Hovering a bubble behind others raises it, clickable or not.
    for (int i : {0, 2}) {
        CBarkGump* behind = cases[i].bubble;
        ASSERT_NE(TheGumpDesktop().head, behind);
        behind->OnMouseOver(0, 0);
        EXPECT_EQ(TheGumpDesktop().head, behind);
    }
}

TEST_F(BarkGumpTest, AnObjectInAClosedContainerGetsNoBubble) {
    CClientObject* corpse =
        TheClientWorld().UpdateObject(0x40000010, 8198, 0, 1, 11, 10, 0, 0, 0, 0);
    ASSERT_NE(corpse, nullptr);
    CClientObject* inside =
        TheClientWorld().AddContainedObject(0x40000012, 0x0EED, 0, 1, 5, 5, 0x40000010, 0);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->AddBark("gold", 0, 3, 0), nullptr);
    EXPECT_EQ(inside->firstBark, nullptr);
    EXPECT_EQ(BubbleCount(), 0);
    // The text still entered the journal.
    EXPECT_EQ(TheJournal().Count(), 1u);
}

TEST_F(BarkGumpTest, AnObjectThatGoesTakesItsBubblesAlong) {
    CClientMobile* m = MobileWithBox(0x55, {300, 200, 340, 260});
    m->AddBark("one", 0, 3, 0);
    m->AddBark("two", 0, 3, 0);
    ShowSystemMessage(0, 3, "stays");
    m->Destroy();
    EXPECT_EQ(BubbleCount(), 1);
    EXPECT_EQ(Chain(nullptr).size(), 1u);
}

TEST_F(BarkGumpTest, ABubbleBehindAnotherIsBlendedAtHalfStrength) {
    for (bool use565 : {false, true}) {
        SCOPED_TRACE(use565 ? "565" : "555");
        SetPixelFormat565(use565);
        TheGumpDesktop().DeleteAllGumps();
        CClientMobile* a = MobileWithBox(0x55, {300, 200, 340, 260});
        CClientMobile* b = MobileWithBox(0x56, {301, 201, 341, 261});
        CBarkGump* behind = BubbleOf(a->AddBark("WWWW", 0, 3, 0));
        CBarkGump* front = BubbleOf(b->AddBark("WWWW", 0, 3, 0));
        ASSERT_EQ(TheGumpDesktop().head, front);
        EXPECT_TRUE(behind->OverlapsFrontBark());
        EXPECT_FALSE(front->OverlapsFrontBark());
        const std::vector<u16> world = screen;
        TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
        int blended = 0;
        for (int y = 0; y < behind->height; ++y)
            for (int x = 0; x < behind->width; ++x) {
                const int sx = behind->x + x, sy = behind->y + y;
                const u16 p = behind->Frame(0)->At(x, y);
                const int fx = sx - front->x, fy = sy - front->y;
                const bool underFront =
                    front->Frame(0)->Contains(fx, fy) && front->Frame(0)->At(fx, fy) != 0;
                if (p == 0 || underFront) continue;
                const u16 s = world[size_t(sy) * kScreenWidth + sx];
                const u16 expect = use565 ? u16((((p >> 1) & 0x7BEF) + ((s >> 1) & 0x7BEF)) | 1)
                                          : u16((((p & 0x7BDE) + (s & 0x7BDE)) >> 1) | 1);
                EXPECT_EQ(host.presented[size_t(sy) * kScreenWidth + sx], expect);
                ++blended;
            }
        EXPECT_GT(blended, 0);
        a->Destroy();
        b->Destroy();
    }
    SetPixelFormat565(false);
}

}  // namespace

namespace {

TEST_F(BarkGumpTest, TheDeathNoticeStandsCentredAndEntersTheJournal) {
    ShowCentredSystemBubble("You are dead.", 0, 3);
    const std::vector<CBarkGump*> chain = Chain(nullptr);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0]->x, 320 - chain[0]->width / 2);
    EXPECT_EQ(chain[0]->y, 240 - chain[0]->height / 2);
    ASSERT_EQ(TheJournal().Count(), 1u);
    EXPECT_EQ(TheJournal().Entries().back().text, "You are dead.");
}

}  // namespace
