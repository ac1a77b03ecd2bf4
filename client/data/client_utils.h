#pragma once
// Small services used all over the client: tagged allocation, static-art pixels, the
// data-record key space, a few tests, and hooks whose bodies do nothing in this program
// (their callers keep calling them with real arguments).
#include <cstddef>
#include <string_view>

#include "platform/types.h"

// A block from the ordinary allocator; the tag names the block for diagnostics only.
void* TaggedNew(size_t size, const char* tag);
void TaggedDelete(void* block, const char* tag);

// A static-art record: 16-bit words, word 3 the height h, words 4 .. 4 + h - 1 the row
// offsets, row y's runs from word 4 + h + offset[y]: skip count, run length, pixels; a run
// length of 0 ends the row. `words` is the record's length in words: nothing outside it is
// read. 0 for transparent pixels, pixels outside the runs and a null record.
u16 GetArtPixel(const u16* record, size_t words, int x, int y);

// Graphics 1 and 8600..8610 are markers: neither drawn nor picked.
bool IsMarkerGraphic(u32 graphic);

// A pseudo-random number 0 .. n - 1 (0 when n < 1).
int ClientRandomBelow(int n);

// Scales the vector to length 1; a zero vector is left as it is.
void NormalizeVector3d(double& x, double& y, double& z);

// Privileged clients (editing tools of the full game) do not exist here.
inline bool IsPrivilegedClient() {
    return false;
}

// The data-record key space: every patchable record has key = base of its kind + index.
enum class DataKeyKind {
    kUnused = 0,
    kArt = 1,  // packet 0x42 and the palette loader
    kTileData = 2,
    kAnimData = 3,
    kHues = 4,
    kRegions = 5,
    kPacket94 = 6,
    kPacket92 = 7,
    kPacket40 = 8,
    kPacket3F = 9,
};
u32 DataKeyBase(DataKeyKind kind);
constexpr u32 kDataKeyTotal = 380666;

// Reports that a data record changed; nothing listens in this program.
void NoteDataBlockUpdate(u32 key, u32 value);

// True when a server name carries the test marker "(test)".
bool IsTestServerName(std::string_view name);
