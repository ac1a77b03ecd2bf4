#pragma once
// Cuts a buffer of server data into packets by the client's length table and hands each to
// the dispatcher, in arrival order, with the pause of packet 0x33: while paused, packets are
// held in the buffer unhandled and run in order when the pause ends (or when the next
// packet could not fit behind them).
//
// A fixed-length packet is framed once all its bytes are there, a variable one once its
// 3-byte header says how long it is and the rest has come. An id past the table, or a
// variable length below 3, cannot be framed: Frame answers false and the caller closes.
#include <cstddef>
#include <vector>

#include "platform/types.h"

class ServerPacketDispatcher;

class ClientPacketFramer {
public:
    explicit ClientPacketFramer(const ServerPacketDispatcher& dispatcher)
        : dispatcher_(dispatcher) {}

    // Frames `count` bytes of `buffer` (capacity `capacity`): handled packets leave the
    // buffer, held and incomplete ones stay at its front, and `count` is updated. False
    // when the stream cannot be framed (reported); the buffer is then left as it is.
    bool Frame(u8* buffer, size_t& count, size_t capacity);

    // Ends the framing in progress after the current packet (its connection was closed by a
    // handler); the buffer is emptied and the pause dropped.
    void Stop() { stop_ = true; }
    bool Framing() const { return framing_; }
    void Reset();

    bool Holding() const { return hold_; }
    size_t ReadPosition() const { return readPosition_; }
    size_t HeldCount() const { return held_.size(); }

private:
    struct Held {
        size_t offset;
        size_t length;
    };
    // Runs the held packets in order; they leave the buffer with the next compaction.
    void Replay(const u8* buffer, size_t& begin);

    const ServerPacketDispatcher& dispatcher_;
    bool hold_ = false;
    bool stop_ = false;
    bool framing_ = false;
    size_t readPosition_ = 0;
    std::vector<Held> held_;
};
