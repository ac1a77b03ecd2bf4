#pragma once
// Ends the whole process at once with an exit code, from any thread (the client's fatal
// errors). Standard output and error are flushed first.
namespace platform {

[[noreturn]] void ExitProcess(int code);

}  // namespace platform
