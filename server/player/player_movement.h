#pragma once
// The server side of a player's step: the walk request's fatigue and resynchronisation rules,
// turning in place, the move with what it tells the players and objects around, fall damage
// and the guard-zone message. The CPlayer members declared in server/world/player.h
// (WalkRequest, Turn, StepTarget, MoveStep, RejectMove, PlaceInWorld, ...) live in
// player_movement.cpp; the map's part of a step, with the shove through a mobile in the way,
// is CWorldMap::HandlePlayerStep (server/world/map_step.h). What a player's walk keeps lies
// in server/world/player_walk_state.h.
#include "platform/types.h"
#include "server/world/player_walk_state.h"

class CMobile;

// Fatigue charged for a request when the fifth-last one came less than 4 pulses ago, and
// otherwise.
constexpr int kFastStepCost = 400;
constexpr int kStepCost = 100;
// Accepted moves between two looks at the guard zone.
constexpr int kGuardZoneCheckSteps = 10;

// One tile's step for a mobile: nothing for anything but a player; a player walks by its own
// checks and, when the step is possible, moves without an acknowledgement.
void StepPlayer(CMobile* mobile, int direction);
