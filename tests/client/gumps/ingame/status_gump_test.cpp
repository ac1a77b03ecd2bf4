// Status windows: the list of other mobiles' bars that a ninth one overflows, the place at the
// pointer kept on the screen, the bar fills, docking at free edges into a group that moves and
// closes as one, a double click that takes a bar out of its group, renaming a pet, the values
// the server's packets bring, and a mobile that leaves the world.
#include "client/gumps/ingame/status_gump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/gumps/framework/input_control_gump.h"
#include "tests/client/gumps/ingame/player_windows_fixture.h"

namespace {

constexpr u32 kFirstMobile = 0x30;
constexpr int kBarW = 150;
constexpr int kBarH = 58;

class StatusGumpTest : public PlayerWindowsTest {
protected:
    // A bar of a new mobile with the pointer at (x, y).
    CStatusGump* OpenBar(u32 mobile, int px, int py) {
        if (TheClientWorld().FindBySerial(mobile) == nullptr) Mobile(mobile, 400);
        MoveTo(px, py);
        return TheGumpDesktop().Open<CStatusGump>(mobile, true);
    }
    // Drags a bar by its centre so that its corner ends at (x, y), and drops it there.
    void DragBarTo(CStatusGump* bar, int x, int y) {
        const int gx = bar->x + kBarW / 2, gy = bar->y + kBarH / 2;
        LeftDown(gx, gy);
        Tick(gx + 10, gy + 10);
        Tick(x + kBarW / 2, y + kBarH / 2);
        LeftUp(x + kBarW / 2, y + kBarH / 2);
        Clock().Advance(1000);
    }
};

TEST_F(StatusGumpTest, ANinthBarClosesTheOldest) {
    std::vector<CStatusGump*> bars;
    for (u32 i = 0; i < 9; ++i)
        bars.push_back(OpenBar(kFirstMobile + i, 100, 100));
    EXPECT_FALSE(IsGumpAlive(bars[0]));
    ASSERT_EQ(OtherStatusWindows().size(), 8u);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(OtherStatusWindows()[i], bars[i + 1]);
    // The player's own window does not count.
    MoveTo(100, 100);
    TheGumpDesktop().Open<CStatusGump>(player->serial, false);
    EXPECT_EQ(OtherStatusWindows().size(), 8u);
    TheGumpDesktop().Close(bars[4]);
    EXPECT_EQ(OtherStatusWindows().size(), 7u);
}

TEST_F(StatusGumpTest, AWindowOpensAtThePointerAndStaysOnTheScreen) {
    struct Case {
        int px, py;
        bool small;
        int x, y;
    };
    // Full window 264 x 140, bar 150 x 58; both are centred by the bar's size.
    const Case cases[] = {
        {630, 100, false, 639 - 264, 100 - 29},  // pushed left to 639
        {400, 100, false, 400 - 75, 100 - 29},   // fits: x + width = 589 <= 638
        {10, 5, true, 0, 0},                     // never left of or above the screen
        {620, 470, true, 639 - 150, 479 - 58},
    };
    for (const Case& c : cases) {
        MoveTo(c.px, c.py);
        CStatusGump* s = TheGumpDesktop().Open<CStatusGump>(player->serial, c.small);
        EXPECT_EQ(s->x, c.x) << c.px;
        EXPECT_EQ(s->y, c.y) << c.py;
        EXPECT_EQ(s->minimised, c.small);
        TheGumpDesktop().Close(s);
    }
}

TEST_F(StatusGumpTest, BarsFillByTheShareOfTheMaximum) {
    struct Case {
        u16 value, maximum;
        int fill;
    };
    const Case cases[] = {{5, 10, 54}, {12, 10, 109}, {0, 0, 109}, {7, 0, 109},
                          {10, 10, 109}, {0, 10, 0},   {1, 3, 36}};
    for (const Case& c : cases)
        EXPECT_EQ(BarFillWidth(c.value, c.maximum), c.fill) << c.value << "/" << c.maximum;

    // 5 of 10 on another mobile's bar (hits at (34, 38)): 53 columns of the fill art.
    CStatusGump* bar = OpenBar(kFirstMobile, 100, 100);
    StatusRecord r;
    r.serial = kFirstMobile;
    r.name = "a rat";
    r.hits = 5;
    r.maxHits = 10;
    UpdateStatusWindowsOf(r, false);
    const Bitmap16& picture = *bar->Frame(1);
    int columns = 0;
    for (int x = 34; x < 34 + 110; ++x)
        if (picture.At(x, 40) == 0x0260) ++columns;
    EXPECT_EQ(columns, 53);
    EXPECT_EQ(picture.At(34, 48), 0x0C63) << "the fill is 10 rows high";
}

TEST_F(StatusGumpTest, BarsUpdateOnlyThePairsSent) {
    CStatusGump* own = TheGumpDesktop().Open<CStatusGump>(player->serial, true);
    StatusRecord r;
    r.serial = player->serial;
    r.name = "Varnok";
    r.hits = 10;
    r.maxHits = 20;
    r.mana = 3;
    r.maxMana = 4;
    UpdateStatusWindowsOf(r, false);
    StatBars bars;
    bars.pairs = StatBars::kMana;
    bars.mana = 1;
    bars.maxMana = 2;
    bars.hits = 99;
    UpdateStatusBarsOf(player->serial, bars);
    EXPECT_EQ(own->record.hits, 10);
    EXPECT_EQ(own->record.mana, 1);
    EXPECT_EQ(own->record.maxMana, 2);
    // Poisoned: the hits bar takes the poison fill.
    player->statusFlags = 0x04;
    own->Refresh();
    EXPECT_EQ(own->Frame(1)->At(35, 14), 0x03E0);
}

TEST_F(StatusGumpTest, DraggedBarsDockAtFreeEdgesAndMoveAndCloseAsOne) {
    CStatusGump* a = OpenBar(kFirstMobile, 175, 129);  // at (100, 100)
    CStatusGump* b = OpenBar(kFirstMobile + 1, 475, 329);
    ASSERT_EQ(a->x, 100);
    // Overlapping a by less than its width, more across than down: docks at its right edge.
    DragBarTo(b, 100 + 120, 100 + 10);
    EXPECT_EQ(b->x, 100 + kBarW);
    EXPECT_EQ(b->y, 100);
    EXPECT_EQ(a->right, b);
    EXPECT_EQ(b->left, a);
    EXPECT_EQ(a->groupHead, a);
    EXPECT_EQ(b->groupHead, a);
    EXPECT_EQ(b->GroupMembers(), (std::vector<CStatusGump*>{a, b}));

    // A third bar cannot take a's right edge; from below it docks under a.
    CStatusGump* c = OpenBar(kFirstMobile + 2, 475, 429);
    EXPECT_EQ(c->SnapSideTo(*a), CStatusGump::kNone) << "far away";
    c->x = a->x + 40;
    c->y = a->y + 5;
    EXPECT_EQ(c->SnapSideTo(*a), CStatusGump::kNone) << "the right edge is taken";
    c->x = a->x + 5;
    c->y = a->y + 40;
    EXPECT_EQ(c->SnapSideTo(*a), CStatusGump::kBelow);
    c->x = a->x - 5;
    c->y = a->y - 40;
    EXPECT_EQ(c->SnapSideTo(*a), CStatusGump::kAbove);
    c->x = a->x - 40;
    c->y = a->y + 5;
    EXPECT_EQ(c->SnapSideTo(*a), CStatusGump::kLeftOf);
    c->x = 400;
    c->y = 400;

    // Dragging a member moves the whole group.
    const int gx = a->x + 20, gy = a->y + 20;
    LeftDown(gx, gy);
    Tick(gx + 30, gy + 12);
    LeftUp(gx + 30, gy + 12);
    EXPECT_EQ(a->x, 130);
    EXPECT_EQ(a->y, 112);
    EXPECT_EQ(b->x, 130 + kBarW);
    EXPECT_EQ(b->y, 112);
    Clock().Advance(1000);

    // A right click closes the group, and only it.
    RightClick(b->x + 20, b->y + 20);
    EXPECT_FALSE(IsGumpAlive(a));
    EXPECT_FALSE(IsGumpAlive(b));
    EXPECT_TRUE(IsGumpAlive(c));
}

TEST_F(StatusGumpTest, AGroupStaysOnTheScreenByItsOuterMembers) {
    CStatusGump* a = OpenBar(kFirstMobile, 175, 129);
    CStatusGump* b = OpenBar(kFirstMobile + 1, 475, 329);
    DragBarTo(b, 100 + 120, 100 + 10);
    ASSERT_EQ(b->groupHead, a);
    // Far to the right: the right member stops at x = 589.
    const int gx = a->x + 20, gy = a->y + 20;
    LeftDown(gx, gy);
    Tick(gx + 600, gy);
    LeftUp(gx + 600, gy);
    EXPECT_EQ(b->x, 589);
    EXPECT_EQ(a->x, 589 - kBarW);
}

TEST_F(StatusGumpTest, ADoubleClickTakesADockedBarOutOntoThePointer) {
    CStatusGump* a = OpenBar(kFirstMobile, 175, 129);
    CStatusGump* b = OpenBar(kFirstMobile + 1, 475, 329);
    CStatusGump* c = OpenBar(kFirstMobile + 2, 475, 429);
    DragBarTo(b, 100 + 120, 100 + 10);
    DragBarTo(c, 100 + 5, 100 + 40);
    ASSERT_EQ(c->upper, a);
    ASSERT_EQ(c->groupHead, a);
    DoubleClick(b->x + 30, b->y + 30);
    EXPECT_TRUE(b->minimised) << "another mobile's bar stays a bar";
    EXPECT_EQ(b->groupHead, nullptr);
    EXPECT_EQ(a->right, nullptr);
    EXPECT_EQ(TheCursorManager().Captured(), b);
    EXPECT_EQ(a->GroupMembers(), (std::vector<CStatusGump*>{a, c}));
    // It follows the pointer, grabbed at its centre.
    Tick(400, 300);
    EXPECT_EQ(b->x, 400 - kBarW / 2);
    EXPECT_EQ(b->y, 300 - kBarH / 2);
    LeftUp(400, 300);
    // The head leaving hands the group on; a group of one is none.
    Clock().Advance(1000);
    TheGumpDesktop().Close(a);
    EXPECT_EQ(c->groupHead, nullptr);
    EXPECT_EQ(c->upper, nullptr);
}

TEST_F(StatusGumpTest, ThePlayersBarRestoresToTheFullWindowOnADoubleClick) {
    MoveTo(200, 200);
    CStatusGump* own = TheGumpDesktop().Open<CStatusGump>(player->serial, true);
    DoubleClick(own->x + 20, own->y + 20);
    EXPECT_FALSE(own->minimised);
    CStatusGump* other = OpenBar(kFirstMobile, 300, 400);
    DoubleClick(other->x + 20, other->y + 20);
    EXPECT_TRUE(other->minimised);
}

TEST_F(StatusGumpTest, APetIsRenamedOnlyToAnAcceptableName) {
    CStatusGump* bar = OpenBar(kFirstMobile, 200, 200);
    StatusRecord r;
    r.serial = kFirstMobile;
    r.name = "a dog";
    UpdateStatusWindowsOf(r, true);
    CInputControlGump* field = bar->NameField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Text(), "a dog");
    EXPECT_TRUE(bar->record.name.empty());
    UpdateStatusWindowsOf(r, true);
    int fields = 0;
    for (CGump* c = bar->firstChild; c != nullptr; c = c->nextSibling)
        if (c->IsKind(GumpKind::kInputControl)) ++fields;
    EXPECT_EQ(fields, 1);

    field->SetText("");
    bar->OnFieldEnter();
    EXPECT_TRUE(net.ClientSent().empty());
    ASSERT_NE(TheGumpDesktop().modalGump, nullptr) << "Unacceptable name.";
    TheGumpDesktop().Close(TheGumpDesktop().modalGump);

    field->SetText("Rex");
    bar->OnFieldEnter();
    Bytes rename = {0x75, 0, 0, 0, 0x30, 'R', 'e', 'x'};
    rename.resize(5 + 30, 0);
    EXPECT_EQ(net.ClientSent(), rename);
}

TEST_F(StatusGumpTest, AMobileThatLeftTheWorldLeavesItsWindowsSafe) {
    CStatusGump* bar = OpenBar(kFirstMobile, 200, 200);
    StatusRecord r;
    r.serial = kFirstMobile;
    r.name = "a rat";
    r.hits = 3;
    r.maxHits = 9;
    UpdateStatusWindowsOf(r, false);
    TheClientWorld().FindBySerial(kFirstMobile)->Destroy();
    bar->Refresh();
    DoubleClick(bar->x + 20, bar->y + 20);
    DrawFrame();
    StatBars bars;
    bars.pairs = StatBars::kAll;
    UpdateStatusBarsOf(kFirstMobile, bars);
    RightClick(bar->x + 20, bar->y + 20);
    EXPECT_FALSE(IsGumpAlive(bar));
    EXPECT_TRUE(OtherStatusWindows().empty());
}

}  // namespace
