#include "client/net/packet_texts.h"

#include <cstring>

bool ReadTextOrRest(PacketReader& reader, std::string& out) {
    const size_t remaining = reader.Remaining();
    const u8* at = nullptr;
    // Nothing left to read is a missing field; Skip fails the reader at the packet's end.
    if (remaining == 0 || !reader.ReadFixedBytes(at, 0)) return reader.Skip(1);
    const void* end = std::memchr(at, 0, remaining);
    const size_t length = end ? size_t(static_cast<const u8*>(end) - at) : remaining;
    out.assign(reinterpret_cast<const char*>(at), length);
    return reader.Skip(end ? length + 1 : length);
}

bool ReadCountedText(PacketReader& reader, size_t length, std::string& out) {
    const u8* at = nullptr;
    if (!reader.ReadFixedBytes(at, length)) return false;
    const void* end = std::memchr(at, 0, length);
    out.assign(reinterpret_cast<const char*>(at),
               end ? size_t(static_cast<const u8*>(end) - at) : length);
    return true;
}

std::string CutText(const std::string& text, size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}
