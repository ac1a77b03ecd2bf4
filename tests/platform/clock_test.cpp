#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, ManualClockIsSeenAndStepped) {
    platform::ManualClock clock(1000);
    EXPECT_EQ(platform::NowMs(), 1000u);
    clock.Advance(250);
    EXPECT_EQ(platform::NowMs(), 1250u);
    platform::SleepMs(30);
    EXPECT_EQ(platform::NowMs(), 1280u);
    int yields = 0;
    clock.onYield = [&] { ++yields; };
    platform::Yield();
    EXPECT_EQ(yields, 1);
}

TEST(Clock, ElapsedIsCorrectAcrossTheWrap) {
    struct Case {
        u32 from, now, interval;
        bool elapsed;
    };
    const Case cases[] = {
        {0, 250, 250, true},
        {0, 249, 250, false},
        {0xFFFFFF00u, 0x000000FAu, 250, true},   // 0x100 + 0xFA = 506 ms across the wrap
        {0xFFFFFFF0u, 0x00000005u, 250, false},  // 21 ms across the wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::HasElapsed(c.from, c.now, c.interval), c.elapsed)
            << c.from << " -> " << c.now;
    }
    EXPECT_EQ(platform::ElapsedMs(0xFFFFFFFFu, 1u), 2u);
}

TEST(Clock, RealClockMovesForward) {
    u32 a = platform::NowMs();
    platform::SleepMs(3);
    EXPECT_GE(platform::ElapsedMs(a, platform::NowMs()), 2u);
}

}  // namespace
