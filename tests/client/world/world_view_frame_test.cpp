// The frame step: the death fade's darkening, its text and its end, and what a frame does
// without a connection.
#include "client/world/world_view_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/render/dirty_rects.h"

namespace {

TEST(DeathFade, EachStepDarkensEveryChannelOnce) {
    struct Case {
        bool use565;
        u16 pixel;
        u16 afterOne;
        int stepsToBlack;
    } cases[] = {
        {false, 0x7FFF, 0x7BDE, 31}, {false, 0x0005, 0x0004, 5},
        {false, 0x0000, 0x0000, 0},  {false, 0x8421, 0x0000, 1},  // the unused top bit goes
        {true, 0xFFFF, 0xF79E, 31},  // the lowest green bit ends cleared
        {true, 0x0020, 0x0000, 0},   // only the lowest green bit: nothing to darken, cleared
        {true, 0x0840, 0x0000, 1},   // red 1, green 1 (bit 6)
    };
    for (const Case& c : cases) {
        u16 p = c.pixel;
        DarkenScreenOneStep(&p, 1, c.use565);
        EXPECT_EQ(p, c.afterOne) << std::hex << c.pixel << (c.use565 ? " 565" : " 555");
        p = c.pixel;
        int steps = 0;
        while ((p & (c.use565 ? 0xFFDF : 0x7FFF)) != 0 && steps < 40) {
            DarkenScreenOneStep(&p, 1, c.use565);
            ++steps;
        }
        EXPECT_EQ(steps, c.stepsToBlack) << std::hex << c.pixel;
        DarkenScreenOneStep(&p, 1, c.use565);
        EXPECT_EQ(p & (c.use565 ? 0xFFDF : 0x7FFF), 0) << "black stays black";
    }
}

class RecordingFrame : public WorldViewFrameHooks {
public:
    bool HasConnection() override { return connected; }
    bool Use565() override { return false; }
    void ShowDeadText() override { calls.push_back("text at " + std::to_string(DeathFadeStep)); }
    bool AssumePlayAsGhost() override { return ghost; }
    void OpenDeathMenu() override { calls.push_back("menu"); }
    void SendPlayAsGhost() override { calls.push_back("ghost answer"); }
    void DrawGumps() override { ++gumpFrames; }

    bool connected = true;
    bool ghost = false;
    int gumpFrames = 0;
    std::vector<std::string> calls;
};

class FrameStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDirtyRects();
        SetWorldViewScreen(screen.data());
    }
    void TearDown() override {
        SetWorldViewScreen(nullptr);
        ResetDirtyRects();
        DeathFadeStep = 0;
    }
    std::vector<u16> screen = std::vector<u16>(kWorldViewPixels, 0x7FFF);
    RecordingFrame frame;
};

TEST_F(FrameStepTest, WithoutAConnectionNothingIsDrawnOrPresented) {
    frame.connected = false;
    DeathFadeStep = 1;
    AddDirtyRect({0, 0, 10, 10});
    DrawWorldViewFrame(frame);
    EXPECT_EQ(frame.gumpFrames, 0);
    EXPECT_EQ(DeathFadeStep, 1);
    EXPECT_EQ(screen[0], 0x7FFF);
}

TEST_F(FrameStepTest, TheFadeRunsThirtyOneFramesThenRedrawsTheView) {
    for (bool ghost : {false, true}) {
        frame = RecordingFrame();
        frame.ghost = ghost;
        std::fill(screen.begin(), screen.end(), u16{0x7FFF});
        DeathFadeStep = 1;
        for (int i = 0; i < 31; ++i) {
            AddDirtyRect({0, 0, 640, 480});
            EXPECT_EQ(DirtyRectCount(), 0) << "dropped during the fade";
            DrawWorldViewFrame(frame);
        }
        EXPECT_EQ(frame.gumpFrames, 31);
        EXPECT_EQ(screen[0], 0);
        EXPECT_EQ(screen[kWorldViewPixels - 1], 0);
        EXPECT_EQ(DeathFadeStep, 0);
        EXPECT_EQ(frame.calls,
                  (std::vector<std::string>{"text at 16", ghost ? "ghost answer" : "menu"}));
        EXPECT_TRUE(FullRedrawPending) << "the whole view comes back on the next frame";
        DrawWorldViewFrame(frame);
        EXPECT_FALSE(FullRedrawPending);
        EXPECT_EQ(frame.calls.size(), 2u) << "one end only";
    }
}

}  // namespace
