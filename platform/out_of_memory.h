#pragma once
// What the process does when an allocation fails. The allocator's handler is process-wide,
// but what to tell the user depends on the thread: only the client thread may show a
// message box, the server reports on its own channels. Each thread sets its own report;
// a thread without one writes a line to stderr.
namespace platform {

// Runs on the failing thread, then the process ends with exit code 1. It may allocate a
// little: the request that failed is usually a large one.
using OutOfMemoryReport = void (*)();

// Installs the process-wide handler of failed allocations (the first call; later calls do
// nothing).
void InstallOutOfMemoryHandler();
// Sets the report of the calling thread (null: the plain line on stderr).
void SetThreadOutOfMemoryReport(OutOfMemoryReport report);
// What the installed handler does on the calling thread: the thread's report, then the
// end of the process with code 1. Never returns.
[[noreturn]] void HandleOutOfMemory();

}  // namespace platform
