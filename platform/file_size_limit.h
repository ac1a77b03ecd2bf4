#pragma once
// The process's file-size limit (`ulimit -f`): a write past it ends the process by SIGXFSZ
// unless the signal is ignored, in which case the write fails with EFBIG and the writer can
// report it and go on.

namespace platform {

// Ignores SIGXFSZ for the whole process; harmless to call more than once.
void IgnoreFileSizeSignal();

}  // namespace platform
