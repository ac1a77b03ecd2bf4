// Fuzz target: IMA ADPCM sound payloads decoded chunk after chunk with the state carried
// across (the first byte says where the input splits into two chunks).
#include <cstdint>
#include <vector>

#include "movie/movie_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    movie::MovieSoundDecoder decoder;
    decoder.format = movie::SeadSoundFormat();
    const size_t split = size > 1 ? data[0] % size : 0;
    const u8* chunks[2] = {data + 1, data + 1 + (split > 0 ? split - 1 : 0)};
    const size_t sizes[2] = {split > 0 ? split - 1 : 0, size - 1 - (split > 0 ? split - 1 : 0)};
    for (int c = 0; c < 2; ++c) {
        std::vector<u8> out(size_t(decoder.DecodedSize(chunks[c], sizes[c])));
        decoder.Decode(chunks[c], sizes[c], out.data());
        for (const movie::ImaChannelState& s : decoder.ima) {
            if (s.index < 0 || s.index > 88) __builtin_trap();
        }
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u8> input = {100};
    for (int i = 0; i < 400; ++i)
        input.push_back(u8(i * 53 + (i >> 3)));
    emit(input.data(), input.size());
    std::vector<u8> loud = {3};
    loud.resize(200, 0x77);
    emit(loud.data(), loud.size());
}
