#include "core/arena_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::uintptr_t Addr(void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

TEST(Arena, SmallBlocksShareAChunk) {
    ArenaAllocator arena;
    void* a = nullptr;
    void* b = nullptr;
    ArenaChunk* ca = arena.Alloc(5, &a);
    ArenaChunk* cb = arena.Alloc(5, &b);
    ASSERT_NE(ca, nullptr);
    EXPECT_EQ(ca, cb);
    EXPECT_EQ(Addr(b) - Addr(a), 8u);
    EXPECT_EQ(ca->capacity, kArenaChunkSize);
    EXPECT_EQ(Addr(ca->base) % kArenaChunkAlign, 0u);
    EXPECT_EQ(a, ca->base);
    EXPECT_EQ(arena.ChunkCount(), 1u);
}

TEST(Arena, ChunkSizes) {
    struct Case {
        std::size_t request;
        std::size_t capacity;
    } cases[] = {
        {1, 0x8000},      {0x8000, 0x8000},  // exactly a chunk
        {0x8001, 0xA000}, {0x9000, 0xA000}, {0xA000, 0xA000}, {0x100000, 0x100000},
    };
    for (const Case& c : cases) {
        ArenaAllocator arena;
        void* p = nullptr;
        ArenaChunk* chunk = arena.Alloc(c.request, &p);
        ASSERT_NE(chunk, nullptr);
        EXPECT_EQ(chunk->capacity, c.capacity) << std::hex << c.request;
        EXPECT_EQ(Addr(chunk->base) % kArenaChunkAlign, 0u);
        // Every handed-out byte is usable (the sanitizer checks the bounds).
        std::memset(p, 0xAB, c.request);
    }
}

TEST(Arena, GrowsWhenTheLastChunkIsShort) {
    ArenaAllocator arena;
    void* small = nullptr;
    ArenaChunk* first = arena.Alloc(16, &small);
    void* big = nullptr;
    ArenaChunk* second = arena.Alloc(0x9000, &big);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->capacity, 0xA000u);
    EXPECT_EQ(arena.ChunkCount(), 2u);
    // Later requests go to the last chunk while it has room, not back to the first.
    void* after = nullptr;
    EXPECT_EQ(arena.Alloc(0x1000, &after), second);
    EXPECT_EQ(Addr(after), Addr(big) + 0x9000);
    EXPECT_EQ(second->Free(), 0u);
    EXPECT_NE(arena.Alloc(1, &after), second);
    EXPECT_EQ(arena.ChunkCount(), 3u);
}

TEST(Arena, BlocksAreRoundedUpToAMultipleOfFourAndDisjoint) {
    // Each request's size rounded up to 4 is the distance to the next block of the chunk.
    struct Case {
        std::size_t size;
        std::size_t step;
    } cases[] = {{1, 4}, {3, 4}, {4, 4}, {5, 8}, {12, 12}, {7, 8}, {13, 16}, {24, 24}, {100, 100}};
    ArenaAllocator arena;
    void* previous = nullptr;
    std::size_t previousStep = 0;
    for (const Case& c : cases) {
        void* p = nullptr;
        ArenaChunk* chunk = arena.Alloc(c.size, &p);
        ASSERT_EQ(chunk, &arena.Chunk(0));
        if (previous) {
            EXPECT_EQ(Addr(p) - Addr(previous), previousStep) << c.size;
        }
        EXPECT_EQ(Addr(p) % 4, 0u);
        std::memset(p, 0xCD, c.size);
        previous = p;
        previousStep = c.step;
    }
    EXPECT_EQ(arena.Chunk(0).used, 4u + 4 + 4 + 8 + 12 + 8 + 16 + 24 + 100);
}

TEST(Arena, RefusesOversizedRequests) {
    ArenaAllocator arena;
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(arena.Alloc(kArenaMaxRequest + 1, &p), nullptr);
    EXPECT_EQ(p, nullptr);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(arena.Alloc(static_cast<std::size_t>(-1), &p), nullptr);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(arena.ChunkCount(), 0u);
    // A zero-byte request is fine.
    EXPECT_NE(arena.Alloc(0, &p), nullptr);
}

TEST(Arena, ProcessArenaKeepsItsData) {
    void* p = nullptr;
    ArenaChunk* chunk = ArenaAlloc(32, &p);
    ASSERT_NE(chunk, nullptr);
    chunk->BeginWrite();
    std::memcpy(p, "interned name", 14);
    chunk->EndWrite();
    void* q = nullptr;
    ArenaAlloc(32, &q);
    EXPECT_STREQ(static_cast<const char*>(p), "interned name");
    EXPECT_EQ(&GetArena(), &GetArena());
}

}  // namespace
