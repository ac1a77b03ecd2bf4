#pragma once
// A player's step on the map (CWorldMap::HandlePlayerStep, declared in map_queries.h): a turn
// when the direction differs from the facing, else the move, or the rejection; with the shove,
// by which a player at full fatigue walks through a mobile standing in its way and pushes it
// aside.
//
// The step's shove context is the caller's (one per step request) and rides on the stepping
// player while the step runs: the player's answer to the map queries
// (CPlayer::GetMoveClassDefault, through ShoveMoveClass) records the mobile it passes through,
// and the step ends with the shove message and its fatigue cost.
#include "platform/types.h"

class CBaseObject;
class CMobile;
class CPlayer;

// Fatigue a shove costs a player no stronger than the mobile it pushes.
constexpr int kShoveCost = 10;

// The player whose step is being handled and the mobile it pushes aside (its serial, to find
// it again after the step's triggers). The mover is set while the step runs.
struct ShoveContext {
    CPlayer* mover = nullptr;
    CMobile* victim = nullptr;
    u32 victimSerial = 0;
};

// What the mover's step finds in `other` (`answer`, the mobile rule): a mobile that would
// block the player whose step is being handled is passed through, and recorded as the shove
// victim, when the mover is fully rested and the mobile stands right next to it (less than 8
// apart in height) and is not a player in edit mode.
u32 ShoveMoveClass(const CPlayer& mover, const CBaseObject& other, u32 answer);
