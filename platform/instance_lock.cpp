#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace platform {
namespace {

std::string LockPath(const std::string& dir, const std::string& name) {
    return dir + "/" + name + ".lock";
}

// The descriptors of the locks this process holds, for a forked child to drop its copies
// without taking anything (async-signal-safe reads only).
constexpr int kMaxHeldLocks = 8;
std::atomic<int> g_heldLockFds[kMaxHeldLocks] = {-1, -1, -1, -1, -1, -1, -1, -1};

void RememberHeld(int fd) {
    for (std::atomic<int>& slot : g_heldLockFds) {
        int expected = -1;
        if (slot.compare_exchange_strong(expected, fd)) return;
    }
}

void ForgetHeld(int fd) {
    for (std::atomic<int>& slot : g_heldLockFds) {
        int expected = fd;
        if (slot.compare_exchange_strong(expected, -1)) return;
    }
}

}  // namespace

InstanceLock::~InstanceLock() {
    Release();
}

InstanceLock::Result InstanceLock::TryAcquire(const std::string& dir, const std::string& name) {
    Release();
    std::string path = LockPath(dir, name);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return Result::kUnavailable;
    // flock locks belong to the open file description, so a second open in this process
    // conflicts too, just as a second process would.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::kHeldElsewhere : Result::kUnavailable;
    }
    fd_ = fd;
    RememberHeld(fd);
    return Result::kAcquired;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        ForgetHeld(fd_);
        ::close(fd_);
        fd_ = -1;
    }
}

void CloseInstanceLocksInChild() {
    // Closing the child's copy leaves the parent's lock in place; unlocking would not.
    for (std::atomic<int>& slot : g_heldLockFds) {
        int fd = slot.load();
        if (fd >= 0) ::close(fd);
    }
}

bool IsInstanceLockHeld(const std::string& dir, const std::string& name) {
    std::string path = LockPath(dir, name);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

}  // namespace platform
