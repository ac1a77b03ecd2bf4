#include "core/gost_cipher.h"

#include <cstring>

#include "core/byte_order.h"

namespace {

// The S-box set of the test parameter set of GOST R 34.11-94 (1.2.643.2.2.30.0). Box 0
// substitutes the lowest four bits of the round value, box 7 the highest.
constexpr u8 kSBox[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

constexpr u32 Rotl11(u32 v) {
    return (v << 11) | (v >> 21);
}

// Four byte tables, each combining two adjacent 4-bit boxes, shifted to the byte's place
// and with the round's 11-bit rotation already applied.
struct RoundTables {
    u32 t[4][256];
};

constexpr RoundTables BuildTables() {
    RoundTables r{};
    for (int byte = 0; byte < 4; ++byte) {
        for (u32 x = 0; x < 256; ++x) {
            u32 lo = kSBox[2 * byte][x & 15];
            u32 hi = kSBox[2 * byte + 1][x >> 4];
            r.t[byte][x] = Rotl11(((hi << 4) | lo) << (8 * byte));
        }
    }
    return r;
}

constexpr RoundTables kTables = BuildTables();

inline u32 RoundF(u32 v) {
    return kTables.t[0][v & 0xFF] ^ kTables.t[1][(v >> 8) & 0xFF] ^ kTables.t[2][(v >> 16) & 0xFF] ^
           kTables.t[3][v >> 24];
}

}  // namespace

GostCipher::GostCipher(const GostKey& key) {
    for (int i = 0; i < 8; ++i)
        key_[i] = LoadLe32(&key[4 * i]);
}

void GostCipher::EncryptWords(u32& n1, u32& n2) const {
    u32 a = n1;
    u32 b = n2;
    // 24 rounds with the key words in order, 8 with them reversed; the halves swap after
    // every round but the last.
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < 8; i += 2) {
            b ^= RoundF(a + key_[i]);
            a ^= RoundF(b + key_[i + 1]);
        }
    }
    for (int i = 7; i > 0; i -= 2) {
        b ^= RoundF(a + key_[i]);
        a ^= RoundF(b + key_[i - 1]);
    }
    n1 = b;
    n2 = a;
}

void GostCipher::EncryptBlock(const u8* in, u8* out) const {
    u32 n1 = LoadLe32(in);
    u32 n2 = LoadLe32(in + 4);
    EncryptWords(n1, n2);
    StoreLe32(out, n1);
    StoreLe32(out + 4, n2);
}

GostCounterMode::GostCounterMode(const GostCipher& cipher, const GostBlock& initialCounter) {
    u32 n1 = LoadLe32(&initialCounter[0]);
    u32 n2 = LoadLe32(&initialCounter[4]);
    cipher.EncryptWords(n1, n2);
    for (std::size_t at = 0; at < kRestart; at += 8) {
        n1 = AddEndAroundCarry(n1, 0x01010101u);
        n2 = AddEndAroundCarry(n2, 0x01010104u);
        u32 g1 = n1;
        u32 g2 = n2;
        cipher.EncryptWords(g1, g2);
        StoreLe32(&keystream_[at], g1);
        StoreLe32(&keystream_[at + 4], g2);
    }
}

void GostCounterMode::Apply(u8* data, std::size_t n) const {
    while (n > 0) {
        std::size_t k = n < kRestart ? n : kRestart;
        for (std::size_t i = 0; i < k; ++i)
            data[i] ^= keystream_[i];
        data += k;
        n -= k;
    }
}
