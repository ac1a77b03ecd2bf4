#include "e2e/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {
using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
}  // namespace

std::string RunDir() {
    return ZQ_RUN_DIR;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zqdemo-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::CopyIn(const std::string& from, const std::string& name) const {
    std::filesystem::copy_file(from, path_ + "/" + name);
}

void LinkClientInstall(const std::string& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(RunDir())) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".mul" && ext != ".idx" && ext != ".txt")) {
            continue;
        }
        // A file the test put there itself (a settings file made unreadable) stays.
        const std::string target = dir + "/" + entry.path().filename().string();
        std::error_code ec;
        if (std::filesystem::symlink_status(target, ec).type() !=
            std::filesystem::file_type::not_found) {
            continue;
        }
        std::filesystem::create_symlink(entry.path(), target);
    }
    // These runs are not about the intro: it stays off unless the test wrote its own zq.cfg.
    const std::string cfg = dir + "/zq.cfg";
    std::error_code ec;
    if (std::filesystem::symlink_status(cfg, ec).type() == std::filesystem::file_type::not_found)
        std::ofstream(cfg) << "ShowIntroAnim=off\n";
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ + "/" + name, std::ios::binary);
    out << bytes;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& workDir,
                           const std::vector<std::string>& env,
                           const std::vector<std::string>& args, bool captureStdout) {
    // Each game keeps its settings (and its per-user window lock) in its own directory
    // unless the test names one: games of parallel tests are not one user's copies.
    std::vector<std::string> environment = env;
    const bool namesConfig = std::any_of(env.begin(), env.end(), [](const std::string& e) {
        return e.rfind("ZQ_CONFIG_DIR=", 0) == 0;
    });
    if (!namesConfig) environment.push_back("ZQ_CONFIG_DIR=" + workDir + "/config");
    // The argument vector is made before the fork: the child only execs.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDERR_FILENO);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, STDIN_FILENO);
        dup2(captureStdout ? fds[1] : devnull, STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (chdir(workDir.c_str()) != 0) _exit(126);
        for (const std::string& e : environment)
            putenv(const_cast<char*>(e.c_str()));
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    stderrFd_ = fds[0];
    if (pid_ < 0) {
        close(stderrFd_);
        stderrFd_ = -1;
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    if (stderrFd_ >= 0) close(stderrFd_);
}

void ChildProcess::ReadAvailable(int timeoutMs) {
    if (stderrFd_ < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs > 10 ? 10 : timeoutMs));
        return;
    }
    pollfd p{stderrFd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return;
    char buffer[4096];
    ssize_t n = read(stderrFd_, buffer, sizeof buffer);
    if (n > 0) {
        stderr_.append(buffer, static_cast<std::size_t>(n));
    } else {
        close(stderrFd_);  // the child closed its end
        stderrFd_ = -1;
    }
}

bool ChildProcess::WaitForStderr(const std::string& text, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (stderr_.find(text) == std::string::npos) {
        int left = MsLeft(deadline);
        if (left == 0) return false;
        if (stderrFd_ < 0 && !Running()) return false;
        ReadAvailable(left);
    }
    return true;
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || exited_) return false;
    pid_t r = waitpid(pid_, &status_, WNOHANG);
    if (r == pid_) exited_ = true;
    return !exited_;
}

int ChildProcess::WaitForExit(int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        int left = MsLeft(deadline);
        if (left == 0) return -1;
        ReadAvailable(left < 20 ? left : 20);
    }
    // The rest of what it wrote.
    Clock::time_point drainEnd = Clock::now() + std::chrono::milliseconds(1000);
    while (stderrFd_ >= 0 && MsLeft(drainEnd) > 0)
        ReadAvailable(MsLeft(drainEnd));
    if (!exited_ || !WIFEXITED(status_)) return -1;
    return WEXITSTATUS(status_);
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0 && !exited_) kill(pid_, signal);
}

}  // namespace e2e
