#include "client/render/land_draw.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "client/data/back_buffer.h"
#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/render/land_tile.h"
#include "client/render/record_pixels.h"

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
    LoadRecordPixels(tile, record, kLandTilePixels);
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

// (change << 12) / rows, rounded toward zero as integer division does, for rows > 0 and a
// change between two ints (under 2^33 either way). Through doubles, whose division is several
// times quicker than a 64-bit integer one: dividend (under 2^45) and divisor are exact in a
// double, and a true quotient that is not a whole number lies at least 1 / rows from the
// nearest one, farther than rounding can move a quotient of numbers under 2^53, so truncating
// the rounded quotient gives the same whole number.
inline s64 StepPerRow(s64 change, s64 rows) {
    return static_cast<s64>(static_cast<double>(change * 4096) / static_cast<double>(rows));
}

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
        e.dx = StepPerRow(to.x - from.x, dy);
        e.dLight = StepPerRow(to.light - from.light, dy);
        e.du = StepPerRow(to.u - from.u, dy);
        e.dv = StepPerRow(to.v - from.v, dy);
    }
    return e;
}

// 4096 / width for a row `width` pixels wide (positive): a division per row costs as much as
// shading a dozen pixels, and cells' rows are short, so the usual widths come from a table.
s64 StepOfWidth(s64 width) {
    static const auto table = [] {
        std::array<u16, 1024> t{};
        for (size_t w = 1; w < t.size(); ++w)
            t[w] = static_cast<u16>(4096 / w);
        return t;
    }();
    return width < static_cast<s64>(table.size()) ? table[static_cast<size_t>(width)]
                                                  : 4096 / width;
}

// A 555 texel with each channel scaled by (32 - level) / 32, rounded down: red and blue
// scaled in one product (their products cannot meet), green in another.
inline u16 ShadeTexel(u32 texel, s64 level) {
    const u32 keep = static_cast<u32>(32 - level);
    const u32 redBlue = ((texel & 0x7C1F) * keep >> 5) & 0x7C1F;
    const u32 green = ((texel & 0x03E0) * keep >> 5) & 0x03E0;
    return static_cast<u16>(redBlue | green);
}

// Pixels dst[0..steps] of a textured row: texture position (u, v) and light in 20.12 fixed
// point, each moving by its step per pixel. `kClamp` keeps the position inside the texture
// and the light inside the shade range, for the rare row whose ends leave them.
template <bool kGrey, bool kClamp>
void FillSpan(u16* dst, s64 steps, const u16* texels, int rowShift, s64 side, const u16* grey,
              s64 light, s64 u, s64 v, s64 dLight, s64 du, s64 dv) {
    for (s64 i = 0; i <= steps; ++i, light += dLight, u += du, v += dv) {
        s64 tu = u >> 12, tv = v >> 12, level = light >> 12;
        if (kClamp) {
            tu = std::clamp<s64>(tu, 0, side - 1);
            tv = std::clamp<s64>(tv, 0, side - 1);
            level = std::clamp<s64>(level, 0, 31);
        }
        u16 texel = texels[(tv << rowShift) + tu];
        if (kGrey) texel = grey[texel & 0x7FFF];
        dst[i] = ShadeTexel(texel, level);
    }
}

#if defined(__SSE2__)
// A straight run in 32-bit lanes: the step in every lane, then {0, step, 2 step, 3 step}
// made from it without a multiply (wrapping as 32-bit values do; lanes past a row's end are
// never used).
__m128i Splat(s64 value) {
    return _mm_set1_epi32(static_cast<s32>(value));
}
__m128i Ramp(__m128i step) {
    const __m128i odd = _mm_setr_epi32(0, -1, 0, -1), high = _mm_setr_epi32(0, 0, -1, -1);
    return _mm_add_epi32(_mm_and_si128(step, odd), _mm_and_si128(_mm_add_epi32(step, step), high));
}

// The texel at the index in 16-bit lane `k`, turned grey for kGrey.
template <bool kGrey, int k>
[[gnu::always_inline]] inline int FetchTexel(const u16* texels, const u16* grey, __m128i index) {
    const u16 t = texels[_mm_extract_epi16(index, k)];
    return kGrey ? grey[t & 0x7FFF] : t;
}
#endif

// A textured row's `count` pixels, eight at a time where the processor has 128-bit integer
// lanes: the positions and light of eight pixels step together, the texels are fetched one by
// one and all eight are shaded at once, exactly as ShadeTexel does. A row that is not a whole
// number of groups ends with a group that overlaps the one before it: its first pixels are
// written twice with the same values, which costs less than writing a part of a group. Only
// for rows whose positions and light stay inside the texture and the shade range (so every
// value fits 32 bits). A row of four to seven pixels is one group covering it from both ends.
// Answers how many pixels it wrote: all of them, or none for a row of fewer than four
// (cheaper pixel by pixel than the lanes' setup) or where there are no such lanes.
template <bool kGrey>
[[gnu::always_inline]] inline s64 FillSpanByEights(u16* dst, s64 count, const u16* texels,
                                                   int rowShift, const u16* grey, s64 light, s64 u,
                                                   s64 v, s64 dLight, s64 du, s64 dv) {
#if defined(__SSE2__)
    if (count < 4) return 0;
    // The light lanes carry its distance below the top of the shade range, (32 << 12) + 4095
    // - light: shifted right by 12 that is 32 - level, the factor a channel is scaled by.
    const s64 dDark = -dLight;
    const __m128i du1 = Splat(du), dv1 = Splat(dv), dDark1 = Splat(dDark);
    const __m128i du4 = _mm_slli_epi32(du1, 2), dv4 = _mm_slli_epi32(dv1, 2);
    const __m128i dDark4 = _mm_slli_epi32(dDark1, 2);
    // The first four pixels' values are carried from group to group, the next four's made
    // from them: fewer values live across the loop.
    __m128i uLo = _mm_add_epi32(Splat(u), Ramp(du1)), vLo = _mm_add_epi32(Splat(v), Ramp(dv1));
    __m128i lLo = _mm_add_epi32(Splat((s64{32} << 12) + 4095 - light), Ramp(dDark1));
    const __m128i rowBits = _mm_cvtsi32_si128(rowShift);
    const __m128i redBlueBits = _mm_set1_epi16(0x7C1F), greenBits = _mm_set1_epi16(0x03E0);
    // The eight pixels whose positions and light are in the lanes, shaded.
    auto shade = [&](__m128i uLo, __m128i vLo, __m128i lLo, __m128i uHi, __m128i vHi, __m128i lHi) {
        auto texelIndex = [&](__m128i vs, __m128i us) {
            return _mm_add_epi32(_mm_sll_epi32(_mm_srai_epi32(vs, 12), rowBits),
                                 _mm_srai_epi32(us, 12));
        };
        // A texture has at most 128 x 128 texels: the indices fit 16-bit lanes, from which
        // each comes out ready to use.
        const __m128i index = _mm_packs_epi32(texelIndex(vLo, uLo), texelIndex(vHi, uHi));
        // Straight into the lanes: eight small stores read back as one vector would stall.
        __m128i t = _mm_cvtsi32_si128(FetchTexel<kGrey, 0>(texels, grey, index));
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 1>(texels, grey, index)), 1);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 2>(texels, grey, index)), 2);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 3>(texels, grey, index)), 3);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 4>(texels, grey, index)), 4);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 5>(texels, grey, index)), 5);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 6>(texels, grey, index)), 6);
        t = _mm_insert_epi16(t, (FetchTexel<kGrey, 7>(texels, grey, index)), 7);
        // 32 - level in 16-bit lanes (1 to 32), times 1024 (at most 0x8000, still 16 bits):
        // the high half of its product with twice the channel bits is their product over 32,
        // as ShadeTexel takes it, red and blue in one product and green in another.
        const __m128i keep =
            _mm_slli_epi16(_mm_packs_epi32(_mm_srai_epi32(lLo, 12), _mm_srai_epi32(lHi, 12)), 10);
        auto scaled = [&](__m128i bits) {
            return _mm_and_si128(_mm_mulhi_epu16(_mm_slli_epi16(_mm_and_si128(t, bits), 1), keep),
                                 bits);
        };
        return _mm_or_si128(scaled(redBlueBits), scaled(greenBits));
    };
    if (count < 8) {
        // Four to seven pixels: the first four in the low lanes, the last four in the high
        // ones, the two halves written where they belong (overlapping by the same values).
        const s64 last4 = count - 4;
        const __m128i shaded =
            shade(uLo, vLo, lLo, _mm_add_epi32(uLo, Splat(last4 * du)),
                  _mm_add_epi32(vLo, Splat(last4 * dv)), _mm_add_epi32(lLo, Splat(last4 * dDark)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), shaded);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + last4),
                         _mm_unpackhi_epi64(shaded, shaded));
        return count;
    }
    for (s64 at = 0;;) {
        const __m128i uHi = _mm_add_epi32(uLo, du4), vHi = _mm_add_epi32(vLo, dv4);
        const __m128i lHi = _mm_add_epi32(lLo, dDark4);
        const __m128i shaded = shade(uLo, vLo, lLo, uHi, vHi, lHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), shaded);
        at += 8;
        if (at >= count) break;
        if (count - at >= 8) {
            uLo = _mm_add_epi32(uHi, du4), vLo = _mm_add_epi32(vHi, dv4);
            lLo = _mm_add_epi32(lHi, dDark4);
        } else {
            // The last group, ending at the row's end: the next group's lanes taken back by
            // the pixels it would have run past the end (every value fits 32 bits, so the
            // wrapping sums are exact).
            const s64 back = at + 8 - count;
            at = count - 8;
            auto backBy = [&](__m128i lanes, __m128i step4, s64 step) {
                return _mm_sub_epi32(_mm_add_epi32(lanes, step4),
                                     _mm_set1_epi32(static_cast<s32>(back * step)));
            };
            uLo = backBy(uHi, du4, du), vLo = backBy(vHi, dv4, dv);
            lLo = backBy(lHi, dDark4, dDark);
        }
    }
    return count;
#else
    (void)dst, (void)count, (void)texels, (void)rowShift, (void)grey;
    (void)light, (void)u, (void)v, (void)dLight, (void)du, (void)dv;
    return 0;
#endif
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
        const s64 longSlope = StepPerRow(b.x - t.x, b.y - t.y);
        const s64 shortSlope = StepPerRow(m.x - t.x, m.y - t.y);
        middleLeft = longSlope >= shortSlope;
    }

    Edge longEdge = MakeEdge(t, b, middleLeft ? 0 : 1);
    Edge shortEdge = MakeEdge(t, m, middleLeft ? 1 : 0);
    const u16* grey = kGrey ? GreyTable() : nullptr;
    const int rowShift = 6 + texture.sizeCode;

    auto drawRow = [&](s64 y, const Edge& left, const Edge& right) {
        if (y < clip.top || y >= clip.bottom) return;
        const s64 first = left.x >> 12, last = right.x >> 12;
        const s64 width = last - first + 1;
        if (width <= 0) return;
        // The row's columns [first, last - 1] cut to the clip once; the values at the first
        // drawn column are those the walk from `first` would reach there.
        const s64 from = std::max<s64>(first, clip.left);
        const s64 to = std::min<s64>(last - 1, s64{clip.right} - 1);
        if (from > to) return;
        const s64 step = StepOfWidth(width);
        const s64 dLight = ((right.light - left.light) * step) >> 12;
        const s64 du = ((right.u - left.u) * step) >> 12;
        const s64 dv = ((right.v - left.v) * step) >> 12;
        const s64 skipped = from - first, steps = to - from;
        s64 light = left.light, u = left.u, v = left.v;
        if (skipped != 0) {  // only a row cut by the clip's left side
            light += skipped * dLight;
            u += skipped * du;
            v += skipped * dv;
        }
        u16* dst = target.pixels + y * target.rowWidth + from;
        // The values move in straight lines, so when both ends of the row are inside the
        // texture and the shade range every pixel between them is too.
        // A value is inside [0, 2^k) when nothing is left of it shifted right by k (a negative
        // one keeps its sign bits), so the ends are tested together: the texture's side is
        // 2^rowShift, the shade range 2^5.
        const s64 texelEnds =
            (u >> 12) | ((u + steps * du) >> 12) | (v >> 12) | ((v + steps * dv) >> 12);
        const s64 lightEnds = (light >> 12) | ((light + steps * dLight) >> 12);
        const bool inside = (texelEnds >> rowShift) == 0 && (lightEnds >> 5) == 0;
        if (inside) {
            const s64 done = FillSpanByEights<kGrey>(dst, steps + 1, texture.texels, rowShift, grey,
                                                     light, u, v, dLight, du, dv);
            if (done <= steps) {
                FillSpan<kGrey, false>(dst + done, steps - done, texture.texels, rowShift, side,
                                       grey, light + done * dLight, u + done * du, v + done * dv,
                                       dLight, du, dv);
            }
        } else {
            FillSpan<kGrey, true>(dst, steps, texture.texels, rowShift, side, grey, light, u, v,
                                  dLight, du, dv);
        }
    };

    // Down to the middle corner along the long edge and the first short one, then on to the
    // bottom along the second short one: one loop, so that the row is drawn in line.
    const Edge& left = middleLeft ? shortEdge : longEdge;
    const Edge& right = middleLeft ? longEdge : shortEdge;
    for (s64 y = t.y, end = m.y;; ++y) {
        if (y > end) {
            if (end == b.y) break;
            end = b.y;
            shortEdge = MakeEdge(m, b, middleLeft ? 1 : 0);
            shortEdge.Step();
        }
        drawRow(y, left, right);
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
