#pragma once
// Drawing land: the flat 44 x 44 diamond copied from a stored land tile, and the textured
// triangle filler that paints sloped cells from a texture, shaded by a light value carried
// from corner to corner. Both write the target they are given and nothing outside it.
#include <cstddef>

#include "client/render/span_blit.h"
#include "platform/types.h"

// The drawn diamond of a stored land tile (1012 pixels) with its top-left at (x, y), clipped.
// Rows 22..42 leave out their stored first and last pixels and row 43 is not drawn, so the
// diamonds of neighbouring cells meet without overlap. The grey variant writes the grey of
// each pixel. A tile shorter than 1012 pixels draws nothing and answers false.
bool DrawLandPixels(const BlitTarget& target, const u16* tile, size_t tilePixels, int x, int y,
                    const ClipRect& clip);
bool DrawLandPixelsGrey(const BlitTarget& target, const u16* tile, size_t tilePixels, int x, int y,
                        const ClipRect& clip);

// The land art of `graphic` & 0x7FFF from the art file (a missing or short record falls back
// to id 0), drawn as above; false when both are missing. Ids past the land range are missing.
bool DrawLandTile(const BlitTarget& target, int graphic, int x, int y, const ClipRect& clip);
bool DrawLandTileGrey(const BlitTarget& target, int graphic, int x, int y, const ClipRect& clip);

// A triangle corner on screen; tag 1..4 names the texture corner it takes (top, right,
// bottom, left of the texture square).
struct TriVertex {
    int x = 0;
    int y = 0;
    int tag = 1;
};

// A texture: 64 x 64 (size code 0) or 128 x 128 (size code 1) 5-5-5 texels.
struct LandTexture {
    const u16* texels = nullptr;
    size_t texelCount = 0;
    int sizeCode = 0;
};

// Fills the triangle a, b, c from the texture, each corner lit 0..15 (a channel is scaled
// by (32 - light) / 32). Nothing is drawn for a texture shorter than its size code says or
// a size code other than 0 and 1. Edges without height are not stepped and rows without
// width are skipped.
void FillTexturedTriangle(const BlitTarget& target, const LandTexture& texture, TriVertex a,
                          TriVertex b, TriVertex c, int lightA, int lightB, int lightC,
                          const ClipRect& clip);
// The same with each texel turned grey first.
void FillTexturedTriangleGrey(const BlitTarget& target, const LandTexture& texture, TriVertex a,
                              TriVertex b, TriVertex c, int lightA, int lightB, int lightC,
                              const ClipRect& clip);
