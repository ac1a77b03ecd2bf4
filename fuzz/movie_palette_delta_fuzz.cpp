// Fuzz target: the movie's palette delta frames (motion vectors, raw and four-colour codebook
// blocks, packed block indices) over a 64 x 48 key frame, twice in a row.
//
// Input: a delta frame payload.
#include <cstdint>
#include <cstring>

#include "movie/palette_frame.h"
#include "movie_fuzz_support.h"
#include "tools/content_builder/palette_frame_encoder.h"

using movie_fuzz::Check;

namespace {

const std::vector<u8>& KeyFrame() {
    static const std::vector<u8> frame = [] {
        const std::vector<u8> picture = movie_fuzz::PalettePicture(0);
        return movie_content::EncodePaletteKeyFrame(movie_fuzz::kWidth, movie_fuzz::kHeight,
                                                    {1, 2, 3, 4, 5, 6}, picture.data());
    }();
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    movie::PaletteFrameDecoder decoder;
    Check(!decoder.DecodePaletteDeltaFrame(data, size));  // before any key frame
    Check(decoder.DecodePaletteKeyFrame(KeyFrame().data(), KeyFrame().size()));
    const size_t pixels = size_t(decoder.Width()) * size_t(decoder.Height());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<u8> before(decoder.Picture(), decoder.Picture() + pixels);
        if (!decoder.DecodePaletteDeltaFrame(data, size))
            Check(std::memcmp(before.data(), decoder.Picture(), pixels) == 0);
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> first = movie_fuzz::PalettePicture(0);
    for (int shift : {1, 4}) {
        const std::vector<u8> next = movie_fuzz::PalettePicture(shift);
        const std::vector<u8> delta = movie_content::EncodePaletteDeltaFrame(
            movie_fuzz::kWidth, movie_fuzz::kHeight, first.data(), next.data());
        emit(delta.data(), delta.size());
    }
}
