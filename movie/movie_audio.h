#pragma once
// Movie sound: the sound format set by header chunks, the three sample codings decoded
// into 16-bit stereo, and the stream that carries decoded chunks to the sound output. A
// refill thread tops the stream up every 15 ms and publishes the sound clock that paces
// the picture.
#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "platform/audio_output.h"
#include "platform/types.h"

namespace movie {

constexpr s32 kCompressionPcm = 0;
constexpr s32 kCompressionBlockAdpcm = 7;
constexpr s32 kCompressionIma = 10;

// Header and data payloads above this size are refused.
constexpr u32 kMaxSoundPayload = 32768;
// Stream size when the caller lends no output with a ring of its own.
constexpr u32 kDefaultStreamBytes = 32768;
// How far the play position moves per refill pass when nothing is heard.
constexpr u32 kSilentStepBytes = 882;
constexpr u32 kRefillPeriodMs = 15;
constexpr int kQueueSlots = 24;

struct MovieSoundFormat {
    s32 sampleBits = 16;
    s32 channels = 1;
    s32 sampleRate = 22050;
    s32 compression = kCompressionPcm;
};

// The format a "SEAD" chunk announces.
MovieSoundFormat SeadSoundFormat();

// Reads the records of a sound header payload into `format` (starting from the defaults).
// Reading stops at the end of the payload when a record runs past it.
void ParseSoundHeader(const u8* payload, size_t size, MovieSoundFormat& format);

// The 89 step sizes of IMA ADPCM.
extern const std::array<s16, 89> kImaStepTable;

struct ImaChannelState {
    s16 sample = 0;
    s32 index = 0;
};

// One IMA code (low 4 bits of `code`) decoded on `state`; answers the new sample.
s16 DecodeImaSample(ImaChannelState& state, u8 code);

struct AdpcmChannelState {
    s32 last = 0;
    s32 before = 0;
};

// One 4-bit code (-8..7) of the block coding with filter 0..3 and shift `shift`.
s16 DecodeAdpcmSample(AdpcmChannelState& state, s32 code, int filter, int shift);

// Decodes one block (15 bytes mono, 30 bytes stereo) into 28 stereo frames (112 bytes) at
// `out`. False when a filter index is above 3: the block's output is then undefined.
bool DecodeAdpcmBlock(const u8* block, bool stereo, AdpcmChannelState state[2], s16* out);

// Decoding of sound data payloads with the format of the movie's header.
class MovieSoundDecoder {
public:
    MovieSoundFormat format;
    std::array<ImaChannelState, 2> ima{};

    // Size in bytes of the decoded stereo samples of a payload; -1 when the coding is
    // unknown.
    s64 DecodedSize(const u8* payload, size_t size) const;
    // Decodes a payload into `out` (at least DecodedSize bytes). False when the payload
    // cannot be decoded (unknown coding, a filter above 3): the chunk is dropped.
    bool Decode(const u8* payload, size_t size, u8* out);
};

struct AudioSlot {
    const u8* data = nullptr;
    u32 size = 0;
    s32 clockTag = 0;
    s32 audioCount = 0;
};

// The audio queue and the stream: the playing thread produces slots, the refill pass
// consumes them.
struct MovieSoundStream {
    std::array<AudioSlot, kQueueSlots> slots{};
    std::atomic<s32> slotsRead{0};
    std::atomic<s32> slotsWritten{0};
    std::atomic<s32> queued{0};
    std::atomic<s32> clock{0};

    // The output: lent by the caller, or owned (a device, or the silent stand-in).
    platform::AudioOutput* output = nullptr;
    std::unique_ptr<platform::AudioOutput> ownOutput;
    std::atomic<bool> created{false};
    bool silent = false;
    u32 bufferSize = 0;
    u32 writePosition = 0;
    // The size a stream made now would get.
    u32 desiredSize = kDefaultStreamBytes;

    // Queues a decoded chunk (the slot's bytes must stay put until consumed).
    void Queue(const u8* data, u32 size, s32 clockTag, s32 audioCount);
};

// Makes the stream on `lent` when given, else on a device opened at `sampleRate`, else
// silent (the position moves kSilentStepBytes per pass). A device that cannot be opened is
// reported on stderr in one line, the first time only.
void CreateSoundStream(MovieSoundStream& stream, platform::AudioOutput* lent, bool wantDevice,
                       int sampleRate);

// One refill pass: copies the next queued slot when the free space holds it, or fills the
// free space with silence when the queue is empty; moves the sound clock. Does nothing
// before the stream is made.
void SoundRefillPass(MovieSoundStream& stream);

// The refill thread: a pass every 15 ms while running.
class SoundRefillThread {
public:
    ~SoundRefillThread() { Stop(); }
    // False when the thread cannot be made.
    bool Start(MovieSoundStream& stream);
    void Stop();

private:
    std::atomic<bool> run_{false};
    std::thread thread_;
};

}  // namespace movie
