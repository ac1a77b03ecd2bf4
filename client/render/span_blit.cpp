#include "client/render/span_blit.h"

#include <algorithm>

bool ArtRecordSize(ArtRecord art, int& width, int& height) {
    width = height = 0;
    if (art.words == nullptr || art.wordCount < 4) return false;
    if (4 + static_cast<size_t>(art.words[3]) > art.wordCount) return false;
    width = art.words[2];
    height = art.words[3];
    return true;
}

namespace {

// The target with no negative size.
BlitTarget Normal(const BlitTarget& t) {
    return BlitTarget{t.pixels, std::max(t.rowWidth, 0), std::max(t.height, 0)};
}

// One image row drawn at target row `destRow` with the image's column 0 at target column
// `left` (mirrored: its last column there), cut to the clip columns. The runs are walked
// once; each visible part goes to the span whole. A mirrored part hands the span its source's
// last pixel, for a reversed routine to read backwards.
void BlitArtRow(const BlitTarget& target, const BlitSpan& span, const ArtRecord& art, int width,
                int row, s64 destRow, s64 left, const ClipRect& clip, bool mirrored) {
    s64 c0, c1;
    if (mirrored) {
        c0 = std::max<s64>(left + width - clip.right, 0);
        c1 = std::min<s64>(width, left + width - clip.left);
    } else {
        c0 = std::max<s64>(clip.left - left, 0);
        c1 = std::min<s64>(width, clip.right - left);
    }
    if (c0 >= c1) return;
    const u16* words = art.words;
    const size_t end = art.wordCount;
    const int height = words[3];
    size_t at = 4 + static_cast<size_t>(height) + words[4 + row];
    const s64 line = destRow * target.rowWidth + left;  // the image's column 0 (or its mirror)
    s64 a = 0;                                          // column where the next run's skip starts
    while (at + 2 <= end) {
        const int count = words[at + 1];
        if (count == 0) break;
        a += words[at];
        const size_t pixels = at + 2;
        if (pixels + count > end || a >= c1) break;
        const s64 from = std::max(a, c0);
        const s64 to = std::min<s64>(a + count, c1);
        if (from < to) {
            if (mirrored)
                span(target.pixels + (line + width - to), words + pixels + (to - 1 - a),
                     static_cast<int>(to - from));
            else
                span(target.pixels + (line + from), words + pixels + (from - a),
                     static_cast<int>(to - from));
        }
        a += count;
        at = pixels + count;
    }
}

// Image rows [r0, r1) at target rows from y, each inside the clip's rows; x and y may lie
// anywhere, so the arithmetic is 64-bit.
void BlitArt(const BlitTarget& targetIn, const BlitSpan& span, ArtRecord art,
             const ClipRect& clipIn, int x, int y, bool mirrored) {
    const BlitTarget target = Normal(targetIn);
    int width = 0, height = 0;
    if (target.pixels == nullptr || !ArtRecordSize(art, width, height)) return;
    const ClipRect clip = ClipToSize(clipIn, target.rowWidth, target.height);
    const s64 r0 = std::max<s64>(s64{clip.top} - y, 0);
    const s64 r1 = std::min<s64>(height, s64{clip.bottom} - y);
    for (s64 row = r0; row < r1; ++row)
        BlitArtRow(target, span, art, width, static_cast<int>(row), y + row, x, clip, mirrored);
}

// The shadow: image rows 0, 2, 4, ... make h / 2 rows from y + h - h / 2 down, row i shifted
// right by h / 2 - i; the background under painted pixels is halved.
void BlitArtShadow(const BlitTarget& targetIn, ArtRecord art, const ClipRect& clipIn, int x, int y,
                   bool mirrored) {
    const BlitTarget target = Normal(targetIn);
    int width = 0, height = 0;
    if (target.pixels == nullptr || !ArtRecordSize(art, width, height)) return;
    const ClipRect clip = ClipToSize(clipIn, target.rowWidth, target.height);
    const int half = height / 2;
    for (int i = 0; i < half; ++i) {
        const s64 destRow = s64{y} + height - half + i;
        if (destRow < clip.top || destRow >= clip.bottom) continue;
        BlitArtRow(target, mirrored ? SpanShadeKeyedReversed : SpanShadeKeyed, art, width, 2 * i,
                   destRow, s64{x} + half - i, clip, mirrored);
    }
}

}  // namespace

void DrawArt(const BlitTarget& target, BlitSpan span, ArtRecord art, int x, int y) {
    BlitArt(target, span, art, ClipRect{0, 0, target.rowWidth, target.height}, x, y, false);
}

void DrawArtClipped(const BlitTarget& target, BlitSpan span, ArtRecord art, const ClipRect& clip,
                    int x, int y) {
    BlitArt(target, span, art, clip, x, y, false);
}

void DrawArtMirrored(const BlitTarget& target, BlitSpan span, ArtRecord art, int x, int y) {
    BlitArt(target, span, art, ClipRect{0, 0, target.rowWidth, target.height}, x, y, true);
}

void DrawArtClippedMirrored(const BlitTarget& target, BlitSpan span, ArtRecord art,
                            const ClipRect& clip, int x, int y) {
    BlitArt(target, span, art, clip, x, y, true);
}

void DrawArtShadowClipped(const BlitTarget& target, ArtRecord art, const ClipRect& clip, int x,
                          int y) {
    BlitArtShadow(target, art, clip, x, y, false);
}

void DrawArtShadowClippedMirrored(const BlitTarget& target, ArtRecord art, const ClipRect& clip,
                                  int x, int y) {
    BlitArtShadow(target, art, clip, x, y, true);
}
