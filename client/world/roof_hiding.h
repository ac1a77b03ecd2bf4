#pragma once
// Roof hiding: after every step of the player the client finds the height from which objects
// are left out of the view (a ceiling over the player, or a connected roof in front of it),
// and whether see-through wall pieces stand between the viewer and the player. Objects
// answer through their `IsHidden`.
#include "platform/types.h"

class CClientObject;

// Recomputes the roof and flood levels and the see-through states; redraws the whole view
// when a level changed.
void UpdateRoofLevel();
// The lowest z of the roof pieces connected to cell (column, row) whose neighbours differ by
// at most 6 in height, starting from `level` (the flood map must be cleared first).
int FloodRoof(int level, int column, int row, int referenceZ);
void ClearFloodMap();
// Whether the cell holds a shown covering object (roof or surface) at or above `height`.
bool HasCoverAt(int column, int row, int height);
// The see-through answer of a piece with tile flag 0x20000: its stored state, recomputed
// while the roof levels are being updated.
bool SeeThroughHidden(const CClientObject& piece);
