// The amount chooser: typed amounts that replace the shown one and never pass the stack's,
// the slider, OK and Enter taking up the chosen amount, a right click or 0 taking up nothing,
// and a stack that leaves the world while the chooser is open.
#include "client/gumps/ingame/stack_gump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/ingame/player_windows.h"
#include "tests/client/gumps/ingame/player_windows_fixture.h"

namespace {

constexpr u32 kStack = 0x40000200;
constexpr u16 kCoins = 0x0EED;

class StackGumpTest : public PlayerWindowsTest {
protected:
    StackGumpTest() {
        SetStatic(kCoins, kClientTileStackable, 0, "coin");
        TheClientWorld().UpdateObject(kStack, kCoins, 0, 20, 11, 10, 0, 0, 0, 0);
    }
    CStackGump* Open() {
        MoveTo(300, 200);
        return TheGumpDesktop().Open<CStackGump>(250, 163, kStack);
    }
    static Bytes PickUp(u16 amount) {
        return {0x07, 0x40, 0x00, 0x02, 0x00, u8(amount >> 8), u8(amount)};
    }
};

TEST_F(StackGumpTest, TypedDigitsReplaceTheAmountAndNeverPassTheStack) {
    struct Case {
        std::vector<u32> keys;
        std::string text;
        int amount;
    };
    const Case cases[] = {
        {{'5', '0'}, "5", 5},        // 50 is more than 20: the 0 is dropped
        {{'0'}, "", 0},              // a leading 0 is not typed
        {{'1', '2'}, "12", 12},
        {{'2', '0'}, "20", 20},
        {{'1', 8, '7'}, "7", 7},     // backspace
        {{8, 8}, "", 0},             // backspace on nothing
        {{'x', 'a', ' '}, "20", 20}, // keys that do not count leave the shown amount
    };
    for (const Case& c : cases) {
        CStackGump* chooser = Open();
        for (u32 key : c.keys)
            chooser->OnKey(key);
        EXPECT_EQ(chooser->AmountText(), c.text) << c.text;
        EXPECT_EQ(chooser->Amount(), c.amount) << c.text;
        TheGumpDesktop().Close(chooser);
    }
    EXPECT_TRUE(net.ClientSent().empty());
}

TEST_F(StackGumpTest, EnterTakesUpTheChosenAmountAndClosesTheChooser) {
    CStackGump* chooser = Open();
    EXPECT_EQ(chooser->Amount(), 20);
    EXPECT_EQ(TheGumpDesktop().keyboardFocus, chooser);
    chooser->OnKey('7');
    chooser->OnKey(13);
    EXPECT_FALSE(IsGumpAlive(chooser));
    EXPECT_EQ(net.ClientSent(), PickUp(7));
    EXPECT_EQ(TheClientWorld().dragging, 1);
    EXPECT_EQ(TheClientWorld().drag.amount, 7);
}

TEST_F(StackGumpTest, TheSliderChoosesAShareOfTheStack) {
    CStackGump* chooser = Open();
    CThumbGump* thumb = chooser->Thumb();
    EXPECT_EQ(thumb->x, thumb->maxX) << "the whole stack at the start";
    chooser->OnSliderMoved(27, 108, thumb);
    EXPECT_EQ(chooser->Amount(), 5);
    EXPECT_EQ(chooser->AmountText(), "5");
    chooser->OnSliderMoved(3, 0, thumb);  // a track without room
    EXPECT_EQ(chooser->Amount(), 5);
    // OK takes up the slider's amount.
    CGump* ok = nullptr;
    for (CGump* c = chooser->firstChild; c != nullptr; c = c->nextSibling)
        if (c->artId == CStackGump::kOkArt) ok = c;
    ASSERT_NE(ok, nullptr);
    const int ox = chooser->x + ok->x + 2, oy = chooser->y + ok->y + 2;
    LeftDown(ox, oy);
    LeftUp(ox, oy);
    EXPECT_EQ(net.ClientSent(), PickUp(5));
}

TEST_F(StackGumpTest, NothingIsTakenUpForNoAmountARightClickOrAStackThatLeft) {
    CStackGump* chooser = Open();
    chooser->OnKey(8);
    chooser->OnKey(8);
    chooser->OnKey(13);
    EXPECT_FALSE(IsGumpAlive(chooser));

    chooser = Open();
    RightClick(chooser->x + 5, chooser->y + 5);
    EXPECT_FALSE(IsGumpAlive(chooser));

    chooser = Open();
    TheClientWorld().FindBySerial(kStack)->Destroy();
    chooser->OnKey('3');
    chooser->OnSliderMoved(10, 108, chooser->Thumb());
    DrawFrame();
    chooser->OnKey(13);
    EXPECT_FALSE(IsGumpAlive(chooser));
    EXPECT_TRUE(net.ClientSent().empty());
    EXPECT_EQ(TheClientWorld().dragging, 0);
}

TEST_F(StackGumpTest, TheDesktopOpensItUnderThePointerFollowingIt) {
    MoveTo(300, 200);
    CGump* made = MakePlayerWindow(49, kStack);
    ASSERT_NE(made, nullptr);
    CStackGump* chooser = made->As<CStackGump>();
    ASSERT_NE(chooser, nullptr);
    made->AttachTo(nullptr);
    int hx = 0, hy = 0;
    TheCursorManager().GetHotSpotPos(hx, hy);
    EXPECT_EQ(chooser->x, hx - 50);
    EXPECT_EQ(chooser->y, hy - 37);
    chooser->FollowPointer();
    EXPECT_EQ(TheCursorManager().Captured(), chooser);
    Tick(hx + 40, hy + 30);
    EXPECT_EQ(chooser->x, hx + 40 - chooser->width / 2);
    LeftUp(hx + 40, hy + 30);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
}

}  // namespace
