#pragma once
// The 64-bit FNV-1a sum that pins generated files' bytes in the content tests.
#include <vector>

#include "platform/types.h"

inline u64 Fnv1a(const std::vector<u8>& bytes) {
    u64 h = 0xcbf29ce484222325ull;
    for (u8 b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}
