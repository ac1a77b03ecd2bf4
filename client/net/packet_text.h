#pragma once
// Counted texts of server packets: a length, then that many bytes (the text ends at its first
// zero, or with its bytes), bounded by the packet like every other read.
#include <algorithm>
#include <string>

#include "core/packet_reader.h"

// Reads `count` bytes as a text; empty (and the reader failed) when they pass the packet's end.
inline std::string ReadCountedText(PacketReader& r, size_t count) {
    const u8* at = nullptr;
    if (!r.ReadFixedBytes(at, count)) return std::string();
    const u8* end = std::find(at, at + count, u8(0));
    return std::string(reinterpret_cast<const char*>(at), size_t(end - at));
}

// A text preceded by its 16-bit length.
inline std::string ReadShortCountedText(PacketReader& r) {
    u16 count = 0;
    if (!r.ReadShort(count)) return std::string();
    return ReadCountedText(r, count);
}
