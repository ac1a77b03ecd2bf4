// The death menu: centred and modal, its two choices sent to the server (only "Play As Ghost"
// closes it), deaf to Escape and right clicks, its buttons drawn only inside it.
#include "client/gumps/ingame/death_menu_gump.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class DeathMenuTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        for (int k = 0; k < 19; ++k)
            art.Solid(static_cast<u32>(5100 + k), 8, 8, 0x2108);
        art.Solid(5050, 20, 12, 0x7FFF);
        art.Solid(5051, 20, 12, 0x7C00);
    }
    CDeathMenuGump* Open() {
        return OpenDeathMenuGump([this](u8 choice) { sent.push_back(choice); });
    }
    // A click on the button of row y (20 or 60) of the menu.
    static void ClickRow(const CGump* menu, int row) { Click(menu->x + 25, menu->y + row + 5); }

    std::vector<u8> sent;
};

TEST_F(DeathMenuTest, TheMenuIsCentredModalAndFoundByItsKind) {
    CDeathMenuGump* menu = Open();
    EXPECT_EQ(menu->x, 180);
    EXPECT_EQ(menu->y, 190);
    EXPECT_EQ(menu->width, 280);
    EXPECT_EQ(menu->height, 100);
    EXPECT_EQ(Desktop().modalGump, menu);
    EXPECT_EQ(Desktop().head->As<CDeathMenuGump>(), menu);
    std::vector<std::pair<int, int>> buttons;
    for (CGump* c = menu->firstChild; c != nullptr; c = c->nextSibling)
        buttons.emplace_back(c->x, c->y);
    EXPECT_EQ(buttons, (std::vector<std::pair<int, int>>{{20, 60}, {20, 20}}));
    // Clicks outside the modal menu reach nothing behind it.
    CGump* behind = MakeFilledGump(0, 0, 100, 100, 0x1111);
    EXPECT_EQ(behind->As<CDeathMenuGump>(), nullptr);
    EXPECT_EQ(Desktop().GumpAt(50, 50, nullptr, true), nullptr);
    EXPECT_EQ(Desktop().GumpAt(menu->x + 100, menu->y + 50, nullptr, true), menu);
}

TEST_F(DeathMenuTest, ResurrectIsSentAndKeepsTheMenuPlayAsGhostIsSentAndClosesIt) {
    CDeathMenuGump* menu = Open();
    ClickRow(menu, 60);
    ClickRow(menu, 60);  // no answer from the server yet: the choice goes again
    EXPECT_EQ(sent, (std::vector<u8>{1, 1}));
    EXPECT_EQ(Desktop().head, menu);
    ClickRow(menu, 20);
    EXPECT_EQ(sent, (std::vector<u8>{1, 1, 2}));
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_EQ(Desktop().modalGump, nullptr);
}

TEST_F(DeathMenuTest, NeitherEscapeNorARightClickClosesIt) {
    CDeathMenuGump* menu = Open();
    Desktop().TypedCharacter(27);
    Desktop().CloseOnEscape();
    TheCursorManager().OnRightDown(menu->x + 150, menu->y + 50);
    TheCursorManager().OnRightUp(menu->x + 150, menu->y + 50);
    EXPECT_EQ(Desktop().head, menu);
    EXPECT_EQ(Desktop().modalGump, menu);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    EXPECT_TRUE(sent.empty());
}

TEST_F(DeathMenuTest, ButtonsDrawOnlyInsideTheMenu) {
    // A button picture wider than the menu is cut at the menu's right edge.
    art.Solid(5050, 400, 12, 0x7FFF);
    CDeathMenuGump* menu = Open();
    DrawFrame();
    EXPECT_EQ(Shown(menu->x + 279, menu->y + 25), 0x7FFF);
    EXPECT_EQ(Shown(menu->x + 285, menu->y + 25), world[(menu->y + 25) * 640 + menu->x + 285]);
    EXPECT_TRUE(ScreenIsWorld());
}

}  // namespace
