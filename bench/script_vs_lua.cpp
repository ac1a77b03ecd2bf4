// The script interpreter against Lua 5.4 on the same programs: an integer loop with
// arithmetic, nested loops, recursive calls, calls of a function with three arguments,
// string concatenation in a loop, list append and index, sorting 10,000 strings (sortList
// against table.sort) and calls of a method that updates its object's state (a member
// function of the class against a Lua table's method). Our programs are compiled from source
// and run as trigger handlers; the Lua versions (bench/lua/*.lua, found through the source
// directory) are run by the lua5.4 executable, which times itself with os.clock; ours are
// timed the same way, in processor time, so that a busy machine does not tilt the ratio.
//
// One benchmark per program. Each reports, besides the library's own timing of our runs,
// the best of five runs of ours and of Lua (ours_ms, lua_ms), their ratio and the goal the
// ratio must stay within; a program whose answer differs from Lua's is reported as an error.
// Progress goes to stderr, so that --benchmark_format=json keeps stdout parseable.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "script/builtins/language_builtins.h"
#include "script/compiler/script_compiler.h"
#include "script/language/script_class.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"
#include "tests/script/memory_class_source.h"

#ifndef ZQ_SOURCE_DIR
#error "ZQ_SOURCE_DIR must name the source directory (bench/CMakeLists.txt defines it)"
#endif

namespace {

// Ours may take at most this many times Lua's time on every program.
constexpr double kGoalRatio = 1.5;
constexpr int kRuns = 5;

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
    {"nested", 1500, R"(
function int nested(int n) {
    int s = 0;
    for (int i = 0; i < n; i++) {
        for (int j = 0; j < n; j++) {
            s = (s + (i * j)) % 1000003;
        }
    }
    return s;
}
trigger use {
    return nested(N);
}
)"},
    {"calls", 1000000, R"(
function int mix(int a, int b, int c) {
    return ((a * 31) + (b % c)) % 1000003;
}
function int calls(int n) {
    int s = 0;
    int i = 0;
    while (i < n) {
        s = mix(s, i, 7);
        i++;
    }
    return s;
}
trigger use {
    return calls(N);
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

// The processor time this thread has used, in seconds: the measure Lua's os.clock gives, so
// that both sides are timed alike on a busy machine.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Lua's own time for the program (seconds) and its answer; false when lua5.4 cannot run it.
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

struct LuaFigure {
    bool ok = false;
    double best = 0;  // seconds
    long long result = 0;
};

// Best of kRuns of the Lua program, measured once per process.
const LuaFigure& LuaFor(const Program& p) {
    static std::map<std::string, LuaFigure> figures;
    auto found = figures.find(p.name);
    if (found != figures.end()) return found->second;
    const std::filesystem::path file =
        std::filesystem::path(ZQ_SOURCE_DIR) / "bench" / "lua" / (std::string(p.name) + ".lua");
    std::fprintf(stderr, "script_vs_lua: %s: running %s\n", p.name, file.c_str());
    LuaFigure f;
    f.best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        double s = 0;
        long long r = 0;
        if (!RunLua(file.string(), p.n, s, r)) continue;
        f.ok = true;
        f.best = std::min(f.best, s);
        f.result = r;
    }
    if (!f.ok) std::fprintf(stderr, "script_vs_lua: %s: lua5.4 did not run it\n", p.name);
    return figures.emplace(p.name, f).first->second;
}

// The manager serving every program's class, compiled once; null (with the errors on
// stderr) when a program does not compile.
CScriptManager* Classes() {
    static MemoryClassSource source;
    static CScriptManager* manager = [] () -> CScriptManager* {
        std::fprintf(stderr, "script_vs_lua: compiling the programs\n");
        ScriptCompiler compiler;
        std::string errors;
        if (!BindLanguageBuiltins(errors)) {
            std::fprintf(stderr, "%s", errors.c_str());
            return nullptr;
        }
        for (const Program& p : kPrograms)
            compiler.AddSource(
                ScriptSource{std::string(p.name) + ".zqs", p.name, WithN(p.source, p.n)}, errors);
        if (errors.empty()) compiler.Validate(errors);
        if (!errors.empty()) {
            std::fprintf(stderr, "%s", errors.c_str());
            return nullptr;
        }
        source.strings = compiler.Strings().ToText();
        source.files = compiler.TokenFiles();
        CScriptManager& m = GetScriptManager();
        m.SetClassSource(&source);
        // intloop runs 12 million statements in one handler, past the budgets that protect
        // the server from endless handlers; the benchmark times the interpreter alone.
        SetScriptStepBudget(1'000'000'000);
        SetScriptTimeBudget(600'000);
        return &m;
    }();
    return manager;
}

void BM_ScriptVsLua(benchmark::State& state, const Program& p) {
    CScriptManager* manager = Classes();
    if (!manager) {
        state.SkipWithError("the programs do not compile");
        return;
    }
    const CScriptClass* cls = manager->FindClass(p.name);
    if (!cls) {
        state.SkipWithError(manager->LastError().c_str());
        return;
    }
    CScriptInstance* instance = manager->NewScriptInstance(cls);
    const TriggerHandler* handler = cls->handlers[kTriggerUse];
    std::fprintf(stderr, "script_vs_lua: %s: running ours\n", p.name);
    double best = 1e9;
    s32 ours = 0;
    for (auto _ : state) {
        ScriptSlot arg{};
        const double t0 = CpuSeconds();
        ours = RunScriptFunction(instance, handler, &arg, 1);
        const double s = CpuSeconds() - t0;
        state.SetIterationTime(s);
        best = std::min(best, s);
    }
    const LuaFigure& lua = LuaFor(p);
    state.counters["n"] = p.n;
    state.counters["ours_ms"] = best * 1e3;
    state.counters["goal"] = kGoalRatio;
    if (!lua.ok) return;
    state.counters["lua_ms"] = lua.best * 1e3;
    state.counters["ratio"] = lua.best > 0 ? best / lua.best : 0.0;
    if (lua.result != ours) {
        const std::string what = std::string(p.name) + ": results differ (ours " +
                                 std::to_string(ours) + ", lua " + std::to_string(lua.result) +
                                 ")";
        state.SkipWithError(what.c_str());
    }
}

const bool kRegistered = [] {
    for (const Program& p : kPrograms)
        benchmark::RegisterBenchmark((std::string("ScriptVsLua/") + p.name).c_str(),
                                     [&p](benchmark::State& s) { BM_ScriptVsLua(s, p); })
            ->Iterations(kRuns)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
