#pragma once
// Single-instance detection between copies of the program: an exclusive lock on a file in
// the run directory, held for the life of the process and dropped by the system when the
// process ends (even on a crash).
#include <string>

namespace platform {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { kAcquired, kHeldElsewhere, kUnavailable };
    // Takes the lock named `name` (the file "<dir>/<name>.lock"): kHeldElsewhere when
    // another process (or another InstanceLock of this one) holds it, kUnavailable when the
    // file cannot be made (for example a read-only directory).
    Result TryAcquire(const std::string& dir, const std::string& name);
    // True only when the lock was taken.
    bool Acquire(const std::string& dir, const std::string& name) {
        return TryAcquire(dir, name) == Result::kAcquired;
    }
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// In a child process made by fork (and not replaced by exec): closes the child's copies of
// the locks the parent holds, so the child never keeps them after the parent ends. The
// parent keeps its locks. Async-signal-safe.
void CloseInstanceLocksInChild();

// True when some process holds the lock `name` in `dir` (the file is not created).
bool IsInstanceLockHeld(const std::string& dir, const std::string& name);

}  // namespace platform
