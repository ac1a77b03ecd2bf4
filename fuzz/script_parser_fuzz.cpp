// Fuzz target: the script token reader and parser, and our compiler's front end.
//
// Input: a 16-bit little-endian length n, then n bytes of string table text, then the token
// stream (handed over without the zero byte the loader appends, so a read past the end is
// caught). The same bytes are also compiled as script source text.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "script/compiler/script_compiler.h"
#include "script/language/script_parser.h"
#include "script/language/token_file.h"

namespace {

const char kSeedSource[] =
    "member int n;\n"
    "member list l;\n"
    "forward int g(int, string);\n"
    "function int g(int a, string s) {\n"
    "  int i;\n"
    "  for (i = 0; i < a; i++) { if (i == 3) { n = n - 1; } else { n = n + i; } }\n"
    "  while (a > 0) { a--; if (a == 5) { continue; } if (a == 1) { break; } }\n"
    "  switch (a) { case 1: n = 2; break; case -7: n = 1; default: n = 0; }\n"
    "  l = 1, \"two\", L\"three\";\n"
    "  string t = l[1];\n"
    "  goto out;\n"
    "out:\n"
    "  return (a + 1) * 2;\n"
    "}\n"
    "trigger 300 speech(\"*hi*\") { bark(this, arg); return 1; }\n"
    "trigger callback(4) { return g(2, \"x\"); }\n";

// The bytes as source text through the compiler front end; true when they compile.
bool CompilesAsSource(const uint8_t* data, size_t size) {
    ScriptCompiler compiler;
    std::string errors;
    return compiler.AddSource({"fuzz.zqs", "fuzz", std::string(data, data + size)}, errors) &&
           compiler.Validate(errors);
}

// The bytes as a string table and a token stream: every token read, then the class
// compiled. True when the class compiles with nothing to note.
bool CompilesAsTokens(const uint8_t* data, size_t size) {
    if (size < 2) return false;
    const size_t tableSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    ScriptStringTable table;
    std::string error;
    if (!table.LoadFromText(std::string(data + 2, data + 2 + tableSize), error)) return false;
    const std::vector<u8> tokens(data + 2 + tableSize, data + size);

    // Every token the reader gives, until the end or a malformed token.
    TokenReader reader(tokens.data(), tokens.size(), table);
    size_t pos = 0;
    ScriptToken t;
    for (int i = 0; i < 100000 && reader.ReadToken(pos, t) && !t.IsEnd(); ++i) {
        if (pos > tokens.size()) __builtin_trap();
    }

    // The parser, with a parent class that is always the same small class.
    CompileReport report;
    std::unique_ptr<CScriptClass> parent;
    auto resolve = [&](const std::string& name, std::string&) -> const CScriptClass* {
        if (parent) return parent.get();
        const u8 body[] = {0};
        CompileReport r;
        parent = CompileScriptClass(body, sizeof body, table, name, nullptr, r);
        return parent.get();
    };
    auto cls = CompileScriptClass(tokens.data(), tokens.size(), table, "fuzz", resolve, report);
    if (!cls) return false;
    for (const ScriptFunction& f : cls->functions) {
        if (f.vars) DescribeChain(*cls, *f.vars, f.vars->body);
    }
    return report.notes.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CompilesAsSource(data, size);
    CompilesAsTokens(data, size);
    return 0;
}

// Seeds: the sample class's source text, and the class compiled, in the input layout.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    emit(reinterpret_cast<const u8*>(kSeedSource), sizeof kSeedSource - 1);
    ScriptCompiler compiler;
    std::string errors;
    if (!compiler.AddSource({"seed.zqs", "seed", kSeedSource}, errors)) return;
    const std::string table = compiler.Strings().ToText();
    const std::vector<u8>& tokens = compiler.TokenFiles().at("seed");
    std::vector<u8> input;
    input.push_back(static_cast<u8>(table.size() & 0xFF));
    input.push_back(static_cast<u8>(table.size() >> 8));
    input.insert(input.end(), table.begin(), table.end());
    input.insert(input.end(), tokens.begin(), tokens.end());
    emit(input.data(), input.size());
}

// A seed is either form; it must compile cleanly as one of them.
extern "C" bool ZqFuzzSeedParses(const u8* data, size_t size) {
    return CompilesAsSource(data, size) || CompilesAsTokens(data, size);
}
