// Buttons, slider thumbs and the reusable controls: button modes, hot areas, thumb positions,
// field editing per kind, chooser and list-box limits and scrolling, toggles.
#include <gtest/gtest.h>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/list_box_control_gump.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

// A window that counts what its controls report.
class Window : public CGump {
public:
    Window() : CGump(100, 100, nullptr, 0, 1, 400, 300) {
        pitch = 400;
        Bitmap16& f = MakeFrame(0);
        std::fill(f.Pixels(), f.Pixels() + 400 * 300, 0x1111);
    }
    void OnControlChanged(CGump* control) override { changed.push_back(control); }
    void OnSliderMoved(int position, int range, CGump*) override {
        moved.push_back({position, range});
    }
    void OnFieldEnter() override { ++enters; }
    std::vector<CGump*> changed;
    std::vector<std::pair<int, int>> moved;
    int enters = 0;
};

class ControlsTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        art.Solid(800, 20, 10, 0x7FFF);
        art.Solid(801, 20, 10, 0x7C00);
        art.Solid(1227, 10, 20, 0x03E0);
        art.Solid(2443, 100, 15, 0x2108);
        window = TheGumpDesktop().Open<Window>();
    }
    Window* window = nullptr;
};

TEST_F(ControlsTest, ButtonModesFireAsTheirModeSays) {
    int fired = 0;
    auto count = [&fired](CGump*) { ++fired; };
    auto* push = window->Add<CButtonGump>(0, 0, window, CButtonGump::kPush, 0, count, 800, 801, 0);
    // Pressed on the button, released outside it: fires once, on the release.
    TheCursorManager().OnLeftDown(105, 105);
    EXPECT_EQ(push->frameIndex, 1);
    EXPECT_EQ(fired, 0);
    TheCursorManager().OnLeftUp(400, 400);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(push->frameIndex, 0);
    TheGumpDesktop().Close(push);

    fired = 0;
    auto* repeat =
        window->Add<CButtonGump>(0, 0, window, CButtonGump::kRepeat, 0, count, 800, 801, 0);
    TheCursorManager().OnLeftDown(105, 105);
    EXPECT_EQ(fired, 1);  // at the press
    std::vector<int> after;
    for (int hover = 1; hover <= 8; ++hover) {
        repeat->OnHover();
        after.push_back(fired);
    }
    EXPECT_EQ(after, (std::vector<int>{1, 1, 1, 1, 1, 2, 3, 4}));  // again at the 6th
    TheCursorManager().OnLeftUp(105, 105);
    repeat->OnHover();
    EXPECT_EQ(fired, 4);
    TheGumpDesktop().Close(repeat);

    fired = 0;
    auto* toggle =
        window->Add<CButtonGump>(0, 0, window, CButtonGump::kToggle, 0, count, 800, 801, 0);
    Click(105, 105);
    EXPECT_EQ(toggle->frameIndex, 1);
    Click(105, 105);
    EXPECT_EQ(toggle->frameIndex, 0);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(window->changed, (std::vector<CGump*>{toggle, toggle}));
}

// A toggle whose callback closes its own window: nothing touches the deleted window or button.
TEST_F(ControlsTest, AToggleWhoseCallbackClosesItsWindowStopsThere) {
    auto* toggle = TheGumpDesktop().Make<CButtonGump>(
        0, 0, window, CButtonGump::kToggle, 0,
        [](CGump* parent) { TheGumpDesktop().Close(parent); }, 800, 801, 0);
    toggle->AttachTo(window);
    EXPECT_TRUE(IsGumpAlive(window));
    Click(105, 105);  // under ASan a use of the freed window would stop the test here
    EXPECT_FALSE(IsGumpAlive(toggle));
    window = nullptr;
}

TEST_F(ControlsTest, ADisabledButtonNeitherFiresNorChangesAndDrawsGreyed) {
    int fired = 0;
    for (int mode : {0, 1, 2}) {
        auto* b = TheGumpDesktop().Make<CButtonGump>(
            0, 0, window, mode, 0, [&fired](CGump*) { ++fired; }, 800, 801, 0);
        b->AttachTo(window);
        b->disabled = true;
        Click(105, 105);
        b->OnHover();
        EXPECT_EQ(b->frameIndex, 0) << "mode " << mode;
        TheGumpDesktop().Close(b);
    }
    EXPECT_EQ(fired, 0);
}

TEST_F(ControlsTest, HotAreasAreEvenWideAndStoreTheirValue) {
    auto* wide = TheGumpDesktop().Make<CButtonGump>(10, 10, 19, 30, window, 0, 0, nullptr, 0);
    auto* odd = TheGumpDesktop().Make<CButtonGump>(10, 10, 18, 30, window, 0, 0, nullptr, 0);
    EXPECT_EQ(wide->width, 10);
    EXPECT_EQ(wide->height, 21);
    EXPECT_EQ(odd->width, 10);
    EXPECT_TRUE(wide->ContainsPoint(9, 20));
    EXPECT_FALSE(wide->ContainsPoint(10, 20));
    TheGumpDesktop().Close(odd);
    wide->AttachTo(window);
    wide->value = 42;
    wide->storeValue = true;
    Click(115, 115);
    EXPECT_EQ(window->resultValue, 42);
}

TEST_F(ControlsTest, ThumbPositionsAndReports) {
    auto* thumb = window->Add<CThumbGump>(0, 36, true, 248, window, 1227);
    EXPECT_EQ(thumb->minY, 36);
    EXPECT_EQ(thumb->maxY, 228);
    struct Case {
        int position, range, y;
    };
    for (const Case& c :
         {Case{5, 10, 132}, Case{10, 10, 228}, Case{0, 10, 36}, Case{3, 0, 36}, Case{7, -2, 36}}) {
        EXPECT_EQ(thumb->SetPosition(c.position, c.range), c.y) << c.position << "/" << c.range;
        EXPECT_EQ(thumb->y, c.y);
    }
    thumb->SyncToTextGump(50, 0);
    EXPECT_EQ(thumb->y, 36);
    thumb->SyncToTextGump(50, 100);
    EXPECT_EQ(thumb->y, 36 + 50 * 193 / 100);
    // Dragging to y = 132 reports position 96 of 192.
    thumb->SetPosition(0, 1);
    TheCursorManager().OnLeftDown(102, 136 + 5);
    Tick(102, 232 + 5);
    TheCursorManager().OnLeftUp(102, 232 + 5);
    EXPECT_EQ(thumb->y, 132);
    ASSERT_FALSE(window->moved.empty());
    EXPECT_EQ(window->moved.back(), (std::pair<int, int>{96, 192}));
}

class FieldTest : public ControlsTest {
protected:
    CInputControlGump* Field(int kind, int maximum) {
        auto* f = window->Add<CInputControlGump>(0, 0, window, 2443, 2443, kind, maximum, 1, 0,
                                                 true, false, 0);
        Desktop().SetKeyboardFocus(f);
        return f;
    }
    static void Type(CGump* g, const std::string& text) {
        for (char c : text)
            g->OnKey(static_cast<unsigned char>(c));
    }
};

TEST_F(FieldTest, NumberFieldsEditDigitsUpToTheirMaximum) {
    auto* f = Field(CInputControlGump::kNumber, 5000);
    f->OnKey(8);
    EXPECT_EQ(f->number, 0);
    Type(f, "1234");
    EXPECT_EQ(f->number, 1234);
    Type(f, "5");  // 12345 is above the maximum
    EXPECT_EQ(f->number, 1234);
    Type(f, "x");
    f->OnKey(8);
    EXPECT_EQ(f->number, 123);
    EXPECT_EQ(window->changed.size(), 5u);
}

TEST_F(FieldTest, TextHoldsAtMostEightyCharactersWhateverTheMaximum) {
    auto* f = Field(CInputControlGump::kText, 500);
    f->width = 4000;  // wide enough never to refuse by width
    Type(f, std::string(100, 'a'));
    EXPECT_EQ(f->text.size(), 80u);
    auto* g = Field(CInputControlGump::kText, 3);
    Type(g, "abcdef");
    EXPECT_EQ(g->text, "abc");
}

TEST_F(FieldTest, CaretKeysAndDeletion) {
    auto* f = Field(CInputControlGump::kText, 20);
    f->width = 400;
    Type(f, "abcd");
    struct Step {
        u32 key;
        std::string text;
        int caret;
    };
    const Step steps[] = {
        {0xE000 + 37, "abcd", 3},  // Left
        {8, "abd", 2},             // Backspace
        {0xE000 + 36, "abd", 0},   // Home
        {8, "abd", 0},             // nothing before the caret
        {0xE000 + 46, "bd", 0},    // Delete takes the character after the caret
        {0xE000 + 35, "bd", 2},    // End
        {0xE000 + 46, "bd", 2},    // Delete at the end does nothing
        {'x', "bdx", 3},
    };
    for (const Step& s : steps) {
        f->OnKey(s.key);
        EXPECT_EQ(f->text, s.text) << "key " << s.key;
        EXPECT_EQ(f->caret, s.caret) << "key " << s.key;
    }
    f->OnKey(13);
    EXPECT_EQ(window->enters, 1);
    f->selectedLook = true;
    Type(f, "zz");
    EXPECT_EQ(f->text, "bdx");
}

TEST_F(FieldTest, AFixedFieldRefusesTheCharacterThatWouldReachItsEdge) {
    auto* f = Field(CInputControlGump::kText, 80);
    f->fixed = true;
    f->width = 30;  // fixture glyphs are 3 wide: "aaaaaaa_" is 24 = width - 6
    Type(f, "aaaaaaaa");
    EXPECT_EQ(f->text, "aaaaaa");
    f->alphanumericOnly = true;
    f->OnKey(8);
    Type(f, "!");
    EXPECT_EQ(f->text, "aaaaa");
}

TEST_F(FieldTest, APasswordShowsStarsAndClicksPlaceTheCaretAmongThem) {
    auto* f = Field(CInputControlGump::kText, 20);
    f->password = true;
    Type(f, "secret");
    Desktop().ClearKeyboardFocus();
    // A click 7 pixels in (past two 3-pixel stars): the caret goes after the second.
    Click(100 + 7 + 1, 105);
    EXPECT_EQ(Desktop().keyboardFocus, f);
    EXPECT_EQ(f->caret, 2);
}

TEST_F(FieldTest, LosingTheFocusTurnsAFocusedFieldArtBack) {
    art.Solid(2444, 100, 15, 0x3333);
    auto* f = Field(CInputControlGump::kText, 20);
    f->artId = CInputControlGump::kFocusedArt;
    Desktop().ClearKeyboardFocus();
    EXPECT_EQ(f->artId, CInputControlGump::kUnfocusedArt);
}

class ChooserTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        art.Solid(1226, 220, 290, 0x2222);
    }
};

TEST_F(ChooserTest, AChooserHoldsAHundredItemsAndScrollsWithinThem) {
    auto* field =
        window->Add<CInputControlGump>(0, 0, window, 2443, 2443, 2, 80, 1, 0, true, true, 0);
    auto* chooser = TheGumpDesktop().Open<CScrollChoiceGump>(window, field, 1226);
    EXPECT_EQ(chooser->x, (640 - 220) / 2);
    for (int i = 0; i < 120; ++i)
        chooser->AddItem(i, std::string(100, 'n'), 0);
    EXPECT_EQ(chooser->Count(), 100);
    TheGumpDesktop().Close(chooser);

    chooser = TheGumpDesktop().Open<CScrollChoiceGump>(window, field, 1226);
    for (int i = 0; i < 15; ++i)
        chooser->AddItem(i, "item " + std::to_string(i), 0);
    for (int i = 0; i < 20; ++i)
        chooser->ScrollDown();
    EXPECT_EQ(chooser->First(), 14);
    chooser->ScrollUp();
    EXPECT_EQ(chooser->First(), 13);
    chooser->OnSliderMoved(192, 192, nullptr);
    EXPECT_EQ(chooser->First(), 14);
    chooser->OnSliderMoved(5, 0, nullptr);
    EXPECT_EQ(chooser->First(), 0);
    // A press on the third row chooses it at the next tick and closes the chooser.
    const int rowY = chooser->y + chooser->listArea.top + 2 * 5 + 1;  // fixture rows are 5 high
    TheCursorManager().OnLeftDown(chooser->x + 40, rowY);
    chooser->OnHover();
    EXPECT_EQ(field->number, 2);
    EXPECT_EQ(field->text, "item 2");
    EXPECT_EQ(window->changed, (std::vector<CGump*>{field}));
    EXPECT_EQ(Desktop().head, window);
}

// A press on a row picks it exactly once, whether the button comes up before the next tick
// (a quick click: both events in one batch) or after it; a press beside the rows picks nothing.
TEST_F(ChooserTest, APressOnARowPicksItOnceHoweverShortTheClick) {
    auto* field =
        window->Add<CInputControlGump>(0, 0, window, 2443, 2443, 2, 80, 1, 0, true, true, 0);
    struct Case {
        const char* name;
        bool tickBeforeRelease;
        bool onARow;
    };
    const Case cases[] = {
        {"quick click on a row", false, true},
        {"held press on a row", true, true},
        {"quick click beside the rows", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        field->number = -1;
        field->SetText("");
        window->changed.clear();
        auto* chooser = TheGumpDesktop().Open<CScrollChoiceGump>(window, field, 1226);
        for (int i = 0; i < 5; ++i)
            chooser->AddItem(i, "item " + std::to_string(i), 0);
        const int px = chooser->x + (c.onARow ? 40 : chooser->listArea.right + 5);
        const int py = chooser->y + chooser->listArea.top + 3 * 5 + 1;  // fixture rows: 5 high
        TheCursorManager().OnLeftDown(px, py);
        if (c.tickBeforeRelease) chooser->OnHover();
        TheCursorManager().OnLeftUp(px, py);
        if (c.onARow) {
            EXPECT_EQ(field->number, 3);
            EXPECT_EQ(field->text, "item 3");
            EXPECT_EQ(window->changed, (std::vector<CGump*>{field}));
            EXPECT_FALSE(IsGumpAlive(chooser));
        } else {
            EXPECT_EQ(field->number, -1);
            EXPECT_TRUE(window->changed.empty());
            ASSERT_TRUE(IsGumpAlive(chooser));
            TheGumpDesktop().Close(chooser);
        }
    }
}

TEST_F(ChooserTest, ServersWhoseStatusIsTwoEndUpLastAfterAnySort) {
    std::vector<ServerChoiceEntry> servers = {
        {"A", 0, 5, 1, 30, '2'}, {"B", 1, 3, 9, 10, '0'}, {"C", 2, 1, 2, 20, '2'},
        {"D", 3, 4, 4, 5, '1'},  {"E", 4, 3, 0, 50, '0'},
    };
    EXPECT_EQ(SortServerOrder(servers, [](const ServerChoiceEntry& e) { return e.firstKey; }),
              (std::vector<int>{1, 4, 3, 2, 0}));
    EXPECT_EQ(SortServerOrder(servers, [](const ServerChoiceEntry& e) { return e.secondKey; }),
              (std::vector<int>{4, 3, 1, 2, 0}));
    // Equal keys keep the first one first.
    std::vector<ServerChoiceEntry> ties = {{"X", 0, 1, 0, 0, '0'}, {"Y", 1, 1, 0, 0, '0'}};
    EXPECT_EQ(SortServerOrder(ties, [](const ServerChoiceEntry& e) { return e.firstKey; }),
              (std::vector<int>{0, 1}));
}

TEST_F(ControlsTest, ListBoxesGrowPerRowAndHoldAHundredEntries) {
    art.Solid(2430, 80, 10, 0x4444);
    auto* list = TheGumpDesktop().Open<CListBoxControlGump>(50, 50, 2430, 1, 0, 0);
    EXPECT_FALSE(list->visible);
    const int empty = list->height;
    for (int i = 0; i < 5; ++i)
        list->AddItem(i, "entry");
    EXPECT_EQ(list->height, empty + 75);
    for (int i = 5; i < 150; ++i)
        list->AddItem(i, "entry");
    EXPECT_EQ(list->Count(), 100);
    EXPECT_EQ(list->y, 0);  // pulled up as far as the screen's top
    TheGumpDesktop().Close(list);

    auto* field =
        window->Add<CInputControlGump>(0, 0, window, 2443, 2443, 2, 80, 1, 0, true, true, 0);
    list = TheGumpDesktop().Make<CListBoxControlGump>(50, 50, 2430, 1, 0, 3);
    list->targetField = field;
    list->visible = true;
    for (int i = 0; i < 10; ++i)
        list->AddItem(100 + i, "entry " + std::to_string(i));
    EXPECT_EQ(list->height, empty + 45);
    list->AttachTo(nullptr);
    TheCursorManager().Capture(list);
    Tick(60, list->y + list->TopOfRows() + 15 + 3);
    EXPECT_EQ(list->highlighted, 1);
    TheCursorManager().OnLeftUp(60, list->y + list->TopOfRows() + 15 + 3);
    EXPECT_EQ(field->number, 101);
    EXPECT_EQ(field->text, "entry 1");
    EXPECT_EQ(window->changed, (std::vector<CGump*>{field}));
}

TEST_F(ControlsTest, AToggleClickedTwiceIsBackAndReportedTwice) {
    auto* toggle =
        window->Add<CToggleControlGump>(10, 10, window, 800, 801, 1, 0, "Sound", 0, 800, 801);
    EXPECT_EQ(toggle->width % 2, 0);
    Click(115, 115);
    EXPECT_EQ(toggle->state, 1);
    Click(115, 115);
    EXPECT_EQ(toggle->state, 0);
    EXPECT_EQ(window->changed, (std::vector<CGump*>{toggle, toggle}));
    toggle->disabled = true;
    Click(115, 115);
    EXPECT_EQ(toggle->state, 0);
}

}  // namespace
