#include "client/render/span_blit.h"

#include <algorithm>

int BlitHue = 0;

namespace {

constexpr u16 kMask1 = 0x7BDE;
constexpr u16 kMask2 = 0x739C;

const u16* g_hueColours = nullptr;
int g_hueCount = 0;
int g_hueStride = 32;

u16* g_target = nullptr;
int g_targetWidth = 0;
int g_targetHeight = 0;

inline u16 BlendOver(u16 s, u16 d) {
    return static_cast<u16>((((s & kMask1) + (((s & kMask2) + (d & kMask2)) >> 1)) >> 1) | 1);
}

inline u16 BlendUnder(u16 s, u16 d) {
    return static_cast<u16>((((d & kMask1) + (((d & kMask2) + (s & kMask2)) >> 1)) >> 1) | 1);
}

inline u16 HueOf(const u16* hue, u16 s) {
    return hue[(s >> 10) & 31];
}

// The span shapes: every pixel, or only non-zero source pixels; `op` makes the new pixel.
template <bool kKeyed, class Op>
inline void Span(u16* dst, const u16* src, int count, Op op) {
    for (int i = 0; i < count; ++i) {
        u16 s = src[i];
        if (kKeyed && s == 0) continue;
        dst[i] = op(s, dst[i]);
    }
}

// The hued spans fall back to a plain copy (keyed or not) when the hue index is outside the
// table, instead of reading past it.
template <bool kKeyed, class Op>
inline void HuedSpan(u16* dst, const u16* src, int count, int hueIndex, Op op) {
    const u16* hue = BlitHueColours(hueIndex);
    if (hue == nullptr) {
        Span<kKeyed>(dst, src, count, [](u16 s, u16) { return s; });
        return;
    }
    Span<kKeyed>(dst, src, count, [&](u16 s, u16 d) { return op(hue, s, d); });
}

}  // namespace

void SetBlitHueTable(const u16* colours, int hueCount, int strideWords) {
    g_hueColours = colours;
    g_hueCount = colours != nullptr ? std::max(hueCount, 0) : 0;
    g_hueStride = strideWords;
}

const u16* BlitHueColours(int hueIndex) {
    if (hueIndex < 0 || hueIndex >= g_hueCount) return nullptr;
    return g_hueColours + static_cast<size_t>(hueIndex) * g_hueStride;
}

void SpanCopy(u16* dst, const u16* src, int count) {
    if (count > 0) std::copy(src, src + count, dst);
}

void SpanHue(u16* dst, const u16* src, int count) {
    HuedSpan<false>(dst, src, count, BlitHue, [](const u16* h, u16 s, u16) { return HueOf(h, s); });
}

void SpanHueGrey(u16* dst, const u16* src, int count) {
    HuedSpan<false>(dst, src, count, BlitHue,
                    [](const u16* h, u16 s, u16) { return IsGreyPixel(s) ? HueOf(h, s) : s; });
}

void SpanBlendOver(u16* dst, const u16* src, int count) {
    Span<false>(dst, src, count, BlendOver);
}

void SpanBlendUnder(u16* dst, const u16* src, int count) {
    Span<false>(dst, src, count, BlendUnder);
}

void SpanHueBlendOver(u16* dst, const u16* src, int count) {
    HuedSpan<false>(dst, src, count, BlitHue,
                    [](const u16* h, u16 s, u16 d) { return BlendOver(HueOf(h, s), d); });
}

void SpanHueGreyBlendOver(u16* dst, const u16* src, int count) {
    HuedSpan<false>(dst, src, count, BlitHue, [](const u16* h, u16 s, u16 d) {
        return IsGreyPixel(s) ? BlendOver(HueOf(h, s), d) : s;
    });
}

void SpanCopyKeyed(u16* dst, const u16* src, int count) {
    // Written as a select so that the loop vectorises.
    for (int i = 0; i < count; ++i)
        dst[i] = src[i] != 0 ? src[i] : dst[i];
}

void SpanBlendOverKeyed(u16* dst, const u16* src, int count) {
    Span<true>(dst, src, count, BlendOver);
}

void SpanHalfBlendKeyed(u16* dst, const u16* src, int count) {
    Span<true>(dst, src, count, [](u16 s, u16 d) {
        return static_cast<u16>((((s & kMask1) + (d & kMask1)) >> 1) | 1);
    });
}

void SpanHueKeyed(u16* dst, const u16* src, int count) {
    HuedSpan<true>(dst, src, count, BlitHue, [](const u16* h, u16 s, u16) { return HueOf(h, s); });
}

void SpanHueGreyKeyed(u16* dst, const u16* src, int count) {
    SpanHueGreyKeyedWith(dst, src, count, BlitHue);
}

void SpanHueBlendOverKeyed(u16* dst, const u16* src, int count) {
    HuedSpan<true>(dst, src, count, BlitHue,
                   [](const u16* h, u16 s, u16 d) { return BlendOver(HueOf(h, s), d); });
}

void SpanHueGreyBlendOverKeyed(u16* dst, const u16* src, int count) {
    HuedSpan<true>(dst, src, count, BlitHue, [](const u16* h, u16 s, u16 d) {
        return IsGreyPixel(s) ? BlendOver(HueOf(h, s), d) : s;
    });
}

void SpanShadeKeyed(u16* dst, const u16* src, int count) {
    Span<true>(dst, src, count,
               [](u16, u16 d) { return static_cast<u16>(((d & kMask1) >> 1) | 1); });
}

void SpanHueGreyKeyedWith(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<true>(dst, src, count, hueIndex,
                   [](const u16* h, u16 s, u16) { return IsGreyPixel(s) ? HueOf(h, s) : s; });
}

// The reversed twins read their source backwards from the pointer they are given.
void SpanCopyReversed(u16* dst, const u16* src, int count) {
    for (int i = 0; i < count; ++i)
        dst[i] = src[-i];
}

void SpanHueReversed(u16* dst, const u16* src, int count) {
    const u16* hue = BlitHueColours(BlitHue);
    for (int i = 0; i < count; ++i)
        dst[i] = hue != nullptr ? HueOf(hue, src[-i]) : src[-i];
}

void SpanHueGreyReversed(u16* dst, const u16* src, int count) {
    const u16* hue = BlitHueColours(BlitHue);
    for (int i = 0; i < count; ++i) {
        const u16 s = src[-i];
        dst[i] = hue != nullptr && IsGreyPixel(s) ? HueOf(hue, s) : s;
    }
}

void SpanShadeKeyedReversed(u16* dst, const u16* src, int count) {
    for (int i = 0; i < count; ++i)
        if (src[-i] != 0) dst[i] = static_cast<u16>(((dst[i] & kMask1) >> 1) | 1);
}

bool ArtRecordSize(ArtRecord art, int& width, int& height) {
    width = height = 0;
    if (art.words == nullptr || art.wordCount < 4) return false;
    if (4 + static_cast<size_t>(art.words[3]) > art.wordCount) return false;
    width = art.words[2];
    height = art.words[3];
    return true;
}

void SetBlitTarget(u16* pixels, int rowWidth, int height) {
    g_target = pixels;
    g_targetWidth = std::max(rowWidth, 0);
    g_targetHeight = std::max(height, 0);
}

BlitTarget CurrentBlitTarget() {
    return BlitTarget{g_target, g_targetWidth, g_targetHeight};
}

void DrawArt(SpanFn span, ArtRecord art, int x, int y) {
    DrawArtClipped(span, art, ClipRect{0, 0, g_targetWidth, g_targetHeight}, x, y);
}

namespace {

// One image row drawn at target row `destRow` with the image's column 0 at target column
// `left` (mirrored: its last column there), cut to the clip columns. The runs are walked
// once; each visible part goes to the span whole. A mirrored part hands the span its source's
// last pixel, for a reversed routine to read backwards.
void BlitArtRow(SpanFn span, const ArtRecord& art, int width, int row, s64 destRow, s64 left,
                const ClipRect& clip, bool mirrored) {
    s64 c0, c1;
    if (mirrored) {
        c0 = std::max<s64>(left + width - clip.right, 0);
        c1 = std::min<s64>(width, left + width - clip.left);
    } else {
        c0 = std::max<s64>(clip.left - left, 0);
        c1 = std::min<s64>(width, clip.right - left);
    }
    if (c0 >= c1) return;
    const u16* words = art.words;
    const size_t end = art.wordCount;
    const int height = words[3];
    size_t at = 4 + static_cast<size_t>(height) + words[4 + row];
    const s64 line = destRow * g_targetWidth + left;  // the image's column 0 (or its mirror)
    s64 a = 0;                                        // column where the next run's skip starts
    while (at + 2 <= end) {
        const int count = words[at + 1];
        if (count == 0) break;
        a += words[at];
        const size_t pixels = at + 2;
        if (pixels + count > end || a >= c1) break;
        const s64 from = std::max(a, c0);
        const s64 to = std::min<s64>(a + count, c1);
        if (from < to) {
            if (mirrored)
                span(g_target + (line + width - to), words + pixels + (to - 1 - a),
                     static_cast<int>(to - from));
            else
                span(g_target + (line + from), words + pixels + (from - a),
                     static_cast<int>(to - from));
        }
        a += count;
        at = pixels + count;
    }
}

// Image rows [r0, r1) at target rows from y, each inside the clip's rows; x and y may lie
// anywhere, so the arithmetic is 64-bit.
void BlitArt(SpanFn span, ArtRecord art, const ClipRect& clipIn, int x, int y, bool mirrored) {
    int width = 0, height = 0;
    if (g_target == nullptr || !ArtRecordSize(art, width, height)) return;
    const ClipRect clip = ClipToSize(clipIn, g_targetWidth, g_targetHeight);
    const s64 r0 = std::max<s64>(s64{clip.top} - y, 0);
    const s64 r1 = std::min<s64>(height, s64{clip.bottom} - y);
    for (s64 row = r0; row < r1; ++row)
        BlitArtRow(span, art, width, static_cast<int>(row), y + row, x, clip, mirrored);
}

// The shadow: image rows 0, 2, 4, ... make h / 2 rows from y + h - h / 2 down, row i shifted
// right by h / 2 - i; the background under painted pixels is halved.
void BlitArtShadow(ArtRecord art, const ClipRect& clipIn, int x, int y, bool mirrored) {
    int width = 0, height = 0;
    if (g_target == nullptr || !ArtRecordSize(art, width, height)) return;
    const ClipRect clip = ClipToSize(clipIn, g_targetWidth, g_targetHeight);
    const int half = height / 2;
    for (int i = 0; i < half; ++i) {
        const s64 destRow = s64{y} + height - half + i;
        if (destRow < clip.top || destRow >= clip.bottom) continue;
        BlitArtRow(mirrored ? SpanShadeKeyedReversed : SpanShadeKeyed, art, width, 2 * i, destRow,
                   s64{x} + half - i, clip, mirrored);
    }
}

}  // namespace

void DrawArtClipped(SpanFn span, ArtRecord art, const ClipRect& clip, int x, int y) {
    BlitArt(span, art, clip, x, y, false);
}

void DrawArtMirrored(SpanFn span, ArtRecord art, int x, int y) {
    BlitArt(span, art, ClipRect{0, 0, g_targetWidth, g_targetHeight}, x, y, true);
}

void DrawArtClippedMirrored(SpanFn span, ArtRecord art, const ClipRect& clip, int x, int y) {
    BlitArt(span, art, clip, x, y, true);
}

void DrawArtShadowClipped(ArtRecord art, const ClipRect& clip, int x, int y) {
    BlitArtShadow(art, clip, x, y, false);
}

void DrawArtShadowClippedMirrored(ArtRecord art, const ClipRect& clip, int x, int y) {
    BlitArtShadow(art, clip, x, y, true);
}
