#pragma once
// The in-memory link between the server and the built-in client. Each side puts the bytes it
// would have written to a socket and gets the bytes it would have read from one. Every put
// becomes one chunk with its own copy of the bytes; chunks come out in put order, whole, and
// a get never fills the caller's buffer to its very last byte.
//
// Both threads may use a queue at the same time; each queue has its own lock.
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/types.h"

class ChunkQueue {
public:
    ChunkQueue() = default;
    ~ChunkQueue();
    ChunkQueue(const ChunkQueue&) = delete;
    ChunkQueue& operator=(const ChunkQueue&) = delete;

    // Queues a copy of `length` bytes as one chunk and returns `length`. Nothing is queued and
    // 0 is returned for an empty put, a negative length, a null pointer, or when the copy
    // cannot be allocated.
    s32 Put(const void* data, s32 length);

    // Copies whole chunks, oldest first, into `buffer` while the total stays strictly below
    // `room`; a chunk that would bring the total to `room` or beyond stays queued. Returns the
    // number of bytes copied (0 when nothing was taken; the buffer is then untouched).
    //
    // `bufferSize` is the size of the reader's whole receive buffer, of which `room` is the
    // part still free. A chunk that does not fit the room now waits whole for a later call
    // with more room: readers count on getting each chunk whole. Only a head chunk that could
    // never be taken whole (its remaining length is `bufferSize` or more) is handed out in
    // pieces, as the call's first chunk and up to `room` - 1 bytes at a time, so it cannot
    // block the link for good. The byte stream is unchanged; only that chunk's boundary moves.
    s32 Get(void* buffer, s32 room, s32 bufferSize);
    // The same for a reader whose whole buffer is free (`room` equals `bufferSize`).
    s32 Get(void* buffer, s32 size) { return Get(buffer, size, size); }

    // Number of chunks waiting (for tests and diagnostics).
    s32 CountChunks() const;

    // How many puts the queue has taken so far (wrapping). A reader notes it before it
    // drains the queue and then waits for a later put with WaitForPutAfter.
    u32 PutCount() const;

    // Waits until the put count differs from `seenPuts` or `maxMs` passed, and answers
    // whether a put came. An idle loop sleeps here instead of polling; bytes it left
    // queued on purpose (a partial packet) do not wake it. Under a manual clock it does
    // not block: it yields once (running the clock's hook) and answers.
    bool WaitForPutAfter(u32 seenPuts, u32 maxMs);
    // Wakes a waiting reader as a put does, without bytes (the client's software cursor asks
    // its thread to show the pointer moved).
    void Nudge();

    // Sessions of the link. Either side can close it: once closed and drained, Get answers -1
    // and Put answers -1 without queueing. Reopen starts the next session (open, empty, the
    // next generation). A side that holds one session passes its generation: its gets answer
    // -1 and its puts are dropped once the link has been closed or reopened since, so bytes
    // never cross from one session into the next. Closing and reopening wake a waiting reader
    // like a put.
    void Close();
    // Closes only that session (a newer one stays open); answers whether it did.
    bool CloseSession(u32 generation);
    u32 Reopen();
    u32 Generation() const;
    bool IsClosed() const;
    s32 GetInSession(u32 generation, void* buffer, s32 size);
    s32 PutInSession(u32 generation, const void* data, s32 length);

private:
    struct ChunkQueueNode {
        std::unique_ptr<u8[]> data;
        s32 length = 0;  // bytes in data
        s32 offset = 0;  // bytes of data already handed out (only a split head chunk)
        std::unique_ptr<ChunkQueueNode> next;
    };

    mutable std::mutex lock_;
    std::condition_variable arrived_;
    u32 puts_ = 0;
    std::unique_ptr<ChunkQueueNode> head_;
    ChunkQueueNode* tail_ = nullptr;
    // Taken before lock_ by whatever checks a session and then reads, writes or ends it.
    std::mutex sessionLock_;
    u32 generation_ = 0;
    bool closed_ = false;

    void Wake();
};

// The two links of the process, created by the server main loop before the client thread
// starts and never destroyed: what the client sends, and what the server sends.
extern ChunkQueue* ClientToServerQueue;
extern ChunkQueue* ServerToClientQueue;

// The client's side of a session of the link. Closing ends it: the server reads -1, ends the
// session and closes the answer queue. Reopening starts a new session: the answer queue first,
// then the request queue, so the server never meets the new session's requests with the old
// session's closed answer queue.
void CloseClientLink();
void ReopenClientLink();
