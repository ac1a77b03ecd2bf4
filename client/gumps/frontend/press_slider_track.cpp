#include "client/gumps/frontend/press_slider_track.h"

#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/thumb_gump.h"

bool PressSliderTrack(CThumbGump* thumb, int screenX, int screenY) {
    if (thumb == nullptr || thumb->parent == nullptr) return false;
    int px = screenX, py = screenY;
    thumb->parent->ScreenToLocal(px, py);
    if (px < thumb->minX - 1 || px > thumb->maxX + 12) return false;
    if (py < thumb->y - 1 || py > thumb->y + 12) return false;
    TheCursorManager().Capture(thumb);
    thumb->OnLeftDown(6, 6);
    int tx = screenX, ty = screenY;
    thumb->ScreenToLocal(tx, ty);
    thumb->OnDrag(tx, ty);
    return true;
}
