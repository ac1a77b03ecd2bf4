#pragma once
// Server packets built byte by byte in tests: B, W and L append big-endian fields; a variable
// packet gets its length written in at the end.
#include <string>
#include <vector>

#include "platform/types.h"

struct Packet {
    std::vector<u8> b;
    Packet& B(u32 v) {
        b.push_back(u8(v));
        return *this;
    }
    Packet& W(u32 v) { return B(v >> 8).B(v); }
    Packet& L(u32 v) { return W(v >> 16).W(v); }
    // The text's bytes, then `zeros` zero bytes.
    Packet& Text(const std::string& text, size_t zeros = 0) {
        b.insert(b.end(), text.begin(), text.end());
        b.insert(b.end(), zeros, u8(0));
        return *this;
    }
    // A variable packet gets its length written in.
    std::vector<u8> Variable() const {
        std::vector<u8> out = b;
        out[1] = u8(out.size() >> 8);
        out[2] = u8(out.size());
        return out;
    }
};

inline Packet Var(u8 id) {
    Packet p;
    return p.B(id).W(0);
}
inline Packet Fixed(u8 id) {
    Packet p;
    return p.B(id);
}
