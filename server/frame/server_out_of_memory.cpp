#include "server/frame/server_out_of_memory.h"

#include <unistd.h>

#include "core/log_sink.h"
#include "platform/out_of_memory.h"

namespace {
constexpr char kMessage[] = "out of memory: the server cannot go on";
}

void ReportServerOutOfMemory() {
    // Straight to the descriptor: the C library's buffers may need memory.
    constexpr char kLine[] = "zqdemo: out of memory: the server cannot go on\n";
    if (::write(STDERR_FILENO, kLine, sizeof kLine - 1) < 0) {
        // Nothing more can be said.
    }
    GetLogSink().Log(0, 0, 0, "", "memory", "panic", kMessage);
}

void InstallServerOutOfMemoryHandler() {
    platform::InstallOutOfMemoryHandler();
    platform::SetThreadOutOfMemoryReport(&ReportServerOutOfMemory);
}
