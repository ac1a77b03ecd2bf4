#pragma once
// Long strips built from short gump-art pieces inside a window's own frame bitmap.
#include "client/render/bitmap16.h"
#include "client/render/span_blit.h"

// Stretches a background vertically: the top piece (base) at row `top`, a cycle of `middleCount`
// middle pieces (base + 1 ..), the bottom piece (base + middleCount + 1) `bottomMargin` rows
// above the bitmap's bottom. Only the top piece when there is no middle piece.
void DrawGumpArtColumn(int base, int middleCount, Bitmap16& bitmap, int top, int bottomMargin);
// Tiles one piece from (x, y) to the clip's right edge; the last copy is always clipped.
void DrawGumpArtRow(int x, int y, int artId, Bitmap16& bitmap, const ClipRect& clip);
