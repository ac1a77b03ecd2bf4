#pragma once
// Bit writers for the movie encoders: fields packed from the least significant bit of each
// byte upward, and a stream of 32-bit little-endian words filled from their most significant
// bit down.
#include <vector>

#include "platform/types.h"

namespace movie_content {

class LsbBitWriter {
public:
    void Put(u32 value, int bits) {
        for (int i = 0; i < bits; ++i, ++pos_) {
            if ((pos_ >> 3) >= bytes_.size()) bytes_.push_back(0);
            bytes_[pos_ >> 3] |= static_cast<u8>(((value >> i) & 1) << (pos_ & 7));
        }
    }
    std::vector<u8>& Bytes() { return bytes_; }

private:
    std::vector<u8> bytes_;
    size_t pos_ = 0;
};

class MsbWordWriter {
public:
    void Put(u32 value, int bits) {
        for (int i = bits - 1; i >= 0; --i, ++pos_) {
            if ((pos_ >> 5) >= words_.size()) words_.push_back(0);
            words_[pos_ >> 5] |= ((value >> i) & 1) << (31 - (pos_ & 31));
        }
    }
    // The whole words, little-endian.
    std::vector<u8> Bytes() const {
        std::vector<u8> out;
        for (u32 w : words_)
            for (int i = 0; i < 4; ++i)
                out.push_back(static_cast<u8>(w >> (8 * i)));
        return out;
    }

private:
    std::vector<u32> words_;
    size_t pos_ = 0;
};

}  // namespace movie_content
