#pragma once
// The server side of the compression, for tests and benchmarks: each packet's bytes in the
// client's code, then the end mark, then zero filler to the byte boundary.
#include <vector>

#include "client/net/huffman_decoder.h"
#include "platform/types.h"

inline void HuffmanEncodeAppend(const u8* data, size_t count, std::vector<u8>& out) {
    u32 pending = 0;  // bits not yet written, in the low `bits` bits
    int bits = 0;
    auto put = [&](const HuffmanCode& code) {
        for (int i = int(code.bitCount) - 1; i >= 0; --i) {
            pending = (pending << 1) | ((code.code >> i) & 1);
            if (++bits == 8) {
                out.push_back(u8(pending));
                pending = 0;
                bits = 0;
            }
        }
    };
    for (size_t i = 0; i < count; ++i)
        put(HuffmanCodeTable(data[i]));
    put(HuffmanCodeTable(kHuffmanEndSymbol));
    if (bits) out.push_back(u8(pending << (8 - bits)));
}

inline std::vector<u8> HuffmanEncode(const std::vector<u8>& packet) {
    std::vector<u8> out;
    HuffmanEncodeAppend(packet.data(), packet.size(), out);
    return out;
}
