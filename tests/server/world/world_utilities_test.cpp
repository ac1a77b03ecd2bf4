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

}  // namespace
