#include "core/move_trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace move_trace {
namespace {

struct TraceFile {
    std::mutex lock;
    std::FILE* file = nullptr;
    bool decided = false;  // whether the environment was looked at (or a path was set)
};

TraceFile& Trace() {
    static TraceFile trace;
    return trace;
}

void OpenLocked(TraceFile& t, const std::string& path) {
    if (t.file) std::fclose(t.file);
    t.file = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
    t.decided = true;
}

// The file, opened at the first use from the environment's name.
std::FILE* FileLocked(TraceFile& t) {
    if (!t.decided) {
        const char* path = std::getenv("ZQ_MOVE_TRACE");
        OpenLocked(t, path ? path : "");
    }
    return t.file;
}

}  // namespace

bool Enabled() {
    TraceFile& t = Trace();
    std::lock_guard<std::mutex> hold(t.lock);
    return FileLocked(t) != nullptr;
}

void Write(const char* side, const char* event, int sequence, int direction, int x, int y, int z) {
    TraceFile& t = Trace();
    std::lock_guard<std::mutex> hold(t.lock);
    std::FILE* f = FileLocked(t);
    if (!f) return;
    std::fprintf(f, "%s %s seq=%d dir=%d at=%d,%d,%d\n", side, event, sequence, direction, x, y, z);
    std::fflush(f);
}

void SetPath(const std::string& path) {
    TraceFile& t = Trace();
    std::lock_guard<std::mutex> hold(t.lock);
    OpenLocked(t, path);
}

}  // namespace move_trace
