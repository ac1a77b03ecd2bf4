#pragma once
// The server's log: every notable event is reported with the acting player, a source tag
// ("timing", "badness", "godmode", ...), a severity tag ("error", "misc", "panic", "timing")
// and a message. The sink writes its entries to the output set on it (the game sets its log
// file, core/log_file.h; tests set none, so their runs write nothing); a test can watch the
// entries through an observer (LogCapture) besides.
#include <string>
#include <vector>

#include "platform/types.h"

// One entry as handed to an observer. The texts are only valid during the call.
struct LogEntryView {
    u32 playerNumber;
    u8 playerSlot;
    u32 serial;
    const char* actorName;
    const char* source;
    const char* severity;
    const char* message;
};

class LogObserver {
public:
    virtual ~LogObserver() = default;
    virtual void OnLogEntry(const LogEntryView& entry) = 0;
};

// Where the entries are written.
class LogOutput {
public:
    virtual ~LogOutput() = default;
    virtual void Write(const LogEntryView& entry) = 0;
};

class LogSink {
public:
    // Hands an entry to the observer and the output (when set); answers 0. Entries about a player
    // pass two numbers that identify the acting player, the actor's serial and name; system entries
    // pass 0, 0, 0 and an empty name. Null texts are taken as empty.
    int Log(u32 playerNumber, u8 playerSlot, u32 serial, const char* actorName, const char* source,
            const char* severity, const char* message);

    void SetEnabled(bool value) { enabled_ = value; }
    bool IsEnabled() const { return enabled_; }

    // Installs an observer that sees every entry (null removes it); returns the previous one.
    LogObserver* SetObserver(LogObserver* observer);
    // Sets where the entries are written (null: nowhere); returns the previous output. The
    // caller keeps it alive while set.
    LogOutput* SetOutput(LogOutput* output);

private:
    bool enabled_ = true;
    LogObserver* observer_ = nullptr;
    LogOutput* output_ = nullptr;
};

// The one log of the server (server thread only).
LogSink& GetLogSink();

// Records every entry logged while it exists, then puts back the observer it replaced.
struct LogRecord {
    u32 playerNumber;
    u8 playerSlot;
    u32 serial;
    std::string actorName;
    std::string source;
    std::string severity;
    std::string message;
};

class LogCapture : public LogObserver {
public:
    explicit LogCapture(LogSink& sink = GetLogSink());
    ~LogCapture() override;
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void OnLogEntry(const LogEntryView& entry) override;

    const std::vector<LogRecord>& Entries() const { return entries_; }
    // The entries with the given source tag.
    std::vector<LogRecord> FromSource(const char* source) const;
    void Clear() { entries_.clear(); }

private:
    LogSink& sink_;
    LogObserver* previous_;
    std::vector<LogRecord> entries_;
};

// The print mask read from the environment variable "printl" (a decimal number): the bits
// 0x3FF0 select kinds of output and the low four bits a level. Nothing reads it in this
// build.
struct PrintMask {
    int mask = 0;
    int level = 0;
    int third = 4;

    // Reads the variable "printl" from the environment.
    PrintMask();
    // The same from a given text; null stands for an unset variable.
    explicit PrintMask(const char* text);
};

const PrintMask& GetPrintMask();
