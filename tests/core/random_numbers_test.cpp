#include "core/random_numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/random.h"

namespace {

// The next n raw draws after seeding, so that a test can predict what the helpers compute.
std::vector<int> DrawsAfterSeed(u32 seed, int n) {
    platform::SeedRandom(seed);
    std::vector<int> r;
    for (int i = 0; i < n; ++i)
        r.push_back(platform::Rand());
    platform::SeedRandom(seed);
    return r;
}

TEST(RandomRange, EmptyAndSingleRanges) {
    auto r = DrawsAfterSeed(11, 2);
    EXPECT_EQ(RandomRange(5, 4), 0);  // takes no draw
    EXPECT_EQ(RandomRange(3, 3), 3);  // takes one
    EXPECT_EQ(platform::Rand(), r[1]);
    EXPECT_EQ(RandomRange(-1, -2), 0);
}

TEST(RandomRange, IsLoPlusDrawModuloSpan) {
    auto r = DrawsAfterSeed(21, 4);
    EXPECT_EQ(RandomRange(10, 20), 10 + r[0] % 11);
    EXPECT_EQ(RandomRange(-50, 50), -50 + r[1] % 101);
    EXPECT_EQ(RandomRange(0, 99999), r[2]);
    EXPECT_EQ(RandomRange(INT_MIN, INT_MAX), INT_MIN + r[3]);  // no overflow on the full range
}

TEST(RandomRange, FifteenBitsCapWideRanges) {
    platform::SeedRandom(3);
    int highest = INT_MIN;
    for (int i = 0; i < 100000; ++i) {
        int v = RandomRange(1000, 1000 + 99999);
        ASSERT_GE(v, 1000);
        ASSERT_LE(v, 1000 + 32767);
        highest = std::max(highest, v);
    }
    // The whole 15-bit reach is used, and no more.
    EXPECT_GT(highest, 1000 + 32000);

    // A range of exactly 32768 values is covered end to end; 1..6 evenly enough.
    platform::SeedRandom(4);
    int top = 0;
    std::vector<int> faces(7, 0);
    for (int i = 0; i < 60000; ++i) {
        top = std::max(top, RandomRange(0, 32767));
        ++faces[RandomRange(1, 6)];
    }
    EXPECT_EQ(faces[0], 0);
    EXPECT_GT(top, 32700);
    for (int f = 1; f <= 6; ++f)
        EXPECT_NEAR(faces[f], 10000, 600) << "face " << f;
}

TEST(Random64, FourDrawsInOrder) {
    auto r = DrawsAfterSeed(5, 4);
    u64 v = Random64();
    EXPECT_EQ(v & 0xFFFFFFFFu, (static_cast<u64>(r[0]) << 16) | static_cast<u64>(r[1]));
    EXPECT_EQ(v >> 32, (static_cast<u64>(r[2]) << 16) | static_cast<u64>(r[3]));
}

TEST(RandomRangeWide, ReachesBeyondFifteenBits) {
    EXPECT_EQ(RandomRangeWide(9, 8), 0);
    auto r = DrawsAfterSeed(6, 4);
    u64 expect64 = ((static_cast<u64>(r[2]) << 16 | static_cast<u64>(r[3])) << 32) |
                   (static_cast<u64>(r[0]) << 16 | static_cast<u64>(r[1]));
    EXPECT_EQ(RandomRangeWide(-5, 1000000),
              static_cast<int>(-5 + static_cast<s64>(expect64 % 1000006u)));

    platform::SeedRandom(8);
    int highest = 0;
    for (int i = 0; i < 2000; ++i) {
        int v = RandomRangeWide(0, 1000000);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 1000000);
        highest = std::max(highest, v);
    }
    EXPECT_GT(highest, 900000);
    for (int i = 0; i < 1000; ++i) {
        int v = RandomRangeWide(INT_MIN, INT_MAX);  // the span does not fit an int
        (void)v;
    }
    EXPECT_EQ(RandomRangeWide(INT_MAX, INT_MAX), INT_MAX);
}

TEST(RollDiceSum, SumsDrawsAndRefusesEmptyDice) {
    auto r = DrawsAfterSeed(9, 3);
    EXPECT_EQ(RollDiceSum(3, 6), 3 + r[0] % 6 + r[1] % 6 + r[2] % 6);

    struct Case {
        int count, sides;
    } zero[] = {{3, 0}, {3, -4}, {0, 6}, {-2, 6}};
    for (const Case& c : zero) {
        platform::SeedRandom(9);
        EXPECT_EQ(RollDiceSum(c.count, c.sides), 0) << c.count << "d" << c.sides;
        EXPECT_EQ(platform::Rand(), r[0]) << "no draw taken";
    }
}

TEST(RollDice, GrammarResults) {
    struct Case {
        const char* text;
        int lo, hi;
    } cases[] = {
        {"7", 7, 7},
        {"-7", -7, -7},
        {"+7", 7, 7},
        {"2d6", 2, 12},
        {"2d6+3", 5, 15},
        {"2d6-3", -1, 9},
        {"-1d4-1", -3, 0},
        {"d6", 0, 0},
        {"3d0", 0, 0},
        {"3d0+2", 2, 2},
        {"1d1", 1, 1},
        {"4d1+1", 5, 5},
        {"", 0, 0},
        {"abc", 0, 0},
        {"2d6x", 2, 12},
        {"2x6", 2, 2},
        {"2D6", 2, 2},
        {"1d6+", 1, 6},
        {"1d1!2", -1, 3},
        {"!5", -5, 5},
        {"99999999999", INT_MAX, INT_MAX},
        {"-99999999999", -INT_MAX, -INT_MAX},
        {"1d1+99999999999", INT_MAX, INT_MAX},
    };
    platform::SeedRandom(10);
    for (const Case& c : cases) {
        for (int i = 0; i < 50; ++i) {
            int v = RollDice(c.text);
            ASSERT_GE(v, c.lo) << c.text;
            ASSERT_LE(v, c.hi) << c.text;
        }
    }
    EXPECT_EQ(RollDice(nullptr), 0);
    // '!' gives one of the two signs, never anything between.
    for (int i = 0; i < 50; ++i) {
        int v = RollDice("!5");
        ASSERT_TRUE(v == 5 || v == -5);
    }
}

// Predicts a roll from the raw draws, taking them in the documented order: the leading '!'
// sign, then the modifier's '!' sign, then one draw per die.
TEST(RollDice, BangDrawsComeSignThenModifierThenDice) {
    struct Case {
        const char* text;
        bool bangSign;
        bool bangModifier;
        int dice, sides, k;
    } cases[] = {
        {"!2d6!3", true, true, 2, 6, 3}, {"!3d4+1", true, false, 3, 4, 1},
        {"2d6!3", false, true, 2, 6, 3}, {"-1d8!2", false, true, 1, 8, 2},
        {"!7", true, false, 0, 0, 7},
    };
    for (const Case& c : cases) {
        for (u32 seed = 1; seed <= 40; ++seed) {
            auto r = DrawsAfterSeed(seed, 8);
            size_t next = 0;
            int sign = c.text[0] == '-' ? -1 : 1;
            if (c.bangSign) sign = (r[next++] % 2 + 1) == 1 ? 1 : -1;
            int modifier = 0;
            if (c.bangModifier) {
                modifier = (r[next++] % 2 + 1) == 1 ? -c.k : c.k;
            } else if (c.dice > 0) {
                modifier = c.k;
            }
            int sum = 0;
            for (int d = 0; d < c.dice; ++d)
                sum += 1 + r[next++] % c.sides;
            int want = c.dice > 0 ? sign * (sum + modifier) : sign * c.k;

            EXPECT_EQ(RollDice(c.text), want) << c.text << " seed " << seed;
            EXPECT_EQ(platform::Rand(), r[next]) << c.text << ": draws taken";
        }
    }
}

TEST(DiceAverage, Formula) {
    struct Case {
        const char* text;
        int want;
    } cases[] = {
        {"2d6+3", 10}, {"3d4", 7}, {"1d4-1", 1}, {"1d8", 4},
        {"d6", 0},     {"", 0},    {"2d", 1},    {"-2d6", 0},  // no sign prefix understood
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiceAverage(c.text), c.want) << c.text;
    EXPECT_EQ(DiceAverage(nullptr), 0);
    EXPECT_EQ(DiceAverage("99999999999d99999999999"), INT_MAX);
}

}  // namespace
