#include "platform/out_of_memory.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/process_exit.h"

namespace platform {
namespace {

thread_local OutOfMemoryReport g_report = nullptr;
thread_local bool g_reporting = false;
std::atomic<bool> g_installed{false};
std::atomic<bool> g_ending{false};

void WriteStderr(const char* text) {
    size_t length = 0;
    while (text[length])
        ++length;
    // Without the C library's buffers: they may need memory.
    while (length > 0) {
        ssize_t n = ::write(STDERR_FILENO, text, length);
        if (n <= 0) return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void Handler() {
    HandleOutOfMemory();
}

}  // namespace

void InstallOutOfMemoryHandler() {
    if (!g_installed.exchange(true)) std::set_new_handler(Handler);
}

void SetThreadOutOfMemoryReport(OutOfMemoryReport report) {
    g_report = report;
}

void HandleOutOfMemory() {
    // The report itself ran out of memory: end at once.
    if (g_reporting) {
        WriteStderr("zqdemo: out of memory\n");
        std::_Exit(1);
    }
    // Another thread is already reporting and will end the process: wait for it.
    if (g_ending.exchange(true)) {
        for (;;)
            ::pause();
    }
    g_reporting = true;
    if (g_report) {
        g_report();
    } else {
        WriteStderr("zqdemo: out of memory\n");
    }
    ExitProcess(1);
}

}  // namespace platform
