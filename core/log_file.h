#pragma once
// The game's log file: every entry of the server's log as one line ("2024-05-01 14:03:12
// load error: zqdemo.sav: dropped 2 object(s): no container"), appended to a file beside the
// save. The file is bounded: once a line would take it past its size it becomes
// "<file>.1" (replacing an older one) and a new file starts, so the log never holds more
// than about twice that size. Errors, warnings and panics also go to standard error, where
// the user sees them.
#include <cstdio>
#include <mutex>
#include <string>

#include "core/log_sink.h"

inline constexpr size_t kMaxLogFileBytes = size_t{10} << 20;

class LogFile : public LogOutput {
public:
    // Writes to `echo` only until Open succeeds; `echo` may be null.
    explicit LogFile(std::FILE* echo = stderr, size_t maxBytes = kMaxLogFileBytes);
    ~LogFile() override;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens (appends to) the file at `path`, rolling it over first when it is already full.
    // False, with the reason in `error`, when it cannot be written.
    bool Open(const std::string& path, std::string* error = nullptr);
    void Write(const LogEntryView& entry) override;

    // The line an entry takes in the file (without the time and the line end), and whether
    // its severity is shown on standard error.
    static std::string Describe(const LogEntryView& entry);
    static bool IsShown(const LogEntryView& entry);

private:
    void RollOver();
    void WriteToFile(const std::string& line);

    std::mutex mutex_;
    std::FILE* echo_;
    size_t maxBytes_;
    std::string path_;
    std::FILE* file_ = nullptr;
    size_t size_ = 0;
};
