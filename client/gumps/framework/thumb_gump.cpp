#include "client/gumps/framework/thumb_gump.h"

#include <algorithm>

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"

CThumbGump::CThumbGump(int tx, int ty, bool isVertical, int trackEnd, CGump*, int art)
    : vertical(isVertical) {
    kindLabel = "Thumb gump";
    PlaceAt(tx, ty);
    artId = art;
    GetGumpArtSize(static_cast<u32>(art), width, height);
    pitch = width;
    frames.resize(1);
    minX = maxX = tx;
    minY = maxY = ty;
    if (vertical)
        maxY = std::max(trackEnd - height, ty);
    else
        maxX = std::max(trackEnd - width, tx);
}

int CThumbGump::SetPosition(int position, int range) {
    const int low = vertical ? minY : minX, high = vertical ? maxY : maxX;
    // A range of 0 would divide by zero: the thumb stays at the track's start.
    int at = low;
    if (range > 0)
        at = std::min(
            low + static_cast<int>(static_cast<long long>(position) * (high - low + 1) / range),
            high);
    at = std::max(at, low);
    (vertical ? y : x) = at;
    return at;
}

void CThumbGump::SyncToTextGump(int above, int total) {
    // Text of no height puts the thumb at the track's start instead of dividing by zero.
    if (total <= 0) {
        y = minY;
        return;
    }
    y = std::clamp(
        minY + static_cast<int>(static_cast<long long>(above) * (maxY - minY + 1) / total), minY,
        maxY);
}

bool CThumbGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CThumbGump::OnLeftDown(int px, int py) {
    dragging = true;
    grabX = px;
    grabY = py;
}

void CThumbGump::OnDrag(int px, int py) {
    if (!dragging) return;
    const int ny = std::clamp(py + y - grabY, minY, maxY);
    const int nx = std::clamp(px + x - grabX, minX, maxX);
    // Thumbs live inside their parent: the track's limits are the only clamp.
    x = nx;
    y = ny;
    if (parent != nullptr) parent->OnSliderMoved(Position(), Range(), this);
}

void CThumbGump::OnLeftUp(int, int) {
    dragging = false;
    ReleaseCapture();
    if (parent != nullptr) parent->OnSliderReleased(Position(), Range(), this);
}

void CThumbGump::OnRightDown(int px, int py) {
    if (parent != nullptr) parent->OnRightDown(px, py);
}

void CThumbGump::OnRightUp(int px, int py) {
    if (parent != nullptr) parent->OnRightUp(px, py);
}

void CThumbGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
    hovered = true;
}

void CThumbGump::OnMouseLeave() {
    hovered = false;
}

void CThumbGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    const int art = hovered && hoverArt != 0 ? hoverArt : artId;
    CopyGumpToBufClipped(SpanCopyKeyed, static_cast<u32>(art), clip, sx, sy,
                         TheGumpDesktop().DrawBase(), kScreenWidth, kScreenHeight);
}
