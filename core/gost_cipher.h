#pragma once
// GOST 28147-89 block cipher (64-bit blocks, 256-bit key) with the S-box set of the test
// parameter set of GOST R 34.11-94 (OID 1.2.643.2.2.30.0), and the counter ("gamma") mode
// the data archive enciphers its directory entries and member pages with.
//
// Byte order: the key is eight 32-bit words, word i taken little-endian from key bytes
// 4i..4i+3; a block is two words, the first from bytes 0..3, the second from bytes 4..7,
// both little-endian.
#include <array>
#include <cstddef>

#include "platform/types.h"

using GostKey = std::array<u8, 32>;
using GostBlock = std::array<u8, 8>;

class GostCipher {
public:
    explicit GostCipher(const GostKey& key);

    // Enciphers one 64-bit block (ECB).
    void EncryptBlock(const u8* in, u8* out) const;
    // Enciphers the block held as two words (first word = block bytes 0..3).
    void EncryptWords(u32& n1, u32& n2) const;

private:
    u32 key_[8];
};

// One "run" of the archive's counter mode: the keystream starts from the enciphered
// initial counter; before each block both counter words get their constant added with
// end-around carry (addition modulo 2^32 - 1 for both words), the state is enciphered and
// XORed into the data. The keystream restarts from the initial counter every 4096 bytes of
// a run. Enciphering and deciphering are the same operation.
class GostCounterMode {
public:
    static constexpr std::size_t kRestart = 4096;

    GostCounterMode(const GostCipher& cipher, const GostBlock& initialCounter);

    // XORs the keystream into data[0..n). Never touches a byte at or past n.
    void Apply(u8* data, std::size_t n) const;

    // The keystream of one run, kRestart bytes.
    const std::array<u8, kRestart>& Keystream() const { return keystream_; }

private:
    // Every run starts from the same counter, so the keystream of a run is the same
    // 4096 bytes each time: computed once.
    std::array<u8, kRestart> keystream_;
};

// Adds with end-around carry: when the 32-bit sum overflows, one more is added.
inline u32 AddEndAroundCarry(u32 a, u32 b) {
    u32 sum = a + b;
    if (sum < a) ++sum;
    return sum;
}
