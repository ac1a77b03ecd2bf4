#include "core/packet_writer.h"

#include <cstring>

#include "core/byte_order.h"

PacketWriter::PacketWriter(u8* buffer, size_t capacity)
    : buffer_(buffer), capacity_(buffer ? capacity : 0) {}

void PacketWriter::Begin(u8 id, bool variableLength) {
    length_ = 0;
    ok_ = true;
    variable_ = variableLength;
    const size_t header = variableLength ? 3 : 1;
    if (!Reserve(header)) return;
    buffer_[0] = id;
    if (variableLength) buffer_[1] = buffer_[2] = 0;
    Advance(header);
}

bool PacketWriter::Reserve(size_t count) {
    if (!ok_) return false;
    if (count > capacity_ - length_ || count > kMaxPacketLength - length_) {
        ok_ = false;
        return false;
    }
    return true;
}

void PacketWriter::Advance(size_t count) {
    length_ += count;
    if (variable_ && length_ >= 3) StoreBe16(buffer_ + 1, static_cast<u16>(length_));
}

void PacketWriter::AppendByte(u8 value) {
    if (!Reserve(1)) return;
    buffer_[length_] = value;
    Advance(1);
}

void PacketWriter::AppendShort(u16 value) {
    if (!Reserve(2)) return;
    StoreBe16(buffer_ + length_, value);
    Advance(2);
}

void PacketWriter::AppendLong(u32 value) {
    if (!Reserve(4)) return;
    StoreBe32(buffer_ + length_, value);
    Advance(4);
}

void PacketWriter::AppendBytes(const void* source, size_t count) {
    if (!Reserve(count)) return;
    if (count) std::memcpy(buffer_ + length_, source, count);
    Advance(count);
}

void PacketWriter::AppendZeros(size_t count) {
    if (!Reserve(count)) return;
    std::memset(buffer_ + length_, 0, count);
    Advance(count);
}

void PacketWriter::AppendFixedText(const char* text, size_t width) {
    if (!Reserve(width)) return;
    const size_t used = text ? strnlen(text, width) : 0;
    if (used) std::memcpy(buffer_ + length_, text, used);
    std::memset(buffer_ + length_ + used, 0, width - used);
    Advance(width);
}

void PacketWriter::AppendCText(const char* text) {
    const size_t used = text ? std::strlen(text) : 0;
    if (!Reserve(used + 1)) return;
    if (used) std::memcpy(buffer_ + length_, text, used);
    buffer_[length_ + used] = 0;
    Advance(used + 1);
}

void PacketWriter::PatchByte(size_t offset, u8 value) {
    if (offset < length_) buffer_[offset] = value;
}

void PacketWriter::PatchShort(size_t offset, u16 value) {
    if (offset + 2 <= length_) StoreBe16(buffer_ + offset, value);
}
