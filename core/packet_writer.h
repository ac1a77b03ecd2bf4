#pragma once
// Builds one game packet into a caller's buffer, in wire form: byte 0 the id, numbers
// big-endian, and for a variable-length packet its total length (header included) in bytes
// 1-2, kept up to date after every field. Each packet has its own writer, so building one
// packet never disturbs the length of another. A field that would pass the buffer's capacity
// or the protocol's 65,535-byte limit is not written and the writer is failed from then on:
// a failed packet must not be sent (`Ok()`), and its length stops at the last whole field.
#include <cstddef>

#include "platform/types.h"

class PacketWriter {
public:
    // The largest packet the protocol can carry: its length field is 16 bits.
    static constexpr size_t kMaxPacketLength = 65535;

    PacketWriter(u8* buffer, size_t capacity);

    // Starts a packet: the id, and for a variable-length packet room for the length (3-byte
    // header); for a fixed one the header is the id alone.
    void Begin(u8 id, bool variableLength);

    void AppendByte(u8 value);
    void AppendShort(u16 value);
    void AppendLong(u32 value);
    void AppendBytes(const void* source, size_t count);
    // `count` zero bytes.
    void AppendZeros(size_t count);
    // A text in a field of `width` bytes: cut to the width, the rest zero-filled (nothing of
    // the caller's memory past the text's end is sent).
    void AppendFixedText(const char* text, size_t width);
    // A text with its terminating zero.
    void AppendCText(const char* text);
    // Overwrites a byte or a 16-bit field already written (a count known only at the end).
    void PatchByte(size_t offset, u8 value);
    void PatchShort(size_t offset, u16 value);

    bool Ok() const { return ok_; }
    size_t Length() const { return length_; }
    size_t Capacity() const { return capacity_; }
    const u8* Data() const { return buffer_; }
    u8* MutableData() { return buffer_; }
    bool IsVariableLength() const { return variable_; }

private:
    // Room for `count` more bytes; fails the writer when there is none.
    bool Reserve(size_t count);
    void Advance(size_t count);

    u8* buffer_;
    size_t capacity_;
    size_t length_ = 0;
    bool variable_ = false;
    bool ok_ = true;
};
