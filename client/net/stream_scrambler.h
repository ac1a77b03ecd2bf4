#pragma once
// The send-side scrambler of the network path: every outgoing byte is XORed with the low
// byte of a pair of 32-bit registers seeded from the connection key, which step after each
// byte. Applying it twice with the same key gives the bytes back.
#include <cstddef>

#include "platform/types.h"

class StreamScrambler {
public:
    explicit StreamScrambler(u32 key = 0) { Seed(key); }
    void Seed(u32 key);
    void Apply(u8* bytes, size_t count);
    u8 Next(u8 byte);

private:
    u32 a_ = 0;
    u32 b_ = 0;
};
