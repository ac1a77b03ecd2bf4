#include "core/packet_reader.h"

#include <cstring>

#include "core/byte_order.h"

PacketReader::PacketReader(const u8* packet, size_t length, size_t headerSize)
    : packet_(packet), length_(packet ? length : 0), header_(headerSize), position_(headerSize) {
    if (headerSize > length_) {
        ok_ = false;
        failOffset_ = length_;
        position_ = length_;
        header_ = length_;
    }
}

bool PacketReader::Take(size_t count, const u8*& at) {
    if (!ok_) return false;
    if (count > length_ - position_) {
        ok_ = false;
        failOffset_ = position_;
        return false;
    }
    at = packet_ + position_;
    position_ += count;
    return true;
}

bool PacketReader::ReadByte(u8& out) {
    const u8* at;
    if (!Take(1, at)) return false;
    out = at[0];
    return true;
}

bool PacketReader::ReadShort(u16& out) {
    const u8* at;
    if (!Take(2, at)) return false;
    out = LoadBe16(at);
    return true;
}

bool PacketReader::ReadLong(u32& out) {
    const u8* at;
    if (!Take(4, at)) return false;
    out = LoadBe32(at);
    return true;
}

bool PacketReader::ReadFixedBytes(const u8*& out, size_t width) {
    return Take(width, out);
}

bool PacketReader::ReadFixedText(char* out, size_t outSize, size_t width) {
    const u8* at;
    if (!Take(width, at)) return false;
    if (!out || outSize == 0) return true;
    size_t used = 0;
    while (used < width && used + 1 < outSize && at[used] != 0)
        ++used;
    std::memcpy(out, at, used);
    out[used] = 0;
    return true;
}

bool PacketReader::ReadCText(const char*& out) {
    if (!ok_) return false;
    const void* end =
        position_ < length_ ? std::memchr(packet_ + position_, 0, length_ - position_) : nullptr;
    if (!end) {
        ok_ = false;
        failOffset_ = position_;
        return false;
    }
    out = reinterpret_cast<const char*>(packet_ + position_);
    position_ = static_cast<const u8*>(end) - packet_ + 1;
    return true;
}

bool PacketReader::Skip(size_t count) {
    const u8* at;
    return Take(count, at);
}
