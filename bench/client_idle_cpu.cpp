// Whole-process processor use while the client idles on its main menu (real clock, the
// generated install linked into a scratch directory): the main loop must give the processor
// up between passes, and presenting a frame must stay cheap. Two cases: the headless back
// end, and the real SDL window on a virtual X server of its own (skipped when Xvfb is not
// installed). The windowed figure's goal is at most 1 % of one core.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "bench/bench_goal.h"
#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/client_window.h"
#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_backend.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A virtual X server on a display it picks itself (-displayfd), ended with the object.
class VirtualDisplay {
public:
    VirtualDisplay() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], 3);
            if (fds[0] != 3) close(fds[0]);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            return;
        }
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    // Empty when no server could be started.
    const std::string& Name() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The generated install linked into `dir`, with settings that keep the client on its main
// menu, waiting for the player (no intro, no automatic login). False when the install has
// not been built.
bool PrepareInstall(const std::string& dir) {
    namespace fs = std::filesystem;
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (!fs::is_regular_file(fs::path(ZQ_RUN_DIR) / "fonts.mul")) return false;
    for (const auto& entry : fs::directory_iterator(ZQ_RUN_DIR)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".mul" && ext != ".idx" && ext != ".txt")) {
            continue;
        }
        fs::create_symlink(entry.path(), fs::path(dir) / entry.path().filename());
    }
    std::ofstream(dir + "/zq.cfg") << "ShowIntroAnim=off\nChestOpening=off\n";
    return true;
}

// Waits up to `limit` for `done`; true when it came.
bool WaitFor(const std::atomic<bool>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done.load() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done.load();
}

// Runs the client thread with `backend` installed for `idle` of real time and reports the
// process's processor use over that time (and the frames shown, when `frames` can count
// them) against `goalPercent`. `close` asks the window to close the way the user would. A
// client that does not open its window or does not end is asked to quit (which takes down a
// message box no one would answer), so the benchmark always ends.
void MeasureIdleClient(benchmark::State& state, platform::WindowBackend* backend,
                       const std::string& dirName, double goalPercent,
                       const std::function<void()>& close,
                       const std::function<u32()>& frames = nullptr) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / (dirName + "_" + std::to_string(getpid())))
            .string();
    if (!PrepareInstall(dir)) {
        delete backend;
        state.SkipWithError("no generated install in " ZQ_RUN_DIR " (build zqdemo_data)");
        for (auto _ : state) {
        }
        return;
    }
    setenv("ZQ_RUN_DIR", dir.c_str(), 1);
    setenv("ZQ_CONFIG_DIR", (dir + "/config").c_str(), 1);
    // The link the server would make: an idle client sleeps on it.
    if (ServerToClientQueue == nullptr) ServerToClientQueue = new ChunkQueue;
    if (ClientToServerQueue == nullptr) ClientToServerQueue = new ChunkQueue;
    auto old = platform::InstallBackend(std::unique_ptr<platform::WindowBackend>(backend));
    const auto idle = std::chrono::milliseconds(state.range(0));
    for (auto _ : state) {
        int code = -1;
        std::atomic<bool> ended{false}, opened{false};
        std::thread client([&code, &ended] {
            code = ClientMain(ProcessArgs{});
            ended = true;
        });
        std::thread watch([&opened, &ended] {
            while (!ended.load() && !platform::IsClientWindowAlive())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            opened = true;
        });
        if (!WaitFor(opened, std::chrono::seconds(30)) || ended.load()) {
            RequestQuit();
            watch.join();
            client.join();
            state.SkipWithError("the client did not reach its idle window");
            break;
        }
        watch.join();
        std::fprintf(stderr, "client window open; idling %lld ms\n",
                     static_cast<long long>(idle.count()));
        // Start-up work (opening the display, the first frames) is not idling.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const u32 frames0 = frames ? frames() : 0;
        double cpu0 = ProcessCpuSeconds();
        auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(idle);
        double cpu = ProcessCpuSeconds() - cpu0;
        double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const u32 shown = frames ? frames() - frames0 : 0;
        close();
        if (!WaitFor(ended, std::chrono::seconds(30))) RequestQuit();
        client.join();
        ReportAgainstGoal(state, "cpu_percent_of_one_core", 100.0 * cpu / wall, goalPercent, "%");
        if (frames) state.counters["frames_per_second"] = shown / wall;
        if (code != 0) state.SkipWithError("the client ended with an error");
    }
    platform::InstallBackend(std::move(old));
    unsetenv("ZQ_RUN_DIR");
    unsetenv("ZQ_CONFIG_DIR");
    std::filesystem::remove_all(dir);
}

void BM_ClientIdleCpuHeadless(benchmark::State& state) {
    auto* headless = new platform::HeadlessBackend;
    MeasureIdleClient(
        state, headless, "zq_bench_client_idle", 1.0, [headless] { headless->InjectClose(); },
        [headless] { return headless->PresentCount(); });
}

void BM_ClientIdleCpuWindowedUnderXvfb(benchmark::State& state) {
    VirtualDisplay display;
    if (display.Name().empty()) {
        state.SkipWithError("no virtual X server (Xvfb) could be started");
        for (auto _ : state) {
        }
        return;
    }
    const char* oldDisplay = std::getenv("DISPLAY");
    std::string saved = oldDisplay ? oldDisplay : "";
    setenv("DISPLAY", display.Name().c_str(), 1);
    MeasureIdleClient(state, new platform::SdlBackend, "zq_bench_client_idle_windowed", 1.0, [] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    if (oldDisplay) {
        setenv("DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

BENCHMARK(BM_ClientIdleCpuHeadless)->Arg(3000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClientIdleCpuWindowedUnderXvfb)
    ->Arg(5000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
