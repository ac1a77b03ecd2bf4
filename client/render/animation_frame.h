#pragma once
// Animation frames of mobiles, worn items and corpses, and their blitters.
//
// An animation record (anim.idx / anim.mul, by animation id) holds 256 16-bit palette colours,
// at byte 512 a 32-bit frame count (its low 16 bits are used), and from byte 516 one 32-bit
// offset per frame counted from byte 512 (0: the frame is missing). A frame is {s16 centre x,
// centre y, width, height} followed by runs: a 32-bit header (count bits 0-11, y offset bits
// 12-21, x offset bits 22-31, both signed and relative to the frame's anchor) and count
// palette indices, ended by 0x7FFF7FFF; runs come in increasing row order.
//
// A frame is only handed out when all of it lies inside its record: an id past the index, a
// frame index not below the count, an offset or a run past the record make the frame missing.
#include <cstddef>

#include "client/render/span_blit.h"
#include "core/byte_order.h"
#include "platform/types.h"

struct AnimFrame {
    const u8* record = nullptr;  // the palette: 256 little-endian colours
    int frameCount = 0;
    int centreX = 0, centreY = 0, width = 0, height = 0;
    const u8* runs = nullptr;  // the first run header
    size_t runBytes = 0;       // through the end marker
};

// Frame `index` of a record's bytes; false when it is missing.
bool ParseAnimFrame(const u8* record, size_t length, int index, AnimFrame& frame);
// Frame `index` of animation `id` from the data cache; false when it is missing. The frame
// points into the cache and stays valid until the next call into it.
bool LoadAnimFrame(int id, int index, AnimFrame& frame);

// One run of a frame.
struct AnimRun {
    int x = 0, y = 0, count = 0;  // offsets from the anchor
    const u8* pixels = nullptr;   // count palette indices
};
// Calls visit(run) for each run in order until it answers false.
template <class Visit>
void ForEachAnimRun(const AnimFrame& frame, Visit visit);

// Paints the frame anchored at target point (x, y) into `target`, clipped to `clip` (target
// coordinates). The hue word: bits 0-13 the hue number
// (0: palette colours), 0x8000 recolours only grey pixels, 0x4000 darkens the background by
// the pixel's brightness instead of painting (with 0x8000: only where the pixel is grey). A
// mirrored frame is painted right to left about its anchor.
void DrawAnimationFrame(const BlitTarget& target, bool mirrored, u16 hueWord, int x, int y,
                        const ClipRect& clip, const AnimFrame& frame);
// The frame's shadow: the even rows squashed to half height, sheared right above the anchor,
// each covered background pixel halved.
void DrawFrameShadow(const BlitTarget& target, bool mirrored, int x, int y, const ClipRect& clip,
                     const AnimFrame& frame);
// The background darkened by a source pixel's brightness: 23 - red levels of shade, none for
// red 23 or more.
void DarkenByBrightness(u16* dst, u16 source);
// Whether the frame anchored at (x0, y0) covers the point (every pixel of a run counts).
bool FrameContainsPoint(int px, int py, bool mirrored, int x0, int y0, const AnimFrame& frame);

// --- implementation of the run walk ------------------------------------------------------------

inline int SignExtend10(u32 v) {
    return (v & 0x200) ? int(v) - 0x400 : int(v);
}

template <class Visit>
void ForEachAnimRun(const AnimFrame& frame, Visit visit) {
    const u8* p = frame.runs;
    const u8* end = frame.runs + frame.runBytes;
    while (p + 4 <= end) {
        const u32 h = LoadLe32(p);
        if (h == 0x7FFF7FFF) return;
        AnimRun run;
        run.count = int(h & 0xFFF);
        run.y = SignExtend10((h >> 12) & 0x3FF);
        run.x = SignExtend10((h >> 22) & 0x3FF);
        run.pixels = p + 4;
        p += 4 + run.count;
        if (!visit(run)) return;
    }
}
