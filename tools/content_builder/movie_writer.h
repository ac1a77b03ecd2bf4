#pragma once
// Writing movie files: the chunk container and the three sound codings, deterministic
// (the same input gives the same bytes). The frame codings' encoders join these later.
#include <string>
#include <vector>

#include "movie/movie_audio.h"
#include "platform/types.h"

namespace movie_writer {

// Appends chunks: the tag's four characters, the total size little-endian, the payload.
class MovieChunkWriter {
public:
    void Chunk(const char* tag, const std::vector<u8>& payload);
    // The end chunk ("SCEl").
    void End();
    const std::vector<u8>& Bytes() const { return bytes_; }

private:
    std::vector<u8> bytes_;
};

// The payload of a sound header chunk for the format: four unused bytes, the 0xFD mark,
// one record per field (tag, length, big-endian value of the fewest bytes that keep its
// sign), the 0x8A end record.
std::vector<u8> SoundHeaderPayload(const movie::MovieSoundFormat& format);

// Sound data payloads. `samples` holds `frames` frames of `channels` (1 or 2) interleaved
// 16-bit samples.
std::vector<u8> EncodePcmSound(const s16* samples, size_t frames, int channels);

// Block ADPCM: 28 frames per block (the last block padded with its final sample); the
// chunk's header carries the state the blocks start from, which `state` holds and carries
// to the next chunk.
std::vector<u8> EncodeBlockAdpcmSound(const s16* samples, size_t frames, int channels,
                                      movie::AdpcmChannelState state[2]);

// IMA ADPCM of stereo frames, one byte per frame (left in the high nibble); `state` is
// the decoder's state, carried from chunk to chunk exactly as the player's.
std::vector<u8> EncodeImaSound(const s16* stereo, size_t frames, movie::ImaChannelState state[2]);

}  // namespace movie_writer
