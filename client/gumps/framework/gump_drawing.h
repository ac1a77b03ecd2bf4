#pragma once
// The helpers with which gumps build their frame bitmaps out of gump art: the nine-piece
// panel, the three-piece bar, the shaded highlight bar, the keyed row copy, the screen
// rectangle fill and outline, and the tables that tie container graphics to their gump art and
// item area.
#include "client/render/bitmap16.h"
#include "client/render/span_blit.h"
#include "platform/types.h"

// The overlap of two rectangles that do overlap: each edge of `out` is a's edge when it lies
// inside b, else b's.
void IntersectRects(const ClipRect& a, const ClipRect& b, ClipRect& out);
// Copies `rows` rows of `length` pixels, colour 0 see-through.
void CopyRowsKeyed(int rows, int length, u16* dst, const u16* src, int dstStep, int srcStep);

// Fills the bitmap with the panel of art ids base .. base + 18: corners, repeated edges and
// centre, and (unless `noDecorations`) the four decoration pairs at random places.
void DrawGumpArtPanel(int base, Bitmap16& bitmap, bool noDecorations);
// The bar of art, art + 1 (repeated) and art + 2 across the top of the bitmap; nothing when a
// piece is missing.
void DrawGumpArtBar(int art, Bitmap16& bitmap);
// A highlight bar from (x, y), `width` wide: the left piece (art), the darkened middle and the
// right piece (art + 1).
void DrawShadedBar(int x, int y, int width, int art, Bitmap16& bitmap);

// The gump art of a container graphic (9 for any graphic not listed).
int ContainerGumpArt(int graphic);
// Where a container art shows its contents ({0, 0, 200, 200} for any art not listed).
void ContainerItemArea(int artId, ClipRect& out);

// The screen rectangle, clamped to the screen, filled or outlined in the desktop's screen
// buffer (ring-addressed); with `marks` also the two diagonals and the middle column.
void FillScreenRect(const ClipRect& rect, u16 colour);
void DrawScreenRectFrame(const ClipRect& rect, u16 colour, bool marks);
