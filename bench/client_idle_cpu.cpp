// Whole-process processor use while the client idles with its window open (headless back
// end, real clock): the main loop must give the processor up between passes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/process_link.h"
#include "platform/client_window.h"
#include "platform/headless/headless_backend.h"
#include "platform/window_backend.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_ClientIdleCpu(benchmark::State& state) {
    std::string dir = std::filesystem::temp_directory_path() / "zq_bench_client_idle";
    std::filesystem::create_directories(dir);
    setenv("ZQ_RUN_DIR", dir.c_str(), 1);
    setenv("ZQ_CONFIG_DIR", (dir + "/config").c_str(), 1);
    auto* headless = new platform::HeadlessBackend;
    auto old = platform::InstallBackend(std::unique_ptr<platform::WindowBackend>(headless));
    const auto idle = std::chrono::milliseconds(state.range(0));
    for (auto _ : state) {
        std::thread client([] { ClientMain(ProcessArgs{}); });
        while (!platform::IsClientWindowAlive())
            std::this_thread::yield();
        u32 frames0 = headless->PresentCount();
        double cpu0 = ProcessCpuSeconds();
        auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(idle);
        double cpu = ProcessCpuSeconds() - cpu0;
        double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        u32 frames = headless->PresentCount() - frames0;
        headless->InjectClose();
        client.join();
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
        state.counters["frames_per_second"] = frames / wall;
    }
    platform::InstallBackend(std::move(old));
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_ClientIdleCpu)->Arg(3000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
