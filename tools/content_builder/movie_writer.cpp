#include "tools/content_builder/movie_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace movie_writer {
namespace {

void PutLe32(std::vector<u8>& out, u32 v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(u8(v >> (8 * i)));
}

void PutLe16(std::vector<u8>& out, s16 v) {
    out.push_back(u8(u16(v)));
    out.push_back(u8(u16(v) >> 8));
}

void PutRecord(std::vector<u8>& out, u8 tag, s32 value) {
    // The fewest bytes whose top bit still gives the value's sign.
    u8 length = 1;
    while (length < 4) {
        const s64 low = -(s64(1) << (8 * length - 1));
        const s64 high = (s64(1) << (8 * length - 1)) - 1;
        if (value >= low && value <= high) break;
        ++length;
    }
    out.push_back(tag);
    out.push_back(length);
    for (int i = length - 1; i >= 0; --i)
        out.push_back(u8(u32(value) >> (8 * i)));
}

// The code a sample wants under filter and shift, and the decoded result of it.
s32 BestAdpcmCode(const movie::AdpcmChannelState& state, s32 target, int filter, int shift) {
    static constexpr s32 k0[4] = {0, 240, 460, 392};
    static constexpr s32 k1[4] = {0, 0, -208, -220};
    const s64 predicted = s64(state.last) * k0[filter] + s64(state.before) * k1[filter];
    const s64 unit = s64(1) << (20 - shift);
    const s64 want = s64(target) * 256 - predicted;
    const s64 code = (want >= 0 ? want + unit / 2 : want - unit / 2) / unit;
    return s32(std::clamp<s64>(code, -8, 7));
}

// Encodes 28 samples of one channel with the filter and shift; answers the squared error.
u64 TryAdpcm(const s32* target, movie::AdpcmChannelState state, int filter, int shift, u8* codes) {
    u64 error = 0;
    for (int i = 0; i < 28; ++i) {
        const s32 code = BestAdpcmCode(state, target[i], filter, shift);
        const s32 got = movie::DecodeAdpcmSample(state, code, filter, shift);
        const s64 d = s64(got) - target[i];
        error += u64(d * d);
        codes[i] = u8(code & 0xF);
    }
    return error;
}

struct AdpcmChoice {
    int filter = 0;
    int shift = 0;
    u8 codes[28] = {};
};

AdpcmChoice ChooseAdpcm(const s32* target, movie::AdpcmChannelState& state) {
    AdpcmChoice best;
    u64 bestError = std::numeric_limits<u64>::max();
    for (int filter = 0; filter < 4; ++filter) {
        for (int shift = 0; shift <= 12; ++shift) {
            u8 codes[28];
            const u64 error = TryAdpcm(target, state, filter, shift, codes);
            if (error < bestError) {
                bestError = error;
                best.filter = filter;
                best.shift = shift;
                std::memcpy(best.codes, codes, sizeof codes);
            }
        }
    }
    for (int i = 0; i < 28; ++i)
        movie::DecodeAdpcmSample(state, s32(s8(u8(best.codes[i] << 4))) >> 4, best.filter,
                                 best.shift);
    return best;
}

u8 BestImaCode(const movie::ImaChannelState& state, s32 target) {
    u8 best = 0;
    s64 bestError = std::numeric_limits<s64>::max();
    for (u8 code = 0; code < 16; ++code) {
        movie::ImaChannelState trial = state;
        const s64 d = s64(movie::DecodeImaSample(trial, code)) - target;
        if (d * d < bestError) {
            bestError = d * d;
            best = code;
        }
    }
    return best;
}

}  // namespace

void MovieChunkWriter::Chunk(const char* tag, const std::vector<u8>& payload) {
    bytes_.insert(bytes_.end(), tag, tag + 4);
    PutLe32(bytes_, u32(payload.size() + 8));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
}

void MovieChunkWriter::End() {
    Chunk("SCEl", {});
}

std::vector<u8> SoundHeaderPayload(const movie::MovieSoundFormat& format) {
    std::vector<u8> out = {0, 0, 0, 0, 0xFD};
    PutRecord(out, 0x81, format.sampleBits);
    PutRecord(out, 0x82, format.channels);
    PutRecord(out, 0x83, format.compression);
    PutRecord(out, 0x84, format.sampleRate);
    out.push_back(0x8A);
    out.push_back(0);
    return out;
}

std::vector<u8> EncodePcmSound(const s16* samples, size_t frames, int channels) {
    std::vector<u8> out;
    PutLe32(out, u32(frames));
    for (size_t i = 0; i < frames * size_t(channels); ++i)
        PutLe16(out, samples[i]);
    return out;
}

std::vector<u8> EncodeBlockAdpcmSound(const s16* samples, size_t frames, int channels,
                                      movie::AdpcmChannelState state[2]) {
    std::vector<u8> out(4, 0);
    for (int c = 0; c < 2; ++c) {
        PutLe16(out, s16(state[c].last));
        PutLe16(out, s16(state[c].before));
    }
    const size_t blocks = (frames + 27) / 28;
    for (size_t b = 0; b < blocks; ++b) {
        s32 target[2][28];
        for (int i = 0; i < 28; ++i) {
            const size_t frame = std::min(b * 28 + size_t(i), frames - 1);
            for (int c = 0; c < channels; ++c)
                target[c][i] = samples[frame * size_t(channels) + size_t(c)];
        }
        if (channels == 1) {
            const AdpcmChoice choice = ChooseAdpcm(target[0], state[0]);
            out.push_back(u8(choice.filter << 4 | choice.shift));
            for (int i = 0; i < 28; i += 2)
                out.push_back(u8(choice.codes[i] << 4 | choice.codes[i + 1]));
        } else {
            const AdpcmChoice left = ChooseAdpcm(target[0], state[0]);
            const AdpcmChoice right = ChooseAdpcm(target[1], state[1]);
            out.push_back(u8(left.filter << 4 | right.filter));
            out.push_back(u8(left.shift << 4 | right.shift));
            for (int i = 0; i < 28; ++i)
                out.push_back(u8(left.codes[i] << 4 | right.codes[i]));
        }
    }
    return out;
}

std::vector<u8> EncodeImaSound(const s16* stereo, size_t frames, movie::ImaChannelState state[2]) {
    std::vector<u8> out;
    out.reserve(frames);
    for (size_t i = 0; i < frames; ++i) {
        const u8 left = BestImaCode(state[0], stereo[2 * i]);
        movie::DecodeImaSample(state[0], left);
        const u8 right = BestImaCode(state[1], stereo[2 * i + 1]);
        movie::DecodeImaSample(state[1], right);
        out.push_back(u8(left << 4 | right));
    }
    return out;
}

}  // namespace movie_writer
