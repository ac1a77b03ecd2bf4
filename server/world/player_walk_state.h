#pragma once
// What a player's walk keeps between requests, and how far a player sees: the world keeps
// it with the player; the walking rules (server/player/player_movement.h) read and write it.
#include "core/loop_state.h"
#include "platform/types.h"

// How far a player sees and is seen, in tiles (Chebyshev).
constexpr int kPlayerViewRange = 18;
// A new player's step ring lies this many pulses in the past, so its first requests are cheap.
constexpr s32 kStepRingHeadStart = 1000;

struct PlayerWalkState {
    static constexpr int kRingSize = 5;
    // The pulse counter's 30 bits: differences are taken on them.
    static constexpr s32 kPulseBits = 0x3FFFFFFF;
    PlayerWalkState() {
        const s32 start = (GetWorldPulse() - kStepRingHeadStart) & kPulseBits;
        for (s32& entry : ring)
            entry = start;
    }
    // World pulses of the last five requests that passed the fatigue and resync checks;
    // `ringIndex` is the oldest, the next to be overwritten.
    s32 ring[kRingSize];
    u8 ringIndex = 0;
    // 1 while the player last stood in a city or justice region.
    int guardZone = 0;
    // Accepted moves since the last guard-zone look, 0..9.
    u8 stepCounter = 0;
};
