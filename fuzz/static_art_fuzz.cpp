// Fuzz target: static art records (row offsets and runs of skip, count and pixels) drawn by
// the clipped and the unclipped blitter. The first two bytes place the image; the rest are
// the record's 16-bit words.
#include <cstdint>
#include <cstring>
#include <vector>

#include "client/render/span_blit.h"

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    // Place at (-1, 2); 4 x 2: row 0 runs {1, 2 pixels}, row 1 {0, 4 pixels}.
    const u16 words[] = {0, 0, 4, 2, 0, 6, 1, 2, 0x7C00, 0x03E0, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0};
    std::vector<u8> seed = {0xFF, 0x02};
    const u8* bytes = reinterpret_cast<const u8*>(words);
    seed.insert(seed.end(), bytes, bytes + sizeof words);
    emit(seed.data(), seed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int x = static_cast<s8>(data[0]), y = static_cast<s8>(data[1]);
    std::vector<u16> words((size - 2) / 2);
    if (!words.empty()) std::memcpy(words.data(), data + 2, words.size() * 2);
    const ArtRecord art{words.data(), words.size()};
    std::vector<u16> target(40 * 30, 0);
    const BlitTarget into{target.data(), 40, 30};
    DrawArt(into, SpanCopyKeyed, art, x, y);
    DrawArtClipped(into, SpanBlendOver, art, ClipRect{5, 4, 33, 25}, x, y);
    DrawArtClipped(into, SpanCopy, art, ClipRect{-100, -100, 100, 100}, x, y);
    return 0;
}
