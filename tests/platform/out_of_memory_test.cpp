#include "platform/out_of_memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <thread>

namespace platform {
namespace {

void ReportA() {
    std::fprintf(stderr, "report of thread A\n");
}

TEST(OutOfMemoryDeathTest, EachThreadRunsItsOwnReportAndTheProcessEndsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The handler the allocator calls is the installed one, on whichever thread failed.
    auto failOn = [](bool withReport) {
        InstallOutOfMemoryHandler();
        std::thread t([withReport] {
            if (withReport) SetThreadOutOfMemoryReport(&ReportA);
            std::get_new_handler()();
        });
        t.join();
    };
    EXPECT_EXIT(failOn(true), ::testing::ExitedWithCode(1), "report of thread A");
    EXPECT_EXIT(failOn(false), ::testing::ExitedWithCode(1), "^zqdemo: out of memory\n$");
}

}  // namespace
}  // namespace platform
