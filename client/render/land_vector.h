#pragma once
// Small integer vectors for lighting sloped land: cross products of triangle edges, averaged
// normals scaled to length 256, and the corner light of a land cell from the heights of the
// nine cells around it. Also the bodies that cast no shadow.
#include "platform/types.h"

struct LandVector {
    s32 x = 0, y = 0, z = 0;
    bool operator==(const LandVector&) const = default;
};

// (b - a) x (c - a).
LandVector CrossOfEdges(const LandVector& a, const LandVector& b, const LandVector& c);
// The two cross products added, each component shifted right once (rounding down).
LandVector AverageTriangleNormals(const LandVector& a1, const LandVector& b1, const LandVector& c1,
                                  const LandVector& a2, const LandVector& b2, const LandVector& c2);
// Each component times 256 / length, with the factor held as a float and the products
// truncated toward zero. A zero vector comes back unchanged.
LandVector ScaleTo256(const LandVector& v);
// v . light / 1000, truncated toward zero.
s32 DotOver1000(const LandVector& v, const LandVector& light);

// The light direction of the land.
constexpr LandVector kLandLightDirection{100, -30, 23};

// The light 0..15 of each corner of a cell from the corner heights of the nine cells around
// it, row by row from (x - 1, y - 1) to (x + 1, y + 1); the cell itself is nine[4]. A level
// cell gets 5 at every corner.
void LandCornerLights(const s8 nine[9][4], int lights[4]);

// False for the few bodies drawn without a shadow.
bool BodyCastsShadow(int body);
