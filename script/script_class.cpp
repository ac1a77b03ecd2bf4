#include "script/script_class.h"

#include "script/script_value.h"

int ScriptVarTable::Find(std::string_view name) const {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int ScriptVarTable::Add(const std::string& name, u8 type) {
    if (Find(name) >= 0) return -1;
    entries.push_back(ScriptVarEntry{name, type, frameSize});
    frameSize += SlotSizeOfType(type);
    return static_cast<int>(entries.size() - 1);
}

int CScriptClass::FindFunction(std::string_view functionName) const {
    for (size_t i = 0; i < functions.size(); ++i) {
        if (functions[i].name == functionName) return static_cast<int>(i);
    }
    return -1;
}

ScriptVarTable* CScriptClass::NewVarTable() {
    ownedTables_.push_back(std::make_unique<ScriptVarTable>());
    return ownedTables_.back().get();
}

TriggerHandler* CScriptClass::NewHandler() {
    ownedHandlers_.push_back(std::make_unique<TriggerHandler>());
    return ownedHandlers_.back().get();
}
