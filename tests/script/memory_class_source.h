#pragma once
// Compiled script classes served to the script manager from memory (tests and fuzz targets;
// no gtest here).
#include <map>
#include <string>
#include <vector>

#include "script/runtime/script_manager.h"

class MemoryClassSource : public ScriptClassSource {
public:
    bool LoadStringTable(ScriptStringTable& table, std::string& error) override {
        return table.LoadFromText(strings, error);
    }
    bool LoadTokens(const std::string& name, std::vector<u8>& out, std::string& error) override {
        auto it = files.find(name);
        if (it == files.end()) {
            error = "no class " + name;
            return false;
        }
        out = it->second;
        out.push_back(0);
        return true;
    }
    std::string strings;
    std::map<std::string, std::vector<u8>> files;
};
