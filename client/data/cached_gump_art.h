#pragma once
// Gump art records answered by the data cache (gumpidx.mul / gumpart.mul), and the start-up
// background painted from them into the back buffer.
#include "client/data/gump_art.h"

class CachedGumpArt : public GumpArtServices {
public:
    bool FindGumpArt(u32 id, GumpArtRecord& out) override;
};

// Draws gump art `id` keyed at (0, 0) of the pixels, clipped to width x height; false when the
// art is missing.
bool PaintGumpArtBackground(int id, u16* pixels, int width, int height);
