#include "script/builtins/builtin_regions.h"

#include <string>

#include "script/builtins/builtin_call.h"
#include "server/area/regions.h"

void BuiltinIsInArea(BuiltinCall& c) {
    c.SetInt(g_regionManager.IsInArea(c.Str(0).CText(), c.Loc(1), c.Int(2)) ? 1 : 0);
}

void BuiltinFindClosestArea(BuiltinCall& c) {
    std::string description;
    Location centre;
    if (!g_regionManager.FindClosestArea(description, centre, c.Str(2).CText(), c.Loc(3),
                                         c.Int(4))) {
        c.SetInt(0);
        return;
    }
    c.Str(0) = description.c_str();
    c.Loc(1) = centre;
    c.SetInt(1);
}
