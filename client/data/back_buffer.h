#pragma once
// The client's 640 x 480 16-bit back buffer (row pitch 640) that windows and the world view
// compose their picture in, and the tables computed once at start-up for the 44 x 44 land
// diamond and the 32 shade levels.
#include <functional>

#include "platform/types.h"

constexpr int kBackBufferWidth = 640;
constexpr int kBackBufferHeight = 480;

// Creates the buffer (cleared) and paints the start-up background over it (gump art 1415,
// through the painter the gump art code installs). Nothing when it exists already.
void CreateBackBuffer();
void DeleteBackBuffer();
// The pixels; null before CreateBackBuffer.
u16* BackBufferPixels();
// Paints gump art `id` at (0, 0) of a 640 x 480 buffer, clipped, keyed; false when missing.
using BackgroundPainter = std::function<bool(int id, u16* pixels, int width, int height)>;
void SetBackgroundPainter(BackgroundPainter painter);

// Land diamond rows (44): drawn width, first drawn column, column after the last, and the
// offset of the row's first drawn pixel inside a stored land tile.
struct LandDiamondTables {
    int rowWidth[44];
    int rowStart[44];
    int rowEnd[44];
    int rowData[44];
};
const LandDiamondTables& LandDiamond();

// Shaded channel value v (0-31) at level j (0-31): v x (32 - j) / 32.
struct ShadeTables {
    u8 shade[32][32];  // [level][value]
    u32 blue[32][32];  // [value][level], shifted into place
    u32 green[32][32];
    u32 red[32][32];
};
const ShadeTables& Shades();
