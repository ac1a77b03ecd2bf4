#include "server/world/multi_rotation.h"

#include <gtest/gtest.h>

namespace {

TEST(MultiRotationTest, OffsetsTurnAboutTheMaster) {
    struct Case {
        int n;
        Location from, to;
    } cases[] = {
        {2, {1, 0, 0}, {0, 1, 0}},
        {2, {3, 0, 5}, {0, 3, 5}},  // a crate east of the master ends south of it; z kept
        {2, {0, 3, 0}, {-3, 0, 0}},
        {4, {2, -7, 0}, {-2, 7, 0}},
        {0, {-9, 4, 1}, {-9, 4, 1}},
        {10, {1, 0, 0}, {0, 1, 0}},  // facings wrap
        {1, {20000, -20000, 0}, {28283, 0, 0}},
        {1, {-4, 0, 0}, {-3, -3, 0}},  // the shift floors negative values
        // Past ±16,383 the products and sums leave 32 bits; the 16-bit store wraps.
        {1, {23171, 23171, 0}, {0, -32768, 0}},
        {6, {-32768, 0, 0}, {0, -32768, 0}},
        {2, {0, -32768, 0}, {-32768, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RotateXY(c.from, c.n), c.to)
            << "facing " << c.n << " of (" << c.from.x << "," << c.from.y << ")";
    }
}

TEST(MultiRotationTest, ATurningMultiKeepsItsGroupOfEight) {
    struct Case {
        int type, direction, turned;
    } cases[] = {
        {2000, 0, 2000}, {2000, 7, 2007}, {2003, 2, 2002}, {2013, 5, 2013}, {2008, 4, 2012},
    };
    for (const Case& c : cases) EXPECT_EQ(TurnedMultiType(c.type, c.direction), c.turned);
}

}  // namespace
