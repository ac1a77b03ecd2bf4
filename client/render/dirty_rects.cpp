#include "client/render/dirty_rects.h"

#include <algorithm>

#include "client/data/back_buffer.h"
#include "client/data/pixel_format.h"

s32 RingOffset = 0;
s32 RingColumn = 0;
s32 RingRow = 0;
bool FullRedrawPending = false;
int DeathFadeStep = 0;

namespace {

ScreenRect g_list[kMaxDirtyRects];
int g_count = 0;
u16* g_screen = nullptr;

bool OffScreen(const ScreenRect& r) {
    return r.left >= kWorldViewWidth || r.right <= 0 || r.top >= kWorldViewHeight || r.bottom <= 0;
}

ScreenRect ClampToScreen(ScreenRect r) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, kWorldViewWidth);
    r.bottom = std::min(r.bottom, kWorldViewHeight);
    return r;
}

void SetRing(s32 offset) {
    RingOffset = offset;
    RingColumn = offset % kWorldViewWidth;
    RingRow = offset / kWorldViewWidth;
}

}  // namespace

int DirtyRectCount() {
    return g_count;
}

const ScreenRect& DirtyRectAt(int i) {
    return g_list[i];
}

void AddDirtyRect(const ScreenRect& rect) {
    if (FullRedrawPending || DeathFadeStep != 0 || OffScreen(rect)) return;
    const ScreenRect r = ClampToScreen(rect);
    const s32 first = r.top * kWorldViewWidth + r.left;
    const s32 last = (r.bottom - 1) * kWorldViewWidth + r.right - 1;
    const s32 seam = kWorldViewPixels - RingOffset;
    if ((first < seam) == (last < seam)) {
        AddDisjointDirtyRect(r);
        return;
    }
    const int sc = seam % kWorldViewWidth, sr = seam / kWorldViewWidth;
    if (r.left < sc && sc < r.right) {
        // The seam row is cut inside the rectangle: its row splits at the seam column.
        AddDisjointDirtyRect({r.left, r.top, sc, sr + 1});
        AddDisjointDirtyRect({sc, r.top, r.right, sr});
        AddDisjointDirtyRect({sc, sr, r.right, r.bottom});
        AddDisjointDirtyRect({r.left, sr + 1, sc, r.bottom});
        return;
    }
    const int h = sc >= r.right ? sr + 1 : sr;
    AddDisjointDirtyRect({r.left, r.top, r.right, h});
    AddDisjointDirtyRect({r.left, h, r.right, r.bottom});
}

void AddDisjointDirtyRect(const ScreenRect& r) {
    if (FullRedrawPending || OffScreen(r) || r.right <= r.left || r.bottom <= r.top) return;
    if (g_count >= kMaxDirtyRects) {
        InvalidateWorldView();
        return;
    }
    for (int i = 0; i < g_count; ++i) {
        // A copy: the recursive adds below may replace the whole list.
        const ScreenRect e = g_list[i];
        if (!(r.right > e.left && r.left < e.right && r.bottom > e.top && r.top < e.bottom))
            continue;
        const int top = std::max(r.top, e.top), bottom = std::min(r.bottom, e.bottom);
        if (e.left > r.left) AddDisjointDirtyRect({r.left, top, e.left, bottom});
        if (e.right < r.right) AddDisjointDirtyRect({e.right, top, r.right, bottom});
        if (e.top > r.top) AddDisjointDirtyRect({r.left, r.top, r.right, e.top});
        if (e.bottom < r.bottom) AddDisjointDirtyRect({r.left, e.bottom, r.right, r.bottom});
        return;
    }
    g_list[g_count++] = r;
}

void InvalidateWorldView() {
    if (FullRedrawPending || DeathFadeStep != 0) return;
    SetRing(0);
    g_count = 0;
    AddDirtyRect({0, 0, kWorldViewWidth, kWorldViewHeight});
    FullRedrawPending = true;
}

void ScrollWorldView(int dx, int dy) {
    MoveRing(dx, dy);
    if (FullRedrawPending) return;
    const int w = kWorldViewWidth, h = kWorldViewHeight;
    if (dx < 0) {
        AddDirtyRect({w + dx, 0, w, h});
        if (dy < 0) AddDirtyRect({0, h + dy, w + dx, h});
        if (dy > 0) AddDirtyRect({0, 0, w + dx, dy});
    } else if (dx > 0) {
        AddDirtyRect({0, 0, dx, h});
        if (dy < 0) AddDirtyRect({dx, h + dy, w, h});
        if (dy > 0) AddDirtyRect({dx, 0, w, dy});
    } else if (dy < 0) {
        AddDirtyRect({0, h + dy, w, h});
    } else if (dy > 0) {
        AddDirtyRect({0, 0, w, dy});
    }
}

void MoveRing(int dx, int dy) {
    if (FullRedrawPending) return;
    // Held wide and reduced modulo the buffer, so a scroll of a screen or more cannot leave
    // the ring outside it; an offset of exactly 307200 stays (it addresses the buffer like 0).
    s64 offset = static_cast<s64>(RingOffset) - (static_cast<s64>(dy) * kWorldViewWidth + dx);
    if (offset < 0 || offset > kWorldViewPixels)
        offset = ((offset % kWorldViewPixels) + kWorldViewPixels) % kWorldViewPixels;
    SetRing(static_cast<s32>(offset));
    for (int i = 0; i < g_count; ++i) {
        ScreenRect& r = g_list[i];
        r = ClampToScreen({r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
    }
}

// The piece drawn from the ring-shifted base on its side of the seam.
WorldPiece RingPiece(u16* screen, const ScreenRect& r) {
    const s32 first = r.top * kWorldViewWidth + r.left;
    const s32 shift =
        first < kWorldViewPixels - RingOffset ? RingOffset : RingOffset - kWorldViewPixels;
    return WorldPiece{screen + shift, r};
}

void LightPiece(const WorldPiece& p) {
    if (!Use565()) return;
    for (int y = p.r.top; y < p.r.bottom; ++y)
        ShadeRow565(p.pixels + y * kWorldViewWidth + p.r.left, p.r.right - p.r.left);
}

int TakeDirtyPieces(WorldPiece* out) {
    int count = 0;
    if (u16* screen = WorldViewScreen()) {
        for (int i = 0; i < g_count; ++i) {
            const ScreenRect r = ClampToScreen(g_list[i]);
            if (r.left < r.right && r.top < r.bottom) out[count++] = RingPiece(screen, r);
        }
    }
    g_count = 0;
    FullRedrawPending = false;
    return count;
}

void SetWorldViewScreen(u16* pixels) {
    g_screen = pixels;
}

u16* WorldViewScreen() {
    return g_screen != nullptr ? g_screen : BackBufferPixels();
}

void SetRingOffset(s32 offset) {
    SetRing(std::clamp(offset, 0, kWorldViewPixels));
}

void ResetDirtyRects() {
    g_count = 0;
    FullRedrawPending = false;
    SetRing(0);
}

void ShadeRow565(u16* row, int count) {
    for (int i = 0; i < count; ++i)
        row[i] = Convert555To565(row[i]);
}
