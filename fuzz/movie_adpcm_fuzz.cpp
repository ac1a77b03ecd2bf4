// Fuzz target: block ADPCM sound payloads, mono and stereo (the first byte picks), decoded
// into a buffer of exactly the announced size.
#include <cstdint>
#include <vector>

#include "movie/movie_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    movie::MovieSoundDecoder decoder;
    decoder.format.compression = movie::kCompressionBlockAdpcm;
    decoder.format.channels = (data[0] & 1) ? 2 : 1;
    const s64 decoded = decoder.DecodedSize(data + 1, size - 1);
    if (decoded < 0) __builtin_trap();
    std::vector<u8> out(static_cast<size_t>(decoded));
    decoder.Decode(data + 1, size - 1, out.data());
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u8> mono = {0};
    mono.resize(1 + 12, 0);
    for (int b = 0; b < 4; ++b) {
        mono.push_back(u8(b << 4 | (b * 3)));
        for (int i = 0; i < 14; ++i)
            mono.push_back(u8(i * 37 + b));
    }
    emit(mono.data(), mono.size());
    std::vector<u8> stereo = {1};
    stereo.resize(1 + 12, 0x40);
    for (int b = 0; b < 3; ++b) {
        stereo.push_back(u8(b << 4 | (3 - b)));
        stereo.push_back(u8(0xC0 | b));
        for (int i = 0; i < 28; ++i)
            stereo.push_back(u8(i * 91 + b));
    }
    emit(stereo.data(), stereo.size());
}
