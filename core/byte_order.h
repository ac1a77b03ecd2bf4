#pragma once
// Little-endian 16- and 32-bit fields, the byte order of every record file, archive member
// and token stream, read and written byte by byte so that alignment and the host's own
// order never matter.
#include <vector>

#include "platform/types.h"

inline u16 LoadLe16(const u8* p) {
    return static_cast<u16>(p[0] | (p[1] << 8));
}

inline u32 LoadLe32(const u8* p) {
    return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24);
}

inline void StoreLe16(u8* p, u16 v) {
    p[0] = u8(v);
    p[1] = u8(v >> 8);
}

inline void StoreLe32(u8* p, u32 v) {
    p[0] = u8(v);
    p[1] = u8(v >> 8);
    p[2] = u8(v >> 16);
    p[3] = u8(v >> 24);
}

inline void AppendLe16(std::vector<u8>& out, u16 v) {
    out.push_back(u8(v));
    out.push_back(u8(v >> 8));
}

inline void AppendLe32(std::vector<u8>& out, u32 v) {
    AppendLe16(out, u16(v));
    AppendLe16(out, u16(v >> 16));
}

// Big-endian (network order) fields, the byte order of every number in a game packet.
inline u16 LoadBe16(const u8* p) {
    return static_cast<u16>((p[0] << 8) | p[1]);
}

inline u32 LoadBe32(const u8* p) {
    return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | u32(p[3]);
}

inline void StoreBe16(u8* p, u16 v) {
    p[0] = u8(v >> 8);
    p[1] = u8(v);
}

inline void StoreBe32(u8* p, u32 v) {
    p[0] = u8(v >> 24);
    p[1] = u8(v >> 16);
    p[2] = u8(v >> 8);
    p[3] = u8(v);
}
