#include "script/runtime/script_limits.h"

#include "core/log_sink.h"
#include "script/runtime/script_thread_control.h"

std::string StringOverLimitReason() {
    return "a string longer than " + std::to_string(kMaxScriptTextBytes) + " bytes";
}

std::string ListItemsOverLimitReason() {
    return "a list of more than " + std::to_string(kMaxScriptListItems) + " elements";
}

std::string ListTextOverLimitReason() {
    return "a list holding more than " + std::to_string(kMaxScriptTextBytes) + " bytes of text";
}

void StopScriptOverLimit(const std::string& reason) {
    static std::string lastReason;  // of the refusals without a thread, since the last thread's
    if (StopCurrentThread("script value too large: " + reason)) {
        lastReason.clear();
        return;
    }
    if (reason == lastReason) return;
    lastReason = reason;
    const std::string line = "script value too large: " + reason + "; the operation is refused";
    GetLogSink().Log(0, 0, 0, "", "script", "error", line.c_str());
}
