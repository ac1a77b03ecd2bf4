#pragma once
// Showing decoded movie frames on the client's 640x480 screen buffer: where the picture
// goes and the three line modes (single lines, doubled lines, scan lines that leave every
// second screen line as it was).
#include "platform/types.h"

namespace movie {

// Option bits of the player's control block.
constexpr u32 MOVIE_OFFSET_X = 0x1;
constexpr u32 MOVIE_OFFSET_Y = 0x2;
constexpr u32 MOVIE_CENTER_X = 0x4;
constexpr u32 MOVIE_CENTER_Y = 0x8;
constexpr u32 MOVIE_LINE_DOUBLE = 0x10;
constexpr u32 MOVIE_SCANLINES = 0x20;
constexpr u32 MOVIE_PIXEL_DOUBLE = 0x40;
constexpr u32 MOVIE_DEST_WIDTH = 0x80;
constexpr u32 MOVIE_DEST_HEIGHT = 0x100;
constexpr u32 MOVIE_MEMORY_TARGET = 0x800;
constexpr u32 MOVIE_ASYNC = 0x10000;
constexpr u32 MOVIE_PRIORITY = 0x20000;
constexpr u32 MOVIE_FRAME_CALLBACK = 0x40000;
constexpr u32 MOVIE_OWN_FILE = 0x80000;
constexpr u32 MOVIE_BRIGHTNESS = 0x100000;
constexpr u32 MOVIE_PRIMARY_BUFFER = 0x400000;
constexpr u32 MOVIE_SOUND = 0x800000;
constexpr u32 MOVIE_OWN_PALETTE = 0x4000000;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

enum class LineMode { kSingle, kLineDouble, kScanLines };

// Scan lines win over doubled lines.
LineMode LineModeOf(u32 flags);

// The source and destination rectangles of one presented frame, in screen pixels.
struct FramePlacement {
    int sourceWidth = 0, sourceHeight = 0;  // surface pixels, frame lines
    int x = 0, y = 0;
    int destWidth = 0, destHeight = 0;  // screen pixels and lines
};

struct PlacementInput {
    u32 flags = 0;
    int frameWidth = 0, frameHeight = 0;
    int xOffset = 0, yOffset = 0;
    int destWidthField = 0, destHeightField = 0;
    int primaryWidth = kScreenWidth, primaryHeight = kScreenHeight;
};

FramePlacement PlaceFrame(const PlacementInput& in);

// Copies a frame surface of 16-bit pixels (rows of `pitchPixels`) onto the 640x480 screen
// in the given line mode, stretching across when the widths differ and clipping at the
// screen's edges.
void ShowFrameOnScreen(const u16* surface, int pitchPixels, const FramePlacement& place,
                       LineMode mode, u16* screen);

}  // namespace movie
