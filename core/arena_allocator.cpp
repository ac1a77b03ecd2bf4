#include "core/arena_allocator.h"

#include <cstdint>
#include <new>

#include "core/zq_assert.h"

namespace {

// Block sizes are rounded up to this step, so every block starts on a 4-byte boundary: the
// arena's tables hold 8-, 16- and 32-bit fields only.
constexpr std::size_t kBlockAlign = 4;

std::size_t RoundUp(std::size_t v, std::size_t to) {
    return (v + to - 1) / to * to;
}

}  // namespace

ArenaAllocator::~ArenaAllocator() {
    for (ArenaChunk* c : chunks_) {
        delete[] c->raw;
        delete c;
    }
}

ArenaChunk* ArenaAllocator::Alloc(std::size_t size, void** out) {
    if (out != nullptr) *out = nullptr;
    if (size > kArenaMaxRequest) return nullptr;
    ArenaChunk* chunk = chunks_.empty() ? nullptr : chunks_.back();
    if (chunk == nullptr || chunk->Free() < size) {
        std::size_t capacity =
            size > kArenaChunkSize ? RoundUp(size, kArenaChunkAlign) : kArenaChunkSize;
        u8* raw = new (std::nothrow) u8[capacity + kArenaChunkAlign - 1];
        if (raw == nullptr) return nullptr;
        chunk = new (std::nothrow) ArenaChunk;
        if (chunk == nullptr) {
            delete[] raw;
            return nullptr;
        }
        std::uintptr_t at = reinterpret_cast<std::uintptr_t>(raw);
        chunk->raw = raw;
        chunk->base = raw + (RoundUp(at, kArenaChunkAlign) - at);
        chunk->capacity = capacity;
        chunk->used = 0;
        chunks_.push_back(chunk);
    }
    u8* address = chunk->base + chunk->used;
    // The last block of a chunk may end exactly at capacity; rounding never passes it since
    // capacity is a multiple of kBlockAlign.
    chunk->used += RoundUp(size, kBlockAlign);
    ZQ_ASSERT(chunk->used <= chunk->capacity, "a block never passes its chunk's capacity");
    if (out != nullptr) *out = address;
    return chunk;
}

ArenaAllocator& GetArena() {
    // Deliberately never destroyed: arena data may be read by other objects' destructors at
    // exit, and the pointer keeps every chunk reachable for the leak checker.
    static ArenaAllocator* arena = new ArenaAllocator;
    return *arena;
}

ArenaChunk* ArenaAlloc(std::size_t size, void** out) {
    return GetArena().Alloc(size, out);
}
