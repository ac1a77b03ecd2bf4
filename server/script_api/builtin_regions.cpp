// The region builtins, answered by the region manager (server/area/regions.h).
#include <string>

#include "server/area/regions.h"
#include "server/script_api/world_builtins.h"

namespace {

// isInArea (name, spot, which) -> int.
void BuiltinIsInArea(BuiltinCall& c) {
    c.SetInt(g_regionManager.IsInArea(c.Str(0).CText(), c.Loc(1), c.Int(2)) ? 1 : 0);
}

// findClosestArea (&description, &centre, name, spot, which) -> int.
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

constexpr BuiltinBinding kBindings[] = {
    {"isInArea", "isci", BuiltinIsInArea},
    {"findClosestArea", "iSCsci", BuiltinFindClosestArea},
};

}  // namespace

std::span<const BuiltinBinding> RegionBuiltins() {
    return kBindings;
}
