// The golden-frame comparison itself: equal frames pass; a difference fails naming the actual
// frame and the diff picture it wrote, which marks the differing pixels in red.
#include "golden_frame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(GoldenFrame, ADifferenceWritesTheFrameAndADiff) {
    const char* update = std::getenv("ZQ_UPDATE_GOLDEN");
    const std::string saved = update != nullptr ? update : "";
    unsetenv("ZQ_UPDATE_GOLDEN");
    const std::string dir = ::testing::TempDir() + "/golden_frame_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::vector<u16> frame(6 * 4, 0x1234);
    ASSERT_TRUE(platform::WriteFramePng(dir + "/sample.png", frame.data(), 6, 4, false));
    EXPECT_TRUE(MatchesGoldenIn(dir, "sample", frame.data(), 6, 4));

    frame[2 * 6 + 3] = 0x7FFF;
    const auto result = MatchesGoldenIn(dir, "sample", frame.data(), 6, 4);
    EXPECT_FALSE(result);
    const std::string message = result.message();
    EXPECT_NE(message.find("1 pixels differ"), std::string::npos) << message;
    const char* tmp = std::getenv("TEST_TMPDIR");
    const std::string base = std::string(tmp != nullptr ? tmp : "/tmp") + "/sample";
    EXPECT_NE(message.find(base + ".actual.png"), std::string::npos) << message;
    std::vector<u16> actual, diff;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::ReadFramePng(base + ".actual.png", actual, w, h));
    EXPECT_EQ(actual, frame);
    ASSERT_TRUE(platform::ReadFramePng(base + ".diff.png", diff, w, h));
    EXPECT_EQ(diff[2 * 6 + 3], 0x7C00);
    EXPECT_NE(diff[0], 0x7C00);

    // A frame of another size, and a golden that is not there.
    EXPECT_FALSE(MatchesGoldenIn(dir, "sample", frame.data(), 4, 4));
    const auto missing = MatchesGoldenIn(dir, "absent", frame.data(), 6, 4);
    EXPECT_NE(std::string(missing.message()).find("ZQ_UPDATE_GOLDEN=1"), std::string::npos);
    if (update != nullptr) setenv("ZQ_UPDATE_GOLDEN", saved.c_str(), 1);
}

}  // namespace
