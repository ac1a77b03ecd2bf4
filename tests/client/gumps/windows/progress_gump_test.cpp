// The progress gump: the bar's share of its width, dragging, and the right click that closes it
// where Escape does not.
#include "client/gumps/windows/progress_gump.h"

#include <gtest/gtest.h>

#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class ProgressGumpTest : public GumpDesktopTest {};

TEST_F(ProgressGumpTest, AProgressBarFillsItsShareAndAMessageBoxDragsAndCloses) {
    art.Solid(2060, 180, 90, 0x2222);
    art.Solid(2053, 110, 17, 0x001F);
    art.Solid(2054, 110, 17, 0x7C00);
    auto* progress = Desktop().Open<CProgressGump>(50, 60, "Loading", 50);
    EXPECT_EQ(Desktop().progressGump, progress);
    const Bitmap16& frame = *progress->Frame(0);
    EXPECT_EQ(frame.At(34 + 54, 60), 0x7C00);
    EXPECT_EQ(frame.At(34 + 55, 60), 0x001F);
    for (int percent : {100, 250}) {
        progress->SetPercent(percent);
        EXPECT_EQ(progress->Frame(0)->At(34 + 109, 60), 0x7C00);
    }
    progress->SetPercent(-5);
    EXPECT_EQ(progress->Frame(0)->At(34, 60), 0x001F);
    // Dragged by 30, 20; a right click closes it.
    TheCursorManager().OnLeftDown(60, 70);
    Tick(90, 90);
    TheCursorManager().OnLeftUp(90, 90);
    EXPECT_EQ(progress->x, 80);
    EXPECT_EQ(progress->y, 80);
    Desktop().TypedCharacter(27);
    ASSERT_NE(Desktop().progressGump, nullptr);
    TheCursorManager().OnRightDown(90, 90);
    TheCursorManager().OnRightUp(90, 90);
    EXPECT_EQ(Desktop().progressGump, nullptr);
}

}  // namespace
