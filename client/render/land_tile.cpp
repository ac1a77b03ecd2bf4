#include "client/render/land_tile.h"

#include <algorithm>

bool LandTileToSquare(const u16* tile, size_t tilePixels, u16* square) {
    std::fill(square, square + kLandSquarePixels, u16{0});
    if (tile == nullptr || tilePixels < kLandTilePixels) return false;
    const u16* from = tile;
    for (int r = 0; r < kLandTileSize; ++r) {
        const int width = r < 22 ? 2 * r + 2 : 88 - 2 * r;
        const int column = r < 22 ? 21 - r : r - 22;
        std::copy(from, from + width, square + r * kLandTileSize + column);
        from += width;
    }
    return true;
}
