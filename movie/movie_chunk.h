#pragma once
// The movie file's chunks: an 8-byte header (four tag characters in file order, then the
// total size in bytes, little-endian, these 8 bytes included) and the payload. No file
// header: a movie is chunks until an end chunk or the end of the file.
#include <array>
#include <span>
#include <vector>

#include "platform/types.h"

namespace movie {

constexpr u32 kChunkHeaderBytes = 8;

// What reading one chunk gave.
constexpr int kChunkEnd = -1;      // end chunk, end of file, or a header too short
constexpr int kChunkSkipped = -2;  // unknown tag, refused chunk, failed read
constexpr int kChunkSoundHeader = 0;
constexpr int kChunkVideo = 1;
constexpr int kChunkSound = 2;
constexpr int kChunkIgnored = 4;

enum class ChunkKind { kSoundHeader, kSead, kSoundData, kIgnored, kEnd, kVideo, kUnknown };

struct ChunkTag {
    ChunkKind kind = ChunkKind::kUnknown;
    int frameType = 0;  // video chunks: 1 to 4
};

ChunkTag ClassifyChunkTag(const u8 tag[4]);

// True when a movie starting with these four bytes carries sound.
bool StartsWithSoundHeader(const u8 first[4]);

// A byte region of a ring buffer.
struct RingRegion {
    u32 offset = 0;
    u32 size = 0;
};

// A ring buffer into which chunks are placed whole: at the write pointer, or at the start
// when the chunk would end at or past the buffer's end. A chunk that would overwrite a
// region still queued is refused.
class ChunkRing {
public:
    explicit ChunkRing(u32 bytes) : bytes_(bytes, 0) {}
    u32 Capacity() const { return u32(bytes_.size()); }
    // The offset for `size` bytes, or -1 when they do not fit beside the live regions.
    s64 Place(u32 size, std::span<const RingRegion> live) const;
    // Moves the write pointer past a chunk placed at `offset`.
    void Commit(u32 offset, u32 size) { write_ = offset + size; }
    u8* At(u32 offset) { return bytes_.data() + offset; }
    u32 WritePointer() const { return write_; }

private:
    std::vector<u8> bytes_;
    u32 write_ = 0;
};

}  // namespace movie
