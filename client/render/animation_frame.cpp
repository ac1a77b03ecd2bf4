#include "client/render/animation_frame.h"

#include "client/data/back_buffer.h"
#include "client/data/data_file_cache.h"
#include "core/byte_order.h"

namespace {

constexpr size_t kFrameTable = 512;
constexpr u32 kEndOfRuns = 0x7FFF7FFF;

u16 PaletteColour(const AnimFrame& f, u8 index) {
    return LoadLe16(f.record + 2 * size_t(index));
}

}  // namespace

bool ParseAnimFrame(const u8* record, size_t length, int index, AnimFrame& frame) {
    frame = AnimFrame{};
    if (record == nullptr || length < kFrameTable + 4 || index < 0) return false;
    const int count = int(LoadLe32(record + kFrameTable) & 0xFFFF);
    if (index >= count) return false;
    const size_t slot = kFrameTable + 4 + 4 * size_t(index);
    if (slot + 4 > length) return false;
    const u32 offset = LoadLe32(record + slot);
    if (offset == 0) return false;
    const size_t start = kFrameTable + size_t(offset);
    if (start < kFrameTable || start + 8 > length) return false;
    // Every run and the end marker must lie inside the record.
    size_t p = start + 8;
    for (;;) {
        if (p + 4 > length) return false;
        const u32 h = LoadLe32(record + p);
        if (h == kEndOfRuns) break;
        p += 4 + (h & 0xFFF);
    }
    frame.record = record;
    frame.frameCount = count;
    frame.centreX = s16(LoadLe16(record + start));
    frame.centreY = s16(LoadLe16(record + start + 2));
    frame.width = s16(LoadLe16(record + start + 4));
    frame.height = s16(LoadLe16(record + start + 6));
    frame.runs = record + start + 8;
    frame.runBytes = p + 4 - (start + 8);
    return true;
}

bool LoadAnimFrame(int id, int index, AnimFrame& frame) {
    frame = AnimFrame{};
    if (id < 0) return false;
    s32 length = 0;
    u32 extra = 0;
    const u8* record = TheDataCache().GetRecord(kFileAnimIndex, kFileAnim, id, &length, &extra);
    if (record == nullptr || length <= 0) return false;
    return ParseAnimFrame(record, size_t(length), index, frame);
}

void DarkenByBrightness(u16* dst, u16 source) {
    int darkness = 23 - (source >> 10);
    if (darkness <= 0) return;
    const auto& shade = Shades().shade[darkness];
    const u16 d = *dst;
    *dst = u16(shade[(d >> 10) & 0x1F] << 10 | shade[(d >> 5) & 0x1F] << 5 | shade[d & 0x1F]);
}

void DrawAnimationFrame(const BlitTarget& target, bool mirrored, u16 hueWord, int x, int y,
                        const ClipRect& clip, const AnimFrame& frame) {
    if (target.pixels == nullptr || frame.runs == nullptr) return;
    const ClipRect c = ClipToSize(clip, target.rowWidth, target.height);
    if (c.left >= c.right || c.top >= c.bottom) return;
    const int x0 = x, y0 = y;
    const int hue = hueWord & 0x3FFF;
    const bool greyOnly = (hueWord & 0x8000) != 0, darken = (hueWord & 0x4000) != 0;
    const u16* colours = hue != 0 ? BlitHueColours(hue - 1) : nullptr;
    ForEachAnimRun(frame, [&](const AnimRun& run) {
        const int row = y0 + run.y;
        if (row >= c.bottom) return false;
        if (row < c.top) return true;
        u16* line = target.pixels + size_t(row) * size_t(target.rowWidth);
        const int first = mirrored ? x0 - run.x - run.count : x0 + run.x;
        const int from = first < c.left ? c.left - first : 0;
        const int to = first + run.count > c.right ? c.right - first : run.count;
        for (int i = from; i < to; ++i) {
            const u8 index = mirrored ? run.pixels[run.count - 1 - i] : run.pixels[i];
            const u16 s = PaletteColour(frame, index);
            u16* d = line + first + i;
            if (darken) {
                if (!greyOnly || IsGreyPixel(s))
                    DarkenByBrightness(d, s);
                else
                    *d = s;
            } else if (colours == nullptr || (greyOnly && !IsGreyPixel(s))) {
                *d = s;
            } else {
                *d = colours[(s >> 10) & 0x1F];
            }
        }
        return true;
    });
}

void DrawFrameShadow(const BlitTarget& target, bool mirrored, int x, int y, const ClipRect& clip,
                     const AnimFrame& frame) {
    if (target.pixels == nullptr || frame.runs == nullptr) return;
    const ClipRect c = ClipToSize(clip, target.rowWidth, target.height);
    if (c.left >= c.right || c.top >= c.bottom) return;
    const int x0 = x, y0 = y;
    ForEachAnimRun(frame, [&](const AnimRun& run) {
        if (run.y & 1) return true;
        const int half = run.y >> 1;
        const int row = y0 + half;
        if (row >= c.bottom) return false;
        if (row < c.top) return true;
        u16* line = target.pixels + size_t(row) * size_t(target.rowWidth);
        const int first = (mirrored ? x0 - run.x - run.count : x0 + run.x) - half;
        const int from = first < c.left ? c.left : first;
        const int to = first + run.count > c.right ? c.right : first + run.count;
        for (int col = from; col < to; ++col)
            line[col] = u16((line[col] & 0x7BDE) >> 1);
        return true;
    });
}

bool FrameContainsPoint(int px, int py, bool mirrored, int x0, int y0, const AnimFrame& frame) {
    bool hit = false;
    ForEachAnimRun(frame, [&](const AnimRun& run) {
        const int row = y0 + run.y;
        if (row > py) return false;
        if (row < py) return true;
        const int first = mirrored ? x0 - run.x - run.count : x0 + run.x;
        hit = first <= px && px < first + run.count;
        return !hit;
    });
    return hit;
}
