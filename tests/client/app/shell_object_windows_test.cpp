#include "client/app/shell_object_windows.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/gump_desktop.h"
#include "client/net/link_report.h"

namespace {

// Every window request the object handlers make, once.
void AskForEveryWindow(ObjectWindowHooks& w) {
    const u16 values[6] = {1, 2, 3, 4, 5, 6};
    w.OpenGump(0x40000001, 60, true);
    w.CloseRadar();
    w.RefreshContainerWindow(0x40000001);
    w.OpenSpellbook(0x40000001);
    w.CloseShopWindows(0x20, false);
    w.ClearShopLists(0x20);
    w.OpenSellWindow(0x20, {});
    w.OpenTradeWindow(0x20, 0x40000002, 0x40000003, "Ann");
    w.CloseTradeWindow(0x40000002);
    w.SetTradeChecks(0x40000002, true, false);
    w.OpenPictureMenu(ServerMenu{});
    w.OpenTextMenu(ServerMenu{});
    w.OpenHuePicker(0x40000001, 0, 0);
    w.OpenTextQuery(TextQuery{});
    w.OpenServerGump(ServerGumpRequest{});
    w.OpenCourseMap(0x40000004, 5021, values);
    w.CourseMapOpen(0x40000004);
    w.RedrawCoursePins(0x40000004);
    w.SetCourseEditMode(0x40000004, true);
    w.RaisePaperdoll(0x20);
    w.OpenPaperdoll(0x20, false, "Ann", 0);
    w.SignWindowOpen(0x40000005);
    w.OpenSign(0x40000005, 0, "Inn", "Rooms");
    w.FillNameField("Ann");
    w.ShowTargetCursor(true);
    w.ShowTargetCursor(false);
    w.IsIgnored(0x20);
}

// The window kinds the running client cannot open yet. A window issue that builds one takes
// it off this list; nothing is ever added.
TEST(ShellObjectWindows, ListsTheWindowKindsNotBuiltAndSaysEachOnce) {
    LinkReportCapture reports;
    ShellObjectWindows windows;
    AskForEveryWindow(windows);
    const std::vector<std::string> notBuilt = {
        "container window",    "spellbook window",   "shop window",
        "trade window",        "picture menu window", "text menu window",
        "hue picker window",   "text prompt window", "generic gump window",
        "course map window",   "name field",
    };
    EXPECT_EQ(windows.NotBuiltKinds(), notBuilt);
    EXPECT_EQ(reports.Lines().size(), notBuilt.size());
    EXPECT_TRUE(reports.Has("trade window: not built yet"));
    AskForEveryWindow(windows);
    EXPECT_EQ(reports.Lines().size(), notBuilt.size());
    // The only windows opened are the two rounds' signs (the handler asks before opening).
    EXPECT_EQ(TheGumpDesktop().TopLevelCount(), 2);
    for (const CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling) {
        EXPECT_TRUE(g->IsKind(GumpKind::kSign));
        EXPECT_EQ(g->object, 0x40000005u);
    }
    EXPECT_TRUE(windows.SignWindowOpen(0x40000005));
    EXPECT_FALSE(windows.SignWindowOpen(0x40000006));
    TheGumpDesktop().DeleteAllGumps();
}

// Without a shell every request says its kind is not built and answers "none open".
TEST(ShellObjectWindows, TheLinksOwnAnswersOpenNothing) {
    LinkReportCapture reports;
    ObjectWindowHooks bare;
    AskForEveryWindow(bare);
    EXPECT_FALSE(bare.RefreshContainerWindow(1));
    EXPECT_FALSE(bare.CourseMapOpen(1));
    EXPECT_FALSE(bare.RaisePaperdoll(1));
    EXPECT_FALSE(bare.IsIgnored(1));
    EXPECT_EQ(bare.NotBuiltKinds().front(), "gump desktop");
    EXPECT_FALSE(bare.SignWindowOpen(1));
    EXPECT_EQ(bare.NotBuiltKinds().size(), 16u);
}

}  // namespace
