// Compile throughput of the demo scripts: source -> tokens (our compiler) and tokens ->
// statement trees (the server's parser), reported as classes per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "script/compiler/script_compiler.h"
#include "script/language/script_parser.h"

namespace {

std::vector<ScriptSource> DemoSources() {
    namespace fs = std::filesystem;
    std::vector<ScriptSource> out;
    for (const char* dir : {"content/scripts", "../content/scripts", "../../content/scripts"}) {
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() != ".zqs") continue;
            std::ifstream in(entry.path());
            std::ostringstream text;
            text << in.rdbuf();
            out.push_back({entry.path().string(), entry.path().stem().string(), text.str()});
        }
        break;
    }
    return out;
}

void BM_CompileSources(benchmark::State& state) {
    const std::vector<ScriptSource> sources = DemoSources();
    if (sources.empty()) {
        state.SkipWithError("content/scripts not found (run from the project directory)");
        return;
    }
    for (auto _ : state) {
        ScriptCompiler compiler;
        std::string errors;
        for (const ScriptSource& s : sources)
            compiler.AddSource(s, errors);
        benchmark::DoNotOptimize(compiler.Validate(errors));
    }
    state.counters["classes/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * sources.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompileSources);

void BM_ParseTokenFiles(benchmark::State& state) {
    const std::vector<ScriptSource> sources = DemoSources();
    ScriptCompiler compiler;
    std::string errors;
    for (const ScriptSource& s : sources)
        compiler.AddSource(s, errors);
    if (sources.empty() || !compiler.Validate(errors)) {
        state.SkipWithError("demo scripts missing or not compiling");
        return;
    }
    std::map<std::string, std::vector<u8>> files;
    for (const auto& [name, tokens] : compiler.TokenFiles()) {
        files[name] = tokens;
        files[name].push_back(0);
    }
    for (auto _ : state) {
        std::map<std::string, std::unique_ptr<CScriptClass>> loaded;
        std::function<const CScriptClass*(const std::string&, std::string&)> load =
            [&](const std::string& name, std::string&) -> const CScriptClass* {
            if (auto it = loaded.find(name); it != loaded.end()) return it->second.get();
            CompileReport report;
            const std::vector<u8>& bytes = files.at(name);
            auto cls = CompileScriptClass(bytes.data(), bytes.size(), compiler.Strings(), name,
                                          load, report);
            const CScriptClass* raw = cls.get();
            loaded[name] = std::move(cls);
            return raw;
        };
        for (const auto& entry : files) {
            std::string error;
            benchmark::DoNotOptimize(load(entry.first, error));
        }
    }
    state.counters["classes/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * files.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseTokenFiles);

}  // namespace
