#include "movie/movie_chunk.h"

#include <cstring>

namespace movie {
namespace {

struct TagEntry {
    char tag[5];
    ChunkKind kind;
    int frameType;
};

constexpr TagEntry kTags[] = {
    {"SCHl", ChunkKind::kSoundHeader, 0}, {"lHCS", ChunkKind::kSoundHeader, 0},
    {"1SNh", ChunkKind::kSoundHeader, 0}, {"SEAD", ChunkKind::kSead, 0},
    {"SCDl", ChunkKind::kSoundData, 0},   {"1SNd", ChunkKind::kSoundData, 0},
    {"SNDC", ChunkKind::kSoundData, 0},   {"CDNS", ChunkKind::kSoundData, 0},
    {"SCCl", ChunkKind::kIgnored, 0},     {"lCCS", ChunkKind::kIgnored, 0},
    {"SCLl", ChunkKind::kIgnored, 0},     {"lLCS", ChunkKind::kIgnored, 0},
    {"SCEl", ChunkKind::kEnd, 0},         {"1SNe", ChunkKind::kEnd, 0},
    {"SEND", ChunkKind::kEnd, 0},         {"kVGT", ChunkKind::kVideo, 1},
    {"TGVk", ChunkKind::kVideo, 1},       {"fVGT", ChunkKind::kVideo, 2},
    {"TGVf", ChunkKind::kVideo, 2},       {"pQGT", ChunkKind::kVideo, 3},
    {"MQMf", ChunkKind::kVideo, 3},       {"pIQT", ChunkKind::kVideo, 4},
    {"QM2f", ChunkKind::kVideo, 4},
};

bool Overlaps(u32 offset, u32 size, const RingRegion& r) {
    return r.size > 0 && size > 0 && offset < r.offset + r.size && r.offset < offset + size;
}

}  // namespace

ChunkTag ClassifyChunkTag(const u8 tag[4]) {
    for (const TagEntry& e : kTags) {
        if (std::memcmp(e.tag, tag, 4) == 0) return ChunkTag{e.kind, e.frameType};
    }
    return ChunkTag{};
}

bool StartsWithSoundHeader(const u8 first[4]) {
    return std::memcmp(first, "SEAD", 4) == 0 || std::memcmp(first, "SCHl", 4) == 0 ||
           std::memcmp(first, "1SNh", 4) == 0;
}

s64 ChunkRing::Place(u32 size, std::span<const RingRegion> live) const {
    if (size >= Capacity()) return -1;
    u32 offset = write_;
    if (u64(offset) + size >= Capacity()) offset = 0;
    for (const RingRegion& r : live) {
        if (Overlaps(offset, size, r)) return -1;
    }
    return offset;
}

}  // namespace movie
