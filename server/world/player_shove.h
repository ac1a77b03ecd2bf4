#pragma once
// The shove: a player at full fatigue walks through a mobile standing in its way and pushes
// it aside. While CWorldMap::HandlePlayerStep runs, the context names the stepping player;
// the player's answer to the map queries (CPlayer::GetMoveClassDefault) records the mobile it
// passes through, and the step ends with the shove message and its fatigue cost.
#include "platform/types.h"

class CMobile;
class CPlayer;

// Fatigue a shove costs a player no stronger than the mobile it pushes.
constexpr int kShoveCost = 10;

// The player whose step is being handled and the mobile it pushes aside (its serial, to find
// it again after the step's triggers). Both null outside a step.
struct ShoveContext {
    CPlayer* mover = nullptr;
    CMobile* victim = nullptr;
    u32 victimSerial = 0;
};
ShoveContext& GetShoveContext();
