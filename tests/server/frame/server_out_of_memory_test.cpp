#include "server/frame/server_out_of_memory.h"

#include <gtest/gtest.h>

#include <new>

#include "core/log_sink.h"

namespace {

TEST(ServerOutOfMemory, ReportGoesToStderrAndTheLog) {
    LogCapture capture;
    ::testing::internal::CaptureStderr();
    ReportServerOutOfMemory();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "zqdemo: out of memory: the server cannot go on\n");
    auto entries = capture.FromSource("memory");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].severity, "panic");
}

TEST(ServerOutOfMemoryDeathTest, AFailedAllocationOnTheServerThreadEndsWithOneWithoutABox) {
    EXPECT_EXIT(
        {
            InstallServerOutOfMemoryHandler();
            std::get_new_handler()();
        },
        ::testing::ExitedWithCode(1), "^zqdemo: out of memory: the server cannot go on\n$");
}

}  // namespace
