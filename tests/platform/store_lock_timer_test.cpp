#include <gtest/gtest.h>

#include <atomic>
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

}  // namespace
}  // namespace platform
