#include "server/world/dice.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/random.h"

namespace {

TEST(Dice, ParseGrammar) {
    struct Case {
        const char* text;
        int count, sides, bonus;
    } cases[] = {
        {"2d6+3", 2, 6, 3},
        {"1d4-1", 1, 4, -1},
        {"-5", 0, 0, -5},
        {"3d8", 3, 8, 0},
        {"d6", 0, 6, 0},
        {"0d0", 0, 0, 0},
        {"", 0, 0, 0},
        {"+2d6", 2, 6, 0},
        {"!2d6!1", 2, 6, 1},
        {"-1d4", -1, 4, 0},
        {"2d6x", 2, 6, 0},
        {"2x6", 0, 0, 2},
        {"2D6", 0, 0, 2},
        {" 2d6", 0, 0, 0},
        {"1d6+", 1, 6, 0},
        {"1d", 1, 0, 0},
        // Fields keep their low 8 bits.
        {"300d6", 44, 6, 0},
        {"1d300", 1, 44, 0},
        {"1d6+200", 1, 6, -56},
        {"-200", 0, 0, 56},
        {"99999999999d6", -1, 6, 0},
    };
    for (const Case& c : cases) {
        Dice d(c.text);
        EXPECT_EQ(d.GetCount(), c.count) << c.text;
        EXPECT_EQ(d.GetSides(), c.sides) << c.text;
        EXPECT_EQ(d.GetBonus(), c.bonus) << c.text;
    }
    Dice fromNull(nullptr);
    EXPECT_TRUE(fromNull.IsZero());

    // Parsing replaces the whole value.
    Dice d("4d10+7");
    d.Parse("5");
    EXPECT_EQ(d.GetCount(), 0);
    EXPECT_EQ(d.GetSides(), 0);
    EXPECT_EQ(d.GetBonus(), 5);
}

TEST(Dice, ValueOperations) {
    Dice zero;
    EXPECT_TRUE(zero.IsZero());
    EXPECT_FALSE(zero.GetExtra());
    EXPECT_EQ(zero.Average(), 0);
    EXPECT_EQ(zero.Roll(), 0);

    Dice a("2d6+3");
    Dice copy(a);
    EXPECT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetSides(), 6);
    EXPECT_EQ(copy.GetBonus(), 3);
    Dice b;
    EXPECT_EQ(&b.Assign(a), &b);
    EXPECT_EQ(b.GetBonus(), 3);
    b.Clear();
    EXPECT_TRUE(b.IsZero());
    EXPECT_FALSE(Dice("0d0+1").IsZero());

    b.Set(258, 257, -129);
    EXPECT_EQ(b.GetCount(), 2);
    EXPECT_EQ(b.GetSides(), 1);
    EXPECT_EQ(b.GetBonus(), 127);
}

TEST(Dice, Average) {
    struct Case {
        const char* text;
        int want;
    } cases[] = {
        {"1d8", 4},
        {"2d6+3", 10},
        {"-1d4", -2},  // -5 / 2 toward zero
        {"-3d4", -7},
        {"5", 5},
        {"1d4-1", 1},
        {"127d255", 16256},
        {"-128d255-128", -16384 - 128},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Dice(c.text).Average(), c.want) << c.text;
}

TEST(Dice, RollDrawsOncePerDie) {
    platform::SeedRandom(77);
    std::vector<int> r;
    for (int i = 0; i < 4; ++i)
        r.push_back(platform::Rand());

    platform::SeedRandom(77);
    EXPECT_EQ(Dice("3d6+2").Roll(), 3 + r[0] % 6 + r[1] % 6 + r[2] % 6 + 2);
    EXPECT_EQ(platform::Rand(), r[3]);

    // No dice to roll: only the bonus, and the generator is untouched.
    struct Case {
        int count, sides, bonus, want;
    } flat[] = {{-2, 6, 1, 1}, {0, 6, 4, 4}, {3, 0, -2, -2}};
    for (const Case& c : flat) {
        platform::SeedRandom(77);
        Dice d;
        d.Set(c.count, c.sides, c.bonus);
        EXPECT_EQ(d.Roll(), c.want) << c.count << "d" << c.sides;
        EXPECT_EQ(platform::Rand(), r[0]);
    }

    platform::SeedRandom(5);
    Dice big("10d20-3");
    for (int i = 0; i < 200; ++i) {
        int v = big.Roll();
        ASSERT_GE(v, 7);
        ASSERT_LE(v, 197);
    }
}

}  // namespace
