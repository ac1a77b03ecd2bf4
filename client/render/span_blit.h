#pragma once
// The static-art blitters. A blitter walks an image's runs into a target, clips each run once,
// and hands the visible part to a span routine (client/data/pixel_spans.h) that decides what
// happens to its pixels, with the hue the caller gives.
#include <cstddef>

#include "client/data/pixel_spans.h"
#include "platform/types.h"

// The pixels a drawing routine writes: row width and height in pixels. Nothing outside the
// target is written, whatever clip rectangle a blit is given; a null target draws nothing.
struct BlitTarget {
    u16* pixels = nullptr;
    int rowWidth = 0;
    int height = 0;
};

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

// Each blitter draws into `target` through `span`, the span routine with its hue.
// Every row and run of the image at (x, y).
void DrawArt(const BlitTarget& target, BlitSpan span, ArtRecord art, int x, int y);
// The image at (x, y) clipped to the rectangle.
void DrawArtClipped(const BlitTarget& target, BlitSpan span, ArtRecord art, const ClipRect& clip,
                    int x, int y);
// The image turned left to right (its last column at x), through a reversed span routine.
void DrawArtMirrored(const BlitTarget& target, BlitSpan span, ArtRecord art, int x, int y);
void DrawArtClippedMirrored(const BlitTarget& target, BlitSpan span, ArtRecord art,
                            const ClipRect& clip, int x, int y);
// The image's shadow on the ground: squashed to half height (rows 0, 2, 4, ... of a w x h
// image give h / 2 rows from y + h - h / 2 down) and sheared (row i shifted right by
// h / 2 - i), so w + h / 2 wide; the background under its painted pixels is halved.
void DrawArtShadowClipped(const BlitTarget& target, ArtRecord art, const ClipRect& clip, int x,
                          int y);
void DrawArtShadowClippedMirrored(const BlitTarget& target, ArtRecord art, const ClipRect& clip,
                                  int x, int y);
