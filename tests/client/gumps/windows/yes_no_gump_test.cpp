// The yes/no question: modal at the screen's centre, deaf to Enter, Escape and right clicks,
// and closed only by a callback of its creator.
#include "client/gumps/windows/yes_no_gump.h"

#include <gtest/gtest.h>

#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class YesNoGumpTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        art.Solid(2070, 200, 100, 0x5294);
        for (int id = 2071; id <= 2076; ++id)
            art.Solid(static_cast<u32>(id), 30, 14, 0x7FFF);
    }
};

TEST_F(YesNoGumpTest, TheYesNoQuestionIgnoresEnterEscapeAndRightClicks) {
    int yes = 0, no = 0;
    auto* question = Desktop().Open<CYesNoGump>(
        "Quit?", [&yes](CGump*) { ++yes; },
        [&no](CGump* g) {
            ++no;
            TheGumpDesktop().Close(g);
        },
        7);
    EXPECT_EQ(Desktop().modalGump, question);
    EXPECT_EQ(question->x, 220);
    EXPECT_EQ(question->y, 190);
    Desktop().TypedCharacter(13);
    Desktop().TypedCharacter(27);
    TheCursorManager().OnRightDown(question->x + 5, question->y + 5);
    TheCursorManager().OnRightUp(question->x + 5, question->y + 5);
    EXPECT_EQ(Desktop().head, question);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    Click(question->x + 100 + 3, question->y + 75 + 3);
    EXPECT_EQ(yes, 1);
    EXPECT_EQ(Desktop().head, question);
    Click(question->x + 37 + 3, question->y + 75 + 3);
    EXPECT_EQ(no, 1);
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_EQ(Desktop().modalGump, nullptr);
}

}  // namespace
