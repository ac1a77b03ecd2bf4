#pragma once
// The shove: a player at full fatigue walks through a mobile standing in its way and pushes
// it aside. While CWorldMap::HandlePlayerStep runs, the context names the stepping player;
// the player's answer to the map queries (CPlayer::GetMoveClassDefault, through
// ShoveMoveClass) records the mobile it passes through, and the step ends with the shove
// message and its fatigue cost.
#include "platform/types.h"

class CBaseObject;
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

// What the mover's step finds in `other` (`answer`, the mobile rule): a mobile that would
// block the player whose step is being handled is passed through, and recorded as the shove
// victim, when the mover is fully rested and the mobile stands right next to it (less than 8
// apart in height) and is not a player in edit mode.
u32 ShoveMoveClass(const CPlayer& mover, const CBaseObject& other, u32 answer);
