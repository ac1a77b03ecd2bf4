#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::string ExecutablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string RunDirectory() {
    if (const char* d = std::getenv("ZQ_RUN_DIR"); d && *d) return d;
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

std::string UserConfigDirectory() {
    if (const char* d = std::getenv("ZQ_CONFIG_DIR"); d && *d) return d;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/zqdemo";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config/zqdemo";
    return RunDirectory();
}

bool MakeDirectories(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

}  // namespace platform
