#pragma once
// Span routines: what happens to the pixels of one visible run of a picture (copy, recolour by
// a hue, blend with the background, darken). The data layer's copies (gump art, glyphs) and the
// renderer's blitters walk their pictures, clip each run once and hand the visible part to a
// span routine, so one clipping walk serves every effect.
#include <cstddef>

#include "platform/types.h"

// (destination, source, pixel count, hue index). The hue index (hue number - 1) is read by
// the recolouring routines only; one outside the installed table leaves the pixels as they
// are.
using SpanFn = void (*)(u16* dst, const u16* src, int count, int hueIndex);

// A span routine with the hue its recolouring reads: what a copy or a blit is given.
struct BlitSpan {
    // NOLINTNEXTLINE(google-explicit-constructor): a routine alone paints without a hue.
    BlitSpan(SpanFn routine, int hueIndex = -1) : fn(routine), hue(hueIndex) {}
    void operator()(u16* dst, const u16* src, int count) const { fn(dst, src, count, hue); }
    SpanFn fn;
    int hue;
};

// Rectangle with left and top inside, right and bottom outside.
struct ClipRect {
    s32 left = 0;
    s32 top = 0;
    s32 right = 0;
    s32 bottom = 0;
};

// The clip cut to a width x height target whose corner is at 0, 0.
inline ClipRect ClipToSize(const ClipRect& clip, s32 width, s32 height) {
    return ClipRect{clip.left < 0 ? 0 : clip.left, clip.top < 0 ? 0 : clip.top,
                    clip.right > width ? width : clip.right,
                    clip.bottom > height ? height : clip.bottom};
}

// --- Hues --------------------------------------------------------------------------------------
// The hue table the recolouring spans read: `hueCount` records of 32 colours each, record i's
// colours at colours + i * strideWords. The table's owner installs it (null: no hues).
void SetBlitHueTable(const u16* colours, int hueCount, int strideWords);
// The 32 colours of a hue index, or null outside the table.
const u16* BlitHueColours(int hueIndex);

// A pixel is grey when its three channels are equal.
inline bool IsGreyPixel(u16 pixel) {
    return (pixel >> 5) == (pixel & 0x3FF);
}

// --- Span routines (s = source, d = destination, h = the hue index) ---------------------------
void SpanCopy(u16* dst, const u16* src, int count, int h);              // d = s
void SpanHue(u16* dst, const u16* src, int count, int h);               // d = hue colour [red of s]
void SpanHueGrey(u16* dst, const u16* src, int count, int h);           // greys hued, others copied
void SpanBlendOver(u16* dst, const u16* src, int count, int h);         // ~3/4 s, 1/4 d
void SpanBlendUnder(u16* dst, const u16* src, int count, int h);        // ~1/4 s, 3/4 d
void SpanHueBlendOver(u16* dst, const u16* src, int count, int h);      // hued, then blended over
void SpanHueGreyBlendOver(u16* dst, const u16* src, int count, int h);  // greys hued and blended
void SpanCopyKeyed(u16* dst, const u16* src, int count, int h);         // s != 0: d = s
void SpanBlendOverKeyed(u16* dst, const u16* src, int count, int h);
void SpanHalfBlendKeyed(u16* dst, const u16* src, int count, int h);  // half and half
void SpanHueKeyed(u16* dst, const u16* src, int count, int h);
// s != 0: grey s recoloured by the hue, others copied.
void SpanHueGreyKeyed(u16* dst, const u16* src, int count, int h);
void SpanHueBlendOverKeyed(u16* dst, const u16* src, int count, int h);
void SpanHueGreyBlendOverKeyed(u16* dst, const u16* src, int count, int h);
void SpanShadeKeyed(u16* dst, const u16* src, int count, int h);  // halves the background
// The mirrored blits' routines: as their twins, reading the source backwards from `src`
// (pixel i is src[-i]).
void SpanCopyReversed(u16* dst, const u16* src, int count, int h);
void SpanHueReversed(u16* dst, const u16* src, int count, int h);
void SpanHueGreyReversed(u16* dst, const u16* src, int count, int h);
void SpanShadeKeyedReversed(u16* dst, const u16* src, int count, int h);
