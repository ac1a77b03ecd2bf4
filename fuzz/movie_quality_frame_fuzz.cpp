// Fuzz target: the movie's quality-coded transform frames (flat and coded macroblock records),
// decoded into display pixels, single and paired, and into samples.
//
// Input: a frame payload (header and macroblock records).
#include <cstdint>

#include "movie_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    movie_fuzz::DecodeEverywhere(data, size, movie::DecodeQualityFrame);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    movie_content::TransformFrameEncoder encoder;
    for (int quality : {20, 90, 100}) {
        const std::vector<u8> frame = encoder.EncodeQualityFrame(
            movie_fuzz::Scene(quality / 10, movie::ColourRange::kFull), quality);
        emit(frame.data(), frame.size());
    }
}
