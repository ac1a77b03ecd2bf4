#include "core/log_sink.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// Reads an optionally signed decimal number after leading white space, as "%d" would, but
// saturating instead of overflowing. Answers false when there is no number.
bool ReadDecimal(const char* text, int& out) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

int LogSink::Log(u32 playerNumber, u8 playerSlot, u32 serial, const char* actorName,
                 const char* source, const char* severity, const char* message) {
    if (observer_ == nullptr && output_ == nullptr) return 0;
    LogEntryView entry{playerNumber,    playerSlot,        serial,          OrEmpty(actorName),
                       OrEmpty(source), OrEmpty(severity), OrEmpty(message)};
    if (observer_ != nullptr) observer_->OnLogEntry(entry);
    if (output_ != nullptr) output_->Write(entry);
    return 0;
}

LogOutput* LogSink::SetOutput(LogOutput* output) {
    LogOutput* previous = output_;
    output_ = output;
    return previous;
}

LogObserver* LogSink::SetObserver(LogObserver* observer) {
    LogObserver* previous = observer_;
    observer_ = observer;
    return previous;
}

LogSink& GetLogSink() {
    static LogSink sink;
    return sink;
}

LogCapture::LogCapture(LogSink& sink) : sink_(sink), previous_(sink.SetObserver(this)) {}

LogCapture::~LogCapture() {
    sink_.SetObserver(previous_);
}

void LogCapture::OnLogEntry(const LogEntryView& e) {
    entries_.push_back(LogRecord{e.playerNumber, e.playerSlot, e.serial, e.actorName, e.source,
                                 e.severity, e.message});
}

std::vector<LogRecord> LogCapture::FromSource(const char* source) const {
    std::vector<LogRecord> found;
    for (const LogRecord& r : entries_) {
        if (r.source == OrEmpty(source)) found.push_back(r);
    }
    return found;
}

PrintMask::PrintMask() : PrintMask(std::getenv("printl")) {}

PrintMask::PrintMask(const char* text) {
    if (text != nullptr) {
        int value = 0;
        if (ReadDecimal(text, value)) mask = value;
    } else {
        mask = 0x3FF0 & ~(0x0800 | 0x1000 | 0x0100);
    }
    level = mask & 0xF;
    mask &= 0x3FF0;
    if (mask == 0) mask = 0x3FF0;
}

const PrintMask& GetPrintMask() {
    static const PrintMask mask;
    return mask;
}
