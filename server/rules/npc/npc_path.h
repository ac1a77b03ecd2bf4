#pragma once
// The short path search that sends an NPC to a place a few tiles away (the walkTo builtin),
// and the walking of the path it finds, one step per hundred speed points.
#include "core/location.h"

class CNPC;

// The most nodes a search may open (its table lives on the stack).
constexpr int kMaxPathNodes = 511;
// Goals farther than this (Chebyshev) are not searched.
constexpr int kMaxPathReach = 8;

// Replaces the NPC's path (the old one is freed first) by a searched one over the four
// straight directions, a turn in place being a step of its own. False, with no path, when
// the goal is out of reach, the table fills up or every way is blocked.
bool FindPathTo(CNPC& npc, const Location& goal, int maxNodes = kMaxPathNodes);
