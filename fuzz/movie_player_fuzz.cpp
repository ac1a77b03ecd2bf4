// Fuzz target: the movie player on arbitrary files: the chunk reader, sound headers and sound
// data of every coding, the read-ahead queues and the playback loop, decoding into memory
// buffers with the sound paced by a silent stream.
#include <cstdint>
#include <cstring>
#include <vector>

#include "movie/movie_player.h"
#include "platform/audio_output.h"
#include "platform/clock.h"

namespace {

void PutChunk(std::vector<u8>& out, const char* tag, const std::vector<u8>& payload) {
    out.insert(out.end(), tag, tag + 4);
    const u32 size = u32(payload.size() + 8);
    for (int i = 0; i < 4; ++i)
        out.push_back(u8(size >> (8 * i)));
    out.insert(out.end(), payload.begin(), payload.end());
}

std::vector<u8> Header(u8 channels, u8 compression) {
    return {0, 0, 0, 0, 0xFD, 0x82, 1, channels, 0x83, 1, compression, 0x84, 2, 0x56, 0x22, 0x8A};
}

std::vector<u8> Frame(u8 fill) {
    std::vector<u8> p(64, fill);
    p[0] = 32;
    p[1] = 0;
    p[2] = 16;
    p[3] = 0;
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::ManualClock clock;
    movie::MemoryMovieSource source(data, size);
    std::vector<u8> target(320 * 240 * 4), reference(320 * 240 * 4);
    movie::MovieControl control;
    control.flags = movie::MOVIE_OWN_FILE | movie::MOVIE_MEMORY_TARGET | movie::MOVIE_SOUND |
                    movie::MOVIE_PIXEL_DOUBLE;
    control.file = &source;
    control.targetBuffer = target.data();
    control.referenceBuffer = reference.data();
    control.memoryBufferBytes = target.size();
    platform::HeadlessAudioOutput silent(movie::kDefaultStreamBytes, movie::kSilentStepBytes);
    control.audio = &silent;
    control.refillByCaller = true;
    clock.onYield = [&control] {
        if (control.context) movie::SoundRefillPass(control.context->stream);
    };
    movie::MoviePlayer("", &control);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (u8 compression : {0, 7, 10}) {
        for (u8 channels : {1, 2}) {
            std::vector<u8> file;
            PutChunk(file, "SCHl", Header(channels, compression));
            for (int i = 0; i < 6; ++i) {
                PutChunk(file, i % 2 ? "fVGT" : "kVGT", Frame(u8(i)));
                std::vector<u8> sound(4 + 12 + 30 * 3, u8(0x31 * i));
                sound[0] = 20;
                sound[1] = sound[2] = sound[3] = 0;
                PutChunk(file, "SCDl", sound);
            }
            PutChunk(file, "SCEl", {});
            emit(file.data(), file.size());
        }
    }
    std::vector<u8> silent;
    for (const char* tag : {"pQGT", "pIQT", "SCCl", "kVGT"})
        PutChunk(silent, tag, Frame(7));
    emit(silent.data(), silent.size());
    std::vector<u8> sead;
    PutChunk(sead, "SEAD", {});
    PutChunk(sead, "SCDl", std::vector<u8>(300, 0x7F));
    emit(sead.data(), sead.size());
}
