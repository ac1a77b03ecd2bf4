#pragma once
// Server packets built byte by byte for the handler tests: numbers big-endian, texts fixed,
// counted or terminated, and a variable packet's length written in at the end.
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

class TextPacket {
public:
    static TextPacket Fixed(u8 id) { return TextPacket({id}, false); }
    static TextPacket Var(u8 id) { return TextPacket({id, 0, 0}, true); }

    TextPacket& B(u32 v) {
        b_.push_back(u8(v));
        return *this;
    }
    TextPacket& W(u32 v) { return B(v >> 8).B(v); }
    TextPacket& L(u32 v) { return W(v >> 16).W(v); }
    // `text` in a field of `width` bytes, zero-filled.
    TextPacket& Text(const std::string& text, size_t width) {
        for (size_t i = 0; i < width; ++i)
            B(i < text.size() ? u8(text[i]) : 0);
        return *this;
    }
    // `text` and its terminator.
    TextPacket& CText(const std::string& text) { return Raw(text).B(0); }
    // A length byte, then the text.
    TextPacket& Counted(const std::string& text) { return B(u32(text.size())).Raw(text); }
    TextPacket& Raw(const std::string& text) {
        for (char c : text)
            B(u8(c));
        return *this;
    }
    // The packet as sent: a variable one with its length in bytes 1-2.
    std::vector<u8> Bytes() const {
        std::vector<u8> out = b_;
        if (variable_) {
            out[1] = u8(out.size() >> 8);
            out[2] = u8(out.size());
        }
        return out;
    }
    // The packet cut to its first `n` bytes (a variable one says so in its length).
    std::vector<u8> Cut(size_t n) const {
        std::vector<u8> out = Bytes();
        out.resize(n);
        if (variable_) {
            out[1] = u8(n >> 8);
            out[2] = u8(n);
        }
        return out;
    }

private:
    TextPacket(std::vector<u8> start, bool variable) : b_(std::move(start)), variable_(variable) {}
    std::vector<u8> b_;
    bool variable_;
};
