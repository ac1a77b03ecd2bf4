// The pointer: its records over the generated arts, the direction octants and the near-centre
// ellipse, shape selection, drawing into the ring-addressed back buffer and the timer's
// re-presentation of the last frame.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <vector>

#include "client/data/data_file_cache.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "tests/client/app/client_test_env.h"

namespace {

constexpr int kRing = CGumpDesktop::kScreenPixels;

// The generated pointers: arrows, target and wait point from their middle, the rest from
// their top-left corner; every picture is 28 x 28.
bool PointsFromMiddle(int art) {
    const int k = art < 0x606A ? art - 0x6053 : art - 0x606A;
    return k < 8 || k == 12 || k == 13;
}

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_.LinkClientInstall();
        DataCacheSettings s;
        s.hdDir = env_.InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
        Cursor().Reset();
        loaded_ = Cursor().LoadCursorArt(0, false);
        Cursor().SetDrawEnabled(true);
    }
    void TearDown() override {
        Cursor().Reset();
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheDataCache().Shutdown();
    }
    static CursorManager& Cursor() { return TheCursorManager(); }

    // A picture whose every pixel differs from its neighbours.
    static std::vector<u16> Picture(u16 seed) {
        std::vector<u16> p(kRing);
        for (size_t i = 0; i < p.size(); ++i)
            p[i] = static_cast<u16>(1 + (i * 7 + seed) % 0x7000);
        return p;
    }
    // Puts the pointer of a shape with its draw corner at (x, y).
    static void PointerAt(int shape, int x, int y) {
        Cursor().SetPeace(false);
        Cursor().SetShape(shape, true);
        Cursor().MoveTo(0, 0);
        const CursorRecord& r = Cursor().Record(Cursor().CurrentRecord());
        Cursor().MoveTo(x + r.hotX, y + r.hotY);
    }

    ClientTestEnv env_;
    int loaded_ = 0;
};

TEST_F(CursorTest, AllRecordsLoadFromTheGeneratedArts) {
    EXPECT_EQ(loaded_, CursorManager::kRecordCount);
    for (int i = 0; i < CursorManager::kRecordCount; ++i) {
        SCOPED_TRACE(i);
        const CursorRecord& r = Cursor().Record(i);
        EXPECT_TRUE(r.loaded);
        EXPECT_EQ(r.width, 28);
        EXPECT_EQ(r.height, 28);
        const int hot = PointsFromMiddle(r.firstArt) ? 14 : 1;
        EXPECT_EQ(r.hotX, hot);
        EXPECT_EQ(r.hotY, hot);
        // The peace twin shows the same kind of picture 23 arts on.
        if (i >= CursorManager::kPeaceOffset) {
            EXPECT_EQ(r.firstArt, Cursor().Record(i - 23).firstArt + 0x17);
        }
    }
    EXPECT_EQ(Cursor().Record(17).firstArt, 0x605C);
    EXPECT_EQ(Cursor().Record(17).lastArt, 0x605D);
    EXPECT_EQ(Cursor().Record(45).firstArt, 0x6079);
    for (int k = 0; k < CursorManager::kImageCount; ++k)
        EXPECT_EQ(Cursor().Image(k).width, 28) << k;
}

// A combat colour tints the war-mode pictures by their red channel; peace ones stay.
TEST_F(CursorTest, CombatColourTintsOnlyWarPictures) {
    const std::vector<u16> war = Cursor().Image(9).pixels;
    const std::vector<u16> peace = Cursor().Image(30).pixels;
    Cursor().LoadCursorArt(0x001F, false);  // pure blue
    int tinted = 0;
    for (size_t i = 0; i < war.size(); ++i) {
        if (war[i] == 0) continue;
        EXPECT_EQ(Cursor().Image(9).pixels[i], ((war[i] >> 10) & 0x1F) * 31 / 32) << i;
        ++tinted;
    }
    EXPECT_GT(tinted, 20);
    EXPECT_EQ(Cursor().Image(30).pixels, peace);
}

// The octant rule against a model: sectors of the angle clockwise from up, split where the
// rule's slopes 2 and 1/2 meet.
TEST(CursorDirection, OctantsOverAGrid) {
    const double bounds[] = {26.565, 63.435, 116.565, 153.435, 206.565, 243.435, 296.565, 333.435};
    int checked = 0;
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 7) {
            const int dx = x - 320, dy = y - 240;
            if (dx == 0 && dy == 0) continue;
            double angle = std::atan2(dx, -dy) * 180.0 / 3.14159265358979;
            if (angle < 0) angle += 360;
            int sector = 0;
            bool onEdge = false;
            for (int b = 0; b < 8; ++b) {
                if (std::abs(angle - bounds[b]) < 0.6) onEdge = true;
                if (angle >= bounds[b]) sector = b + 1;
            }
            if (onEdge) continue;
            EXPECT_EQ(CursorManager::DirectionFromCentre(x, y), sector % 8) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);
    // The centre, just up-right of it (2 dy = -2 < -dx = -1), straight down.
    struct Case {
        int x, y, direction;
    } cases[] = {{320, 240, 0}, {321, 239, 1}, {320, 300, 4}, {319, 240, 6}, {322, 240, 2},
                 {320, 239, 0}, {316, 244, 5}, {316, 236, 7}, {319, 238, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CursorManager::DirectionFromCentre(c.x, c.y), c.direction) << c.x << "," << c.y;
}

TEST(CursorDirection, TheNearEllipseEdge) {
    struct Case {
        int x, y;
        bool near;
    } cases[] = {{320, 240, true},  {533, 240, true},  {534, 240, false}, {107, 240, true},
                 {106, 240, false}, {320, 400, true},  {320, 401, false}, {320, 80, true},
                 {320, 79, false},  {480, 360, false}, {469, 352, true}};
    for (const Case& c : cases)
        EXPECT_EQ(CursorManager::IsNearCentre(c.x, c.y), c.near) << c.x << "," << c.y;
}

TEST_F(CursorTest, ShapesFollowModeRequestAndPointer) {
    struct Case {
        const char* name;
        bool peace;
        int shape;
        int x, y;
        int record;
    } cases[] = {
        {"war, far up", false, 0, 320, 10, 0},
        {"war, near up", false, 0, 320, 200, 8},
        {"war, far left", false, 0, 5, 240, 6},
        {"peace, far up", true, 0, 320, 10, 23},
        {"peace, near down-right", true, 0, 330, 250, 23 + 8 + 3},
        {"war target", false, 19, 320, 10, 19},
        {"peace target", true, 19, 320, 10, 42},
        {"war pointer", false, 17, 320, 10, 17},
        {"peace wait", true, 20, 320, 10, 43},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cursor().Reset();
        Cursor().SetPeace(c.peace);
        Cursor().SetShape(c.shape, true);
        // The new picture's hot spot points at the mouse at once.
        Cursor().MoveTo(c.x, c.y);
        EXPECT_EQ(Cursor().CurrentRecord(), c.record);
        EXPECT_EQ(Cursor().HotSpotX(), c.x);
        EXPECT_EQ(Cursor().HotSpotY(), c.y);
        EXPECT_EQ(Cursor().DrawX(), c.x - Cursor().Record(c.record).hotX);
    }
    // Outside the world every request shows the pointer; the wait shape holds while waiting.
    Cursor().Reset();
    Cursor().SetShape(19);
    Cursor().MoveTo(320, 10);
    EXPECT_EQ(Cursor().CurrentRecord(), 40);
    Cursor().SetShape(20, true);
    Cursor().SetShape(0, true);
    Cursor().MoveTo(320, 11);
    EXPECT_EQ(Cursor().CurrentRecord(), 43);
    Cursor().EndWait();
    Cursor().SetShape(0, true);
    Cursor().MoveTo(320, 12);
    EXPECT_EQ(Cursor().CurrentRecord(), 23);
}

// Every pixel of the buffer after drawing the pointer with its corner at (x, y): the image
// where it is painted and on the screen, the old picture everywhere else.
void ExpectDrawn(const std::vector<u16>& before, const std::vector<u16>& after,
                 const CursorImage& image, int x, int y, u32 ring) {
    std::vector<u16> expected = before;
    for (int row = 0; row < image.height; ++row) {
        for (int col = 0; col < image.width; ++col) {
            const int sx = x + col, sy = y + row;
            const u16 p = image.pixels[static_cast<size_t>(row) * image.width + col];
            if (p == 0 || sx < 0 || sy < 0 || sx >= 640 || sy >= 480) continue;
            expected[(static_cast<size_t>(sy) * 640 + sx + ring) % kRing] = p;
        }
    }
    size_t wrong = 0;
    for (size_t i = 0; i < after.size(); ++i)
        wrong += after[i] != expected[i];
    EXPECT_EQ(wrong, 0u);
}

TEST_F(CursorTest, SaveAndRestoreAcrossTheRingSeamAndTheScreenEdges) {
    struct Case {
        const char* name;
        int x, y;
        u32 ring;
    } cases[] = {
        // The seam (logical index 100 * 640 + 110) falls inside the pointer's rectangle.
        {"seam inside the pointer", 100, 90, kRing - (100 * 640 + 110)},
        {"seam at the pointer's first row", 5, 300, kRing - 300 * 640},
        {"bottom-right corner, past the screen", 630, 470, 12345},
        {"top-left corner, past the screen", -20, -10, kRing - 1},
        {"no ring offset", 200, 200, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<u16> buffer = Picture(3);
        const std::vector<u16> world = buffer;
        PointerAt(17, c.x, c.y);
        Cursor().DrawIntoBackBuffer(buffer.data(), c.ring);
        ExpectDrawn(world, buffer, Cursor().Image(9), c.x, c.y, c.ring);
        Cursor().RestoreBackBuffer(buffer.data(), c.ring);
        EXPECT_TRUE(buffer == world);
    }
}

// Once the pointer has left the screen, the next frame's pixels where it was are that frame's
// own: the pixels saved for an earlier frame are not put back over them.
TEST_F(CursorTest, APointerOffTheScreenPutsNothingBack) {
    std::vector<u16> buffer = Picture(1);
    PointerAt(17, 100, 100);
    Cursor().DrawIntoBackBuffer(buffer.data(), 0);
    Cursor().RestoreBackBuffer(buffer.data(), 0);
    PointerAt(17, -200, -200);
    buffer = Picture(2);
    const std::vector<u16> next = buffer;
    Cursor().DrawIntoBackBuffer(buffer.data(), 0);
    Cursor().RestoreBackBuffer(buffer.data(), 0);
    EXPECT_TRUE(buffer == next);
}

// The timer moves the pointer and asks for the frame again; the client thread shows the last
// frame with the pointer at its new place and leaves the back buffer as it was.
TEST_F(CursorTest, TheTimerMovesThePointerOverTheLastFrame) {
    std::vector<u16> screen = Picture(5);
    const std::vector<u16> world = screen;
    const u32 ring = 640 * 10 + 7;
    TheGumpDesktop().SetScreen(screen.data(), ring);
    Cursor().SetPeace(false);
    Cursor().SetShape(17, true);
    env_.Backend().SetPointer(50, 60);
    CursorShellTimerStep(50, 60);
    EXPECT_TRUE(Cursor().TakeRepresentRequest());
    // A frame: drawn, shown, restored.
    CursorShellDrawIntoBackBuffer();
    platform::Backend().Present(screen.data(), ring, platform::PixelFormat::k555);
    CursorShellRemoveFromBackBuffer();
    EXPECT_TRUE(screen == world);
    const u32 presents = env_.Backend().PresentCount();

    // Nothing moved: no request, nothing shown.
    CursorShellTimerStep(50, 60);
    EXPECT_FALSE(CursorShellRepresent());
    // Moved: shown again.
    CursorShellTimerStep(300, 200);
    EXPECT_TRUE(CursorShellRepresent());
    EXPECT_EQ(env_.Backend().PresentCount(), presents + 1);
    EXPECT_TRUE(screen == world);
    const CursorImage& image = Cursor().Image(9);
    const std::vector<u16>& shown = env_.Backend().Frame();
    std::vector<u16> worldInScreenOrder(kRing);
    for (size_t i = 0; i < worldInScreenOrder.size(); ++i)
        worldInScreenOrder[i] = world[(i + ring) % kRing];
    ExpectDrawn(worldInScreenOrder, shown, image, 299, 199, 0);
    EXPECT_FALSE(CursorShellRepresent());
}

// The timer sleeps while its steps find nothing to do: everything a step reads tells the
// listener when it changes, and nothing else does.
std::atomic<int> g_cursorChanges{0};

TEST_F(CursorTest, EveryChangeATimerStepWouldSeeTellsTheListener) {
    Cursor().SetPeace(false);
    Cursor().SetShape(17, true);
    Cursor().MoveTo(100, 100);
    Cursor().SetChangeListener([] { g_cursorChanges.fetch_add(1); });
    struct Case {
        const char* name;
        std::function<void()> act;
        bool tells;
    };
    const Case cases[] = {
        {"the same place", [] { Cursor().MoveTo(100, 100); }, false},
        {"a new place", [] { Cursor().MoveTo(101, 100); }, true},
        {"the same shape", [] { Cursor().SetShape(17, true); }, false},
        {"a new shape", [] { Cursor().SetShape(19, true); }, true},
        {"the same mode", [] { Cursor().SetPeace(false); }, false},
        {"peace", [] { Cursor().SetPeace(true); }, true},
        {"drawing as it was", [] { Cursor().SetDrawEnabled(true); }, false},
        {"drawing off", [] { Cursor().SetDrawEnabled(false); }, true},
        {"back to the start", [] { Cursor().Reset(); }, true},
    };
    for (const Case& c : cases) {
        const int before = g_cursorChanges.load();
        c.act();
        EXPECT_EQ(g_cursorChanges.load() > before, c.tells) << c.name;
    }
    // Once the moved pointer is shown, a step that sees nothing new answers so (the timer may
    // sleep); one that finds it moved does not.
    std::vector<u16> screen = Picture(3);
    TheGumpDesktop().SetScreen(screen.data(), 0);
    Cursor().SetDrawEnabled(true);
    Cursor().SetShape(17, true);
    EXPECT_TRUE(CursorShellTimerStep(200, 150));
    CursorShellDrawIntoBackBuffer();
    CursorShellRemoveFromBackBuffer();
    EXPECT_FALSE(CursorShellTimerStep(200, 150));
    EXPECT_TRUE(CursorShellTimerStep(201, 150));
    Cursor().SetChangeListener(nullptr);
}

}  // namespace
