// Fuzz target: the movie's variable-length-coded transform frames (copy flags, DC prediction,
// run/level codes and escapes, both colour ranges), decoded into display pixels, single and
// paired, and into samples, with a previous picture to copy from.
//
// Input: a frame payload (header and bit stream).
#include <cstdint>

#include "movie_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    movie_fuzz::DecodeEverywhere(data, size, movie::DecodeVlcFrame);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (movie::ColourRange range : {movie::ColourRange::kFull, movie::ColourRange::kStudio}) {
        movie_content::TransformFrameEncoder encoder;
        for (int shift : {0, 3}) {
            const std::vector<u8> frame =
                encoder.EncodeVlcFrame(movie_fuzz::Scene(shift, range), 80, range, true);
            emit(frame.data(), frame.size());
        }
    }
}
