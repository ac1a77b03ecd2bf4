#pragma once
// Temporary bitmaps of single art pieces, for windows that show an item or a land tile as a
// picture (the 16-bit pixels are owned by the caller's vector).
#include <vector>

#include "platform/types.h"

struct ArtBitmap {
    int width = 0;
    int height = 0;
    std::vector<u16> pixels;  // width x height, 0 see-through
};

// The largest side of a static piece; a record claiming more (its header alone could ask for
// 65535 x 65535 pixels) counts as missing.
constexpr int kMaxArtBitmapSide = 2048;

// Ids with 0x8000 set are land tiles (art record id & 0x7FFF, 44 x 44, the diamond squared);
// other ids are static graphics (art record id + 0x4000). A missing piece is replaced by land
// tile 0; a missing land tile 0 leaves a cleared 44 x 44 bitmap. With `grey` every pixel goes
// through the grey table; in 565 mode the pixels are converted. `dibWidth` rounds a static
// piece's width up to a multiple of 4, as a device bitmap's rows need.
ArtBitmap MakeArtBitmap(u32 id, bool grey, bool dibWidth);
