#include "client/net/stream_scrambler.h"

namespace {

// Set-up and step constants of the registers.
constexpr u16 kSeedALow = 0x5A3C;
constexpr u16 kSeedAHigh = 0x1E97;
constexpr u16 kSeedBLow = 0xC4D2;
constexpr u16 kSeedBHigh = 0x7B61;
constexpr u32 kStepA = 0xA3B1C6D9u;
constexpr u32 kStepB = 0x5E2F4B87u;

}  // namespace

void StreamScrambler::Seed(u32 key) {
    const u32 inverted = ~key;
    a_ = (u32(u16(inverted) ^ kSeedAHigh) << 16) | u32(u16(key) ^ kSeedALow);
    b_ = (u32(u16(inverted >> 16) ^ kSeedBHigh) << 16) | u32(u16(key >> 16) ^ kSeedBLow);
}

u8 StreamScrambler::Next(u8 byte) {
    const u8 out = byte ^ u8(a_ & 0xFF);
    const u32 a = a_, b = b_;
    b_ = ((b >> 1) | (a << 31)) ^ kStepB;
    a_ = ((a >> 1) | (b << 31)) ^ kStepA;
    return out;
}

void StreamScrambler::Apply(u8* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        bytes[i] = Next(bytes[i]);
}
