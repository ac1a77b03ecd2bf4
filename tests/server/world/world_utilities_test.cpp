#include "server/world/world_utilities.h"

#include "platform/random.h"
#include "world_test_support.h"

namespace {

TEST(WorldUtilities, DirectionArithmetic) {
    EXPECT_EQ(ReverseDirection(4), 0);
    EXPECT_EQ(ReverseDirection(7), 3);
    EXPECT_EQ(TurnTwoSteps(6), 0);
    EXPECT_EQ(TurnTwoSteps(1), 3);
    auto pack = [](int x, int y) { return static_cast<u32>(x | (y << 16)); };
    struct Case {
        int dx, dy, direction;
    } cases[] = {{0, -5, 0}, {3, -1, 1}, {9, 0, 2},   {1, 1, 3}, {0, 2, 4},
                 {-4, 7, 5}, {-1, 0, 6}, {-2, -2, 7}, {0, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(DirectionBetween(pack(100, 100), pack(100 + c.dx, 100 + c.dy)), c.direction);
}

TEST(WorldUtilities, WordListSearchIgnoresCase) {
    const char* const words[] = {"guard", "help", nullptr};
    EXPECT_TRUE(AnyWordOccurs("Somebody HELP me", words));
    EXPECT_TRUE(AnyWordOccurs("guards!", words));
    EXPECT_FALSE(AnyWordOccurs("hello there", words));
    EXPECT_FALSE(AnyWordOccurs(nullptr, words));
    const char* const none[] = {nullptr};
    EXPECT_FALSE(AnyWordOccurs("help", none));
}

class DirectionToTest : public WorldTest {};

TEST_F(DirectionToTest, TowardTheOtherObjectOrRandomWhenTogether) {
    CItem* from = PlacedItem(10, 10, 0);
    CItem* east = PlacedItem(15, 10, 0);
    CItem* northWest = PlacedItem(8, 2, 0);
    EXPECT_EQ(DirectionTo(*from, *east), 2);
    EXPECT_EQ(DirectionTo(*from, *northWest), 7);
    // Sharing a tile: a random direction from one draw of the generator.
    CItem* same = PlacedItem(10, 10, 5);
    platform::SeedRandom(3);
    const int expected = platform::Rand() % 8;
    platform::SeedRandom(3);
    EXPECT_EQ(DirectionTo(*from, *same), expected);
}

TEST(WorldUtilities, PointInARectangleAndOutsideItsDiamond) {
    const struct {
        int x, y;
        bool inRect, outsideDiamond;
    } cases[] = {
        // The rectangle (10, 20)-(14, 26): centre (12, 23), diamond radius 4.
        {10, 20, true, true},    // a corner: 2 + 3 steps from the centre
        {14, 26, true, true},    // the opposite corner
        {12, 23, true, false},   // the centre
        {12, 26, true, false},   // 3 steps
        {13, 26, true, true},    // 4 steps: on the diamond counts as outside
        {9, 23, false, false},   // left of the rectangle, 3 steps
        {12, 27, false, true},   // below it, 4 steps
        {15, 20, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPointInRect(c.x, c.y, 10, 20, 14, 26), c.inRect) << c.x << "," << c.y;
        EXPECT_EQ(IsOutsideDiamond(c.x, c.y, 10, 20, 14, 26), c.outsideDiamond)
            << c.x << "," << c.y;
    }
    // Halving rounds down, also below zero: (-3 + 0) / 2 is -2, so x = 0 is 2 steps away.
    EXPECT_FALSE(IsOutsideDiamond(0, 0, -3, 0, 0, 0));
    EXPECT_TRUE(IsOutsideDiamond(1, 0, -3, 0, 0, 0));
}

}  // namespace
