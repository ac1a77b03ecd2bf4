#include "platform/random.h"

namespace platform {
namespace {

// A 64-bit state stepped by the PCG multiplier; the output is the top 15 bits after an
// xorshift, which keeps low-order patterns out of the small values the game asks for.
struct RandomState {
    u64 state;
};

u64 Scramble(u32 seed) {
    u64 z = static_cast<u64>(seed) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

thread_local RandomState g_random{Scramble(1)};

}  // namespace

int Rand() {
    u64& s = g_random.state;
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    u64 x = s ^ (s >> 29);
    return static_cast<int>((x >> 49) & kRandMax);
}

void SeedRandom(u32 seed) {
    g_random.state = Scramble(seed);
}

}  // namespace platform
