// The whole client data build: every install file the content builder generates for the
// client (terrain, statics, tables, art, animations, fonts, gump art) built and written into
// a scratch directory. The build runs it on every configuration, so it must stay well under
// 20 seconds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "tools/content_builder/client_files.h"
#include "tools/content_builder/font_and_gump_files.h"

namespace {

void BM_ClientDataBuild(benchmark::State& state) {
    const std::string dir = std::filesystem::temp_directory_path().string() +
                            "/zq_bench_client_data_" + std::to_string(::getpid());
    std::string error;
    for (auto _ : state) {
        // The demo world's rectangle, as server.txt gives it.
        ClientFiles files;
        if (!BuildClientFiles(0, 0, 1024, 1024, files, &error) ||
            !WriteClientFiles(dir, files, &error) || !WriteFontAndGumpFiles(dir, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ClientDataBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
