#include "client/gumps/framework/list_box_control_gump.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_art_strips.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"

CListBoxControlGump::CListBoxControlGump(int lx, int ly, int art, int textFont, int textHue,
                                         int rows)
    : scrolling(rows > 0),
      visibleRows(rows),
      font(static_cast<u16>(textFont)),
      hue(static_cast<u16>(textHue)) {
    kindLabel = "ListBoxControl gump";
    PlaceAt(lx, ly);
    artId = art;
    visible = false;
    GetGumpArtSize(static_cast<u32>(art), width, height);
    pitch = width;
    frames.resize(1);
    Redraw(-1);
}

int CListBoxControlGump::TopOfRows() const {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(artId), w, h);
    return h;
}

void CListBoxControlGump::AddItem(int id, const std::string& name) {
    // The list holds 100 entries; further entries are not stored.
    if (Count() >= kMaxItems) return;
    const bool rowsFull = scrolling && Count() >= visibleRows;
    items_.push_back({id, name.substr(0, kMaxName)});
    if (!rowsFull) height += kRowHeight;
    const int limit = scrolling ? 460 : kScreenHeight;
    if (y + height > limit) y = limit - height;
    y = std::max(y, 0);
    int tw = 0, th = 0, b = 0;
    GetFontTable().MeasureText(font, items_.back().name, tw, th, b);
    if (tw > width - 12) {
        const int wider = tw + 12;
        x -= (wider - width) / 2;
        width = pitch = wider;
    }
}

void CListBoxControlGump::Redraw(int) {
    Bitmap16& frame = MakeFrame(0);
    DrawGumpArtColumn(artId, 3, frame, 0, 0);
    int artW = 0, artH = 0;
    GetGumpArtSize(static_cast<u32>(artId), artW, artH);
    const int left = 6 + (artW < width ? (width - artW) / 2 : 0);
    const int top = TopOfRows();
    CFontTable& fonts = GetFontTable();
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(font, "Aq", w, h, baseline);
    const int shown = scrolling ? std::min(visibleRows, Count() - first) : Count() - first;
    for (int r = 0; r < shown; ++r) {
        const int i = first + r;
        const int rowY = top + r * kRowHeight;
        if (i == highlighted) DrawShadedBar(left, rowY, width - 2 * left, 5109, frame);
        fonts.DrawTextEllipsis(
            left, rowY + baseline, font, hue, items_[static_cast<size_t>(i)].name.c_str(),
            {frame.Pixels(), width, height}, ClipRect{left, rowY, width - left, rowY + kRowHeight});
    }
    if (scrolling && first > 0)
        CopyGumpToBuf(SpanCopyKeyed, 2435, left, 0, frame.Pixels(), width, height);
    if (scrolling && first + visibleRows < Count()) {
        int aw = 0, ah = 0;
        GetGumpArtSize(2437, aw, ah);
        CopyGumpToBuf(SpanCopyKeyed, 2437, width - aw - left, height - ah, frame.Pixels(), width,
                      height);
    }
}

bool CListBoxControlGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CListBoxControlGump::OnDrag(int, int py) {
    pointerY_ = py;
    const int top = TopOfRows();
    const int shown = scrolling ? std::min(visibleRows, Count() - first) : Count() - first;
    int now = -1;
    if (py >= top && py < top + shown * kRowHeight) now = (py - top) / kRowHeight + first;
    if (now != highlighted) {
        highlighted = now;
        Redraw(-1);
    }
}

void CListBoxControlGump::OnHover() {
    if (!scrolling) return;
    const int top = TopOfRows();
    if (pointerY_ < top && first > 0) {
        --first;
    } else if (pointerY_ >= top + visibleRows * kRowHeight && first + visibleRows < Count()) {
        ++first;
    } else {
        return;
    }
    Redraw(-1);
}

void CListBoxControlGump::OnLeftUp(int, int) {
    ReleaseCapture();
    if (highlighted >= 0 && highlighted < Count() && targetField != nullptr) {
        const Item& item = items_[static_cast<size_t>(highlighted)];
        if (targetField->number != item.id) {
            targetField->number = item.id;
            targetField->SetText(item.name);
            if (targetField->parent != nullptr) targetField->parent->OnControlChanged(targetField);
        }
    }
    TheGumpDesktop().Close(this);
}

void CListBoxControlGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
