#include "movie/movie_video.h"

namespace movie {
namespace {

// One source row stretched to `destWidth` pixels at screen row `row`, from column x.
void CopyRow(const u16* src, int sourceWidth, int x, int row, int destWidth, u16* screen) {
    if (row < 0 || row >= kScreenHeight || sourceWidth <= 0) return;
    u16* line = screen + row * kScreenWidth;
    for (int i = 0; i < destWidth; ++i) {
        const int column = x + i;
        if (column < 0 || column >= kScreenWidth) continue;
        const int from = int(s64(i) * sourceWidth / destWidth);
        line[column] = src[from];
    }
}

}  // namespace

LineMode LineModeOf(u32 flags) {
    if (flags & MOVIE_SCANLINES) return LineMode::kScanLines;
    if (flags & MOVIE_LINE_DOUBLE) return LineMode::kLineDouble;
    return LineMode::kSingle;
}

FramePlacement PlaceFrame(const PlacementInput& in) {
    FramePlacement p;
    p.sourceWidth = in.frameWidth;
    p.sourceHeight = in.frameHeight;
    p.destWidth = (in.flags & MOVIE_DEST_WIDTH) ? in.destWidthField : in.frameWidth;
    p.destHeight = (in.flags & MOVIE_DEST_HEIGHT) ? in.destHeightField : in.frameHeight;
    if (in.flags & MOVIE_PIXEL_DOUBLE) {
        p.sourceWidth *= 2;
        p.destWidth *= 2;
    }
    if (in.flags & (MOVIE_LINE_DOUBLE | MOVIE_SCANLINES)) p.destHeight *= 2;
    if (in.flags & MOVIE_CENTER_X) p.x = (in.primaryWidth - p.destWidth) >> 1;
    if (in.flags & MOVIE_CENTER_Y) p.y = (in.primaryHeight - p.destHeight) >> 1;
    if (in.flags & MOVIE_OFFSET_X) p.x += in.xOffset;
    if (in.flags & MOVIE_OFFSET_Y) p.y += in.yOffset;
    return p;
}

void ShowFrameOnScreen(const u16* surface, int pitchPixels, const FramePlacement& place,
                       LineMode mode, u16* screen) {
    if (place.destWidth <= 0 || place.destHeight <= 0 || place.sourceHeight <= 0) return;
    switch (mode) {
        case LineMode::kScanLines:
            // Frame line j on screen line y + 2j; the lines between keep what they had.
            for (int j = 0; j < place.sourceHeight && 2 * j < place.destHeight; ++j)
                CopyRow(surface + s64(j) * pitchPixels, place.sourceWidth, place.x, place.y + 2 * j,
                        place.destWidth, screen);
            break;
        case LineMode::kLineDouble:
            for (int j = 0; j < place.sourceHeight && 2 * j < place.destHeight; ++j) {
                const u16* row = surface + s64(j) * pitchPixels;
                CopyRow(row, place.sourceWidth, place.x, place.y + 2 * j, place.destWidth, screen);
                CopyRow(row, place.sourceWidth, place.x, place.y + 2 * j + 1, place.destWidth,
                        screen);
            }
            break;
        case LineMode::kSingle:
            for (int i = 0; i < place.destHeight; ++i) {
                const int j = int(s64(i) * place.sourceHeight / place.destHeight);
                CopyRow(surface + s64(j) * pitchPixels, place.sourceWidth, place.x, place.y + i,
                        place.destWidth, screen);
            }
            break;
    }
}

}  // namespace movie
