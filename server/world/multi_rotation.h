#pragma once
// Turning a multi: its parts' offsets rotate about the master by one of eight facings, and a
// turning multi's types come in groups of eight (one per facing) from type 2000 on.
#include "core/location.h"

constexpr int kMultiFacings = 8;
constexpr int kFirstTurningMultiType = 2000;

// The offset (x, y) turned by facing n (0..7, taken modulo 8) in 16.16 fixed point: facing 2
// turns (1, 0) into (0, 1). z is kept. The products and sums are 64-bit, so offsets of any
// 16-bit size turn without overflow; the results are stored as 16-bit coordinates.
Location RotateXY(const Location& offset, int n);

// The type of the same turning multi facing `direction` (0..7): its group of eight from
// kFirstTurningMultiType on, the direction's member of it.
int TurnedMultiType(int type, int direction);
