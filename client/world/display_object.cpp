#include "client/world/display_object.h"

#include "client/data/client_log.h"
#include "client/world/cell_grid.h"
#include "client/world/client_object.h"

bool DrawingSlice = false;

CDisplayObject::~CDisplayObject() {
    if (inCell) UnlinkFromCell();
}

void CDisplayObject::Draw(const BlitTarget&, const ScreenRect&) {
    static bool said = false;
    if (said) return;
    said = true;
    LogClientError("world", "world-view drawing: not built yet");
}

bool CDisplayObject::IsBoxOutside(const ScreenRect& rect) const {
    const int left = box.left - ViewScrollX, right = box.right - ViewScrollX;
    const int top = box.top - ViewScrollY, bottom = box.bottom - ViewScrollY;
    return !(rect.left <= left && right <= rect.right && rect.top <= top && bottom <= rect.bottom);
}

void CDisplayObject::PlaceInCell() {
    SetKeys(loc.z);
    InsertIntoCell(loc.x, loc.y);
}

void CDisplayObject::RemoveFromCell() {
    if (!inCell) return;
    if (!IsHidden()) Invalidate();
    UnlinkFromCell();
}

void CDisplayObject::Invalidate() const {
    if (!inCell) return;
    ScreenRect r{box.left - ViewScrollX, box.top - ViewScrollY, box.right - ViewScrollX,
                 box.bottom - ViewScrollY};
    TheWorldHooks().InvalidateRect(r);
}

void CDisplayObject::InsertIntoCell(int column, int row, bool boxFirst) {
    if (inCell) UnlinkFromCell();
    if (UsesCellShift()) {
        const int shift = static_cast<const CClientContainer*>(this)->cellShift;
        column += shift;
        row -= shift;
    }
    column &= 63;
    row &= 63;
    CDisplayObject*& head = CellHead(column, row);
    CDisplayObject* after = nullptr;
    for (CDisplayObject* o = head; o && o->depthKey <= depthKey; o = o->cellNext)
        after = o;
    if (after) {
        cellNext = after->cellNext;
        cellPrev = after;
        if (after->cellNext) after->cellNext->cellPrev = this;
        after->cellNext = this;
    } else {
        cellPrev = nullptr;
        cellNext = head;
        if (head) head->cellPrev = this;
        head = this;
    }
    cellColumn = column;
    cellRow = row;
    inCell = 1;
    if (!boxFirst) UpdateScreenBox();
    if (!IsHidden()) Invalidate();
}

void CDisplayObject::UnlinkFromCell() {
    if (!inCell) return;
    NoteLeavingCell(this);
    if (cellNext) cellNext->cellPrev = cellPrev;
    if (cellPrev) {
        cellPrev->cellNext = cellNext;
    } else {
        CDisplayObject*& head = CellHead(cellColumn, cellRow);
        if (head == this) head = cellNext;
    }
    cellNext = cellPrev = nullptr;
    inCell = 0;
}

CSpriteSlice::CSpriteSlice(int x, int y, int top, int bottom, CClientContainer* o)
    : bandTop(top), bandBottom(bottom), owner(o) {
    loc.Set(x, y, o->loc.z);
    columnKey = o->columnKey;
    rowKey = x + y;
    depthKey = o->depthKey;
    box = {o->box.left, top, o->box.right, bottom};
    nextSlice = o->firstSlice;
    if (nextSlice) nextSlice->prevSlice = this;
    o->firstSlice = this;
}

CSpriteSlice::~CSpriteSlice() {
    if (inCell) RemoveFromCell();
    if (nextSlice) nextSlice->prevSlice = prevSlice;
    if (prevSlice) {
        prevSlice->nextSlice = nextSlice;
    } else if (owner->firstSlice == this) {
        owner->firstSlice = nextSlice;
    }
}

bool CSpriteSlice::IsHidden() const {
    return !inCell || owner->IsHidden();
}

void CSpriteSlice::Draw(const BlitTarget& target, const ScreenRect& clip) {
    ScreenRect r = clip;
    if (r.top < bandTop - ViewScrollY) r.top = bandTop - ViewScrollY;
    if (r.bottom > bandBottom - ViewScrollY) r.bottom = bandBottom - ViewScrollY;
    DrawingSlice = true;
    owner->Draw(target, r);
    DrawingSlice = false;
}

bool RectsOverlapStrictly(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
