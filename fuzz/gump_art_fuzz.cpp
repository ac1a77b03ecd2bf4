// Fuzz target: gump art records as the data cache hands them out. The input's first four
// bytes are the index entry's extra word (width << 16 | height), the next two a placement,
// the rest the record; the record is drawn into a small buffer through the keyed and the
// plain copy, clipped, and read pixel by pixel.
#include <cstdint>
#include <cstring>
#include <vector>

#include "client/data/gump_art.h"

namespace {

class OneRecord : public GumpArtServices {
public:
    GumpArtRecord record;
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        if (id != 1) return false;
        out = record;
        return true;
    }
};

void PutU32(std::vector<u8>& out, u32 v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<u8>(v >> (8 * i)));
}

}  // namespace

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    // 5 x 3: header, placement, row offsets 3, 5, 6 then runs.
    std::vector<u8> seed;
    PutU32(seed, 5u << 16 | 3u);
    seed.push_back(0xFE);  // x -2
    seed.push_back(0x01);  // y 1
    for (u32 offset : {3u, 5u, 6u})
        PutU32(seed, offset);
    PutU32(seed, 2u << 16 | 0x7C00);
    PutU32(seed, 3u << 16 | 0);
    PutU32(seed, 5u << 16 | 0x03E0);
    PutU32(seed, 1u << 16 | 0x001F);
    PutU32(seed, 4u << 16 | 0x7FFF);
    emit(seed.data(), seed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    OneRecord source;
    GumpArtServices* previous = SetGumpArtServices(&source);
    u32 extra;
    std::memcpy(&extra, data, 4);
    const int x = static_cast<s8>(data[4]), y = static_cast<s8>(data[5]);
    // The record in a buffer of its own, so that a read past it is caught.
    std::vector<u8> record(data + 6, data + size);
    source.record = GumpArtRecord{record.data(), record.size(), extra};
    std::vector<u16> dst(48 * 32, 0x1111);
    CopyGumpToBuf(SpanCopyKeyed, 1, x, y, dst.data(), 48, 32);
    CopyGumpToBufClipped(SpanCopy, 1, ClipRect{3, 2, 40, 30}, x, y, dst.data(), 48, 32);
    int w = 0, h = 0;
    if (GetGumpArtSize(1, w, h))
        for (int py = 0; py < h && py < 8; ++py)
            for (int px = 0; px < w && px < 8; ++px)
                GetGumpArtPixel(1, px, py);
    SetGumpArtServices(previous);
    return 0;
}
