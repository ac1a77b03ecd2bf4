#include "platform/random.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(Random, ValuesCoverExactlyFifteenBits) {
    platform::SeedRandom(7);
    int lo = platform::kRandMax, hi = 0;
    std::vector<int> buckets(8, 0);
    for (int i = 0; i < 200000; ++i) {
        int v = platform::Rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        ++buckets[v >> 12];
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
    for (int b : buckets)
        EXPECT_NEAR(b, 25000, 1500);
}

TEST(Random, SeedingRepeatsTheSequence) {
    platform::SeedRandom(12345);
    std::vector<int> first;
    for (int i = 0; i < 16; ++i)
        first.push_back(platform::Rand());
    platform::SeedRandom(12345);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(platform::Rand(), first[i]);
    platform::SeedRandom(12346);
    int same = 0;
    for (int i = 0; i < 16; ++i)
        same += platform::Rand() == first[i];
    EXPECT_LT(same, 3);
}

TEST(Random, EachThreadHasItsOwnState) {
    platform::SeedRandom(99);
    std::vector<int> mine;
    for (int i = 0; i < 8; ++i)
        mine.push_back(platform::Rand());

    std::vector<int> theirs;
    std::thread t([&] {
        platform::SeedRandom(99);
        for (int i = 0; i < 8; ++i)
            theirs.push_back(platform::Rand());
    });
    t.join();
    EXPECT_EQ(mine, theirs);
}

}  // namespace
