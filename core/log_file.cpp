#include "core/log_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

LogFile::LogFile(std::FILE* echo, size_t maxBytes) : echo_(echo), maxBytes_(maxBytes) {}

LogFile::~LogFile() {
    if (file_) std::fclose(file_);
}

bool LogFile::Open(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    path_ = path;
    struct stat st {};
    size_ =
        ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
    if (size_ >= maxBytes_) RollOver();
    if (!file_) file_ = std::fopen(path.c_str(), "ae");
    if (!file_) {
        if (error) *error = "cannot write the log " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string LogFile::Describe(const LogEntryView& e) {
    std::string line = std::string(e.source) + " " + e.severity + ": " + e.message;
    if (e.playerNumber != 0 || e.serial != 0 || *e.actorName) {
        line += " (player " + std::to_string(e.playerNumber) + "/" + std::to_string(e.playerSlot) +
                ", serial " + std::to_string(e.serial);
        if (*e.actorName) line += std::string(", ") + e.actorName;
        line += ")";
    }
    return line;
}

bool LogFile::IsShown(const LogEntryView& e) {
    for (const char* severity : {"error", "warning", "panic"}) {
        if (std::strcmp(e.severity, severity) == 0) return true;
    }
    return false;
}

void LogFile::Write(const LogEntryView& entry) {
    const std::string text = Describe(entry);
    std::lock_guard<std::mutex> lock(mutex_);
    if (echo_ && IsShown(entry)) {
        std::fprintf(echo_, "zqdemo: %s\n", text.c_str());
        std::fflush(echo_);
    }
    if (file_) WriteToFile(LocalTimeStamp() + " " + text + "\n");
}

void LogFile::WriteToFile(const std::string& line) {
    if (size_ > 0 && size_ + line.size() > maxBytes_) {
        RollOver();
        if (!file_) return;
    }
    // Each line reaches the file at once: after a crash the log ends with what led to it.
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
        const int code = errno;
        std::fclose(file_);
        file_ = nullptr;
        if (echo_) {
            std::fprintf(echo_, "zqdemo: cannot write the log %s (%s): it is written no more\n",
                         path_.c_str(), std::strerror(code));
            std::fflush(echo_);
        }
        return;
    }
    size_ += line.size();
}

void LogFile::RollOver() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    const std::string old = path_ + ".1";
    std::rename(path_.c_str(), old.c_str());
    file_ = std::fopen(path_.c_str(), "we");
    size_ = 0;
    if (!file_ && echo_) {
        std::fprintf(echo_, "zqdemo: cannot write the log %s (%s): it is written no more\n",
                     path_.c_str(), std::strerror(errno));
        std::fflush(echo_);
    }
}
