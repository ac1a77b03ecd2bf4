#include "client/render/land_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "client/data/back_buffer.h"
#include "client/data/pixel_format.h"
#include "client/render/land_tile.h"

namespace {

constexpr int kW = 96, kH = 80;
constexpr u16 kBackground = 0x1234;

struct Canvas {
    std::vector<u16> pixels = std::vector<u16>(kW * kH, kBackground);
    BlitTarget Target() { return BlitTarget{pixels.data(), kW, kH}; }
    u16 at(int x, int y) const { return pixels[y * kW + x]; }
};

std::vector<u16> NumberedTile() {
    std::vector<u16> tile(kLandTilePixels);
    for (size_t i = 0; i < tile.size(); ++i)
        tile[i] = static_cast<u16>(1 + i);
    return tile;
}

// Whether tile pixel (c, r) belongs to the drawn diamond: rows 0..21 whole, rows 22..42
// without their end pixels, row 43 not at all.
bool InDrawnDiamond(int c, int r) {
    if (r < 0 || r > 42 || c < 0 || c >= 44) return false;
    if (r <= 21) return c >= 21 - r && c < 23 + r;
    return c >= r - 21 && c < 65 - r;
}

// Every placement around the canvas and several clips: each drawn pixel is the stored
// pixel of the same tile column (as LandTileToSquare places it), and nothing else changes.
TEST(LandDraw, FlatDiamondMatchesStoredTileUnderEveryClip) {
    const std::vector<u16> tile = NumberedTile();
    std::vector<u16> square(kLandSquarePixels);
    ASSERT_TRUE(LandTileToSquare(tile.data(), tile.size(), square.data()));
    const ClipRect clips[] = {{0, 0, kW, kH}, {30, 20, 50, 41}, {-50, -50, 500, 500}, {9, 9, 9, 9}};
    for (bool grey : {false, true})
        for (const ClipRect& clip : clips)
            for (int y = -46; y <= kH + 1; y += 5)
                for (int x = -46; x <= kW + 1; x += 7) {
                    Canvas canvas;
                    ASSERT_TRUE(grey ? DrawLandPixelsGrey(canvas.Target(), tile.data(), tile.size(),
                                                          x, y, clip)
                                     : DrawLandPixels(canvas.Target(), tile.data(), tile.size(), x,
                                                      y, clip));
                    for (int py = 0; py < kH; ++py)
                        for (int px = 0; px < kW; ++px) {
                            const int c = px - x, r = py - y;
                            const bool drawn = InDrawnDiamond(c, r) && px >= clip.left &&
                                               px < clip.right && py >= clip.top &&
                                               py < clip.bottom;
                            u16 want = kBackground;
                            if (drawn) {
                                want = square[r * 44 + c];
                                if (grey) want = GreyTable()[want];
                            }
                            ASSERT_EQ(canvas.at(px, py), want)
                                << "tile at " << x << "," << y << " pixel " << px << "," << py;
                        }
                }
}

TEST(LandDraw, FlatDiamondCovers968PixelsAndRefusesShortTiles) {
    const std::vector<u16> tile = NumberedTile();
    Canvas canvas;
    ASSERT_TRUE(DrawLandPixels(canvas.Target(), tile.data(), tile.size(), 10, 10, {0, 0, kW, kH}));
    int written = 0;
    for (u16 p : canvas.pixels)
        written += p != kBackground;
    EXPECT_EQ(written, 968);

    Canvas other;
    EXPECT_FALSE(
        DrawLandPixels(other.Target(), tile.data(), kLandTilePixels - 1, 10, 10, {0, 0, kW, kH}));
    EXPECT_FALSE(DrawLandPixels(other.Target(), nullptr, 0, 10, 10, {0, 0, kW, kH}));
    for (u16 p : other.pixels)
        ASSERT_EQ(p, kBackground);
}

std::vector<u16> PlainTexture(int sizeCode, u16 colour) {
    const size_t side = size_t{64} << sizeCode;
    return std::vector<u16>(side * side, colour);
}

// The two triangles of a level cell as the land object cuts them (corners 0-2), one pixel
// beyond the diamond at top and bottom and two at the right.
void FillLevelCell(const BlitTarget& target, const LandTexture& texture, int a, int b, int light,
                   const ClipRect& clip) {
    const TriVertex v0{a + 22, b - 1, 1}, v1{a + 46, b + 22, 2}, v2{a + 23, b + 45, 3},
        v3{a, b + 22, 4};
    FillTexturedTriangle(target, texture, v0, v1, v2, light, light, light, clip);
    FillTexturedTriangle(target, texture, v2, v3, v0, light, light, light, clip);
}

// A level cell lit 5 covers at least the flat diamond at its place, leaves no hole, stays
// inside the vertices' box, and scales each channel by 27 / 32.
TEST(LandDraw, TexturedLevelCellCoversTheFlatDiamond) {
    for (int sizeCode : {0, 1}) {
        const u16 colour = RgbToPixel16(255, 128, 64);  // channels 31, 16, 8
        const std::vector<u16> texels = PlainTexture(sizeCode, colour);
        const LandTexture texture{texels.data(), texels.size(), sizeCode};
        Canvas canvas;
        const int a = 20, b = 15;
        FillLevelCell(canvas.Target(), texture, a, b, 5, {0, 0, kW, kH});
        const u16 lit = static_cast<u16>((31 * 27 / 32) << 10 | (16 * 27 / 32) << 5 | 8 * 27 / 32);
        for (int py = 0; py < kH; ++py)
            for (int px = 0; px < kW; ++px) {
                const u16 p = canvas.at(px, py);
                const bool inBox = px >= a - 1 && px <= a + 46 && py >= b - 1 && py <= b + 45;
                const bool mustBeLit = InDrawnDiamond(px - a, py - b);
                const bool mayBeLit = inBox && (mustBeLit || p != kBackground);
                ASSERT_EQ(p, mayBeLit ? lit : kBackground) << px << "," << py;
            }
    }
}

// A clipped fill equals the unclipped fill inside the clip and leaves the rest alone.
TEST(LandDraw, TexturedFillClipsWithoutShiftingTheTexture) {
    std::vector<u16> texels(64 * 64);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<u16>(i * 37 & 0x7FFF);
    const LandTexture texture{texels.data(), texels.size(), 0};
    const ClipRect whole{0, 0, kW, kH};
    for (int light : {0, 7, 15}) {
        Canvas full;
        FillLevelCell(full.Target(), texture, 20, 15, light, whole);
        const std::vector<u16> reference = full.pixels;
        const ClipRect clips[] = {
            {25, 20, 50, 40}, {0, 0, 43, kH}, {0, 37, kW, kH}, {-9, -9, 0, 0}};
        for (const ClipRect& clip : clips) {
            Canvas canvas;
            FillLevelCell(canvas.Target(), texture, 20, 15, light, clip);
            for (int py = 0; py < kH; ++py)
                for (int px = 0; px < kW; ++px) {
                    const bool inside =
                        px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom;
                    ASSERT_EQ(canvas.at(px, py), inside ? reference[py * kW + px] : kBackground)
                        << "light " << light << " pixel " << px << "," << py;
                }
        }
    }
}

// Triangles with edges of no height or rows of no width, far off the target, or with odd
// tags: nothing is written outside the vertices' box (and the sanitizers see no division by
// zero or stray read).
TEST(LandDraw, DegenerateTrianglesStayInTheirBox) {
    const std::vector<u16> texels = PlainTexture(0, 0x7FFF);
    const LandTexture texture{texels.data(), texels.size(), 0};
    struct Case {
        TriVertex a, b, c;
    };
    const Case cases[] = {
        // A flat-bottomed triangle: corners 0, 2, 4, 2 make V1 and V3 level with V2's row.
        {{40, 10, 1}, {60, 30, 2}, {20, 30, 3}},
        {{40, 10, 1}, {20, 30, 2}, {60, 30, 3}},
        {{20, 10, 1}, {60, 10, 2}, {40, 30, 3}},  // flat top
        {{60, 10, 1}, {20, 10, 2}, {40, 30, 3}},
        {{40, 10, 1}, {40, 30, 2}, {40, 50, 3}},  // a vertical line
        {{10, 20, 1}, {50, 20, 2}, {80, 20, 3}},  // one row
        {{40, 10, 1}, {41, 11, 2}, {40, 12, 3}},
        {{40, 10, 0}, {60, 30, 9}, {20, 30, -3}},  // tags outside 1..4
        {{-5000, -4000, 1}, {9000, 100, 2}, {30, 7000, 3}},
    };
    for (const Case& c : cases)
        for (int light : {0, 15, 99}) {
            Canvas canvas;
            FillTexturedTriangle(canvas.Target(), texture, c.a, c.b, c.c, light, 3, light,
                                 {0, 0, kW, kH});
            const int left = std::min({c.a.x, c.b.x, c.c.x}) - 1;
            const int right = std::max({c.a.x, c.b.x, c.c.x});
            const int top = std::min({c.a.y, c.b.y, c.c.y});
            const int bottom = std::max({c.a.y, c.b.y, c.c.y});
            for (int py = 0; py < kH; ++py)
                for (int px = 0; px < kW; ++px)
                    if (px < left || px > right || py < top || py > bottom) {
                        ASSERT_EQ(canvas.at(px, py), kBackground)
                            << "triangle at " << c.a.x << "," << c.a.y << " pixel " << px << ","
                            << py;
                    }
        }
}

// The textured fill written the plain way, one pixel at a time: every pixel tests the clip,
// clamps its texture position and light, and shades each channel through the tables. The
// fill under test walks rows cut to the clip and must leave exactly these pixels.
struct RefCorner {
    s64 x, y, light, u, v;
};
struct RefEdge {
    s64 x, light, u, v, dx = 0, dLight = 0, du = 0, dv = 0;
    RefEdge(const RefCorner& from, const RefCorner& to, int shift)
        : x((from.x - shift) << 12), light(from.light << 12), u(from.u << 12), v(from.v << 12) {
        const s64 dy = to.y - from.y;
        if (dy > 0) {
            dx = ((to.x - from.x) << 12) / dy;
            dLight = ((to.light - from.light) << 12) / dy;
            du = ((to.u - from.u) << 12) / dy;
            dv = ((to.v - from.v) << 12) / dy;
        }
    }
    void Step() {
        x += dx;
        light += dLight;
        u += du;
        v += dv;
    }
};

void ReferenceFill(const BlitTarget& target, const LandTexture& texture, bool grey,
                   const TriVertex (&vertex)[3], const int (&lights)[3], const ClipRect& clip) {
    const s64 side = s64{64} << texture.sizeCode;
    RefCorner in[3];
    for (int i = 0; i < 3; ++i) {
        const int tag = std::clamp(vertex[i].tag, 1, 4);
        in[i] = {vertex[i].x, vertex[i].y, lights[i], (tag == 2 || tag == 3) ? side - 1 : 0,
                 (tag == 3 || tag == 4) ? side - 1 : 0};
    }
    int top = 0, bottom = 0;
    for (int i = 1; i < 3; ++i) {
        if (in[i].y < in[top].y) top = i;
        if (in[i].y > in[bottom].y) bottom = i;
    }
    if (top == bottom) return;
    const RefCorner &t = in[top], &b = in[bottom], &m = in[3 - top - bottom];
    bool middleLeft;
    if (m.y == t.y) {
        middleLeft = !(t.x < m.x);
    } else if ((t.x == b.x && m.x <= t.x) || (t.x == m.x && t.x < b.x) ||
               (m.y == b.y && m.x <= b.x)) {
        middleLeft = true;
    } else {
        middleLeft = ((b.x - t.x) << 12) / (b.y - t.y) >= ((m.x - t.x) << 12) / (m.y - t.y);
    }
    const ShadeTables& shades = Shades();
    auto row = [&](s64 y, const RefEdge& l, const RefEdge& r) {
        const s64 first = l.x >> 12, width = (r.x >> 12) - first + 1;
        if (y < clip.top || y >= clip.bottom || width <= 0) return;
        const s64 step = 4096 / width;
        const s64 dLight = ((r.light - l.light) * step) >> 12;
        const s64 du = ((r.u - l.u) * step) >> 12, dv = ((r.v - l.v) * step) >> 12;
        s64 light = l.light, u = l.u, v = l.v;
        for (s64 x = first; x < (r.x >> 12); ++x, light += dLight, u += du, v += dv) {
            if (x < clip.left || x >= clip.right) continue;
            const s64 tu = std::clamp<s64>(u >> 12, 0, side - 1);
            const s64 tv = std::clamp<s64>(v >> 12, 0, side - 1);
            u16 texel = texture.texels[tv * side + tu];
            if (grey) texel = GreyTable()[texel & 0x7FFF];
            const u8* level = shades.shade[std::clamp<s64>(light >> 12, 0, 31)];
            target.pixels[y * target.rowWidth + x] =
                static_cast<u16>(level[texel & 31] | level[(texel >> 5) & 31] << 5 |
                                 level[(texel >> 10) & 31] << 10);
        }
    };
    RefEdge longEdge(t, b, middleLeft ? 0 : 1), shortEdge(t, m, middleLeft ? 1 : 0);
    s64 y = t.y;
    for (; y <= m.y; ++y, longEdge.Step(), shortEdge.Step())
        row(y, middleLeft ? shortEdge : longEdge, middleLeft ? longEdge : shortEdge);
    shortEdge = RefEdge(m, b, middleLeft ? 1 : 0);
    shortEdge.Step();
    for (; y <= b.y; ++y, longEdge.Step(), shortEdge.Step())
        row(y, middleLeft ? shortEdge : longEdge, middleLeft ? longEdge : shortEdge);
}

// Steep, level, clipped, off-canvas and over-lit triangles in both texture sizes, plain and
// grey: the fill leaves the same pixels as the plain per-pixel fill.
TEST(LandDraw, TexturedFillMatchesThePerPixelFill) {
    struct Case {
        TriVertex vertex[3];
        int lights[3];
        ClipRect clip;
    };
    const ClipRect whole{0, 0, kW, kH};
    const Case cases[] = {
        {{{42, 14, 1}, {66, 37, 2}, {43, 60, 3}}, {5, 5, 5}, whole},    // level
        {{{43, 60, 3}, {20, 37, 4}, {42, 14, 1}}, {0, 31, 12}, whole},  // lit unevenly
        {{{42, 2, 1}, {66, 41, 2}, {43, 52, 3}}, {3, 17, 29}, whole},   // steep
        {{{43, 52, 3}, {20, 10, 4}, {42, 2, 1}}, {29, 1, 3}, whole},
        {{{42, 2, 1}, {66, 41, 2}, {43, 52, 3}}, {3, 17, 29}, {30, 9, 55, 44}},  // clipped
        {{{43, 52, 3}, {20, 10, 4}, {42, 2, 1}}, {29, 1, 3}, {0, 20, 31, kH}},
        {{{-30, -20, 1}, {120, 30, 2}, {10, 95, 3}}, {2, 20, 9}, whole},  // past every side
        {{{40, 10, 1}, {60, 30, 9}, {20, 30, -3}}, {-4, 40, 99}, whole},  // light beyond range
        {{{40, 10, 1}, {41, 11, 2}, {40, 12, 3}}, {7, 7, 7}, whole},      // a sliver
        {{{20, 10, 1}, {70, 10, 2}, {45, 70, 3}}, {31, 0, 16}, {5, 5, 90, 75}},  // flat top
        // Rows of every width from one pixel to the canvas's, darkest to brightest across.
        {{{1, 2, 1}, {94, 40, 2}, {1, 78, 3}}, {31, 0, 31}, whole},
        // A corner far to the right: an edge step whose quotient (past 2^24) sits just below a
        // whole number, so any rounding on the way moves the edge's pixels.
        {{{35, 69, 3}, {90, 26, 2}, {15910, 20, 1}}, {4, 20, 11}, whole},
    };
    std::vector<u16> texels(128 * 128);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<u16>(i * 40503u >> 3);
    for (int sizeCode : {0, 1})
        for (bool grey : {false, true})
            for (const Case& c : cases) {
                const LandTexture texture{texels.data(), size_t{4096} << (2 * sizeCode), sizeCode};
                Canvas expected, actual;
                ReferenceFill(expected.Target(), texture, grey, c.vertex, c.lights, c.clip);
                const auto [a, b, v] = c.vertex;
                if (grey) {
                    FillTexturedTriangleGrey(actual.Target(), texture, a, b, v, c.lights[0],
                                             c.lights[1], c.lights[2], c.clip);
                } else {
                    FillTexturedTriangle(actual.Target(), texture, a, b, v, c.lights[0],
                                         c.lights[1], c.lights[2], c.clip);
                }
                for (int py = 0; py < kH; ++py)
                    for (int px = 0; px < kW; ++px)
                        ASSERT_EQ(actual.at(px, py), expected.at(px, py))
                            << "triangle at " << a.x << "," << a.y << " size " << sizeCode
                            << (grey ? " grey" : "") << " pixel " << px << "," << py;
            }
}

TEST(LandDraw, TexturedFillRefusesShortTexturesAndUnknownSizes) {
    const std::vector<u16> texels = PlainTexture(0, 0x7FFF);
    const LandTexture cases[] = {
        {texels.data(), texels.size() - 1, 0},
        {texels.data(), texels.size(), 1},  // 128 x 128 needs four times as many
        {texels.data(), texels.size(), 2},
        {nullptr, 0, 0},
    };
    for (const LandTexture& texture : cases) {
        Canvas canvas;
        FillLevelCell(canvas.Target(), texture, 20, 15, 5, {0, 0, kW, kH});
        for (u16 p : canvas.pixels)
            ASSERT_EQ(p, kBackground);
    }
}

}  // namespace
