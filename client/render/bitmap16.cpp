#include "client/render/bitmap16.h"

#include <algorithm>
#include <cstdlib>

Bitmap16::Bitmap16(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0) {}

void CopyBitmapToBuf(BlitSpan span, const u16* src, int srcWidth, int srcHeight, int x, int y,
                     u16* dst, int dstWidth, int dstHeight) {
    CopyBitmapToBufClipped(span, src, ClipRect{0, 0, dstWidth, dstHeight}, srcWidth, srcHeight, x,
                           y, dst, dstWidth, dstHeight);
}

void CopyBitmapToBufClipped(BlitSpan span, const u16* src, const ClipRect& clip, int srcWidth,
                            int srcHeight, int x, int y, u16* dst, int dstWidth, int dstHeight) {
    if (src == nullptr || dst == nullptr || srcWidth <= 0 || srcHeight <= 0) return;
    // Source columns [c0, c1) and rows [r0, r1) land inside the rectangle and the destination.
    const s64 c0 = std::max<s64>({s64{clip.left} - x, s64{0} - x, 0});
    const s64 c1 = std::min<s64>({srcWidth, s64{clip.right} - x, s64{dstWidth} - x});
    const s64 r0 = std::max<s64>({s64{clip.top} - y, s64{0} - y, 0});
    const s64 r1 = std::min<s64>({srcHeight, s64{clip.bottom} - y, s64{dstHeight} - y});
    if (c0 >= c1 || r0 >= r1) return;
    for (s64 row = r0; row < r1; ++row)
        span(dst + (y + row) * dstWidth + x + c0, src + row * srcWidth + c0,
             static_cast<int>(c1 - c0));
}

void FillBitmapRect(int x1, int y1, int x2, int y2, u16 colour, Bitmap16& bitmap) {
    const int left = std::max(x1, 0), right = std::min(x2, bitmap.Width() - 1);
    const int top = std::max(y1, 0), bottom = std::min(y2, bitmap.Height() - 1);
    if (left > right) return;
    for (int y = top; y <= bottom; ++y) {
        u16* row = &bitmap.At(0, y);
        std::fill(row + left, row + right + 1, colour);
    }
}

namespace {

// One pixel per step along the major axis from a1 to a2, the minor coordinate (b1 to b2) in
// 16.16 fixed point; plot(a, b). The truncated step can leave the last pixel one short of the
// far end; the far end itself is plotted instead.
template <class Plot>
void WalkMajorAxis(int a1, int b1, int a2, int b2, Plot plot) {
    const s64 da = s64{a2} - a1;
    const s64 step = (s64{b2} - b1) * 65536 / std::llabs(da);
    const int dir = da > 0 ? 1 : -1;
    s64 b = s64{b1} * 65536;
    plot(a1, b1);
    for (int a = a1; a != a2;) {
        a += dir;
        b += step;
        plot(a, a == a2 ? b2 : static_cast<int>(b >> 16));
    }
}

// The line walk: a straight run when one axis is constant, else the longer axis is the major
// one (y when the two are equally long).
template <class Plot>
void WalkLine(int x1, int y1, int x2, int y2, Plot plot) {
    if (x1 == x2) {
        for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
            plot(x1, y);
    } else if (y1 == y2) {
        for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
            plot(x, y1);
    } else if (std::llabs(s64{y2} - y1) < std::llabs(s64{x2} - x1)) {
        WalkMajorAxis(x1, y1, x2, y2, plot);
    } else {
        WalkMajorAxis(y1, x1, y2, x2, [&](int y, int x) { plot(x, y); });
    }
}

}  // namespace

void DrawBitmapLine(int x1, int y1, int x2, int y2, u16 colour, Bitmap16& bitmap) {
    WalkLine(x1, y1, x2, y2, [&](int x, int y) {
        if (bitmap.Contains(x, y)) bitmap.At(x, y) = colour;
    });
}

void LightenBitmapLine(int x1, int y1, int x2, int y2, Bitmap16& bitmap) {
    WalkLine(x1, y1, x2, y2, [&](int x, int y) {
        if (!bitmap.Contains(x, y)) return;
        u16& p = bitmap.At(x, y);
        p = static_cast<u16>(((p & 0x7BDE) >> 1) + 0x3DEF);
    });
}

void RestoreBitmapLine(int x1, int y1, int x2, int y2, Bitmap16& dst, const Bitmap16& source) {
    WalkLine(x1, y1, x2, y2, [&](int x, int y) {
        if (dst.Contains(x, y) && source.Contains(x, y)) dst.At(x, y) = source.At(x, y);
    });
}
