#pragma once
// The server side of a player's step: the walk request's fatigue and resynchronisation rules,
// turning in place, the move with what it tells the players and objects around, the shove
// through a mobile in the way, fall damage and the guard-zone message. The CPlayer members
// declared in player.h (WalkRequest, Turn, StepTarget, MoveStep, RejectMove, ...) live in
// player_movement.cpp; CWorldMap::HandlePlayerStep in player_shove.cpp.
#include "platform/types.h"

class CMobile;
class CPlayer;

// How far a player sees and is seen, in tiles (Chebyshev).
constexpr int kPlayerViewRange = 18;
// A new player's step ring lies this many pulses in the past, so its first requests are cheap.
constexpr s32 kStepRingHeadStart = 1000;
// Fatigue charged for a request when the fifth-last one came less than 4 pulses ago, and
// otherwise.
constexpr int kFastStepCost = 400;
constexpr int kStepCost = 100;
// Accepted moves between two looks at the guard zone.
constexpr int kGuardZoneCheckSteps = 10;

// What a player's walk keeps between requests.
struct PlayerWalkState {
    static constexpr int kRingSize = 5;
    PlayerWalkState();
    // World pulses of the last five requests that passed the fatigue and resync checks;
    // `ringIndex` is the oldest, the next to be overwritten.
    s32 ring[kRingSize];
    u8 ringIndex = 0;
    // 1 while the player last stood in a city or justice region.
    int guardZone = 0;
    // Accepted moves since the last guard-zone look, 0..9.
    u8 stepCounter = 0;
};

// One tile's step for a mobile: nothing for anything but a player; a player walks by its own
// checks and, when the step is possible, moves without an acknowledgement.
void StepPlayer(CMobile* mobile, int direction);

// Packet 0x20, the player's own mobile, to that player.
void SendPlayerUpdate(CPlayer& player);
