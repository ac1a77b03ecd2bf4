#pragma once
// The region builtins, answered by the region manager (server/area/regions.h).
class BuiltinCall;

// isInArea (name, spot, which) -> int.
void BuiltinIsInArea(BuiltinCall& call);
// findClosestArea (&description, &centre, name, spot, which) -> int.
void BuiltinFindClosestArea(BuiltinCall& call);
