// Idle CPU of the running server: the real executable started from the run directory,
// left alone for a few seconds, its CPU time read from /proc. Reported as the percentage
// of one core; it must stay well under 5 %.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

// User plus system CPU time of a process, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name (which may hold spaces) start after the last ')'.
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; rest >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

void BM_ServerIdleCpu(benchmark::State& state) {
    const std::string runDir = ZQ_RUN_DIR;
    const std::string program = runDir + "/zqdemo";
    const std::string configDir =
        (std::filesystem::temp_directory_path() / "zq_bench_idle_config").string();
    double percent = 0;
    for (auto _ : state) {
        pid_t pid = fork();
        if (pid == 0) {
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, STDIN_FILENO);
            dup2(devnull, STDOUT_FILENO);
            dup2(devnull, STDERR_FILENO);
            if (chdir(runDir.c_str()) != 0) _exit(126);
            // Settings of its own: a game the user runs meanwhile is not this one's twin.
            setenv("ZQ_CONFIG_DIR", configDir.c_str(), 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0) {
            state.SkipWithError("fork failed");
            return;
        }
        // Let start-up finish, then measure the idle loop.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        long before = CpuTicks(pid);
        auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        long after = CpuTicks(pid);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        kill(pid, SIGINT);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the server did not exit cleanly (is zqdemo.dat built?)");
            return;
        }
        percent = 100.0 * static_cast<double>(after - before) /
                  static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
    }
    state.counters["cpu_percent_of_a_core"] = percent;
}

BENCHMARK(BM_ServerIdleCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
