#pragma once
// Painting one dirty piece of the world view: the cell grid walked back to front, every
// object whose screen box meets the piece drawn clipped to it.
#include "client/world/world_hooks.h"
#include "platform/types.h"

// Paints the piece `r` (view coordinates) into `pixels` (row width 640, 480 rows): black first
// while the level cut is on, then the objects in draw order. A hidden see-through piece
// (tile flag 0x20000 on its graphic) is still drawn, translucent.
void DrawWorldRect(u16* pixels, const ScreenRect& r);
