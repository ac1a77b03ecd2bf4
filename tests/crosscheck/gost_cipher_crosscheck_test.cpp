// The archive's cipher checked against an independent GOST 28147-89 implementation
// (libgcrypt, with the same S-box set selected by its OID).
#include <gcrypt.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "core/gost_cipher.h"
#include "platform/random.h"

namespace {

u8 RandomByte() {
    return u8(platform::Rand() & 0xFF);
}

template <size_t N>
std::array<u8, N> RandomBytes() {
    std::array<u8, N> a;
    for (u8& b : a)
        b = RandomByte();
    return a;
}

// libgcrypt's GOST 28147-89 in ECB mode with the test parameter set of GOST R 34.11-94.
class GcryptGost {
public:
    explicit GcryptGost(const GostKey& key) {
        static const bool initialised = [] {
            gcry_check_version(nullptr);
            gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
            return true;
        }();
        (void)initialised;
        EXPECT_EQ(gcry_cipher_open(&h_, GCRY_CIPHER_GOST28147, GCRY_CIPHER_MODE_ECB, 0), 0u);
        EXPECT_EQ(gcry_cipher_ctl(h_, GCRYCTL_SET_SBOX, const_cast<char*>("1.2.643.2.2.30.0"), 0),
                  0u);
        EXPECT_EQ(gcry_cipher_setkey(h_, key.data(), key.size()), 0u);
    }
    ~GcryptGost() { gcry_cipher_close(h_); }

    void Encrypt(const u8* in, u8* out) { EXPECT_EQ(gcry_cipher_encrypt(h_, out, 8, in, 8), 0u); }

    // The archive's counter mode built on libgcrypt's block: the counter words are the
    // block's two little-endian halves; the keystream restarts every 4096 bytes.
    void CounterRun(const GostBlock& initial, u8* data, size_t n) {
        u32 w1 = 0, w2 = 0;
        for (size_t at = 0; at < n; at += 8) {
            if (at % 4096 == 0) {
                u8 s[8];
                Encrypt(initial.data(), s);
                std::memcpy(&w1, s, 4);
                std::memcpy(&w2, s + 4, 4);
            }
            w1 = Add(w1, 0x01010101u);
            w2 = Add(w2, 0x01010104u);
            u8 state[8], gamma[8];
            std::memcpy(state, &w1, 4);
            std::memcpy(state + 4, &w2, 4);
            Encrypt(state, gamma);
            for (size_t i = 0; i < 8 && at + i < n; ++i)
                data[at + i] ^= gamma[i];
        }
    }

private:
    // Addition modulo 2^32 - 1 the long way round.
    static u32 Add(u32 a, u32 b) {
        u64 s = u64(a) + b;
        if (s > 0xFFFFFFFFull) s -= 0xFFFFFFFFull;
        return u32(s);
    }

    gcry_cipher_hd_t h_ = nullptr;
};

TEST(GostCrossCheck, SingleBlocksAgree) {
    platform::SeedRandom(28147);
    for (int k = 0; k < 50; ++k) {
        GostKey key = RandomBytes<32>();
        GostCipher ours(key);
        GcryptGost theirs(key);
        for (int i = 0; i < 40; ++i) {
            GostBlock in = RandomBytes<8>();
            u8 a[8], b[8];
            ours.EncryptBlock(in.data(), a);
            theirs.Encrypt(in.data(), b);
            ASSERT_EQ(std::memcmp(a, b, 8), 0) << "key " << k << " block " << i;
        }
    }
}

// Whole runs on random keys, counters and lengths (across the 4096-byte restart), and
// nothing written past the run's end.
TEST(GostCrossCheck, CounterRunsAgree) {
    platform::SeedRandom(3411);
    for (int trial = 0; trial < 60; ++trial) {
        GostKey key = RandomBytes<32>();
        GostBlock initial = RandomBytes<8>();
        size_t n = size_t(platform::Rand()) % 12000;
        if (trial < 8) n = size_t(trial);  // the short runs too
        std::vector<u8> plain(n + 16);
        for (u8& b : plain)
            b = RandomByte();

        std::vector<u8> ours = plain;
        GostCipher cipher(key);
        GostCounterMode(cipher, initial).Apply(ours.data(), n);
        std::vector<u8> theirs = plain;
        GcryptGost(key).CounterRun(initial, theirs.data(), n);
        ASSERT_EQ(ours, theirs) << "trial " << trial << " length " << n;
        EXPECT_TRUE(std::equal(ours.begin() + long(n), ours.end(), plain.begin() + long(n)));
    }
}

// The archive's own directory entry, deciphered with the reference, names its member.
TEST(GostCrossCheck, ArchiveDirectoryDeciphersWithTheReference) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("../.rundir/ZQGoldDemo/server.txt", std::string_view("<id 1>")));
    std::vector<u8> bytes = b.Build();
    ASSERT_GE(bytes.size(), 560u);
    GcryptGost(kArchiveKey).CounterRun(kArchiveInitialCounter, bytes.data(), 280);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data()), "../.rundir/zqgolddemo/server.txt.q");
}

}  // namespace
