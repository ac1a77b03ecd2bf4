#include "client/gumps/framework/gump_art_strips.h"

#include "client/data/gump_art.h"

void DrawGumpArtColumn(int base, int middleCount, Bitmap16& bitmap, int top, int bottomMargin) {
    const int W = bitmap.Width(), H = bitmap.Height();
    const int w0 = GumpArtWidth(base), h0 = GumpArtHeight(base);
    const int bottomId = base + middleCount + 1;
    const int bottomY = H - GumpArtHeight(bottomId) - bottomMargin;
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(base), 0, top, bitmap.Pixels(), W, H);
    const int w1 = GumpArtWidth(base + 1);
    if (w1 == 0 || middleCount <= 0) return;
    int offset = w1 < w0 ? (w0 - w1) / 2 : 0;
    const ClipRect band{0, h0, W, bottomY + 1};
    int i = 0;
    for (int y = top + h0 - 1; y < bottomY;) {
        const int id = base + 1 + i;
        const int h = GumpArtHeight(id);
        if (y + h <= bottomY)
            CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(id), offset, y, bitmap.Pixels(), W, H);
        else
            CopyGumpToBufClipped(SpanCopyKeyed, static_cast<u32>(id), band, offset, y,
                                 bitmap.Pixels(), W, H);
        // A piece of height 0 would never advance: the strip ends there.
        if (h <= 0) break;
        y += h;
        i = (i + 1) % middleCount;
    }
    if (GumpArtWidth(bottomId) == w0) offset = 0;
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(bottomId), offset, bottomY - 1, bitmap.Pixels(),
                  W, H);
}

void DrawGumpArtRow(int x, int y, int artId, Bitmap16& bitmap, const ClipRect& clip) {
    const int wa = GumpArtWidth(artId);
    if (wa <= 0) return;
    for (int cx = x; cx <= clip.right; cx += wa) {
        if (cx + wa < clip.right)
            CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(artId), cx, y, bitmap.Pixels(),
                          bitmap.Width(), bitmap.Height());
        else
            CopyGumpToBufClipped(SpanCopyKeyed, static_cast<u32>(artId), clip, cx, y,
                                 bitmap.Pixels(), bitmap.Width(), bitmap.Height());
    }
}
