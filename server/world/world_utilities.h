#pragma once
// Small helpers that the world code, the NPC rules and the scripts share: the eight
// directions (0 north, clockwise to 7 north-west) and a word-list search.
#include "platform/types.h"

class CBaseObject;

// The direction whose step is (sign dx, sign dy) from one object's world location toward the
// other's (the wrapped difference); a random direction 0-7 when they share x and y.
int DirectionTo(const CBaseObject& from, const CBaseObject& to);
// The same for two (x, y) pairs packed as x in the low and y in the high 16 bits; -1 when
// they are equal.
int DirectionBetween(u32 a, u32 b);
int ReverseDirection(int direction);
int TurnTwoSteps(int direction);
// Whether any word of the null-terminated list occurs anywhere in the text (A-Z folded).
bool AnyWordOccurs(const char* text, const char* const* words);
