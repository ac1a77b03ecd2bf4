#pragma once
// The server's compression of its byte stream once the client is on a game server: a fixed
// prefix code of 257 symbols (the 256 byte values and an end-of-packet mark after which the
// rest of the byte is filler), sent most significant bit first.
#include <cstddef>

#include "platform/types.h"

inline constexpr int kHuffmanSymbols = 257;
inline constexpr int kHuffmanEndSymbol = 0x100;
inline constexpr int kHuffmanMaxCodeBits = 11;

struct HuffmanCode {
    u32 bitCount;
    u32 code;  // the bits, the first sent in bit bitCount - 1
};

// The code of every symbol.
const HuffmanCode& HuffmanCodeTable(int symbol);

// Decodes a received bit stream across passes: a code cut at the end of the received data
// is decoded whole on a later pass, from its first bit.
class HuffmanDecoder {
public:
    // Decodes `inputCount` bytes of `input` (starting at the bit left by the last pass) and
    // appends data bytes to `output` until it holds `outputCapacity` bytes. Answers the
    // whole input bytes consumed; the caller drops them from the front of its buffer and
    // keeps the rest. `input` must have kInputSlack readable bytes past `inputCount`.
    size_t Decode(const u8* input, size_t inputCount, u8* output, size_t& outputCount,
                  size_t outputCapacity);

    // Bits of the first kept byte already decoded (0-7).
    u32 BitPosition() const { return bitPosition_; }
    void Reset() { bitPosition_ = 0; }

    static constexpr size_t kInputSlack = 4;

private:
    u32 bitPosition_ = 0;
};
