#pragma once
// Doors: a closed door stands at its home spot showing its own graphic; an open one stands
// one step aside (by its variant, the tile layer byte 0..7) showing the next graphic. An open
// door closes itself 60 ticks later, or tries again 60 ticks on while a mobile stands in the
// way. Variants of 8 or more name no way to swing: such a door does not move.
#include "core/location.h"

class CItem;

constexpr int kDoorCloseTicks = 60;
constexpr int kDoorCloseAction = 4;

bool OpenDoor(CItem* door);
bool CloseDoor(CItem* door);
// The first closed, unscripted door one tile (Chebyshev) from the place, in its cell.
CItem* FindPartnerDoor(const Location& at);
// Closes an open door; opens a closed one and its partner, each with its closing callback.
void ToggleDoor(CItem* door);
