#pragma once
// Painting dirty pieces of the world view: the cell grid walked back to front once, every
// object whose screen box meets a piece drawn clipped to that piece.
#include "client/render/dirty_rects.h"
#include "platform/types.h"

// Paints the pieces, which never overlap: black first while the level cut is on, then the
// objects in draw order, each into every piece its box meets (one walk of the cells for all of
// them). A hidden see-through piece (tile flag 0x20000 on its graphic) is still drawn,
// translucent.
void DrawWorldPieces(const WorldPiece* pieces, int count);
// The same for one piece.
void DrawWorldRect(u16* pixels, const ScreenRect& r);
