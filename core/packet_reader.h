#pragma once
// Reads the fields of one received game packet, bounded by the packet's framed length. The
// cursor counts from the end of the header (1 byte for a fixed-length packet, 3 for a
// variable one). A read that would pass the end of the packet, or a text without its
// terminating zero inside the packet, reads nothing, fails the reader and remembers the
// offset (from byte 0) where it happened; every later read fails too, so a handler can read
// a run of fields and check `Ok()` once before acting on them.
#include <cstddef>

#include "platform/types.h"

class PacketReader {
public:
    PacketReader(const u8* packet, size_t length, size_t headerSize);

    bool ReadByte(u8& out);
    bool ReadShort(u16& out);
    bool ReadLong(u32& out);
    // A field of `width` bytes, not copied: `out` points into the packet. The text may fill
    // the field without a terminator; `FixedText` copies it terminated instead.
    bool ReadFixedBytes(const u8*& out, size_t width);
    // Copies a text field of `width` bytes into `out` (capacity `outSize`, at least 1),
    // stopping at its first zero and always terminating.
    bool ReadFixedText(char* out, size_t outSize, size_t width);
    // A zero-terminated text that must end inside the packet; `out` points into the packet.
    bool ReadCText(const char*& out);
    bool Skip(size_t count);

    bool Ok() const { return ok_; }
    // The packet offset of the first failed read (meaningful when !Ok()).
    size_t FailOffset() const { return failOffset_; }
    // Bytes of the packet not read yet.
    size_t Remaining() const { return ok_ ? length_ - position_ : 0; }
    // The cursor: bytes read since the header.
    size_t Cursor() const { return position_ - header_; }
    u8 Id() const { return length_ ? packet_[0] : 0; }

private:
    bool Take(size_t count, const u8*& at);

    const u8* packet_;
    size_t length_;
    size_t header_;
    size_t position_;
    size_t failOffset_ = 0;
    bool ok_ = true;
};
