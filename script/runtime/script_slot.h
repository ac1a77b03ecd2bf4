#pragma once
// One variable or value of a running script: an int or serial, a location, or a pointer to
// the string, ustring or list object that holds the value.
#include "core/location.h"
#include "platform/types.h"

class CStr;
class CUStr;
class CScriptList;

struct ScriptLoc {
    s16 x, y, z;
};

union ScriptSlot {
    s32 i;
    CStr* s;
    CUStr* q;
    CScriptList* l;
    ScriptLoc c;
};
static_assert(sizeof(ScriptSlot) == 8);

inline Location LocationOf(const ScriptSlot& v) {
    return Location(v.c.x, v.c.y, v.c.z);
}
inline void SetSlotLocation(ScriptSlot& v, const Location& l) {
    v.c = ScriptLoc{l.x, l.y, l.z};
}

// A new empty string, ustring or list for a variable of that type; null for the others.
// The objects come from a pool shared by every thread (server main thread only).
void* NewScriptObjectOfType(u8 type);
// Gives such an object back (null is ignored).
void FreeScriptObjectOfType(u8 type, void* object);
