// The script interpreter against Lua 5.4 on the same six programs: an integer loop with
// arithmetic, recursive calls, string concatenation in a loop, list append and index,
// sorting 10,000 strings (sortList against table.sort) and calls of a method that updates
// its object's state (a member function of the class against a Lua table's method). Our
// programs are compiled from source and run as trigger handlers; the Lua versions
// (bench/lua/*.lua) are run by the lua5.4 executable, which times itself with os.clock.
// Both answers are checked to agree. Prints each time (best of 5) and the ratio ours / Lua.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "script/builtins/language_builtins.h"
#include "script/compiler/script_compiler.h"
#include "script/language/script_class.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"
#include "tests/script/memory_class_source.h"

namespace {

struct Program {
    const char* name;
    int n;
    const char* source;  // the handler "use" answers the program's result
};

const Program kPrograms[] = {
    {"intloop", 3000000, R"(
function int intloop(int n) {
    int s = 0;
    int i = 0;
    while (i < n) {
        s = (s + ((i * 3) % 7)) % 1000003;
        i++;
    }
    return s;
}
trigger use {
    return intloop(N);
}
)"},
    {"fib", 27, R"(
function int fib(int n) {
    if (n < 2) {
        return n;
    }
    return fib(n - 1) + fib(n - 2);
}
trigger use {
    return fib(N);
}
)"},
    {"strcat", 40000, R"(
function int strcat(int n) {
    string s;
    int i = 0;
    while (i < n) {
        s = s + "x";
        i++;
    }
    return strlen(s);
}
trigger use {
    return strcat(N);
}
)"},
    {"listops", 1000000, R"(
function int listops(int n) {
    list l;
    int i = 0;
    while (i < n) {
        append(l, i);
        i++;
    }
    int s = 0;
    i = 0;
    while (i < n) {
        int v = l[i];
        s = (s + v) % 1000003;
        i++;
    }
    return s;
}
trigger use {
    return listops(N);
}
)"},
    {"sort", 10000, R"(
function int sortstrings(int n) {
    list l;
    int x = 1;
    int i = 0;
    while (i < n) {
        x = ((x * 31) + 7) % 1000003;
        string t = "";
        t = t + x;
        append(l, t);
        i++;
    }
    sortList(l, 2);
    int s = 0;
    i = 0;
    while (i < n) {
        string u = l[i];
        int v = u;
        s = (s + (v * ((i % 7) + 1))) % 1000003;
        i++;
    }
    return s;
}
trigger use {
    return sortstrings(N);
}
)"},
    {"method", 1000000, R"(
member int total;
function void add(int v) {
    total = (total + v) % 1000003;
}
function int method(int n) {
    total = 0;
    int i = 0;
    while (i < n) {
        add(i);
        i++;
    }
    return total;
}
trigger use {
    return method(N);
}
)"},
};

std::string WithN(const char* source, int n) {
    const std::string s = source;
    const size_t at = s.find("(N)");
    if (at == std::string::npos) return s;
    return s.substr(0, at) + "(" + std::to_string(n) + s.substr(at + 2);
}

// Lua's own time for the program (seconds) and its answer; false when lua5.4 cannot run.
bool RunLua(const std::string& file, int n, double& seconds, long long& result) {
    const std::string cmd = "lua5.4 '" + file + "' " + std::to_string(n) + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, p) != nullptr;
    const int status = pclose(p);
    if (!got || status != 0) return false;
    return std::sscanf(line, "%lf %lld", &seconds, &result) == 2;
}

}  // namespace

int main() {
    const std::filesystem::path luaDir = std::filesystem::path(__FILE__).parent_path() / "lua";
    MemoryClassSource source;
    ScriptCompiler compiler;
    std::string errors;
    if (!BindLanguageBuiltins(errors)) {
        std::fprintf(stderr, "%s", errors.c_str());
        return 1;
    }
    for (const Program& p : kPrograms)
        compiler.AddSource(ScriptSource{std::string(p.name) + ".zqs", p.name, WithN(p.source, p.n)},
                           errors);
    if (errors.empty()) compiler.Validate(errors);
    if (!errors.empty()) {
        std::fprintf(stderr, "%s", errors.c_str());
        return 1;
    }
    source.strings = compiler.Strings().ToText();
    source.files = compiler.TokenFiles();
    CScriptManager& manager = GetScriptManager();
    manager.SetClassSource(&source);
    // intloop runs 12 million statements in one handler, past the default step budget that
    // protects the server from endless handlers; the benchmark times the interpreter alone.
    SetScriptStepBudget(1'000'000'000);

    std::printf("%-10s %10s %12s %12s %8s\n", "program", "n", "ours (ms)", "lua (ms)", "ratio");
    int failures = 0;
    for (const Program& p : kPrograms) {
        const CScriptClass* cls = manager.FindClass(p.name);
        if (!cls) {
            std::fprintf(stderr, "%s: %s\n", p.name, manager.LastError().c_str());
            return 1;
        }
        CScriptInstance* instance = manager.NewScriptInstance(cls);
        const TriggerHandler* handler = cls->handlers[kTriggerUse];
        double best = 1e9;
        s32 ours = 0;
        for (int run = 0; run < 5; ++run) {
            ScriptSlot arg{};
            const auto t0 = std::chrono::steady_clock::now();
            ours = RunScriptFunction(instance, handler, &arg, 1);
            const auto t1 = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        }
        double luaBest = 1e9;
        long long luaResult = 0;
        bool luaOk = false;
        for (int run = 0; run < 5; ++run) {
            double s = 0;
            if (RunLua((luaDir / (std::string(p.name) + ".lua")).string(), p.n, s, luaResult)) {
                luaOk = true;
                luaBest = std::min(luaBest, s);
            }
        }
        if (!luaOk) {
            std::printf("%-10s %10d %12.2f %12s %8s\n", p.name, p.n, best * 1e3, "-", "-");
            continue;
        }
        if (luaResult != ours) {
            std::printf("%s: results differ (ours %d, lua %lld)\n", p.name, ours, luaResult);
            ++failures;
        }
        std::printf("%-10s %10d %12.2f %12.2f %8.2f\n", p.name, p.n, best * 1e3, luaBest * 1e3,
                    luaBest > 0 ? best / luaBest : 0.0);
    }
    manager.SetClassSource(nullptr);
    return failures ? 1 : 0;
}
