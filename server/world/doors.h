#pragma once
// Doors: a closed door stands at its home spot showing its own graphic; an open one stands one
// step aside showing the next graphic, and closes itself 60 ticks later unless a mobile stands
// in the way. The step depends on the door's variant, the layer byte of its tile (0-7).
#include "core/location.h"

class CItem;
class CPlayer;

// An open door closes itself this many ticks later (the timed-callback action below), or tries
// again as long after while a mobile stands in the way.
constexpr int kDoorCloseTicks = 60;
constexpr int kDoorCloseAction = 4;

// The variant of a door's graphic, -1 for a layer byte of 8 or more (such a door stays put).
int DoorVariant(const CItem& door);
// Each answers whether the door moved.
bool OpenDoor(CItem* door);
bool CloseDoor(CItem* door);
// The first closed door without scripts one tile away (Chebyshev) in the cell of `at`.
CItem* FindPartnerDoor(const Location& at);
// Closes an open door; opens a closed one with its partner, both closing again later.
void ToggleDoor(CItem* door);
// A use without a script answer: a door toggles, anything else does nothing.
void UseGenericObject(CPlayer* player, CItem* object);
