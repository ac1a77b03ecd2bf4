#include "core/location.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace {

::testing::AssertionResult Is(const Location& got, int x, int y, int z) {
    if (got.x == x && got.y == y && got.z == z) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.x << ", " << got.y << ", " << got.z
                                         << "), want (" << x << ", " << y << ", " << z << ")";
}

TEST(Location, ConstructionAndState) {
    Location unset;
    EXPECT_TRUE(Is(unset, -1, -1, -1));
    EXPECT_TRUE(unset.IsUnset());

    Location a(10, 20, 5);
    Location copy(a);
    EXPECT_TRUE(Is(copy, 10, 20, 5));
    EXPECT_TRUE(copy == a);
    EXPECT_FALSE(copy.IsUnset());

    // Values are kept to 16 bits.
    EXPECT_TRUE(Is(Location(70000, -40000, 65535), 4464, 25536, -1));

    Location b;
    b = a;
    EXPECT_TRUE(Is(b, 10, 20, 5));
    b.Clear();
    EXPECT_TRUE(Is(b, 0, 0, 0));
    EXPECT_FALSE(b.IsUnset());
    b.SetUnset();
    EXPECT_TRUE(b.IsUnset());
    // Only all three at -1 is unset.
    EXPECT_FALSE(Location(-1, -1, 0).IsUnset());

    EXPECT_TRUE(Location(1, 2, 3).EqualsXY(Location(1, 2, 99)));
    EXPECT_FALSE(Location(1, 2, 3) == Location(1, 2, 99));
    EXPECT_FALSE(Location(1, 2, 3).EqualsXY(Location(2, 1, 3)));
}

TEST(Location, SumWrapsOnTheSurfaceOnly) {
    struct Case {
        Location base, delta;
        int x, y, z;
    } cases[] = {
        {{100, 100, 0}, {5, -3, 2}, 105, 97, 2},
        {{5119, 10, 0}, {1, 0, 0}, 0, 10, 0},        // east edge
        {{0, 10, 0}, {-1, 0, 0}, 5119, 10, 0},       // west edge
        {{10, 4095, 0}, {0, 1, 0}, 10, 0, 0},        // south edge
        {{10, 0, 0}, {0, -1, 0}, 10, 4095, 0},       // north edge
        {{5119, 4095, 0}, {1, 1, 0}, 0, 0, 0},       // corner
        {{5000, 10, 0}, {5000, 0, 0}, 4880, 10, 0},  // one wrap only: 10000 - 5120
        {{5120, 10, 0}, {1, 0, 0}, 5121, 10, 0},     // beyond the surface: no wrap
        {{6000, 4095, 0}, {0, 1, 0}, 6000, 4096, 0},
        {{6000, 10, 0}, {-1000, -20, 0}, 5000, -10, 0},  // decided by the base's x
        {{10, 10, 127}, {0, 0, 1}, 10, 10, 128},         // z never wraps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.base.x << ", " << c.base.y << ") + ("
                                        << c.delta.x << ", " << c.delta.y << ")");
        EXPECT_TRUE(Is(c.base + c.delta, c.x, c.y, c.z));
        Location acc = c.base;
        acc += c.delta;
        EXPECT_TRUE(Is(acc, c.x, c.y, c.z));
    }
}

TEST(Location, WrappedDifference) {
    struct Case {
        Location a, b;
        int x, y, z;
    } cases[] = {
        {{100, 100, 10}, {90, 120, 4}, 10, -20, 6},
        {{5119, 10, 0}, {0, 10, 0}, -1, 0, 0},  // across the east edge
        {{0, 10, 0}, {5119, 10, 0}, 1, 0, 0},
        {{10, 4095, 0}, {10, 0, 0}, 0, -1, 0},  // across the south edge
        {{10, 0, 0}, {10, 4095, 0}, 0, 1, 0},
        {{2570, 0, 0}, {10, 0, 0}, 2560, 0, 0},  // exactly half: not folded
        {{2571, 0, 0}, {10, 0, 0}, -2559, 0, 0},
        {{10, 2058, 0}, {10, 10, 0}, 0, 2048, 0},
        {{10, 2059, 0}, {10, 10, 0}, 0, -2047, 0},
        {{5200, 100, 0}, {100, 100, 0}, 9999, 0, 0},  // one beyond, one on the surface
        {{100, 100, 0}, {5200, 100, 0}, -9999, 0, 0},
        {{5120, 0, 0}, {5119, 0, 0}, 9999, 0, 0},          // 5120 already counts as beyond
        {{5300, 1164, 0}, {5275, 1185, 0}, 25, -21, 0},    // both beyond: a plain difference
        {{9000, 4000, 0}, {5300, 10, 0}, -1420, -106, 0},  // both beyond, dx < 5120: folded too
        {{5119, 10, 0}, {-10, 10, 0}, 5129, 0, 0},         // d.x >= 5120: nothing folded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "(" << c.a.x << ", " << c.a.y << ") - (" << c.b.x << ", " << c.b.y << ")");
        EXPECT_TRUE(Is(c.a - c.b, c.x, c.y, c.z));
    }
}

TEST(Location, DistanceHelpers) {
    struct Case2D {
        int x1, y1, x2, y2, want;
    } flat[] = {
        {0, 0, 3, 4, 5},
        {0, 0, 1, 1, 1},          // truncated sqrt(2)
        {0, 0, 2, 3, 3},          // truncated sqrt(13)
        {5119, 10, 0, 10, 1},     // x wraps
        {10, 4095, 10, 0, 1},     // y wraps
        {5100, 4090, 10, 5, 31},  // both wrap: (30, 11) -> sqrt(1021)
        {5200, 100, 100, 100, 9999},
        {100, 100, 5200, 100, 9999},
        {5275, 1164, 5305, 1174, 31},  // between two jail cells: sqrt(1000)
    };
    for (const Case2D& c : flat) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
        EXPECT_EQ(Distance2D(c.x1, c.y1, c.x2, c.y2), c.want);
    }

    struct Case3D {
        int x1, y1, z1, x2, y2, z2, want;
    } deep[] = {
        {0, 0, 0, 0, 0, 22, 2},                                  // 22^2 / 121 = 4
        {0, 0, 0, 3, 4, 10, 5},                                  // 100 / 121 = 0
        {0, 0, 0, 0, 0, 10, 0},    {0, 0, -128, 0, 0, 127, 23},  // 255^2 / 121 = 537
        {5119, 0, 0, 0, 0, 11, 1},  // wraps like the flat distance: 1 + 121/121 -> sqrt(2)
    };
    for (const Case3D& c : deep) {
        EXPECT_EQ(Distance3D(c.x1, c.y1, c.z1, c.x2, c.y2, c.z2), c.want);
    }

    struct CaseCheb {
        Location a, b;
        int want;
    } cheb[] = {
        {{10, 10, 0}, {13, 5, 90}, 5},  // z ignored
        {{5119, 4095, 0}, {0, 0, 0}, 1},
        {{10, 10, 0}, {6000, 10, 0}, 9999},
        {{6000, 10, 0}, {10, 10, 0}, 9999},
    };
    for (const CaseCheb& c : cheb)
        EXPECT_EQ(ChebyshevDistanceWrapped(c.a, c.b), c.want);
    EXPECT_EQ(Location(-32768, 3, 0).ChebyshevLength(), 32768);
}

TEST(Location, StepTableAndEdges) {
    const int dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int dy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (int d = 0; d < 16; ++d) {
        Location at(100, 100, 7);
        at.Step(d);
        EXPECT_TRUE(Is(at, 100 + dx[d & 7], 100 + dy[d & 7], 7)) << "direction " << d;
    }
    EXPECT_TRUE(Is(Location(100, 100, 0), 100, 100, 0));
    Location neg(100, 100, 0);
    neg.Step(-6);  // low three bits: 2, east
    EXPECT_TRUE(Is(neg, 101, 100, 0));

    struct Case {
        Location from;
        int direction;
        int x, y;
    } cases[] = {
        {{5119, 7, 0}, 2, 0, 7},     {{0, 7, 0}, 6, 5119, 7},          {{7, 0, 0}, 0, 7, 4095},
        {{7, 4095, 0}, 4, 7, 0},     {{5119, 4095, 0}, 3, 0, 0},       {{0, 0, 0}, 7, 5119, 4095},
        {{6000, 7, 0}, 2, 6001, 7},  // beyond the surface: no wrap
        {{5120, 7, 0}, 6, 5119, 7},  // stepping back onto the surface is allowed
        {{6000, 0, 0}, 0, 6000, -1}, {{6000, 4095, 0}, 4, 6000, 4096},
    };
    for (const Case& c : cases) {
        Location at = c.from;
        at.Step(c.direction);
        EXPECT_TRUE(Is(at, c.x, c.y, 0))
            << "from (" << c.from.x << ", " << c.from.y << ") direction " << c.direction;
    }
}

TEST(Location, SingleAxisMoves) {
    enum Move { kIncX, kDecX, kIncY, kDecY };
    struct Case {
        Location from;
        Move move;
        int x, y;
    } cases[] = {
        {{100, 100, 0}, kIncX, 101, 100},
        {{5119, 100, 0}, kIncX, 0, 100},
        {{0, 100, 0}, kDecX, 5119, 100},
        {{6000, 100, 0}, kIncX, 6001, 100},
        {{5120, 100, 0}, kDecX, 5119, 100},
        // The y moves wrap only beyond the surface; on it y runs past the edge.
        {{100, 4095, 0}, kIncY, 100, 4096},
        {{100, 0, 0}, kDecY, 100, -1},
        {{6000, 4095, 0}, kIncY, 6000, 0},
        {{6000, 0, 0}, kDecY, 6000, 4095},
        {{6000, 50, 0}, kIncY, 6000, 51},
    };
    for (const Case& c : cases) {
        Location at = c.from;
        switch (c.move) {
            case kIncX:
                at.IncX();
                break;
            case kDecX:
                at.DecX();
                break;
            case kIncY:
                at.IncY();
                break;
            case kDecY:
                at.DecY();
                break;
        }
        EXPECT_TRUE(Is(at, c.x, c.y, 0))
            << "from (" << c.from.x << ", " << c.from.y << ") move " << c.move;
    }
}

TEST(Location, OffSurfaceAndHeightMatch) {
    EXPECT_FALSE(Location(5119, 0, 0).IsOffSurface());
    EXPECT_FALSE(Location(5120, 0, 0).IsOffSurface());
    EXPECT_TRUE(Location(5121, 0, 0).IsOffSurface());

    Location a(50, 60, 10);
    struct Case {
        Location b;
        int up, down;
        bool want;
    } cases[] = {
        {{50, 60, 10}, 0, 0, true}, {{50, 60, 15}, 5, 0, true}, {{50, 60, 16}, 5, 0, false},
        {{50, 60, 7}, 0, 3, true},  {{50, 60, 6}, 0, 3, false}, {{51, 60, 10}, 20, 20, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocationsMatchWithinZ(a, c.up, c.b, c.down), c.want)
            << "b.z " << c.b.z << " up " << c.up << " down " << c.down;
    }
}

TEST(Location, NamedPlaces) {
    Location out;
    EXPECT_TRUE(FindNamedLocation("JAIL3", out));
    EXPECT_TRUE(Is(out, 5295, 1164, 0));
    EXPECT_TRUE(FindNamedLocation("jail10", out));
    EXPECT_TRUE(Is(out, 5295, 1185, 0));

    Location kept(1, 2, 3);
    EXPECT_FALSE(FindNamedLocation("jail", kept));
    EXPECT_FALSE(FindNamedLocation("jail11", kept));
    EXPECT_FALSE(FindNamedLocation("", kept));
    EXPECT_FALSE(FindNamedLocation(nullptr, kept));
    EXPECT_TRUE(Is(kept, 1, 2, 3));

    // 10 jail cells beyond the surface, then 14 places of the world under two names each.
    const NamedPlace* rows = NamedPlaces();
    int n = 0;
    std::set<std::string> names;
    while (rows[n].name != nullptr) {
        std::string lower = rows[n].name;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_TRUE(names.insert(lower).second) << "duplicate name " << rows[n].name;
        ++n;
    }
    ASSERT_EQ(n, 38);
    for (int i = 0; i < 10; ++i)
        EXPECT_GE(rows[i].x, kSurfaceWidth) << rows[i].name;
    for (int i = 10; i < 38; i += 2) {
        const NamedPlace& a = rows[i];
        const NamedPlace& b = rows[i + 1];
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << a.name << " / " << b.name;
        EXPECT_TRUE(a.x >= 0 && a.x <= 1023 && a.y >= 0 && a.y <= 1023) << a.name;
        Location found;
        ASSERT_TRUE(FindNamedLocation(b.name, found));
        EXPECT_TRUE(Is(found, a.x, a.y, a.z));
    }
}

}  // namespace
