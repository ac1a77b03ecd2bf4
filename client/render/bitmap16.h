#pragma once
// 16-bit images in the screen's pixel format (gump bitmaps, scratch pictures) and the
// primitives that draw into them: clipped copies of one image into another, rectangle fill,
// and the single-pixel lines of the course map.
#include <vector>

#include "client/render/span_blit.h"
#include "platform/types.h"

class Bitmap16 {
public:
    Bitmap16() = default;
    // A width x height image of 0 pixels (negative sizes count as 0).
    Bitmap16(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    u16* Pixels() { return pixels_.data(); }
    const u16* Pixels() const { return pixels_.data(); }
    // Pixel (x, y); the caller keeps it inside the image.
    u16& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    u16 At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<u16> pixels_;
};

// Copies a source image (its pixels, width and height) with its top-left corner at (x, y)
// through the row-copy routine, clipped to the destination on every side. No 565
// conversion: the pixels are already in the screen's format.
void CopyBitmapToBuf(BlitSpan span, const u16* src, int srcWidth, int srcHeight, int x, int y,
                     u16* dst, int dstWidth, int dstHeight);
// The same, clipped to the rectangle as well.
void CopyBitmapToBufClipped(BlitSpan span, const u16* src, const ClipRect& clip, int srcWidth,
                            int srcHeight, int x, int y, u16* dst, int dstWidth, int dstHeight);

// Fills columns x1..x2 and rows y1..y2 (both inclusive, cut to the image) with the colour.
void FillBitmapRect(int x1, int y1, int x2, int y2, u16 colour, Bitmap16& bitmap);
// A line of single pixels from (x1, y1) to (x2, y2), both ends included, one pixel per step
// along the longer axis; pixels outside the image are skipped.
void DrawBitmapLine(int x1, int y1, int x2, int y2, u16 colour, Bitmap16& bitmap);
// Walks the same pixels and lightens each: ((pixel & 0x7BDE) >> 1) + 0x3DEF.
void LightenBitmapLine(int x1, int y1, int x2, int y2, Bitmap16& bitmap);
// Walks the same pixels and copies each from `source` (same size as the destination).
void RestoreBitmapLine(int x1, int y1, int x2, int y2, Bitmap16& dst, const Bitmap16& source);
