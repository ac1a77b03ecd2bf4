#include "client/gumps/framework/gump.h"

#include <algorithm>
#include <unordered_set>

#include "client/data/gump_art.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"

namespace {

struct SlotEntry {
    int x;
    int y;
};
std::vector<SlotEntry>& Slots() {
    static std::vector<SlotEntry> slots;
    return slots;
}

}  // namespace

bool AllocateMinimizedSlot(int& slotX, int& slotY) {
    std::vector<SlotEntry>& slots = Slots();
    for (int sx = 16; sx < 528; sx += 96)
        for (int sy = 16; sy < 400; sy += 64) {
            const bool taken = std::any_of(slots.begin(), slots.end(), [&](const SlotEntry& e) {
                return e.x == sx && e.y == sy;
            });
            if (taken) continue;
            if (slots.size() == slots.capacity()) slots.reserve(slots.size() + 8);
            slots.push_back({sx, sy});
            slotX = sx;
            slotY = sy;
            return true;
        }
    slotX = 0;
    slotY = 0;
    return false;
}

void ReleaseMinimizedSlot(int slotX, int slotY) {
    std::vector<SlotEntry>& slots = Slots();
    auto it = std::find_if(slots.begin(), slots.end(),
                           [&](const SlotEntry& e) { return e.x == slotX && e.y == slotY; });
    if (it != slots.end()) slots.erase(it);
}

void ResetMinimizedSlots() {
    Slots().clear();
}

namespace {

// Every gump alive, so that a handler can tell whether a callback it ran deleted the gump it
// stands in (a button whose callback closes its window).
std::unordered_set<const CGump*>& LiveGumps() {
    static std::unordered_set<const CGump*> live;
    return live;
}

}  // namespace

bool IsGumpAlive(const CGump* gump) {
    return gump != nullptr && LiveGumps().count(gump) != 0;
}

CGump::CGump() {
    LiveGumps().insert(this);
}

CGump::CGump(int gx, int gy, CGump*, u32 obj, int frameCount, int w, int h)
    : pitch((w + 7) & ~7),
      width(w),
      height(h),
      x(gx),
      y(gy),
      object(obj),
      normalX(gx),
      normalY(gy),
      minimisedX(gx),
      minimisedY(gy) {
    LiveGumps().insert(this);
    frames.resize(static_cast<size_t>(std::max(frameCount, 0)));
    if (obj != 0 && obj == GetGumpHostServices().PlayerSerial()) artId = 0;
}

CGump::~CGump() {
    LiveGumps().erase(this);
    if (slotX != 0 || slotY != 0) ReleaseMinimizedSlot(slotX, slotY);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.ForgetGump(this);
    TheCursorManager().ReleaseGump(this);
    // Children go first to last; the focus is not ended by kind while they go.
    const bool wasDeleting = desktop.deletingGumps;
    CGump* const savedCursor = desktop.deletionCursor;
    desktop.deletingGumps = true;
    while (firstChild != nullptr)
        delete firstChild;
    desktop.deletingGumps = wasDeleting;
    desktop.deletionCursor = savedCursor == this ? nullptr : savedCursor;
    // Unlink.
    if (prevSibling != nullptr) {
        prevSibling->nextSibling = nextSibling;
    } else if (parent != nullptr) {
        parent->firstChild = nextSibling;
    } else if (desktop.head == this) {
        desktop.head = nextSibling;
    }
    if (nextSibling != nullptr) {
        nextSibling->prevSibling = prevSibling;
    } else if (parent != nullptr) {
        parent->lastChild = prevSibling;
    } else if (desktop.tail == this) {
        desktop.tail = prevSibling;
    }
}

void CGump::AttachTo(CGump* newParent, int) {
    CGumpDesktop& desktop = TheGumpDesktop();
    parent = newParent;
    prevSibling = nullptr;
    if (newParent != nullptr) {
        nextSibling = newParent->firstChild;
        if (nextSibling != nullptr) nextSibling->prevSibling = this;
        newParent->firstChild = this;
        if (newParent->lastChild == nullptr) newParent->lastChild = this;
    } else {
        nextSibling = desktop.head;
        if (nextSibling != nullptr) nextSibling->prevSibling = this;
        desktop.head = this;
        if (desktop.tail == nullptr) desktop.tail = this;
    }
}

void CGump::BringToFront(bool keepFocus) {
    if (IsKind(GumpKind::kCharCreation) || IsKind(GumpKind::kCityChoice)) return;
    CGumpDesktop& desktop = TheGumpDesktop();
    if (!keepFocus && desktop.keyboardFocus != nullptr && desktop.keyboardFocus->parent != this)
        desktop.ClearKeyboardFocus();
    if (prevSibling != nullptr) {
        prevSibling->nextSibling = nextSibling;
        if (nextSibling != nullptr) {
            nextSibling->prevSibling = prevSibling;
        } else if (parent != nullptr) {
            parent->lastChild = prevSibling;
        } else {
            desktop.tail = prevSibling;
        }
        AttachTo(parent);
        if (!IsKind(GumpKind::kBark)) {
            for (CGump* g = desktop.tail; g != nullptr && g != this;) {
                CGump* const before = g->prevSibling;
                if (g->IsKind(GumpKind::kBark) && g->OwnerGump() == this) g->BringToFront(true);
                g = before;
            }
        }
    }
}

void CGump::LocalToScreen(int& px, int& py) const {
    for (const CGump* g = this; g != nullptr; g = g->parent) {
        px += g->x;
        py += g->y;
    }
}

void CGump::ScreenToLocal(int& px, int& py) const {
    for (const CGump* g = this; g != nullptr; g = g->parent) {
        px -= g->x;
        py -= g->y;
    }
}

bool CGump::FramePixelSet(int px, int py, int index) {
    const Bitmap16* frame = Frame(index);
    return frame != nullptr && frame->Contains(px, py) && frame->At(px, py) != 0;
}

bool CGump::ContainsPoint(int px, int py) {
    if (px < 0 || py < 0) return false;
    if (artId == -1) {
        if (px >= width || py >= height) return false;
        return !IsTransparent() || FramePixelSet(px, py, frameIndex);
    }
    int w = 0, h = 0;
    if (!GetGumpArtSize(static_cast<u32>(artId), w, h) || px >= w || py >= h) return false;
    return GetGumpArtPixel(static_cast<u32>(artId), px, py) != 0;
}

CGump* CGump::ChildAt(int px, int py, CGump* skip) {
    if (!ContainsPoint(px, py)) return nullptr;
    int sx = px, sy = py;
    LocalToScreen(sx, sy);
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling) {
        if (!c->visible) continue;
        if (c->IsKind(GumpKind::kButton) && (c->MinimisedStateTag() != 0) != minimised) continue;
        if (c->page != 0 && c->page != page) continue;
        int lx = sx, ly = sy;
        c->ScreenToLocal(lx, ly);
        if (c != skip && c->ContainsPoint(lx, ly)) return c->ChildAt(lx, ly, nullptr);
    }
    return this;
}

void CGump::MoveBy(int dx, int dy, bool keepOnScreen) {
    const int w = minimised ? minimisedWidth : width;
    const int h = minimised ? minimisedHeight : height;
    const int oldX = x, oldY = y;
    x += dx;
    y += dy;
    if (keepOnScreen) {
        const int mw = std::min(w, 50), mh = std::min(h, 50);
        x = std::max(std::min(x, kScreenWidth - mw), mw - w);
        y = std::max(std::min(y, kScreenHeight - mh), mh - h);
    }
    const int ax = x - oldX, ay = y - oldY;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (g != this && g->IsKind(GumpKind::kBark) && g->OwnerGump() == this) {
            g->x += ax;
            g->y += ay;
        }
}

void CGump::Minimize() {
    if (slotX == 0 && slotY == 0 && GetGumpHostServices().AutoArrangeMinimized()) {
        AllocateMinimizedSlot(slotX, slotY);
        minimisedX = slotX;
        minimisedY = slotY;
    }
    minimised = true;
    normalX = x;
    normalY = y;
    x = minimisedX;
    y = minimisedY;
}

void CGump::Restore() {
    minimised = false;
    minimisedX = x;
    minimisedY = y;
    x = normalX;
    y = normalY;
    if (slotX != 0 || slotY != 0) ReleaseMinimizedSlot(slotX, slotY);
}

Bitmap16* CGump::Frame(int index) {
    if (index < 0 || static_cast<size_t>(index) >= frames.size()) return nullptr;
    return frames[static_cast<size_t>(index)].get();
}

Bitmap16& CGump::MakeFrame(int index) {
    if (index >= static_cast<int>(frames.size())) frames.resize(static_cast<size_t>(index) + 1);
    auto& frame = frames[static_cast<size_t>(index)];
    frame = std::make_unique<Bitmap16>(width, height);
    return *frame;
}

void CGump::SetFrame(int index, const u16* pixels, int srcPitch) {
    Bitmap16& frame = MakeFrame(index);
    for (int row = 0; row < height; ++row)
        std::copy(pixels + static_cast<ptrdiff_t>(row) * srcPitch,
                  pixels + static_cast<ptrdiff_t>(row) * srcPitch + width, &frame.At(0, row));
}

void CGump::PlaceAt(int px, int py) {
    x = normalX = minimisedX = px;
    y = normalY = minimisedY = py;
}

void CGump::ReleaseCapture() {
    TheCursorManager().ReleaseGump(this);
}

void CGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CGump::OnMouseLeave() {
    TheCursorManager().SetShape(0);
}

void CGump::SaveUnder(const ClipRect& clip) {
    if (!visible) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    ClipRect r{std::max(sx, 0), std::max(sy, 0), std::min(sx + width, kScreenWidth),
               std::min(sy + height, kScreenHeight)};
    r = {std::max(r.left, clip.left), std::max(r.top, clip.top), std::min(r.right, clip.right),
         std::min(r.bottom, clip.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return;
    TheGumpDesktop().SaveRect(r);
}

void CGump::DrawFrame(const ClipRect& clip, BlitSpan span, int index) {
    const Bitmap16* frame = Frame(index);
    if (frame == nullptr) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    const ClipRect own{sx, sy, sx + width, sy + height};
    if (!CGumpDesktop::RectsOverlap(own, clip)) return;
    CopyBitmapToBufClipped(span, frame->Pixels(), clip, frame->Width(), frame->Height(), sx, sy,
                           TheGumpDesktop().DrawBase(), kScreenWidth, kScreenHeight);
}

void CGump::DrawChildren(const ClipRect& clip) {
    for (CGump* c = lastChild; c != nullptr; c = c->prevSibling)
        c->Draw(clip);
}

void CGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    DrawFrame(clip, IsTransparent() ? SpanCopyKeyed : SpanCopy, frameIndex);
    DrawChildren(clip);
}
