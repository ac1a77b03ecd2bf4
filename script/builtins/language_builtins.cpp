#include "script/builtins/language_builtins.h"

std::vector<BuiltinBinding> LanguageBuiltins() {
    std::vector<BuiltinBinding> all;
    for (const std::span<const BuiltinBinding> family :
         {ControlFlowBuiltins(), OperatorBuiltins(), ListBuiltins(), StringBuiltins(),
          ScriptControlBuiltins()})
        all.insert(all.end(), family.begin(), family.end());
    return all;
}

bool BindLanguageBuiltins(std::string& error) {
    const std::vector<BuiltinBinding> all = LanguageBuiltins();
    return BindBuiltins(all, error);
}
