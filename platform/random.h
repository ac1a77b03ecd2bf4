#pragma once
// The runtime random generator: 15-bit values 0..32767, one independent state per thread.
// Game rules depend on that range (draws are taken modulo a range and capped at 32768
// values), so it is part of the behaviour, not a detail. Nothing else in the program
// draws random numbers.
#include "platform/types.h"

namespace platform {

constexpr int kRandMax = 32767;

// Next value of the calling thread's generator, 0..kRandMax.
int Rand();

// Restarts the calling thread's generator from a seed. A thread that never seeds starts
// as if seeded with 1.
void SeedRandom(u32 seed);

}  // namespace platform
