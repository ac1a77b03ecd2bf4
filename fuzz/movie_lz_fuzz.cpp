// Fuzz target: the LZ coding of the movie's palette key frames, alone and inside a key frame.
//
// Input: an LZ stream (header, size and commands).
#include <cstdint>
#include <cstring>

#include "movie/palette_frame.h"
#include "movie_fuzz_support.h"
#include "tools/content_builder/palette_frame_encoder.h"

using movie_fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Output buffers of exactly their capacity: a write past one is caught.
    for (size_t capacity : {size_t(0), size_t(1), size_t(100), size_t(3072)}) {
        std::vector<u8> out(capacity);
        size_t written = 99999;
        const u32 declared = movie::DecompressLz(data, size, out.data(), out.size(), &written);
        Check(written <= capacity);
        Check(movie::DecompressLz(data, size, nullptr, 0) == declared);
    }
    // The same bytes as the picture of a 64 x 48 key frame.
    std::vector<u8> frame = {64, 0, 48, 0, 0, 0, 1, 0, 0, 0, 0, 0, 10, 20, 30};
    frame.insert(frame.end(), data, data + size);
    movie::PaletteFrameDecoder decoder;
    Check(decoder.DecodePaletteKeyFrame(frame.data(), frame.size()));
    Check(decoder.Width() == 64 && decoder.Height() == 48);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (int shift : {0, 5}) {
        const std::vector<u8> picture = movie_fuzz::PalettePicture(shift);
        const std::vector<u8> lz = movie_content::EncodeLz(picture.data(), picture.size());
        emit(lz.data(), lz.size());
    }
}
