#include "client/render/land_vector.h"

#include <gtest/gtest.h>

namespace {

TEST(LandVector, HelpersOnTheirEdgeCases) {
    EXPECT_EQ(CrossOfEdges({0, 0, 0}, {22, 0, 0}, {0, 22, 0}), (LandVector{0, 0, 484}));
    EXPECT_EQ(ScaleTo256({0, 0, 484}), (LandVector{0, 0, 255}));
    EXPECT_EQ(ScaleTo256({3, 4, 0}), (LandVector{153, 204, 0}));
    EXPECT_EQ(ScaleTo256({0, 0, 0}), (LandVector{0, 0, 0}));
    EXPECT_EQ(ScaleTo256({-3, 0, -4}), (LandVector{-153, 0, -204}));
    const LandVector o{0, 0, 0}, a{5, 1, 2}, b{-3, 7, 4};
    EXPECT_EQ(AverageTriangleNormals(o, a, b, o, a, b), CrossOfEdges(o, a, b));
    // (1, 0, 0) and (-1, 0, 0) averaged with nothing: the shift rounds down.
    const LandVector y1{0, 1, 0}, z1{0, 0, 1};
    EXPECT_EQ(AverageTriangleNormals(o, y1, z1, o, o, o), (LandVector{0, 0, 0}));
    EXPECT_EQ(AverageTriangleNormals(o, z1, y1, o, o, o), (LandVector{-1, 0, 0}));
    EXPECT_EQ(DotOver1000({256, 0, 0}, {500, 0, 0}), 128);
    EXPECT_EQ(DotOver1000({-256, 0, 0}, {500, 0, 0}), -128);
}

TEST(LandVector, BodiesWithoutShadow) {
    for (int body : {21, 52, 95, 150, 151, 221})
        EXPECT_FALSE(BodyCastsShadow(body)) << body;
    for (int body : {0, 20, 400, 401, 222})
        EXPECT_TRUE(BodyCastsShadow(body)) << body;
}

void Fill(s8 nine[9][4], int a, int b, int c, int d) {
    for (int i = 0; i < 9; ++i) {
        nine[i][0] = s8(a);
        nine[i][1] = s8(b);
        nine[i][2] = s8(c);
        nine[i][3] = s8(d);
    }
}

// Level land is lit 5 everywhere; a slope turned toward the light (height falling toward
// screen-right and down) is brighter than one turned away, and every light stays in 0..15.
TEST(LandVector, CornerLightsOfLevelAndSlopedLand) {
    s8 nine[9][4];
    int lights[4];
    Fill(nine, 7, 7, 7, 7);
    LandCornerLights(nine, lights);
    for (int l : lights)
        EXPECT_EQ(l, 5);

    Fill(nine, 0, 0, 0, 0);
    nine[4][1] = 1;  // one corner raised a little: not level, lit almost as level land
    LandCornerLights(nine, lights);
    for (int l : lights)
        EXPECT_NEAR(l, 5, 1);

    int facing[4], away[4];
    Fill(nine, 20, 10, 0, 10);
    LandCornerLights(nine, facing);
    Fill(nine, 0, 10, 20, 10);
    LandCornerLights(nine, away);
    for (int k = 0; k < 4; ++k) {
        EXPECT_GE(facing[k], 0);
        EXPECT_LE(facing[k], 15);
        EXPECT_GE(away[k], 0);
        EXPECT_LE(away[k], 15);
        EXPECT_NE(facing[k], away[k]) << k;
    }
    Fill(nine, 100, -100, 100, -100);  // steep: clamped, never outside the shade levels
    LandCornerLights(nine, lights);
    for (int l : lights) {
        EXPECT_GE(l, 0);
        EXPECT_LE(l, 15);
    }
}

}  // namespace
