#pragma once
// Span routines and the static-art blitters. A blitter walks an image's runs, clips each run
// once, and hands the visible part to a span routine that decides what happens to its pixels
// (copy, recolour by a hue, blend with the background, darken). One clipping walk serves
// every effect.
#include <cstddef>

#include "platform/types.h"

// (destination, source, pixel count).
using SpanFn = void (*)(u16* dst, const u16* src, int count);

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
// The hue index (hue number - 1) of the recolouring spans, set by the caller before a blit.
// An index outside the installed table leaves the pixels as they are.
extern int BlitHue;
// The 32 colours of a hue index, or null outside the table.
const u16* BlitHueColours(int hueIndex);

// A pixel is grey when its three channels are equal.
inline bool IsGreyPixel(u16 pixel) {
    return (pixel >> 5) == (pixel & 0x3FF);
}

// --- Span routines (s = source, d = destination) ---------------------------------------------
void SpanCopy(u16* dst, const u16* src, int count);              // d = s
void SpanHue(u16* dst, const u16* src, int count);               // d = hue colour [red of s]
void SpanHueGrey(u16* dst, const u16* src, int count);           // greys hued, others copied
void SpanBlendOver(u16* dst, const u16* src, int count);         // ~3/4 s, 1/4 d
void SpanBlendUnder(u16* dst, const u16* src, int count);        // ~1/4 s, 3/4 d
void SpanHueBlendOver(u16* dst, const u16* src, int count);      // hued, then blended over
void SpanHueGreyBlendOver(u16* dst, const u16* src, int count);  // greys hued and blended
void SpanCopyKeyed(u16* dst, const u16* src, int count);         // s != 0: d = s
void SpanBlendOverKeyed(u16* dst, const u16* src, int count);
void SpanHalfBlendKeyed(u16* dst, const u16* src, int count);  // half and half
void SpanHueKeyed(u16* dst, const u16* src, int count);
void SpanHueGreyKeyed(u16* dst, const u16* src, int count);
void SpanHueBlendOverKeyed(u16* dst, const u16* src, int count);
void SpanHueGreyBlendOverKeyed(u16* dst, const u16* src, int count);
void SpanShadeKeyed(u16* dst, const u16* src, int count);  // halves the background
// s != 0: grey s recoloured by the given hue index, others copied.
void SpanHueGreyKeyedWith(u16* dst, const u16* src, int count, int hueIndex);
// The mirrored blits' routines: as their twins, reading the source backwards from `src`
// (pixel i is src[-i]).
void SpanCopyReversed(u16* dst, const u16* src, int count);
void SpanHueReversed(u16* dst, const u16* src, int count);
void SpanHueGreyReversed(u16* dst, const u16* src, int count);
void SpanShadeKeyedReversed(u16* dst, const u16* src, int count);

// --- Static art -------------------------------------------------------------------------------
// A static-art record as 16-bit words: word 2 the width, word 3 the height h, words 4 ..
// 4 + h - 1 the row offsets; row r's runs start at word 4 + h + offset[r]: skip, count, count
// pixels, ended by a run of count 0. Nothing outside `wordCount` is read, and runs are cut at
// the image's width.
struct ArtRecord {
    const u16* words = nullptr;
    size_t wordCount = 0;
};
// Width and height of a record, false (and 0 x 0) when it is too short for its row table.
bool ArtRecordSize(ArtRecord art, int& width, int& height);

// The target of the art blitters: pixels, row width and height in pixels. Nothing outside
// the target is written, whatever clip rectangle a blit is given.
void SetBlitTarget(u16* pixels, int rowWidth, int height);
struct BlitTarget {
    u16* pixels = nullptr;
    int rowWidth = 0;
    int height = 0;
};
// The target SetBlitTarget installed, for the other drawing routines that write it.
BlitTarget CurrentBlitTarget();
// Every row and run of the image at (x, y).
void DrawArt(SpanFn span, ArtRecord art, int x, int y);
// The image at (x, y) clipped to the rectangle.
void DrawArtClipped(SpanFn span, ArtRecord art, const ClipRect& clip, int x, int y);
// The image turned left to right (its last column at x), through a reversed span routine.
void DrawArtMirrored(SpanFn span, ArtRecord art, int x, int y);
void DrawArtClippedMirrored(SpanFn span, ArtRecord art, const ClipRect& clip, int x, int y);
// The image's shadow on the ground: squashed to half height (rows 0, 2, 4, ... of a w x h
// image give h / 2 rows from y + h - h / 2 down) and sheared (row i shifted right by
// h / 2 - i), so w + h / 2 wide; the background under its painted pixels is halved.
void DrawArtShadowClipped(ArtRecord art, const ClipRect& clip, int x, int y);
void DrawArtShadowClippedMirrored(ArtRecord art, const ClipRect& clip, int x, int y);
