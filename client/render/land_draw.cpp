#include "client/render/land_draw.h"

#include <algorithm>

#include "client/data/back_buffer.h"
#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/render/land_tile.h"
#include "core/byte_order.h"

namespace {

template <bool kGrey>
bool DrawLand(const BlitTarget& target, const u16* tile, size_t tilePixels, int x, int y,
              const ClipRect& clipIn) {
    if (tile == nullptr || tilePixels < kLandTilePixels) return false;
    if (target.pixels == nullptr) return true;
    const ClipRect clip = ClipToSize(clipIn, target.rowWidth, target.height);
    // Visible tile columns [c0, c1) and rows [r0, r1); 64 bits since x and y may be anywhere.
    const s64 c0 = std::max<s64>(s64{clip.left} - x, 0);
    const s64 c1 = std::min<s64>(kLandTileSize, s64{clip.right} - x);
    const s64 r0 = std::max<s64>(s64{clip.top} - y, 0);
    const s64 r1 = std::min<s64>(kLandTileSize - 1, s64{clip.bottom} - y);
    if (c0 >= c1 || r0 >= r1) return true;
    const LandDiamondTables& diamond = LandDiamond();
    const u16* grey = kGrey ? GreyTable() : nullptr;
    for (s64 r = r0; r < r1; ++r) {
        const s64 a = diamond.rowStart[r];
        const s64 from = std::max(a, c0);
        const s64 to = std::min<s64>(a + diamond.rowWidth[r], c1);
        if (from >= to) continue;
        const u16* src = tile + diamond.rowData[r] + (from - a);
        u16* dst = target.pixels + (y + r) * target.rowWidth + x + from;
        for (s64 i = 0; i < to - from; ++i)
            dst[i] = kGrey ? grey[src[i] & 0x7FFF] : src[i];
    }
    return true;
}

// The stored pixels of a land id (records are little-endian bytes with no alignment promised,
// so they are read into a buffer), null when the id is past the land range or its record is
// missing or shorter than a tile.
const u16* LandArtPixels(int id) {
    if (id < 0 || id >= 0x4000) return nullptr;
    s32 length = 0;
    const u8* record = GetArtRecord(id, &length);
    if (record == nullptr || length < static_cast<s32>(kLandTilePixels * 2)) return nullptr;
    static thread_local u16 tile[kLandTilePixels];
    for (size_t i = 0; i < kLandTilePixels; ++i)
        tile[i] = LoadLe16(record + 2 * i);
    return tile;
}

template <bool kGrey>
bool DrawLandArt(const BlitTarget& target, int graphic, int x, int y, const ClipRect& clip) {
    const u16* tile = LandArtPixels(graphic & 0x7FFF);
    if (tile == nullptr) tile = LandArtPixels(0);
    if (tile == nullptr) return false;
    return DrawLand<kGrey>(target, tile, kLandTilePixels, x, y, clip);
}

// One edge of the triangle in 20.12 fixed point: screen x, light, texture u and v, each with
// its step per row.
struct Edge {
    s64 x = 0, light = 0, u = 0, v = 0;
    s64 dx = 0, dLight = 0, du = 0, dv = 0;
    void Step() {
        x += dx;
        light += dLight;
        u += du;
        v += dv;
    }
};

struct Corner {
    s64 x, y, light, u, v;
};

// The edge from `from` to `to`, starting `shift` pixels left of `from`. An edge without
// height is not stepped.
Edge MakeEdge(const Corner& from, const Corner& to, int shift) {
    Edge e;
    e.x = (from.x - shift) << 12;
    e.light = from.light << 12;
    e.u = from.u << 12;
    e.v = from.v << 12;
    const s64 dy = to.y - from.y;
    if (dy > 0) {
        e.dx = ((to.x - from.x) << 12) / dy;
        e.dLight = ((to.light - from.light) << 12) / dy;
        e.du = ((to.u - from.u) << 12) / dy;
        e.dv = ((to.v - from.v) << 12) / dy;
    }
    return e;
}

template <bool kGrey>
void FillTriangle(const BlitTarget& target, const LandTexture& texture, TriVertex va, TriVertex vb,
                  TriVertex vc, int la, int lb, int lc, const ClipRect& clipIn) {
    if (texture.texels == nullptr || (texture.sizeCode != 0 && texture.sizeCode != 1)) return;
    const s64 side = s64{64} << texture.sizeCode;
    if (texture.texelCount < static_cast<size_t>(side * side)) return;
    if (target.pixels == nullptr) return;
    const ClipRect clip = ClipToSize(clipIn, target.rowWidth, target.height);

    auto corner = [&](TriVertex v, int light) {
        const s64 far = side - 1;
        const int tag = std::clamp(v.tag, 1, 4);
        return Corner{v.x, v.y, light, (tag == 2 || tag == 3) ? far : 0,
                      (tag == 3 || tag == 4) ? far : 0};
    };
    const Corner in[3] = {corner(va, la), corner(vb, lb), corner(vc, lc)};
    int top = 0, bottom = 0;
    for (int i = 1; i < 3; ++i) {
        if (in[i].y < in[top].y) top = i;
        if (in[i].y > in[bottom].y) bottom = i;
    }
    if (top == bottom) return;  // all three on one row: nothing to fill
    const Corner& t = in[top];
    const Corner& b = in[bottom];
    const Corner& m = in[3 - top - bottom];

    // Does the middle corner bend the left edge (the long edge is then on the right)?
    bool middleLeft;
    if (m.y == t.y) {
        middleLeft = !(t.x < m.x);
    } else if ((t.x == b.x && m.x <= t.x) || (t.x == m.x && t.x < b.x) ||
               (m.y == b.y && m.x <= b.x)) {
        middleLeft = true;
    } else {
        const s64 longSlope = ((b.x - t.x) << 12) / (b.y - t.y);
        const s64 shortSlope = ((m.x - t.x) << 12) / (m.y - t.y);
        middleLeft = longSlope >= shortSlope;
    }

    Edge longEdge = MakeEdge(t, b, middleLeft ? 0 : 1);
    Edge shortEdge = MakeEdge(t, m, middleLeft ? 1 : 0);
    const u16* grey = kGrey ? GreyTable() : nullptr;
    const u8(*shade)[32] = Shades().shade;
    const int rowShift = 6 + texture.sizeCode;

    auto drawRow = [&](s64 y, const Edge& left, const Edge& right) {
        if (y < clip.top || y >= clip.bottom) return;
        const s64 first = left.x >> 12;
        const s64 last = (right.x >> 12) - 1;
        const s64 width = (right.x >> 12) - first + 1;
        if (width <= 0) return;
        const s64 step = 4096 / width;
        const s64 dLight = ((right.light - left.light) * step) >> 12;
        const s64 du = ((right.u - left.u) * step) >> 12;
        const s64 dv = ((right.v - left.v) * step) >> 12;
        s64 light = left.light, u = left.u, v = left.v;
        u16* row = target.pixels + y * target.rowWidth;
        for (s64 x = first; x <= last; ++x, light += dLight, u += du, v += dv) {
            if (x < clip.left || x >= clip.right) continue;
            const s64 tu = std::clamp<s64>(u >> 12, 0, side - 1);
            const s64 tv = std::clamp<s64>(v >> 12, 0, side - 1);
            u16 texel = texture.texels[(tv << rowShift) + tu];
            if (kGrey) texel = grey[texel & 0x7FFF];
            const u8* level = shade[std::clamp<s64>(light >> 12, 0, 31)];
            row[x] = static_cast<u16>(level[texel & 31] | level[(texel >> 5) & 31] << 5 |
                                      level[(texel >> 10) & 31] << 10);
        }
    };

    s64 y = t.y;
    for (; y <= m.y; ++y) {
        drawRow(y, middleLeft ? shortEdge : longEdge, middleLeft ? longEdge : shortEdge);
        longEdge.Step();
        shortEdge.Step();
    }
    shortEdge = MakeEdge(m, b, middleLeft ? 1 : 0);
    shortEdge.Step();
    for (; y <= b.y; ++y) {
        drawRow(y, middleLeft ? shortEdge : longEdge, middleLeft ? longEdge : shortEdge);
        longEdge.Step();
        shortEdge.Step();
    }
}

}  // namespace

bool DrawLandPixels(const BlitTarget& target, const u16* tile, size_t tilePixels, int x, int y,
                    const ClipRect& clip) {
    return DrawLand<false>(target, tile, tilePixels, x, y, clip);
}

bool DrawLandPixelsGrey(const BlitTarget& target, const u16* tile, size_t tilePixels, int x, int y,
                        const ClipRect& clip) {
    return DrawLand<true>(target, tile, tilePixels, x, y, clip);
}

bool DrawLandTile(const BlitTarget& target, int graphic, int x, int y, const ClipRect& clip) {
    return DrawLandArt<false>(target, graphic, x, y, clip);
}

bool DrawLandTileGrey(const BlitTarget& target, int graphic, int x, int y, const ClipRect& clip) {
    return DrawLandArt<true>(target, graphic, x, y, clip);
}

void FillTexturedTriangle(const BlitTarget& target, const LandTexture& texture, TriVertex a,
                          TriVertex b, TriVertex c, int lightA, int lightB, int lightC,
                          const ClipRect& clip) {
    FillTriangle<false>(target, texture, a, b, c, lightA, lightB, lightC, clip);
}

void FillTexturedTriangleGrey(const BlitTarget& target, const LandTexture& texture, TriVertex a,
                              TriVertex b, TriVertex c, int lightA, int lightB, int lightC,
                              const ClipRect& clip) {
    FillTriangle<true>(target, texture, a, b, c, lightA, lightB, lightC, clip);
}
