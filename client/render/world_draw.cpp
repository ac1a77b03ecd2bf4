#include "client/render/world_draw.h"

#include <algorithm>

#include "client/data/back_buffer.h"
#include "client/data/tile_data.h"
#include "client/render/span_blit.h"
#include "client/world/cell_grid.h"
#include "client/world/client_object.h"
#include "client/world/land_objects.h"

void DrawWorldRect(u16* pixels, const ScreenRect& r) {
    SetBlitTarget(pixels, kBackBufferWidth, kBackBufferHeight);
    if (pixels == nullptr) return;
    if (TheLevels().cutOn) {
        const int left = std::max(r.left, 0), right = std::min(r.right, kBackBufferWidth);
        const int top = std::max(r.top, 0), bottom = std::min(r.bottom, kBackBufferHeight);
        for (int y = top; y < bottom && left < right; ++y)
            std::fill(pixels + y * kBackBufferWidth + left, pixels + y * kBackBufferWidth + right,
                      u16{0});
    }
    WalkCellsInDrawOrder([&r](CDisplayObject& o) {
        const ScreenRect& b = o.box;
        // A box that only touches the piece is drawn (and clipped away pixel by pixel).
        if (r.bottom + ViewScrollY < b.top || b.bottom < r.top + ViewScrollY ||
            r.right + ViewScrollX < b.left || b.right < r.left + ViewScrollX)
            return;
        if (!o.IsHidden()) {
            o.Draw(r);
            return;
        }
        if (!o.IsWorldObject()) return;
        auto& object = static_cast<CClientObject&>(o);
        if (!(StaticTileOf(object.graphic).flags & 0x20000)) return;
        DrawingSeeThrough = true;
        o.Draw(r);
        DrawingSeeThrough = false;
    });
}
