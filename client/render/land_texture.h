#pragma once
// Land textures (texmaps) decoded once: a sloped cell is drawn from its texture every time a
// dirty piece meets it, so the 64 x 64 or 128 x 128 texels are read out of the data file only
// when the record changes.
#include "client/render/land_draw.h"

// Texture `number` (1 .. 4095) from the data cache; texels null when it is missing, shorter
// than its size code says, or of a size code other than 0 and 1. Valid until the next call.
LandTexture GetLandTexture(int number);
// Forgets every decoded texture (the data cache was closed or reopened).
void ClearLandTextures();
