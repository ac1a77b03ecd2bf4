#pragma once
// Compiled script classes served from memory: the script manager's class source for tests and
// benchmarks that compile their own sources (no test framework needed).
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "script/script_compiler.h"
#include "script/script_manager.h"

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

// Compiles {class name, source} pairs; empty on success, else the compiler's errors.
inline std::string CompileSources(const std::vector<std::pair<std::string, std::string>>& sources,
                                  MemoryClassSource& out) {
    ScriptCompiler compiler;
    std::string errors;
    for (const auto& [name, text] : sources)
        compiler.AddSource(ScriptSource{name + ".zqs", name, text}, errors);
    if (errors.empty()) compiler.Validate(errors);
    if (!errors.empty()) return errors;
    out.strings = compiler.Strings().ToText();
    out.files = compiler.TokenFiles();
    return {};
}
