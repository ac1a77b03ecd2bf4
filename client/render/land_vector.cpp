#include "client/render/land_vector.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

LandVector CrossOfEdges(const LandVector& a, const LandVector& b, const LandVector& c) {
    const s32 bx = b.x - a.x, by = b.y - a.y, bz = b.z - a.z;
    const s32 cx = c.x - a.x, cy = c.y - a.y, cz = c.z - a.z;
    return LandVector{by * cz - bz * cy, bz * cx - bx * cz, bx * cy - by * cx};
}

LandVector AverageTriangleNormals(const LandVector& a1, const LandVector& b1, const LandVector& c1,
                                  const LandVector& a2, const LandVector& b2,
                                  const LandVector& c2) {
    const LandVector n1 = CrossOfEdges(a1, b1, c1), n2 = CrossOfEdges(a2, b2, c2);
    return LandVector{(n1.x + n2.x) >> 1, (n1.y + n2.y) >> 1, (n1.z + n2.z) >> 1};
}

LandVector ScaleTo256(const LandVector& v) {
    const s32 squares = v.x * v.x + v.y * v.y + v.z * v.z;
    if (squares <= 0) return v;
    const float factor = static_cast<float>(1.0 / std::sqrt(static_cast<double>(squares)) * 256.0);
    auto scale = [factor](s32 c) { return static_cast<s32>(static_cast<float>(c) * factor); };
    return LandVector{scale(v.x), scale(v.y), scale(v.z)};
}

s32 DotOver1000(const LandVector& v, const LandVector& light) {
    return (v.x * light.x + v.y * light.y + v.z * light.z) / 1000;
}

namespace {

// The normal of one cell from its corner heights; the cell's place cancels out of the edge
// vectors, so its corners are taken around the origin.
LandVector CellNormal(const s8 q[4]) {
    const LandVector p0{0, -22, 4 * q[0]}, p1{22, 0, 4 * q[1]}, p2{0, 22, 4 * q[2]},
        p3{-22, 0, 4 * q[3]};
    if (std::abs(q[1] - q[3]) < std::abs(q[0] - q[2]))
        return AverageTriangleNormals(p0, p1, p3, p1, p2, p3);
    return AverageTriangleNormals(p0, p1, p2, p0, p2, p3);
}

}  // namespace

void LandCornerLights(const s8 nine[9][4], int lights[4]) {
    const s8* c = nine[4];
    if (c[0] == c[1] && c[1] == c[2] && c[2] == c[3]) {
        std::fill(lights, lights + 4, 5);
        return;
    }
    LandVector n[9];
    for (int i = 0; i < 9; ++i)
        n[i] = CellNormal(nine[i]);
    // The four cells that share each corner.
    static constexpr int kAround[4][4] = {{0, 1, 3, 4}, {1, 2, 4, 5}, {4, 5, 7, 8}, {3, 4, 6, 7}};
    for (int k = 0; k < 4; ++k) {
        LandVector sum;
        for (int i : kAround[k]) {
            sum.x += n[i].x;
            sum.y += n[i].y;
            sum.z += n[i].z;
        }
        const LandVector corner = ScaleTo256(LandVector{sum.x >> 2, sum.y >> 2, sum.z >> 2});
        lights[k] = std::clamp(DotOver1000(corner, kLandLightDirection), 0, 15);
    }
}

bool BodyCastsShadow(int body) {
    switch (body) {
        case 21:
        case 52:
        case 95:
        case 150:
        case 151:
        case 221:
            return false;
        default:
            return true;
    }
}
