#include "client/gumps/framework/gump_drawing.h"

#include <algorithm>

#include "client/data/gump_art.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"

namespace {

struct Piece {
    int w = 0;
    int h = 0;
    bool exists = false;
};

Piece SizeOf(int id) {
    Piece p;
    p.exists = GetGumpArtSize(static_cast<u32>(id), p.w, p.h);
    return p;
}

void Put(BlitSpan span, int id, int x, int y, Bitmap16& b, const ClipRect& band) {
    CopyGumpToBufClipped(span, static_cast<u32>(id), band, x, y, b.Pixels(), b.Width(), b.Height());
}

// The positions of a decoration pair along an edge of `length`; false when the pair does not
// fit, or when the second piece finds no place at the required distance from the first.
bool PlacePair(int length, int firstLength, int secondLength, int& first, int& second) {
    if (length <= firstLength + secondLength + 80) return false;
    GumpHostServices& host = GetGumpHostServices();
    first = 10 + host.RandomBelow(length - firstLength - 20);
    const int span = length - secondLength - 20;
    const int lowest = 10, highest = 10 + std::max(span, 1) - 1;
    const int distance = firstLength + 10;
    const bool room = first - distance >= lowest || first + distance <= highest;
    if (!room) return false;
    do {
        second = 10 + host.RandomBelow(span);
    } while (std::abs(second - first) < distance);
    return true;
}

}  // namespace

void IntersectRects(const ClipRect& a, const ClipRect& b, ClipRect& out) {
    out.left = (a.left >= b.left && a.left < b.right) ? a.left : b.left;
    out.top = (a.top >= b.top && a.top < b.bottom) ? a.top : b.top;
    out.right = (a.right > b.left && a.right <= b.right) ? a.right : b.right;
    out.bottom = (a.bottom > b.top && a.bottom <= b.bottom) ? a.bottom : b.bottom;
}

void CopyRowsKeyed(int rows, int length, u16* dst, const u16* src, int dstStep, int srcStep) {
    for (int r = 0; r < rows; ++r)
        SpanCopyKeyed(dst + static_cast<ptrdiff_t>(r) * dstStep,
                      src + static_cast<ptrdiff_t>(r) * srcStep, length, -1);
}

void DrawGumpArtPanel(int base, Bitmap16& b, bool noDecorations) {
    const int W = b.Width(), H = b.Height();
    const ClipRect all{0, 0, W, H};
    Piece p[19];
    for (int k = 0; k < 19; ++k)
        p[k] = SizeOf(base + k);
    Put(SpanCopyKeyed, base, 0, 0, b, all);
    if (!p[1].exists || p[1].w <= 0) return;
    // Each edge repeats its piece across its band; a piece that would cross the band's end is
    // cut there. A piece of size 0 is not repeated.
    const ClipRect top{0, 0, W - p[2].w, H};
    for (int x = p[0].w; x < W - p[2].w; x += p[1].w)
        Put(SpanCopyKeyed, base + 1, x, 0, b, top);
    Put(SpanCopyKeyed, base + 2, W - p[2].w, 0, b, all);
    const ClipRect left{0, 0, W, H - p[6].h};
    if (p[3].h > 0)
        for (int y = p[0].h; y < H - p[6].h; y += p[3].h)
            Put(SpanCopyKeyed, base + 3, 0, y, b, left);
    Put(SpanCopyKeyed, base + 6, 0, H - p[6].h, b, all);
    const ClipRect right{0, 0, W, H - p[8].h};
    if (p[5].h > 0)
        for (int y = p[2].h; y < H - p[8].h; y += p[5].h)
            Put(SpanCopyKeyed, base + 5, W - p[5].w, y, b, right);
    Put(SpanCopyKeyed, base + 8, W - p[8].w, H - p[8].h, b, all);
    const ClipRect bottom{0, 0, W - p[8].w, H};
    if (p[7].w > 0)
        for (int x = p[6].w; x < W - p[8].w; x += p[7].w)
            Put(SpanCopyKeyed, base + 7, x, H - p[7].h, b, bottom);
    const ClipRect centre{p[3].w, p[1].h, W - p[5].w, H - p[7].h};
    if (p[4].w > 0 && p[4].h > 0)
        for (int y = centre.top; y < centre.bottom; y += p[4].h)
            for (int x = centre.left; x < centre.right; x += p[4].w)
                Put(SpanCopyKeyed, base + 4, x, y, b, centre);
    if (noDecorations) return;
    int a = 0, c = 0;
    if (p[11].exists && p[12].exists && PlacePair(W, p[11].w, p[12].w, a, c)) {
        Put(SpanCopy, base + 11, a, 0, b, all);
        Put(SpanCopy, base + 12, c, 0, b, all);
    }
    if (p[17].exists && p[18].exists && PlacePair(W, p[17].w, p[18].w, a, c)) {
        Put(SpanCopy, base + 17, a, H - p[17].h, b, all);
        Put(SpanCopy, base + 18, c, H - p[18].h, b, all);
    }
    if (p[13].exists && p[14].exists && PlacePair(H, p[13].h, p[14].h, a, c)) {
        Put(SpanCopy, base + 13, 0, a, b, all);
        Put(SpanCopy, base + 14, 0, c, b, all);
    }
    if (p[15].exists && p[16].exists && PlacePair(H, p[15].h, p[16].h, a, c)) {
        Put(SpanCopy, base + 15, W - p[15].w, a, b, all);
        Put(SpanCopy, base + 16, W - p[16].w, c, b, all);
    }
}

void DrawGumpArtBar(int art, Bitmap16& b) {
    const Piece l = SizeOf(art), m = SizeOf(art + 1), r = SizeOf(art + 2);
    if (!l.exists || !m.exists || !r.exists) return;
    const int W = b.Width();
    const ClipRect all{0, 0, W, b.Height()};
    Put(SpanCopyKeyed, art, 0, 0, b, all);
    if (m.w > 0)
        for (int x = l.w; x < W - r.w; x += m.w)
            Put(SpanCopyKeyed, art + 1, x, 0, b, all);
    Put(SpanCopyKeyed, art + 2, W - r.w, 0, b, all);
}

void DrawShadedBar(int x, int y, int width, int art, Bitmap16& b) {
    const Piece l = SizeOf(art), r = SizeOf(art + 1);
    const int middle = width - l.w - r.w;
    const ClipRect all{0, 0, b.Width(), b.Height()};
    Put(SpanCopyKeyed, art, x, y, b, all);
    const u16 mask = CurrentPixelFormat().blendMask1;
    for (int row = y; row < y + l.h; ++row)
        for (int col = x + l.w; col < x + l.w + middle; ++col)
            if (b.Contains(col, row))
                b.At(col, row) = static_cast<u16>((b.At(col, row) & mask) / 2);
    Put(SpanCopyKeyed, art + 1, x + l.w + middle - 1, y, b, all);
}

int ContainerGumpArt(int graphic) {
    const int g = graphic & 0xFFFF;
    auto in = [g](int lo, int hi) { return g >= lo && g <= hi; };
    switch (g) {
        case 2448:
        case 2476:
        case 2481:
            return 65;
        case 2472:
        case 3712:
            return 75;
        case 2473:
        case 3710:
            return 68;
        case 2474:
        case 3709:
            return 67;
        case 2475:
        case 3708:
            return 74;
        case 2480:
        case 2482:
        case 3701:
        case 3705:
            return 60;
        case 2636:
        case 2637:
        case 2640:
        case 2641:
            return 78;
        case 2638:
        case 2639:
        case 2642:
        case 2643:
            return 79;
        case 3612:
        case 4013:
            return 2350;
        case 3648:
        case 3649:
            return 66;
        case 3650:
        case 3651:
            return 73;
        case 3702:
            return 61;
        case 3703:
        case 3704:
        case 3707:
        case 3711:
        case 3715:
        case 4011:
        case 4014:
        case 4104:
        case 5453:
        case 6464:
        case 6870:
        case 6871:
            return 62;
        case 3706:
            return 63;
        case 4006:
            return 2330;
        case 7774:
            return 82;
        case 11000:
            return 71;
        case 15973:
        case 16019:
        case 16046:
        case 16057:
            return 76;
        default:
            break;
    }
    if (in(3644, 3647)) return 68;
    if (in(2604, 2607) || in(2612, 2615) || in(2620, 2635)) return 81;
    if (in(2608, 2611) || in(2616, 2619)) return 72;
    if (in(2711, 2718)) return 77;
    return 9;
}

void ContainerItemArea(int artId, ClipRect& out) {
    switch (artId) {
        case 7:
            out = {30, 30, 270, 170};
            return;
        case 9:
            out = {20, 85, 124, 196};
            return;
        case 60:
            out = {44, 65, 186, 159};
            return;
        case 61:
            out = {29, 34, 137, 128};
            return;
        case 62:
            out = {33, 36, 142, 148};
            return;
        case 63:
            out = {19, 47, 182, 123};
            return;
        case 64:
            out = {16, 38, 152, 125};
            return;
        case 65:
            out = {35, 38, 145, 116};
            return;
        case 66:
        case 73:
        case 74:
            out = {18, 105, 162, 178};
            return;
        case 67:
        case 75:
            out = {16, 51, 184, 124};
            return;
        case 68:
            out = {20, 10, 170, 100};
            return;
        case 71:
            out = {16, 10, 148, 138};
            return;
        case 72:
        case 81:
            out = {16, 10, 154, 94};
            return;
        case 76:
            out = {46, 74, 196, 184};
            return;
        case 77:
            out = {76, 12, 140, 68};
            return;
        case 78:
        case 79:
            out = {24, 96, 196, 152};
            return;
        case 82:
            out = {0, 0, 110, 62};
            return;
        case 2330:
            out = {0, 0, 282, 230};
            return;
        case 2350:
            out = {0, 0, 282, 210};
            return;
        default:
            out = {0, 0, 200, 200};
            return;
    }
}

namespace {
// Pixel (x, y) of the ring-addressed screen buffer.
u16* ScreenPixel(int x, int y) {
    CGumpDesktop& d = TheGumpDesktop();
    const u32 index = (static_cast<u32>(y * kScreenWidth + x) + d.RingOffset()) %
                      static_cast<u32>(CGumpDesktop::kScreenPixels);
    return d.Screen() + index;
}
ClipRect ClampToScreen(const ClipRect& r) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, kScreenWidth),
            std::min(r.bottom, kScreenHeight)};
}
}  // namespace

void FillScreenRect(const ClipRect& rect, u16 colour) {
    if (TheGumpDesktop().Screen() == nullptr) return;
    const ClipRect r = ClampToScreen(rect);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            *ScreenPixel(x, y) = colour;
}

void DrawScreenRectFrame(const ClipRect& rect, u16 colour, bool marks) {
    if (TheGumpDesktop().Screen() == nullptr) return;
    const ClipRect r = ClampToScreen(rect);
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (int x = r.left; x < r.right; ++x) {
        *ScreenPixel(x, r.top) = colour;
        *ScreenPixel(x, r.bottom - 1) = colour;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        *ScreenPixel(r.left, y) = colour;
        *ScreenPixel(r.right - 1, y) = colour;
    }
    if (!marks) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y) {
        const int dx = (y - r.top) * (w - 1) / std::max(h - 1, 1);
        *ScreenPixel(r.left + dx, y) = colour;
        *ScreenPixel(r.right - 1 - dx, y) = colour;
        *ScreenPixel(r.left + w / 2, y) = colour;
    }
}
