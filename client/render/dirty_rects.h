#pragma once
// The world view's dirty rectangles and its ring-scrolled screen buffer. Changes report screen
// rectangles; they are kept as at most 256 disjoint pieces that never cross the ring's seam,
// and once per frame the world view takes them (TakeDirtyPieces) and redraws exactly those
// pieces (RefreshDirtyRects, client/world/world_view_frame.h). Scrolling moves the ring's
// start instead of the pixels, so only the newly exposed strips are drawn.
//
// Screen point (x, y), logical index p = y * 640 + x, lives at buffer index
// (p + RingOffset) mod 307200. The gumps, the cursor and presentation address the buffer
// through this same offset.
#include "client/render/screen_rect.h"
#include "platform/types.h"

constexpr int kWorldViewWidth = 640;
constexpr int kWorldViewHeight = 480;
constexpr s32 kWorldViewPixels = kWorldViewWidth * kWorldViewHeight;
constexpr int kMaxDirtyRects = 256;

// 0..307200 (307200 addresses the buffer like 0); RingColumn = RingOffset mod 640 and
// RingRow = RingOffset / 640.
extern s32 RingOffset;
extern s32 RingColumn;
extern s32 RingRow;
// Set from the moment the whole view is marked dirty until the next refresh; meanwhile every
// request is ignored (the whole view is drawn anyway).
extern bool FullRedrawPending;
// The death fade's step (client/world/world_view_frame.h): 0 while no fade runs; the
// death notice sets 1, each faded frame adds 1, and 32 ends it. While it is not 0 the world
// view takes no dirty rectangles.
extern int DeathFadeStep;

// The listed pieces in arrival order (never overlapping, never crossing the seam).
int DirtyRectCount();
const ScreenRect& DirtyRectAt(int i);

// Reports a screen rectangle (clamped to the screen; split at the seam).
void AddDirtyRect(const ScreenRect& r);
// Adds a rectangle that does not cross the seam, split against the listed pieces. A 257th
// piece throws the list away and marks the whole view instead.
void AddDisjointDirtyRect(const ScreenRect& r);
// Marks the whole 640 x 480 view dirty and puts the ring back at 0.
void InvalidateWorldView();
// The picture moves dx pixels right and dy down: the ring moves and the exposed strips are
// reported.
void ScrollWorldView(int dx, int dy);
// Moves the ring's start and the listed pieces by (dx, dy).
void MoveRing(int dx, int dy);

// One piece to paint: `r` in view coordinates, drawn through `pixels` (row width 640, 480
// rows; the ring-shifted base of the piece).
struct WorldPiece {
    u16* pixels = nullptr;
    ScreenRect r;
};
// The piece of a rectangle (no seam inside) as it lies in the screen buffer.
WorldPiece RingPiece(u16* screen, const ScreenRect& r);
// Every listed piece that is not empty, as it lies in the screen buffer (`out` holds
// kMaxDirtyRects); the list is emptied. With no screen buffer nothing is answered.
int TakeDirtyPieces(WorldPiece* out);
// The light step of a drawn piece (darkness 0: the 565 conversion).
void LightPiece(const WorldPiece& piece);

// The buffer the world view draws into: the one set here, else the client's back buffer.
void SetWorldViewScreen(u16* pixels);
u16* WorldViewScreen();
// Puts the ring at a given offset (a start state for tests and benchmarks).
void SetRingOffset(s32 offset);
// Empties the list, clears FullRedrawPending and puts the ring at 0 (world leave, tests).
void ResetDirtyRects();

// The light step of a piece at darkness 0: in 565 mode each 5-5-5 pixel of the row is turned
// into 5-6-5 (red and green up one bit); in 555 mode the pixels are already right.
void ShadeRow565(u16* row, int count);
