#pragma once
// Small helpers that the world code, the NPC rules and the scripts share: the eight
// directions (0 north, clockwise to 7 north-west), a word-list search and the once-only log
// line of a hook not built yet.
#include "platform/types.h"

class CBaseObject;
class CMobile;
class Location;

// The direction whose step is (sign dx, sign dy) from one object's world location toward the
// other's (the wrapped difference); a random direction 0-7 when they share x and y.
int DirectionTo(const CBaseObject& from, const CBaseObject& to);
// The same for two (x, y) pairs packed as x in the low and y in the high 16 bits; -1 when
// they are equal.
int DirectionBetween(u32 a, u32 b);
// The direction from one place toward another by 2:1 bands: north or south when the y
// difference is at least twice the x difference, east or west when the x difference is at
// least twice the y difference, a diagonal between; 0 for equal places. Differences larger
// than half the map (x below 5120) are taken the short way round, as positive ones.
int DirectionBetween(const Location& from, const Location& to);
// Whether `b` stands on `a`'s x and y, or lies in `a`'s facing or one step to either side of
// it (z ignored).
bool IsFacing(const CMobile& a, const CBaseObject& b);
// Whether (x, y) lies in the rectangle x0..x1, y0..y1 (edges included).
bool IsPointInRect(int x, int y, int x0, int y0, int x1, int y1);
// Whether (x, y) lies on or outside the diamond around the rectangle's centre (halves rounded
// down) whose radius, in steps along x plus steps along y, is the rectangle's width x1 - x0.
bool IsOutsideDiamond(int x, int y, int x0, int y0, int x1, int y1);
int ReverseDirection(int direction);
int TurnTwoSteps(int direction);
// Logs `what` as an error under `channel` the first time it is reached (`logged` is the
// caller's own once-flag): the voice of a hook that is not built yet.
void LogNotBuiltOnce(bool& logged, const char* channel, const char* what);
// Whether any word of the null-terminated list occurs anywhere in the text (A-Z folded).
bool AnyWordOccurs(const char* text, const char* const* words);
