#include "client/gumps/framework/movable_gump.h"

void CMovableGump::OnLeftDown(int px, int py) {
    BringToFront(false);
    dragging = true;
    grabX = px;
    grabY = py;
}

void CMovableGump::OnDrag(int px, int py) {
    if (dragging) MoveBy(px - grabX, py - grabY, true);
}

void CMovableGump::OnLeftUp(int, int) {
    dragging = false;
    ReleaseCapture();
}
