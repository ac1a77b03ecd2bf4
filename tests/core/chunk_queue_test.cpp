#include "core/chunk_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<u8> Bytes(s32 n, u8 first) {
    std::vector<u8> v(static_cast<size_t>(n));
    for (s32 i = 0; i < n; ++i)
        v[static_cast<size_t>(i)] = static_cast<u8>(first + i);
    return v;
}

TEST(ChunkQueue, GetTakesWholeChunksStrictlyBelowTheCapacity) {
    // Puts of the given sizes, then one Get of `size`: how many bytes come out and how many
    // chunks stay queued.
    struct Case {
        const char* name;
        std::vector<s32> puts;
        s32 size;
        s32 got;
        s32 left;
    };
    const Case cases[] = {
        {"third chunk would reach exactly the capacity", {10, 10, 10}, 30, 20, 1},
        {"one byte of room to spare takes all", {10, 10, 10}, 31, 30, 0},
        {"a later chunk that does not fit waits", {10, 25, 1}, 30, 10, 2},
        {"no skipping past a chunk that does not fit", {5, 30, 1}, 20, 5, 2},
        {"empty queue", {}, 64, 0, 0},
        {"empty puts queue nothing", {0, 0}, 64, 0, 0},
        {"zero capacity", {3}, 0, 0, 1},
        {"negative capacity", {3}, -5, 0, 1},
    };
    for (const Case& c : cases) {
        ChunkQueue q;
        u8 next = 0;
        for (s32 n : c.puts) {
            std::vector<u8> b = Bytes(n, next);
            EXPECT_EQ(q.Put(b.data(), n), n) << c.name;
            next = static_cast<u8>(next + n);
        }
        std::vector<u8> buf(64, 0xEE);
        EXPECT_EQ(q.Get(buf.data(), c.size), c.got) << c.name;
        EXPECT_EQ(q.CountChunks(), c.left) << c.name;
        for (s32 i = 0; i < c.got; ++i)
            EXPECT_EQ(buf[static_cast<size_t>(i)], i) << c.name;
        // Bytes past what was taken are never written.
        for (size_t i = static_cast<size_t>(c.got); i < buf.size(); ++i) {
            ASSERT_EQ(buf[i], 0xEE) << c.name << " wrote byte " << i;
        }
    }
}

TEST(ChunkQueue, ChunksComeOutInPutOrderWithoutMerging) {
    ChunkQueue q;
    const std::string parts[] = {"alpha", "be", "gamma!", "d"};
    for (const std::string& p : parts)
        q.Put(p.data(), static_cast<s32>(p.size()));
    // A buffer of 8 takes "alpha"+"be" (7 bytes); "gamma!" would reach 13 and waits.
    char buf[16] = {};
    ASSERT_EQ(q.Get(buf, 8), 7);
    EXPECT_EQ(std::string(buf, 7), "alphabe");
    ASSERT_EQ(q.Get(buf, 8), 7);
    EXPECT_EQ(std::string(buf, 7), "gamma!d");
    EXPECT_EQ(q.Get(buf, 8), 0);
    EXPECT_EQ(q.CountChunks(), 0);
}

TEST(ChunkQueue, RefusedPutsQueueNothing) {
    ChunkQueue q;
    const u8 b[4] = {1, 2, 3, 4};
    EXPECT_EQ(q.Put(b, 0), 0);
    EXPECT_EQ(q.Put(b, -1), 0);
    EXPECT_EQ(q.Put(nullptr, 4), 0);
    EXPECT_EQ(q.CountChunks(), 0);
    // The queue keeps its own copy: changing the caller's bytes after the put changes nothing.
    u8 src[3] = {7, 8, 9};
    q.Put(src, 3);
    src[0] = 0;
    u8 out[8] = {};
    ASSERT_EQ(q.Get(out, 8), 3);
    EXPECT_EQ(out[0], 7);
}

TEST(ChunkQueue, ChunkLargerThanTheReadersBufferStillGetsThrough) {
    // A chunk as large as or larger than the reader's buffer could never be taken whole; it is
    // handed out in pieces of size - 1 so the link keeps moving, and the bytes arrive intact.
    struct Case {
        s32 chunk;
        s32 size;
    };
    const Case cases[] = {{30, 30}, {100, 30}, {1000, 7}, {5, 2}};
    for (const Case& c : cases) {
        ChunkQueue q;
        std::vector<u8> big = Bytes(c.chunk, 1);
        const u8 tail[2] = {0xA1, 0xA2};
        q.Put(big.data(), c.chunk);
        q.Put(tail, 2);
        std::vector<u8> got;
        std::vector<u8> buf(static_cast<size_t>(c.size));
        int calls = 0;
        for (;;) {
            s32 n = q.Get(buf.data(), c.size);
            if (n == 0) break;
            ASSERT_LT(n, c.size);
            got.insert(got.end(), buf.begin(), buf.begin() + n);
            ASSERT_LT(++calls, 10000) << "link stalled";
        }
        std::vector<u8> want = big;
        want.insert(want.end(), tail, tail + 2);
        EXPECT_EQ(got, want) << c.chunk << " into " << c.size;
        EXPECT_EQ(q.CountChunks(), 0);
    }
    // A one-byte buffer has no room below its capacity: nothing can move through it.
    ChunkQueue q;
    const u8 one = 5;
    q.Put(&one, 1);
    u8 b = 0;
    EXPECT_EQ(q.Get(&b, 1), 0);
    EXPECT_EQ(q.Get(&b, 2), 1);
}

TEST(ChunkQueue, AChunkThatFitsTheWholeBufferWaitsForRoomInsteadOfBeingCut) {
    // A reader with a 64-byte buffer holds some bytes already (a partial packet) and offers
    // only the rest as room. A head chunk that fits the whole buffer but not the room waits
    // whole for a later call; only a chunk that could never fit the buffer is cut.
    struct Case {
        const char* name;
        s32 chunk;
        s32 room;
        s32 got;  // bytes handed out by the call
    };
    const Case cases[] = {
        {"fits the room", 20, 24, 20},
        {"would fill the room exactly: waits", 24, 24, 0},
        {"larger than the room, smaller than the buffer: waits", 40, 24, 0},
        {"one byte below the buffer: waits", 63, 24, 0},
        {"as large as the buffer: cut to the room", 64, 24, 23},
        {"larger than the buffer: cut to the room", 500, 24, 23},
    };
    constexpr s32 kBufferSize = 64;
    for (const Case& c : cases) {
        ChunkQueue q;
        std::vector<u8> chunk = Bytes(c.chunk, 1);
        q.Put(chunk.data(), c.chunk);
        std::vector<u8> buf(kBufferSize, 0xEE);
        const s32 held = kBufferSize - c.room;
        EXPECT_EQ(q.Get(buf.data() + held, c.room, kBufferSize), c.got) << c.name;
        EXPECT_EQ(q.CountChunks(), 1 - (c.got == c.chunk ? 1 : 0)) << c.name;
        if (c.got == 0) {
            // Once the reader has drained its buffer the chunk comes whole (or, when it can
            // never fit, in pieces of the whole buffer).
            const s32 whole = std::min(c.chunk, kBufferSize - 1);
            EXPECT_EQ(q.Get(buf.data(), kBufferSize, kBufferSize), whole) << c.name;
            EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + whole, chunk.begin())) << c.name;
        }
    }
}

TEST(ChunkQueue, DestroyingAQueueFreesItsChunks) {
    // Under the leak checker: chunks still queued belong to the queue.
    auto* q = new ChunkQueue;
    std::vector<u8> b = Bytes(100, 0);
    for (int i = 0; i < 1000; ++i)
        q->Put(b.data(), 100);
    delete q;
}

// The size of chunk `seq` in the threaded test; chunk contents are derived from seq too, so
// the reader can check every byte and every boundary.
s32 ChunkSize(u32 seq) {
    return 4 + static_cast<s32>((seq * 7919u) % 300u);
}

TEST(ChunkQueue, OneProducerOneConsumerOnTwoThreads) {
    constexpr u32 kChunks = 20000;
    constexpr s32 kReaderSize = 1024;  // larger than any chunk, so chunks arrive whole
    ChunkQueue q;
    std::thread producer([&] {
        std::vector<u8> b;
        for (u32 seq = 0; seq < kChunks; ++seq) {
            s32 n = ChunkSize(seq);
            b.assign(static_cast<size_t>(n), static_cast<u8>(seq));
            std::memcpy(b.data(), &seq, 4);
            q.Put(b.data(), n);
        }
    });
    u32 expect = 0;
    std::vector<u8> buf(kReaderSize);
    bool ok = true;
    while (expect < kChunks && ok) {
        s32 n = q.Get(buf.data(), kReaderSize);
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_LT(n, kReaderSize);
        // The bytes taken are whole chunks in order: walk them by their known sizes.
        s32 at = 0;
        while (at < n) {
            u32 seq = 0;
            std::memcpy(&seq, buf.data() + at, 4);
            s32 size = ChunkSize(expect);
            if (seq != expect || at + size > n) {
                ok = false;
                break;
            }
            for (s32 i = 4; i < size; ++i) {
                if (buf[static_cast<size_t>(at + i)] != static_cast<u8>(expect)) ok = false;
            }
            at += size;
            ++expect;
        }
    }
    producer.join();
    EXPECT_TRUE(ok) << "chunk " << expect << " arrived out of order, merged or damaged";
    EXPECT_EQ(expect, kChunks);
    EXPECT_EQ(q.CountChunks(), 0);
}

TEST(ChunkQueue, SmallReaderOnAnotherThreadGetsTheWholeStream) {
    // The reader's buffer is smaller than many chunks: the stream must arrive intact anyway.
    constexpr u32 kChunks = 5000;
    constexpr s32 kReaderSize = 97;
    ChunkQueue q;
    std::vector<u8> sent;
    for (u32 seq = 0; seq < kChunks; ++seq) {
        s32 n = ChunkSize(seq);
        for (s32 i = 0; i < n; ++i)
            sent.push_back(static_cast<u8>(seq * 31u + static_cast<u32>(i)));
    }
    std::thread producer([&] {
        size_t at = 0;
        for (u32 seq = 0; seq < kChunks; ++seq) {
            s32 n = ChunkSize(seq);
            q.Put(sent.data() + at, n);
            at += static_cast<size_t>(n);
        }
    });
    std::vector<u8> got;
    got.reserve(sent.size());
    std::vector<u8> buf(kReaderSize);
    while (got.size() < sent.size()) {
        s32 n = q.Get(buf.data(), kReaderSize);
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_LT(n, kReaderSize);
        got.insert(got.end(), buf.begin(), buf.begin() + n);
    }
    producer.join();
    EXPECT_TRUE(got == sent);
    EXPECT_EQ(q.CountChunks(), 0);
}

}  // namespace

namespace {

TEST(ChunkQueueLink, AClosedLinkDrainsThenAnswersMinusOneAndDropsPuts) {
    ChunkQueue q;
    const std::vector<u8> a = Bytes(4, 1);
    ASSERT_EQ(q.Put(a.data(), 4), 4);
    q.Close();
    EXPECT_TRUE(q.IsClosed());
    EXPECT_EQ(q.Put(a.data(), 4), -1);  // dropped
    u8 buf[16];
    EXPECT_EQ(q.Get(buf, 16), 4);  // what was queued before the close still arrives
    EXPECT_EQ(std::memcmp(buf, a.data(), 4), 0);
    EXPECT_EQ(q.Get(buf, 16), -1);
    EXPECT_EQ(q.Get(buf, 16), -1);  // and stays so
}

TEST(ChunkQueueLink, ASessionEndsWithItsGenerationAndANewOneStartsOpenAndEmpty) {
    ChunkQueue q;
    const u32 first = q.Generation();
    const std::vector<u8> a = Bytes(3, 7);
    ASSERT_EQ(q.PutInSession(first, a.data(), 3), 3);
    // Closed and reopened between two reads of the old session: the old session's reader
    // gets -1 instead of the new session's bytes, and its puts go nowhere.
    q.Close();
    const u32 second = q.Reopen();
    EXPECT_NE(second, first);
    EXPECT_FALSE(q.IsClosed());
    EXPECT_EQ(q.CountChunks(), 0);
    ASSERT_EQ(q.Put(a.data(), 3), 3);
    u8 buf[16];
    EXPECT_EQ(q.GetInSession(first, buf, 16), -1);
    EXPECT_EQ(q.PutInSession(first, a.data(), 3), -1);
    EXPECT_FALSE(q.CloseSession(first));  // closing the old session leaves the new one open
    EXPECT_FALSE(q.IsClosed());
    EXPECT_EQ(q.GetInSession(second, buf, 16), 3);
    EXPECT_TRUE(q.CloseSession(second));
    EXPECT_EQ(q.GetInSession(second, buf, 16), -1);
}

TEST(ChunkQueueLink, CloseAndReopenWakeAWaitingReader) {
    ChunkQueue q;
    u32 seen = q.PutCount();
    q.Close();
    EXPECT_NE(q.PutCount(), seen);
    seen = q.PutCount();
    q.Reopen();
    EXPECT_NE(q.PutCount(), seen);
}

}  // namespace
