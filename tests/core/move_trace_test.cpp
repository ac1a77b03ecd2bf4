#include "core/move_trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(MoveTrace, WritesFlushedLinesOnlyWhileAFileIsNamed) {
    const std::string path =
        ::testing::TempDir() + "zq_move_trace_" + std::to_string(getpid()) + ".txt";
    std::filesystem::remove(path);
    move_trace::SetPath("");
    EXPECT_FALSE(move_trace::Enabled());
    move_trace::Write("server", "accept", 1, 2, 3, 4, 5);
    EXPECT_FALSE(std::filesystem::exists(path));

    move_trace::SetPath(path);
    EXPECT_TRUE(move_trace::Enabled());
    move_trace::Write("client", "request", 7, 0x82, 1500, 1620, -5);
    // Readable at once, while the writer still holds the file.
    EXPECT_EQ(ReadAll(path), "client request seq=7 dir=130 at=1500,1620,-5\n");
    move_trace::Write("server", "refuse", 7, -1, 1500, 1620, -5);
    move_trace::SetPath("");
    move_trace::Write("client", "ack", 8, 0, 0, 0, 0);
    EXPECT_EQ(ReadAll(path),
              "client request seq=7 dir=130 at=1500,1620,-5\n"
              "server refuse seq=7 dir=-1 at=1500,1620,-5\n");
    std::filesystem::remove(path);
}

}  // namespace
