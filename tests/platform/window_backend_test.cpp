#include "platform/window_backend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/keys.h"

namespace platform {
namespace {

std::vector<u16> NumberedFrame() {
    std::vector<u16> f(kFramePixels);
    for (u32 i = 0; i < kFramePixels; ++i)
        f[i] = static_cast<u16>(i * 7 + 3);
    return f;
}

TEST(CopyRingFrame, UndoesTheRingForEveryOffsetShape) {
    auto src = NumberedFrame();
    // Offsets: none, columns only, rows only, both, the last element.
    for (u32 offset : {0u, 10u, 640u * 3, 640u * 7 + 25, kFramePixels - 1}) {
        std::vector<u16> out(kFramePixels);
        CopyRingFrame(src.data(), offset, out.data(), kClientWidth, false);
        for (u32 p = 0; p < kFramePixels; ++p) {
            ASSERT_EQ(out[p], src[(p + offset) % kFramePixels]) << offset << " " << p;
        }
    }
}

TEST(CopyRingFrame, ColumnPastTheRightEdgeComesFromTheNextRow) {
    auto src = NumberedFrame();
    std::vector<u16> out(kFramePixels);
    CopyRingFrame(src.data(), 10, out.data(), kClientWidth, false);
    EXPECT_EQ(out[5 * 640 + 630], src[6 * 640 + 0]);
    // The bottom-right corner wraps to the top of the buffer.
    EXPECT_EQ(out[479 * 640 + 639], src[9]);
}

TEST(CopyRingFrame, HonoursPitchAndWidens555To565) {
    std::vector<u16> src(kFramePixels, 0x7FFF);
    src[1] = 0x001F;
    src[2] = 0x03E0;
    const u32 pitch = 700;
    std::vector<u16> out(pitch * kClientHeight, 0xAAAA);
    CopyRingFrame(src.data(), 0, out.data(), pitch, true);
    EXPECT_EQ(out[0], 0xFFDF);
    EXPECT_EQ(out[1], 0x001F);
    EXPECT_EQ(out[2], 0x07C0);
    EXPECT_EQ(out[640], 0xAAAA);  // padding untouched
    EXPECT_EQ(out[pitch], 0xFFDF);
}

TEST(Keys, KeyDataCarriesScanCodeRepeatAndExtendedBits) {
    u32 a = MakeKeyData('A', false, false, false);
    EXPECT_EQ(a, 1u | (0x1Eu << 16));
    u32 rep = MakeKeyData('A', true, false, false);
    EXPECT_NE(rep & kKeyDataWasDown, 0u);
    u32 up = MakeKeyData(kVkUp, false, true, true);
    EXPECT_NE(up & kKeyDataExtended, 0u);
    EXPECT_NE(up & kKeyDataReleased, 0u);
    EXPECT_NE(up & kKeyDataAltDown, 0u);
}

TEST(Keys, NamesTellKeypadFromRightHandBlock) {
    struct Case {
        u32 vk;
        const char* name;
    };
    for (Case c : {Case{'A', "A"}, Case{kVkEscape, "Esc"}, Case{kVkF1 + 11, "F12"},
                   Case{kVkNumpad0 + 8, "Num 8"}, Case{kVkUp, "Up"}, Case{kVkNext, "Page Down"},
                   Case{kVkDelete, "Delete"}, Case{kVkDecimal, "Num Del"}}) {
        EXPECT_EQ(KeyNameFromKeyData(MakeKeyData(c.vk, false, false, false)), c.name);
    }
    EXPECT_EQ(KeyNameFromKeyData(0x7F << 16), "");
}

TEST(SystemCursor, BackEndIsCalledOnlyOnAChange) {
    auto* headless = new HeadlessBackend;
    auto old = InstallBackend(std::unique_ptr<WindowBackend>(headless));
    ShowSystemCursor(true);
    EXPECT_EQ(headless->SystemCursorCalls(), 0);
    ShowSystemCursor(false);
    ShowSystemCursor(false);
    EXPECT_EQ(headless->SystemCursorCalls(), 1);
    EXPECT_FALSE(headless->SystemCursorVisible());
    ShowSystemCursor(true);
    EXPECT_EQ(headless->SystemCursorCalls(), 2);
    InstallBackend(std::move(old));
}

TEST(HeadlessBackend, InjectedEventsUpdateKeyAndPointerState) {
    HeadlessBackend b;
    ASSERT_TRUE(b.OpenWindow("T"));
    b.InjectKey(kVkControl, true);
    InputEvent move;
    move.type = EventType::kMouseMove;
    move.x = 12;
    move.y = 34;
    b.Inject(move);
    InputEvent e;
    ASSERT_TRUE(b.PollEvent(e));
    EXPECT_EQ(e.type, EventType::kKeyDown);
    EXPECT_TRUE(b.IsKeyDown(kVkControl));
    ASSERT_TRUE(b.PollEvent(e));
    int x = 0, y = 0;
    b.PointerPosition(x, y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 34);
    EXPECT_FALSE(b.PollEvent(e));
}

TEST(HeadlessBackend, ScriptedCloseArrivesOnceAfterTheGivenTime) {
    ManualClock clock(500);
    HeadlessBackend b;
    b.SetCloseAfterMs(300);
    ASSERT_TRUE(b.OpenWindow("T"));
    InputEvent e;
    clock.Advance(299);
    EXPECT_FALSE(b.PollEvent(e));
    clock.Advance(1);
    ASSERT_TRUE(b.PollEvent(e));
    EXPECT_EQ(e.type, EventType::kClose);
    EXPECT_FALSE(b.PollEvent(e));
}

TEST(HeadlessBackend, KeepsThePresentedFrameAndDumpsItAsPng) {
    HeadlessBackend b;
    ASSERT_TRUE(b.OpenWindow("T"));
    EXPECT_FALSE(b.DumpFramePng(::testing::TempDir() + "/none.png"));
    auto src = NumberedFrame();
    b.Present(src.data(), 640 + 1, PixelFormat::k565);
    ASSERT_EQ(b.Frame().size(), kFramePixels);
    EXPECT_EQ(b.Frame()[0], src[641]);
    EXPECT_EQ(b.FrameFormat(), PixelFormat::k565);
    std::string path = ::testing::TempDir() + "/frame.png";
    ASSERT_TRUE(b.DumpFramePng(path));
    std::ifstream in(path, std::ios::binary);
    char sig[8] = {};
    in.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    std::remove(path.c_str());
    EXPECT_FALSE(b.DumpFramePng("/nonexistent-dir/x.png"));
}

}  // namespace
}  // namespace platform
