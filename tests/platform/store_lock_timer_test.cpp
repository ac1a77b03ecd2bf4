#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/instance_lock.h"
#include "platform/key_value_store.h"
#include "platform/periodic_timer.h"

namespace platform {
namespace {

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "/" + name;
}

TEST(KeyValueStore, RoundTripsTextAndBinaryValuesAcrossInstances) {
    std::string path = TempPath("kv/sub/settings.txt");
    std::remove(path.c_str());
    KeyValueStore a(path);
    EXPECT_FALSE(a.GetString("ExePath"));
    ASSERT_TRUE(a.SetString("ExePath", "/opt/game dir/x=y\\z\nnext"));
    ASSERT_TRUE(a.SetBinary("HWProfile/timeZoneBias", {0x00, 0xFF, 0x10}));
    KeyValueStore b(path);
    EXPECT_EQ(*b.GetString("ExePath"), "/opt/game dir/x=y\\z\nnext");
    EXPECT_EQ(*b.GetBinary("HWProfile/timeZoneBias"), (std::vector<u8>{0x00, 0xFF, 0x10}));
    EXPECT_TRUE(b.Remove("ExePath"));
    EXPECT_FALSE(a.GetString("ExePath"));
    EXPECT_FALSE(a.SetString("bad=name", "x"));
}

TEST(KeyValueStore, MalformedFileAndValuesReadAsMissing) {
    std::string path = TempPath("kv_bad.txt");
    {
        std::ofstream out(path, std::ios::binary);
        out << "no equals sign\n=novalue\nodd=abc\nnothex=zz\nok=0a\r\n";
    }
    KeyValueStore s(path);
    EXPECT_FALSE(s.GetBinary("odd"));
    EXPECT_FALSE(s.GetBinary("nothex"));
    EXPECT_EQ(*s.GetBinary("ok"), std::vector<u8>{0x0A});
    EXPECT_FALSE(s.GetString(""));
}

TEST(KeyValueStore, AFileThatCannotBeReadIsNeverReplaced) {
    // A path that exists but cannot be read as settings (here a folder holding a file): a
    // write must fail rather than replace it with the one new value.
    std::string path = TempPath("kv_unreadable");
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    std::ofstream(path + "/keep") << "x";
    KeyValueStore store(path);
    EXPECT_FALSE(store.GetString("ExePath").has_value());
    EXPECT_FALSE(store.SetString("ExePath", "/elsewhere"));
    EXPECT_FALSE(store.Remove("ExePath"));
    EXPECT_TRUE(std::filesystem::exists(path + "/keep"));
    std::filesystem::remove_all(path);
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    std::string dir = ::testing::TempDir();
    EXPECT_FALSE(IsInstanceLockHeld(dir, "ZqTestNeverMade"));
    InstanceLock first;
    ASSERT_TRUE(first.Acquire(dir, "ZqTestApp"));
    EXPECT_TRUE(IsInstanceLockHeld(dir, "ZqTestApp"));
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(dir, "ZqTestApp"));
    first.Release();
    EXPECT_FALSE(IsInstanceLockHeld(dir, "ZqTestApp"));
    EXPECT_TRUE(second.Acquire(dir, "ZqTestApp"));
    EXPECT_EQ(first.TryAcquire(dir, "ZqTestApp"), InstanceLock::Result::kHeldElsewhere);
    InstanceLock nowhere;
    EXPECT_EQ(nowhere.TryAcquire("/nonexistent-dir", "ZqTestApp"),
              InstanceLock::Result::kUnavailable);
}

TEST(PeriodicTimer, NoCallbackRunsAfterStopReturns) {
    // A slow callback makes it likely that Stop() arrives while one is running.
    std::atomic<int> calls{0};
    std::atomic<bool> inside{false};
    std::atomic<bool> stopped{false};
    std::atomic<bool> lateCall{false};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.Start(1, [&] {
        inside = true;
        if (stopped) lateCall = true;
        calls.fetch_add(1);
        for (int i = 0; i < 200; ++i)
            std::this_thread::yield();
        inside = false;
    }));
    EXPECT_FALSE(timer.Start(1, [] {}));
    while (calls.load() < 3)
        std::this_thread::yield();
    timer.Stop();
    stopped = true;
    EXPECT_FALSE(inside.load());
    int after = calls.load();
    for (int i = 0; i < 1000; ++i)
        std::this_thread::yield();
    EXPECT_EQ(calls.load(), after);
    EXPECT_FALSE(lateCall.load());
    EXPECT_FALSE(timer.Running());
}

TEST(PeriodicTimer, StopFromInsideTheCallbackEndsTheTimer) {
    std::atomic<int> calls{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.Start(1, [&] {
        calls.fetch_add(1);
        timer.Stop();
    }));
    while (calls.load() < 1)
        std::this_thread::yield();
    timer.Stop();  // joins
    EXPECT_EQ(calls.load(), 1);
}

// Spins until `done` holds or `limitMs` of real time pass; answers `done`.
template <typename Done>
bool Within(int limitMs, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::yield();
    return done();
}

// A tick that found nothing to do puts the timer to sleep past many periods; a Wake() from
// another thread brings the next tick at once and the ticks go on; Stop() ends a sleeping
// timer.
TEST(PeriodicTimer, ADozingTimerSleepsUntilWokenAndStopsWhileAsleep) {
    std::atomic<int> calls{0};
    std::atomic<bool> idle{true};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.Start(1, [&] {
        calls.fetch_add(1);
        if (idle) timer.Doze();
    }));
    ASSERT_TRUE(Within(5000, [&] { return calls.load() >= 1; }));
    // Forty periods with no wake: asleep, not ticking.
    EXPECT_FALSE(Within(40, [&] { return calls.load() > 1; }));
    idle = false;
    timer.Wake();
    ASSERT_TRUE(Within(5000, [&] { return calls.load() >= 4; }));
    idle = true;
    const int asleepAt = calls.load() + 1;
    ASSERT_TRUE(Within(5000, [&] { return calls.load() >= asleepAt; }));
    EXPECT_FALSE(Within(40, [&] { return calls.load() > asleepAt; }));
    timer.Stop();  // returns: a sleeping timer is woken to end
    EXPECT_FALSE(timer.Running());
}

// A Wake() that arrives while the tick that asks to doze still runs is not lost: the timer
// ticks again without any further wake.
TEST(PeriodicTimer, AWakeDuringTheDozingTickKeepsTheTimerAwake) {
    std::atomic<int> calls{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.Start(1, [&] {
        if (calls.fetch_add(1) == 0) timer.Wake();
        timer.Doze();
    }));
    EXPECT_TRUE(Within(5000, [&] { return calls.load() >= 2; }));
    timer.Stop();
}

}  // namespace
}  // namespace platform
