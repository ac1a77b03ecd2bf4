#include "client/data/pixel_spans.h"

#include <algorithm>

namespace {

constexpr u16 kMask1 = 0x7BDE;
constexpr u16 kMask2 = 0x739C;

const u16* g_hueColours = nullptr;
int g_hueCount = 0;
int g_hueStride = 32;

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

void SpanCopy(u16* dst, const u16* src, int count, int) {
    if (count > 0) std::copy(src, src + count, dst);
}

void SpanHue(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<false>(dst, src, count, hueIndex,
                    [](const u16* h, u16 s, u16) { return HueOf(h, s); });
}

void SpanHueGrey(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<false>(dst, src, count, hueIndex,
                    [](const u16* h, u16 s, u16) { return IsGreyPixel(s) ? HueOf(h, s) : s; });
}

void SpanBlendOver(u16* dst, const u16* src, int count, int) {
    Span<false>(dst, src, count, BlendOver);
}

void SpanBlendUnder(u16* dst, const u16* src, int count, int) {
    Span<false>(dst, src, count, BlendUnder);
}

void SpanHueBlendOver(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<false>(dst, src, count, hueIndex,
                    [](const u16* h, u16 s, u16 d) { return BlendOver(HueOf(h, s), d); });
}

void SpanHueGreyBlendOver(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<false>(dst, src, count, hueIndex, [](const u16* h, u16 s, u16 d) {
        return IsGreyPixel(s) ? BlendOver(HueOf(h, s), d) : s;
    });
}

void SpanCopyKeyed(u16* dst, const u16* src, int count, int) {
    // Written as a select so that the loop vectorises.
    for (int i = 0; i < count; ++i)
        dst[i] = src[i] != 0 ? src[i] : dst[i];
}

void SpanBlendOverKeyed(u16* dst, const u16* src, int count, int) {
    Span<true>(dst, src, count, BlendOver);
}

void SpanHalfBlendKeyed(u16* dst, const u16* src, int count, int) {
    Span<true>(dst, src, count, [](u16 s, u16 d) {
        return static_cast<u16>((((s & kMask1) + (d & kMask1)) >> 1) | 1);
    });
}

void SpanHueKeyed(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<true>(dst, src, count, hueIndex, [](const u16* h, u16 s, u16) { return HueOf(h, s); });
}

void SpanHueBlendOverKeyed(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<true>(dst, src, count, hueIndex,
                   [](const u16* h, u16 s, u16 d) { return BlendOver(HueOf(h, s), d); });
}

void SpanHueGreyBlendOverKeyed(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<true>(dst, src, count, hueIndex, [](const u16* h, u16 s, u16 d) {
        return IsGreyPixel(s) ? BlendOver(HueOf(h, s), d) : s;
    });
}

void SpanShadeKeyed(u16* dst, const u16* src, int count, int) {
    Span<true>(dst, src, count,
               [](u16, u16 d) { return static_cast<u16>(((d & kMask1) >> 1) | 1); });
}

void SpanHueGreyKeyed(u16* dst, const u16* src, int count, int hueIndex) {
    HuedSpan<true>(dst, src, count, hueIndex,
                   [](const u16* h, u16 s, u16) { return IsGreyPixel(s) ? HueOf(h, s) : s; });
}

// The reversed twins read their source backwards from the pointer they are given.
void SpanCopyReversed(u16* dst, const u16* src, int count, int) {
    for (int i = 0; i < count; ++i)
        dst[i] = src[-i];
}

void SpanHueReversed(u16* dst, const u16* src, int count, int hueIndex) {
    const u16* hue = BlitHueColours(hueIndex);
    for (int i = 0; i < count; ++i)
        dst[i] = hue != nullptr ? HueOf(hue, src[-i]) : src[-i];
}

void SpanHueGreyReversed(u16* dst, const u16* src, int count, int hueIndex) {
    const u16* hue = BlitHueColours(hueIndex);
    for (int i = 0; i < count; ++i) {
        const u16 s = src[-i];
        dst[i] = hue != nullptr && IsGreyPixel(s) ? HueOf(hue, s) : s;
    }
}

void SpanShadeKeyedReversed(u16* dst, const u16* src, int count, int) {
    for (int i = 0; i < count; ++i)
        if (src[-i] != 0) dst[i] = static_cast<u16>(((dst[i] & kMask1) >> 1) | 1);
}
