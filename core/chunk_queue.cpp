#include "core/chunk_queue.h"

#include <chrono>
#include <cstring>
#include <new>

#include "core/zq_assert.h"
#include "platform/clock.h"

ChunkQueue* ClientToServerQueue = nullptr;
ChunkQueue* ServerToClientQueue = nullptr;

void CloseClientLink() {
    if (ClientToServerQueue) ClientToServerQueue->Close();
}

void ReopenClientLink() {
    if (ServerToClientQueue) ServerToClientQueue->Reopen();
    if (ClientToServerQueue) ClientToServerQueue->Reopen();
}

ChunkQueue::~ChunkQueue() {
    // Unlink iteratively: a long queue must not recurse through the node destructors.
    std::unique_ptr<ChunkQueueNode> node = std::move(head_);
    while (node)
        node = std::move(node->next);
}

s32 ChunkQueue::Put(const void* data, s32 length) {
    if (length <= 0 || data == nullptr) return 0;
    // The copy is made outside the lock; the lock only covers linking the node.
    std::unique_ptr<ChunkQueueNode> node(new (std::nothrow) ChunkQueueNode);
    if (!node) return 0;
    node->data.reset(new (std::nothrow) u8[static_cast<size_t>(length)]);
    if (!node->data) return 0;
    std::memcpy(node->data.get(), data, static_cast<size_t>(length));
    node->length = length;

    {
        std::lock_guard<std::mutex> guard(lock_);
        if (closed_) return -1;
        ChunkQueueNode* raw = node.get();
        if (tail_ == nullptr) {
            head_ = std::move(node);
        } else {
            tail_->next = std::move(node);
        }
        tail_ = raw;
        ++puts_;
    }
    arrived_.notify_all();
    return length;
}

s32 ChunkQueue::Get(void* buffer, s32 room, s32 bufferSize) {
    if (buffer == nullptr || room <= 0) return 0;
    if (bufferSize < room) bufferSize = room;
    u8* out = static_cast<u8*>(buffer);
    s32 total = 0;

    std::lock_guard<std::mutex> guard(lock_);
    if (closed_ && !head_) return -1;
    while (head_) {
        const s32 remaining = head_->length - head_->offset;
        if (remaining >= room - total) {
            // Only a head chunk that can never fit the reader's whole buffer is split, and
            // only as the call's first chunk: a chunk that merely does not fit the room left
            // now waits for a later call.
            if (total == 0 && remaining >= bufferSize && room > 1) {
                const s32 part = room - 1;
                std::memcpy(out, head_->data.get() + head_->offset, static_cast<size_t>(part));
                head_->offset += part;
                total = part;
                ZQ_ASSERT(head_->offset < head_->length, "a split chunk stays queued in part");
            }
            break;
        }
        std::memcpy(out + total, head_->data.get() + head_->offset, static_cast<size_t>(remaining));
        total += remaining;
        std::unique_ptr<ChunkQueueNode> done = std::move(head_);
        head_ = std::move(done->next);
        if (!head_) tail_ = nullptr;
    }
    ZQ_ASSERT(total < room, "a get never fills the caller's buffer to its very last byte");
    return total;
}

s32 ChunkQueue::CountChunks() const {
    std::lock_guard<std::mutex> guard(lock_);
    s32 count = 0;
    for (const ChunkQueueNode* node = head_.get(); node; node = node->next.get())
        ++count;
    return count;
}

u32 ChunkQueue::PutCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return puts_;
}

bool ChunkQueue::WaitForPutAfter(u32 seenPuts, u32 maxMs) {
    if (platform::IsManualClockInstalled()) {
        platform::Yield();
        return PutCount() != seenPuts;
    }
    std::unique_lock<std::mutex> guard(lock_);
    return arrived_.wait_for(guard, std::chrono::milliseconds(maxMs),
                             [&] { return puts_ != seenPuts; });
}

void ChunkQueue::Wake() {
    ++puts_;
    arrived_.notify_all();
}

void ChunkQueue::Nudge() {
    std::lock_guard<std::mutex> guard(lock_);
    Wake();
}

void ChunkQueue::Close() {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
    Wake();
}

bool ChunkQueue::CloseSession(u32 generation) {
    std::lock_guard<std::mutex> session(sessionLock_);
    std::lock_guard<std::mutex> guard(lock_);
    if (generation != generation_) return false;
    closed_ = true;
    Wake();
    return true;
}

u32 ChunkQueue::Reopen() {
    std::unique_ptr<ChunkQueueNode> old;
    u32 generation = 0;
    {
        std::lock_guard<std::mutex> session(sessionLock_);
        std::lock_guard<std::mutex> guard(lock_);
        old = std::move(head_);
        tail_ = nullptr;
        closed_ = false;
        generation = ++generation_;
        Wake();
    }
    // The old session's chunks go outside the locks, iteratively (see the destructor).
    while (old)
        old = std::move(old->next);
    return generation;
}

u32 ChunkQueue::Generation() const {
    std::lock_guard<std::mutex> guard(lock_);
    return generation_;
}

bool ChunkQueue::IsClosed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return closed_;
}

s32 ChunkQueue::GetInSession(u32 generation, void* buffer, s32 size) {
    std::lock_guard<std::mutex> session(sessionLock_);
    if (Generation() != generation) return -1;
    return Get(buffer, size);
}

s32 ChunkQueue::PutInSession(u32 generation, const void* data, s32 length) {
    std::lock_guard<std::mutex> session(sessionLock_);
    if (Generation() != generation) return -1;
    return Put(data, length);
}
