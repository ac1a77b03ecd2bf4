#include "server/script_api/world_builtins.h"

std::vector<BuiltinBinding> WorldBuiltins() {
    std::vector<BuiltinBinding> all;
    for (const std::span<const BuiltinBinding> family : {RegionBuiltins(), ObjVarBuiltins()})
        all.insert(all.end(), family.begin(), family.end());
    return all;
}

bool BindWorldBuiltins(std::string& error) {
    const std::vector<BuiltinBinding> all = WorldBuiltins();
    return BindBuiltins(all, error);
}
