// Routing of the mouse and the keyboard to gumps: capture, hover, modal gumps, Escape, focus.
#include "client/gumps/framework/cursor_manager.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

// Logs the events it gets, in local coordinates.
class Probe : public CGump {
public:
    Probe(int x, int y, int w, int h, std::vector<std::string>& log, const char* name,
          CGump* parentGump = nullptr, bool closes = true)
        : CGump(x, y, parentGump, 0, 1, w, h), log_(log), name_(name), closes_(closes) {
        pitch = w;
        Bitmap16& f = MakeFrame(0);
        std::fill(f.Pixels(), f.Pixels() + static_cast<size_t>(w) * h, 0x1234);
    }
    void OnLeftDown(int x, int y) override { Log("LeftDown", x, y); }
    void OnLeftUp(int x, int y) override {
        Log("LeftUp", x, y);
        CGump::OnLeftUp(x, y);
    }
    void OnRightDown(int x, int y) override { Log("RightDown", x, y); }
    void OnRightUp(int x, int y) override {
        Log("RightUp", x, y);
        ReleaseCapture();
    }
    void OnMouseOver(int x, int y) override { Log("Over", x, y); }
    void OnMouseLeave() override { log_.push_back(std::string(name_) + " Leave"); }
    void OnDrag(int x, int y) override { Log("Drag", x, y); }
    void OnHover() override { log_.push_back(std::string(name_) + " Hover"); }
    void OnKey(u32 key) override { Log("Key", static_cast<int>(key), 0); }
    bool ClosesOnEscape() override { return closes_; }

private:
    void Log(const char* what, int x, int y) {
        log_.push_back(std::string(name_) + " " + what + " " + std::to_string(x) + "," +
                       std::to_string(y));
    }
    std::vector<std::string>& log_;
    const char* name_;
    bool closes_;
};

class RoutingTest : public GumpDesktopTest {
protected:
    std::vector<std::string> log;
};

TEST_F(RoutingTest, TheCapturedGumpGetsTheReleaseDragAndHoverWhereverThePointerIs) {
    TheGumpDesktop().Open<Probe>(100, 100, 50, 50, log, "A");
    TheGumpDesktop().Open<Probe>(300, 100, 50, 50, log, "B");
    TheCursorManager().OnLeftDown(110, 120);
    Tick(310, 105);  // drag over B while A holds the capture
    TheCursorManager().OnLeftUp(320, 130);
    Tick(320, 130);
    EXPECT_EQ(
        log, (std::vector<std::string>{"A LeftDown 10,20", "A Drag 210,5", "B Over 10,5", "B Hover",
                                       "A Hover", "A LeftUp 220,30", "B Over 20,30", "B Hover"}));
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
}

TEST_F(RoutingTest, LeavingAGumpTellsItOnceAndAGumpBothHoverAndCapturedHoversTwice) {
    TheGumpDesktop().Open<Probe>(0, 0, 50, 50, log, "A");
    Tick(10, 10);
    TheCursorManager().OnLeftDown(10, 10);
    log.clear();
    Tick(11, 10);
    EXPECT_EQ(log,
              (std::vector<std::string>{"A Drag 11,10", "A Over 11,10", "A Hover", "A Hover"}));
    TheCursorManager().OnLeftUp(11, 10);
    log.clear();
    Tick(200, 200);
    Tick(201, 200);
    EXPECT_EQ(log, (std::vector<std::string>{"A Leave"}));
}

TEST_F(RoutingTest, AModalGumpBlocksBothButtonsOutsideIt) {
    TheGumpDesktop().Open<Probe>(0, 0, 640, 480, log, "Back");
    auto* modal = TheGumpDesktop().Open<Probe>(200, 200, 100, 100, log, "Modal");
    TheGumpDesktop().Open<Probe>(400, 0, 100, 100, log, "Front");
    Desktop().modalGump = modal;
    struct Case {
        int x, y;
        bool right;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {450, 50, false, {}},
        {450, 50, true, {}},
        {10, 10, false, {}},
        {250, 260, false, {"Modal LeftDown 50,60", "Modal LeftUp 50,60"}},
        {250, 260, true, {"Modal RightDown 50,60", "Modal RightUp 50,60"}},
    };
    for (const Case& c : cases) {
        log.clear();
        if (c.right) {
            TheCursorManager().OnRightDown(c.x, c.y);
            TheCursorManager().OnRightUp(c.x, c.y);
        } else {
            Click(c.x, c.y);
        }
        EXPECT_EQ(log, c.expected) << c.x << "," << c.y << (c.right ? " right" : " left");
    }
}

TEST_F(RoutingTest, RightClicksOnAButtonGoToItsWindow) {
    auto* window = TheGumpDesktop().Open<Probe>(100, 100, 200, 100, log, "Window");
    art.Solid(700, 20, 20, 0x7FFF);
    window->Add<CButtonGump>(10, 10, window, CButtonGump::kPush, 0, nullptr, 700, 700, 0);
    TheCursorManager().OnRightDown(115, 115);
    TheCursorManager().OnRightUp(115, 115);
    EXPECT_EQ(log, (std::vector<std::string>{"Window RightDown 5,5", "Window RightUp 5,5"}));
}

TEST_F(RoutingTest, EscapeGoesToTheFocusGumpElseClosesWhatClosesOnEscape) {
    auto* closes = TheGumpDesktop().Open<Probe>(0, 0, 10, 10, log, "Closes");
    auto* stays = TheGumpDesktop().Open<Probe>(20, 0, 10, 10, log, "Stays", nullptr, false);
    auto* focus = TheGumpDesktop().Open<Probe>(40, 0, 10, 10, log, "Focus");
    Desktop().SetKeyboardFocus(focus);
    Desktop().TypedCharacter(27);
    Desktop().TypedCharacter('a');
    Desktop().TypedCharacter(9);
    EXPECT_EQ(log, (std::vector<std::string>{"Focus Key 27,0", "Focus Key 97,0", "Focus Key 9,0"}));
    EXPECT_EQ(Desktop().TopLevelCount(), 3);
    TheGumpDesktop().Close(focus);
    EXPECT_EQ(Desktop().keyboardFocus, nullptr);
    Desktop().TypedCharacter(9);  // dropped without a focus gump
    Desktop().TypedCharacter(27);
    EXPECT_EQ(Desktop().head, stays);
    EXPECT_EQ(Desktop().TopLevelCount(), 1);
    (void)closes;
}

TEST_F(RoutingTest, ADeletedGumpLeavesNoCaptureHoverOrFocusBehind) {
    auto* g = TheGumpDesktop().Open<Probe>(0, 0, 50, 50, log, "G");
    Tick(5, 5);
    TheCursorManager().OnLeftDown(5, 5);
    Desktop().SetKeyboardFocus(g);
    TheGumpDesktop().Close(g);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    EXPECT_EQ(Desktop().hoverGump, nullptr);
    EXPECT_EQ(Desktop().keyboardFocus, nullptr);
    Tick(6, 6);  // nothing left to call
    TheCursorManager().OnLeftUp(6, 6);
}

}  // namespace
