#pragma once
// The in-memory link between the server and the built-in client. Each side puts the bytes it
// would have written to a socket and gets the bytes it would have read from one. Every put
// becomes one chunk with its own copy of the bytes; chunks come out in put order, whole, and
// a get never fills the caller's buffer to its very last byte.
//
// Both threads may use a queue at the same time; each queue has its own lock.
//
// A link can be closed by either side: once closed and drained, a get answers -1 and puts are
// dropped. Reopening starts a new generation of the link (open, empty). A side that holds on
// to one session of the link passes the generation it began with: its gets answer -1 and its
// puts are dropped once the link has been closed or reopened since, so bytes never cross from
// one session into the next.
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
    // cannot be allocated; -1 when the link is closed.
    s32 Put(const void* data, s32 length);
    // The same for one session of the link: -1 (nothing queued) when the link is closed or has
    // been reopened since `generation`.
    s32 Put(const void* data, s32 length, u32 generation);

    // Copies whole chunks, oldest first, into `buffer` while the total stays strictly below
    // `size`; a chunk that would bring the total to `size` or beyond stays queued. Returns the
    // number of bytes copied (0 when nothing was taken; the buffer is then untouched).
    //
    // A head chunk that could never fit (its remaining length is `size` or more) would
    // otherwise block the link for good: when it is the first chunk of the call, its first
    // `size` - 1 bytes are handed out and the rest stays at the head for the next call. The
    // byte stream is unchanged; only that chunk's boundary moves.
    //
    // Once the link is closed and nothing is left, answers -1.
    s32 Get(void* buffer, s32 size);
    // The same for one session of the link: also -1 once the link has been reopened since
    // `generation` (the session's bytes are gone with it).
    s32 Get(void* buffer, s32 size, u32 generation);

    // Closes the link: what is queued can still be read, later puts are dropped. The form with
    // a generation closes only that session (a newer one stays open) and answers whether it did.
    void Close();
    bool Close(u32 generation);
    // Starts a new session of the link: open, empty, the next generation; answers it.
    u32 Reopen();
    u32 Generation() const;
    bool IsClosed() const;

    // Number of chunks waiting (for tests and diagnostics).
    s32 CountChunks() const;

    // How many puts the queue has taken so far, closes and reopens included (wrapping). A reader
    // notes it before it drains the queue and then waits for a later put with WaitForPutAfter.
    u32 PutCount() const;

    // Waits until the put count differs from `seenPuts` or `maxMs` passed, and answers
    // whether a put came. An idle loop sleeps here instead of polling; bytes it left
    // queued on purpose (a partial packet) do not wake it. Under a manual clock it does
    // not block: it yields once (running the clock's hook) and answers.
    bool WaitForPutAfter(u32 seenPuts, u32 maxMs);

private:
    s32 GetLocked(void* buffer, s32 size);
    void Wake();

    struct ChunkQueueNode {
        std::unique_ptr<u8[]> data;
        s32 length = 0;  // bytes in data
        s32 offset = 0;  // bytes of data already handed out (only a split head chunk)
        std::unique_ptr<ChunkQueueNode> next;
    };

    mutable std::mutex lock_;
    std::condition_variable arrived_;
    u32 puts_ = 0;
    u32 generation_ = 0;
    bool closed_ = false;
    std::unique_ptr<ChunkQueueNode> head_;
    ChunkQueueNode* tail_ = nullptr;
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
