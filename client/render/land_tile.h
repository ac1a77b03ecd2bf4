#pragma once
// Land tile pictures: 44 x 44 diamonds stored row by row without a header, 1012 pixels. Row r
// (0..21) has 2r + 2 pixels from column 21 - r; row r (22..43) has 88 - 2r pixels from column
// r - 22.
#include <cstddef>

#include "platform/types.h"

constexpr int kLandTileSize = 44;
constexpr size_t kLandTilePixels = 1012;
constexpr size_t kLandSquarePixels = kLandTileSize * kLandTileSize;

// Writes the stored tile into a 44 x 44 picture, 0 outside the diamond. A tile shorter than
// 1012 pixels leaves the picture all 0 and answers false.
bool LandTileToSquare(const u16* tile, size_t tilePixels, u16* square);
