#include "client/data/block_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <map>
#include <random>
#include <string>

#include "tests/client/app/client_test_env.h"

namespace {

using Blocks = std::vector<std::pair<s32, s32>>;

class BlockCacheTest : public ::testing::Test {
protected:
    // A data region of `capacity` bytes and `entries` entry slots.
    void Make(s32 capacity, s32 entries) {
        const s32 size = BlockCache::kHeaderSize + BlockCache::kEntrySize * entries + capacity;
        ASSERT_TRUE(cache_.Create(env_.Dir() + "/cache.zq", size, entries));
        ASSERT_EQ(cache_.DataCapacity(), capacity);
        base_ = cache_.DataOffset();
    }
    // Free blocks relative to the start of the data region.
    Blocks Free() const {
        Blocks out = cache_.FreeBlocks();
        for (auto& b : out)
            b.first -= base_;
        return out;
    }
    ClientTestEnv env_;
    BlockCache cache_;
    s32 base_ = 0;
};

TEST_F(BlockCacheTest, ReleasedSpaceMergesWithEitherNeighbour) {
    // Records are cut from the end of the free block: A [90,100), B [80,90), C [70,80).
    struct Case {
        std::vector<char> drops;
        Blocks free;
    } cases[] = {
        {{'B'}, {{0, 70}, {80, 10}}},       // no neighbour free
        {{'C'}, {{0, 80}}},                 // merges into the block before
        {{'B', 'A'}, {{0, 70}, {80, 20}}},  // A joins B's block before it
        {{'A', 'B'}, {{0, 70}, {80, 20}}},  // B joins A's block after it
        {{'B', 'A', 'C'}, {{0, 100}}},      // both sides: one block of all
        {{'A', 'C', 'B'}, {{0, 100}}},      // between two free neighbours
    };
    for (const Case& c : cases) {
        Make(100, 8);
        const std::map<char, s32> keys = {{'A', 1}, {'B', 2}, {'C', 3}};
        for (char name : {'A', 'B', 'C'})
            ASSERT_NE(cache_.Allocate(2, keys.at(name), 10), nullptr);
        ASSERT_EQ(Free(), (Blocks{{0, 70}}));
        for (char name : c.drops)
            cache_.Drop(2, keys.at(name));
        EXPECT_EQ(Free(), c.free) << std::string(c.drops.begin(), c.drops.end());
        EXPECT_EQ(cache_.CheckConsistency(), "");
        // Merged blocks give their slots back: 8 slots, one per block and record.
        EXPECT_EQ(cache_.SpareCount() + static_cast<s32>(Free().size()) +
                      static_cast<s32>(cache_.UsedMostRecentFirst().size()),
                  8);
    }
}

TEST_F(BlockCacheTest, EvictsTheLeastRecentlyUsedFirst) {
    Make(30, 8);
    for (s32 key : {1, 2, 3})
        ASSERT_NE(cache_.Allocate(4, key, 10), nullptr);
    ASSERT_NE(cache_.Find(4, 1), nullptr);  // 1 becomes the most recent
    EXPECT_EQ(cache_.UsedMostRecentFirst(),
              (std::vector<std::pair<int, s32>>{{4, 1}, {4, 3}, {4, 2}}));
    ASSERT_NE(cache_.Allocate(4, 9, 10), nullptr);  // no room: 2 goes
    EXPECT_EQ(cache_.Find(4, 2), nullptr);
    EXPECT_EQ(cache_.UsedMostRecentFirst(),
              (std::vector<std::pair<int, s32>>{{4, 9}, {4, 1}, {4, 3}}));
}

TEST_F(BlockCacheTest, OnlyABlockOfAtLeastTheRequestIsUsed) {
    Make(100, 8);
    ASSERT_NE(cache_.Allocate(6, 1, 60), nullptr);  // [40,100)
    ASSERT_NE(cache_.Allocate(6, 2, 30), nullptr);  // [10,40)
    ASSERT_NE(cache_.Find(6, 1), nullptr);          // 2 is now the oldest
    // Evicting 2 leaves [0,40): too small for 50, so 1 goes as well.
    u8* c = cache_.Allocate(6, 3, 50);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(cache_.Find(6, 3), c);
    EXPECT_EQ(Free(), (Blocks{{0, 50}}));
    EXPECT_EQ(cache_.UsedMostRecentFirst(), (std::vector<std::pair<int, s32>>{{6, 3}}));
    EXPECT_EQ(cache_.CheckConsistency(), "");
}

TEST_F(BlockCacheTest, ASpareSlotIsFoundBeforeASplit) {
    // Three slots: the free block and two records use them all.
    Make(100, 3);
    ASSERT_NE(cache_.Allocate(8, 1, 10), nullptr);
    ASSERT_NE(cache_.Allocate(8, 2, 10), nullptr);
    ASSERT_EQ(cache_.SpareCount(), 0);
    u8* third = cache_.Allocate(8, 3, 10);
    ASSERT_NE(third, nullptr);
    std::memset(third, 0x5A, 10);
    EXPECT_EQ(cache_.CheckConsistency(), "");
    EXPECT_EQ(cache_.Find(8, 1), nullptr);
    EXPECT_EQ(cache_.Find(8, 3)[9], 0x5A);
}

TEST_F(BlockCacheTest, RandomReadsAgainstAModel) {
    // Records of varied sizes read in random order: every hit returns the bytes stored, the
    // lists stay consistent, and evictions only ever take the oldest records.
    Make(4000, 64);
    std::mt19937 random(1234);
    std::list<std::pair<int, s32>> model;  // most recent first
    auto pattern = [](int file, s32 key, s32 i) {
        return static_cast<u8>(file * 31 + key * 7 + i);
    };
    auto size = [](int file, s32 key) { return 1 + (file * 97 + key * 13) % 700; };
    int hits = 0, misses = 0;
    for (int step = 0; step < 4000; ++step) {
        const int file = static_cast<int>(random() % 3) * 2 + 2;
        const s32 key = static_cast<s32>(random() % 40);
        const s32 length = size(file, key);
        u8* bytes = cache_.Find(file, key);
        if (bytes) {
            ++hits;
            for (s32 i = 0; i < length; ++i)
                ASSERT_EQ(bytes[i], pattern(file, key, i)) << step;
        } else {
            ++misses;
            bytes = cache_.Allocate(file, key, length);
            ASSERT_NE(bytes, nullptr);
            for (s32 i = 0; i < length; ++i)
                bytes[i] = pattern(file, key, i);
        }
        model.remove({file, key});
        model.push_front({file, key});
        const auto used = cache_.UsedMostRecentFirst();
        ASSERT_LE(used.size(), model.size());
        ASSERT_TRUE(std::equal(used.begin(), used.end(), model.begin())) << step;
        model.resize(used.size());
        ASSERT_EQ(cache_.CheckConsistency(), "") << step;
    }
    EXPECT_GT(hits, 100);
    EXPECT_GT(misses, 100);
}

TEST(BlockCacheDeathTest, ARecordLargerThanTheCacheEndsWithTheMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClientTestEnv env;
    BlockCache cache;
    ASSERT_TRUE(cache.Create(env.Dir() + "/cache.zq", 24 + 24 * 4 + 100, 4));
    ASSERT_NE(cache.Allocate(2, 1, 60), nullptr);
    EXPECT_EXIT(cache.Allocate(2, 2, 101), ::testing::ExitedWithCode(1),
                "Caching Error: Cache is entirely filled with versioned data.  Please increase "
                "your cache size, or buy an updated cd.");
}

}  // namespace
