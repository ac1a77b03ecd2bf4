#pragma once
// A grow-only allocator for data that lives until the process ends (interned script names,
// the tile-data, animation and hue tables). Nothing is ever released one by one.
#include <cstddef>
#include <vector>

#include "platform/types.h"

constexpr std::size_t kArenaChunkSize = 0x8000;
constexpr std::size_t kArenaChunkAlign = 8192;
// Requests larger than this are refused (a null address), never an overflowing size.
constexpr std::size_t kArenaMaxRequest = std::size_t{1} << 30;

struct ArenaChunk {
    u8* base;              // first usable byte, aligned to kArenaChunkAlign
    u8* raw;               // the allocation base lies in
    std::size_t capacity;  // usable bytes from base
    std::size_t used;

    std::size_t Free() const { return capacity - used; }
    // Bracket writes into arena data; nothing to do in this build.
    void BeginWrite() {}
    void EndWrite() {}
};

class ArenaAllocator {
public:
    ArenaAllocator() = default;
    // Frees the chunks: only for arenas of a limited life (tests); the process-wide arena is
    // never destroyed.
    ~ArenaAllocator();
    ArenaAllocator(const ArenaAllocator&) = delete;
    ArenaAllocator& operator=(const ArenaAllocator&) = delete;

    // Hands out size bytes (4-byte aligned; the size is rounded up to a multiple of 4) from the
    // last chunk when it has room, otherwise from a new chunk of kArenaChunkSize bytes, or of size
    // rounded up to kArenaChunkAlign when size is larger. Answers the chunk and stores the address
    // in *out; on failure (a request above kArenaMaxRequest, or no memory) answers null and stores
    // null.
    ArenaChunk* Alloc(std::size_t size, void** out);

    std::size_t ChunkCount() const { return chunks_.size(); }
    const ArenaChunk& Chunk(std::size_t i) const { return *chunks_.at(i); }

private:
    std::vector<ArenaChunk*> chunks_;
};

// The process-wide arena (server thread only). It stays reachable until exit.
ArenaAllocator& GetArena();

// Alloc on the process-wide arena.
ArenaChunk* ArenaAlloc(std::size_t size, void** out);
