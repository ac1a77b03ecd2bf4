#include "movie/movie_audio.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/byte_order.h"
#include "platform/clock.h"

namespace movie {
namespace {

s16 Clamp16(s32 v) {
    return s16(std::clamp(v, -32768, 32767));
}

void Put16(u8* out, s16 v) {
    out[0] = u8(u16(v));
    out[1] = u8(u16(v) >> 8);
}

constexpr s32 kAdpcmK0[4] = {0, 240, 460, 392};
constexpr s32 kAdpcmK1[4] = {0, 0, -208, -220};
constexpr s32 kImaIndexStep[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

bool Stereo(const MovieSoundFormat& format) {
    return format.channels == 2;
}

}  // namespace

const std::array<s16, 89> kImaStepTable = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

MovieSoundFormat SeadSoundFormat() {
    MovieSoundFormat format;
    format.sampleBits = 16;
    format.channels = 2;
    format.sampleRate = 22050;
    format.compression = kCompressionIma;
    return format;
}

void ParseSoundHeader(const u8* payload, size_t size, MovieSoundFormat& format) {
    format = MovieSoundFormat{};
    size_t at = 4;
    // Records before the 0xFD mark are skipped unread.
    while (at < size && payload[at] != 0xFD) {
        if (at + 2 > size) return;
        at += 2 + payload[at + 1];
    }
    if (at >= size) return;
    ++at;
    while (at < size && payload[at] != 0x8A) {
        if (at + 2 > size) return;
        const u8 tag = payload[at];
        const u32 length = payload[at + 1];
        at += 2;
        if (at + length > size) return;
        u32 value = 0;
        for (u32 i = 0; i < length; ++i)
            value = (value << 8) | payload[at + i];
        at += length;
        s32 signedValue = s32(value);
        // Short values are signed by their own width.
        if (length >= 1 && length <= 3 && (value >> (8 * length - 1)) & 1)
            signedValue = s32(value | (~0u << (8 * length)));
        switch (tag) {
            case 0x81:
                format.sampleBits = signedValue;
                break;
            case 0x82:
                format.channels = signedValue;
                break;
            case 0x83:
                format.compression = signedValue;
                break;
            case 0x84:
                format.sampleRate = signedValue;
                break;
            default:
                break;
        }
    }
}

s16 DecodeImaSample(ImaChannelState& state, u8 code) {
    code &= 0xF;
    const s32 step = kImaStepTable[size_t(state.index)];
    s32 diff = step >> 3;
    if (code & 4) diff += step;
    if (code & 2) diff += step >> 1;
    if (code & 1) diff += step >> 2;
    if (code & 8) diff = -diff;
    state.sample = Clamp16(s32(state.sample) + diff);
    state.index = std::clamp(state.index + kImaIndexStep[code & 7], 0, 88);
    return state.sample;
}

s16 DecodeAdpcmSample(AdpcmChannelState& state, s32 code, int filter, int shift) {
    // The code sits in the top four bits of a word, then comes down by shift + 8.
    const s32 scaled = s32(u32(code) << 28) >> std::min(shift + 8, 31);
    const s32 value =
        (state.last * kAdpcmK0[filter] + state.before * kAdpcmK1[filter] + scaled + 128) >> 8;
    const s16 sample = Clamp16(value);
    state.before = state.last;
    state.last = sample;
    return sample;
}

bool DecodeAdpcmBlock(const u8* block, bool stereo, AdpcmChannelState state[2], s16* out) {
    if (!stereo) {
        const int filter = block[0] >> 4;
        const int shift = block[0] & 0xF;
        if (filter > 3) return false;
        for (int i = 0; i < 14; ++i) {
            const u8 b = block[1 + i];
            for (int half = 0; half < 2; ++half) {
                const s32 code = s32(s8(u8((half == 0 ? b >> 4 : b & 0xF) << 4))) >> 4;
                const s16 s = DecodeAdpcmSample(state[0], code, filter, shift);
                *out++ = s;
                *out++ = s;
            }
        }
        return true;
    }
    const int filters[2] = {block[0] >> 4, block[0] & 0xF};
    const int shifts[2] = {block[1] >> 4, block[1] & 0xF};
    if (filters[0] > 3 || filters[1] > 3) return false;
    for (int i = 0; i < 28; ++i) {
        const u8 b = block[2 + i];
        const s32 left = s32(s8(u8(b & 0xF0))) >> 4;
        const s32 right = s32(s8(u8(b << 4))) >> 4;
        *out++ = DecodeAdpcmSample(state[0], left, filters[0], shifts[0]);
        *out++ = DecodeAdpcmSample(state[1], right, filters[1], shifts[1]);
    }
    return true;
}

s64 MovieSoundDecoder::DecodedSize(const u8* payload, size_t size) const {
    switch (format.compression) {
        case kCompressionPcm: {
            if (size < 4) return 0;
            u32 n;
            std::memcpy(&n, payload, 4);
            // A count beyond the payload is cut to the samples it holds.
            const u64 held = (size - 4) / (Stereo(format) ? 4 : 2);
            return s64(std::min<u64>(n, held)) * 4;
        }
        case kCompressionBlockAdpcm:
            if (size < 12) return 0;
            return s64((size - 12) / (Stereo(format) ? 30 : 15)) * 112;
        case kCompressionIma:
            return s64(size) * 4;
        default:
            return -1;
    }
}

bool MovieSoundDecoder::Decode(const u8* payload, size_t size, u8* out) {
    const s64 decoded = DecodedSize(payload, size);
    if (decoded < 0) return false;
    switch (format.compression) {
        case kCompressionPcm: {
            const u32 n = u32(decoded / 4);
            if (Stereo(format)) {
                std::memcpy(out, payload + 4, size_t(n) * 4);
            } else {
                for (u32 i = 0; i < n; ++i) {
                    std::memcpy(out + 4 * i, payload + 4 + 2 * i, 2);
                    std::memcpy(out + 4 * i + 2, payload + 4 + 2 * i, 2);
                }
            }
            return true;
        }
        case kCompressionBlockAdpcm: {
            // Shorter than its header: nothing to decode (and no header to read).
            if (decoded == 0) return true;
            AdpcmChannelState state[2];
            for (int c = 0; c < 2; ++c) {
                state[c].last = s16(LoadLe16(payload + 4 + 4 * c));
                state[c].before = s16(LoadLe16(payload + 6 + 4 * c));
            }
            const bool stereo = Stereo(format);
            const size_t blockBytes = stereo ? 30 : 15;
            const size_t blocks = size_t(decoded / 112);
            s16 frames[56];
            for (size_t b = 0; b < blocks; ++b) {
                if (!DecodeAdpcmBlock(payload + 12 + b * blockBytes, stereo, state, frames))
                    return false;
                for (int i = 0; i < 56; ++i)
                    Put16(out + b * 112 + 2 * size_t(i), frames[i]);
            }
            return true;
        }
        case kCompressionIma:
            // Left in the high nibble, right in the low one, whatever the header says.
            for (size_t i = 0; i < size; ++i) {
                Put16(out + 4 * i, DecodeImaSample(ima[0], payload[i] >> 4));
                Put16(out + 4 * i + 2, DecodeImaSample(ima[1], payload[i] & 0xF));
            }
            return true;
        default:
            return false;
    }
}

void MovieSoundStream::Queue(const u8* data, u32 size, s32 clockTag, s32 audioCount) {
    AudioSlot& slot = slots[size_t(slotsWritten.load(std::memory_order_relaxed)) % kQueueSlots];
    slot.data = data;
    slot.size = size;
    slot.clockTag = clockTag;
    slot.audioCount = audioCount;
    slotsWritten.fetch_add(1, std::memory_order_release);
    queued.fetch_add(1, std::memory_order_release);
}

void CreateSoundStream(MovieSoundStream& stream, platform::AudioOutput* lent, bool wantDevice,
                       int sampleRate) {
    stream.output = lent;
    if (!stream.output && wantDevice) {
        std::string error;
        stream.ownOutput = platform::OpenSdlAudioOutput(sampleRate, stream.desiredSize, &error);
        stream.output = stream.ownOutput.get();
        // The player hears nothing: say so once, however often a stream is made.
        static std::atomic<bool> told{false};
        if (!error.empty() && !told.exchange(true))
            std::fprintf(stderr, "Sound is off: %s.\n", error.c_str());
    }
    if (!stream.output) {
        stream.ownOutput =
            std::make_unique<platform::HeadlessAudioOutput>(kDefaultStreamBytes, kSilentStepBytes);
        stream.output = stream.ownOutput.get();
    }
    stream.silent = stream.output->Silent();
    stream.bufferSize = stream.output->RingBytes();
    stream.writePosition = 0;
    stream.created.store(true, std::memory_order_release);
}

void SoundRefillPass(MovieSoundStream& stream) {
    if (!stream.created.load(std::memory_order_acquire)) return;
    platform::AudioOutput& out = *stream.output;
    const u32 play = out.PlayPosition();
    u32 free = play - stream.writePosition;
    if (stream.writePosition > play) free += stream.bufferSize;
    const size_t index = size_t(stream.slotsRead.load(std::memory_order_relaxed)) % kQueueSlots;
    if (stream.queued.load(std::memory_order_acquire) > 0) {
        AudioSlot& slot = stream.slots[index];
        if (free < slot.size) return;
        if (!stream.silent) out.Write(stream.writePosition, slot.data, slot.size);
        stream.writePosition = (stream.writePosition + slot.size) % stream.bufferSize;
        const s32 tag = slot.clockTag;
        slot = AudioSlot{};
        stream.slotsRead.fetch_add(1, std::memory_order_acq_rel);
        stream.clock.exchange(tag, std::memory_order_acq_rel);
        stream.queued.fetch_sub(1, std::memory_order_acq_rel);
        return;
    }
    if (!stream.silent) out.WriteSilence(stream.writePosition, free);
    stream.writePosition = (stream.writePosition + free) % stream.bufferSize;
    stream.clock.fetch_add(1, std::memory_order_acq_rel);
}

bool SoundRefillThread::Start(MovieSoundStream& stream) {
    Stop();
    run_.store(true, std::memory_order_release);
    try {
        thread_ = std::thread([this, &stream] {
            platform::SleepMs(kRefillPeriodMs);
            while (run_.load(std::memory_order_acquire)) {
                SoundRefillPass(stream);
                platform::SleepMs(kRefillPeriodMs);
            }
        });
    } catch (...) {
        run_.store(false);
        return false;
    }
    return true;
}

void SoundRefillThread::Stop() {
    run_.store(false, std::memory_order_release);
    if (thread_.joinable()) thread_.join();
}

}  // namespace movie
