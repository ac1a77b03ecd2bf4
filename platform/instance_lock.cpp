#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

std::string LockPath(const std::string& dir, const std::string& name) {
    return dir + "/" + name + ".lock";
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
    return Result::kAcquired;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
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
