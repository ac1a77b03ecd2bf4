// The waiting gump, the client's message box: its place by style, the wait cursor of a large
// cancellable one, Enter and the button, and where the keyboard focus goes back to.
#include "client/gumps/windows/waiting_gump.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/input_control_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class WaitingGumpTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        art.Solid(2070, 200, 100, 0x5294);
        art.Solid(1140, 400, 300, 0x5294);
        for (int id = 2071; id <= 2076; ++id)
            art.Solid(static_cast<u32>(id), 30, 14, 0x7FFF);
        for (int id = 1144; id <= 1149; ++id)
            art.Solid(static_cast<u32>(id), 30, 14, 0x7FFF);
    }
};

TEST_F(WaitingGumpTest, PlacementByStyleAndX) {
    auto* centred = Desktop().Open<CWaitingGump>(-1, 7, "a", nullptr, false, 0, false);
    EXPECT_EQ(centred->x, 220);
    EXPECT_EQ(centred->y, 190);
    auto* placed = Desktop().Open<CWaitingGump>(5, 6, "b", nullptr, false, 0, false);
    EXPECT_EQ(placed->x, 5);
    EXPECT_EQ(placed->y, 6);
    auto* large = Desktop().Open<CWaitingGump>(-1, -1, "c", nullptr, true, 1, false);
    EXPECT_EQ(large->x, 121);
    EXPECT_EQ(large->y, 102);
    EXPECT_EQ(large->firstChild->x, 161);
    EXPECT_EQ(large->firstChild->y, 190);
    Desktop().Close(centred);
    Desktop().Close(placed);
    Desktop().Close(large);
}

TEST_F(WaitingGumpTest, TheWaitCursorShowsWhileALargeCancellableGumpLives) {
    auto* gump = Desktop().Open<CWaitingGump>(-1, -1, "Connecting...", nullptr, true, 1, false);
    EXPECT_EQ(TheCursorManager().WaitCount(), 1);
    EXPECT_EQ(TheCursorManager().RequestedShape(), 20);
    Desktop().Close(gump);
    EXPECT_EQ(TheCursorManager().WaitCount(), 0);
    EXPECT_EQ(TheCursorManager().RequestedShape(), 17);
    auto* small = Desktop().Open<CWaitingGump>(-1, -1, "x", nullptr, true, 0, false);
    EXPECT_EQ(TheCursorManager().WaitCount(), 0);
    Desktop().Close(small);
}

TEST_F(WaitingGumpTest, EnterClosesAndGivesTheFocusBackOnlyToALiveGump) {
    auto* window = MakeFilledGump(0, 0, 300, 300, 0x1234);
    auto* field =
        window->Add<CInputControlGump>(10, 10, window, 2443, 2443, 0, 20, 1, 0, true, false, 0);
    Desktop().SetKeyboardFocus(field);
    auto* notice = ShowWaitingGump("Bad password", nullptr, 0, false);
    EXPECT_EQ(Desktop().keyboardFocus, notice);
    EXPECT_EQ(Desktop().modalGump, notice);
    Desktop().TypedCharacter(13);
    EXPECT_EQ(Desktop().keyboardFocus, field);
    EXPECT_EQ(Desktop().modalGump, nullptr);
    EXPECT_EQ(Desktop().head, window);

    ShowWaitingGump("Again", nullptr, 0, false);
    Desktop().Close(window);  // the field the focus would go back to is gone
    Desktop().TypedCharacter(13);
    EXPECT_EQ(Desktop().keyboardFocus, nullptr);
    EXPECT_EQ(Desktop().head, nullptr);
}

TEST_F(WaitingGumpTest, TheButtonShowsTheTargetAgainAndQuitEndsTheClient) {
    auto* target = MakeFilledGump(0, 0, 10, 10, 0x1234);
    target->visible = false;
    auto* gump = ShowWaitingGump("Lost", target, 0, false);
    Click(gump->x + 65 + 2, gump->y + 75 + 2);
    EXPECT_TRUE(target->visible);
    EXPECT_EQ(Desktop().head, target);
    auto* quitting = ShowWaitingGump("Bye", nullptr, 0, true);
    quitting->OnKey(13);
    EXPECT_EQ(host.calls.back(), "PostQuit");
    EXPECT_EQ(Desktop().head, quitting);
}

}  // namespace
