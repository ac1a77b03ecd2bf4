#include "client/world/world_draw.h"

#include <algorithm>

#include "client/data/back_buffer.h"
#include "client/data/tile_data.h"
#include "client/render/span_blit.h"
#include "client/world/cell_grid.h"
#include "client/world/client_object.h"
#include "client/world/land_objects.h"

namespace {

bool BoxMeets(const CDisplayObject& o, const ScreenRect& r) {
    const ScreenRect& b = o.box;
    // A box that only touches the piece is drawn (and clipped away pixel by pixel).
    return !(r.bottom + ViewScrollY < b.top || b.bottom < r.top + ViewScrollY ||
             r.right + ViewScrollX < b.left || b.right < r.left + ViewScrollX);
}

void DrawInto(CDisplayObject& o, const WorldPiece& piece) {
    const BlitTarget target{piece.pixels, kBackBufferWidth, kBackBufferHeight};
    if (!o.IsHidden()) {
        o.Draw(target, piece.r);
        return;
    }
    if (!o.IsWorldObject()) return;
    auto& object = static_cast<CClientObject&>(o);
    if (!(StaticTileOf(object.graphic).flags & 0x20000)) return;
    DrawingSeeThrough = true;
    o.Draw(target, piece.r);
    DrawingSeeThrough = false;
}

}  // namespace

void DrawWorldPieces(const WorldPiece* pieces, int count) {
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        const WorldPiece& p = pieces[i];
        if (p.pixels == nullptr) continue;
        ++drawn;
        if (!TheLevels().cutOn) continue;
        const ScreenRect& r = p.r;
        const int left = std::max(r.left, 0), right = std::min(r.right, kBackBufferWidth);
        const int top = std::max(r.top, 0), bottom = std::min(r.bottom, kBackBufferHeight);
        for (int y = top; y < bottom && left < right; ++y)
            std::fill(p.pixels + y * kBackBufferWidth + left,
                      p.pixels + y * kBackBufferWidth + right, u16{0});
    }
    if (drawn == 0) return;
    WalkCellsInDrawOrder([pieces, count](CDisplayObject& o) {
        for (int i = 0; i < count; ++i) {
            if (pieces[i].pixels != nullptr && BoxMeets(o, pieces[i].r)) DrawInto(o, pieces[i]);
        }
    });
}

void DrawWorldRect(u16* pixels, const ScreenRect& r) {
    const WorldPiece piece{pixels, r};
    DrawWorldPieces(&piece, 1);
}
