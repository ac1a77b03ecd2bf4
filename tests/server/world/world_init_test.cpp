// A world that cannot be built is reported to the caller, which ends the process itself.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "server/world/world_init.h"

namespace {

TEST(CreateWorldTest, ASizeWithNoMapCellsAnswersOneAndSaysWhy) {
    for (const auto& [width, height] : {std::pair{4, 64}, std::pair{64, 0}, std::pair{-8, 64}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(CreateWorld(width, height), 1) << width << " x " << height;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("zqdemo: "), std::string::npos) << err;
        EXPECT_NE(err.find("server.txt gives no map cells"), std::string::npos) << err;
    }
    EXPECT_FALSE(IsWorldLoaded());
}

}  // namespace
