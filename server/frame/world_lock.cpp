#include "server/frame/world_lock.h"

#include <cerrno>
#include <cstring>

#include "platform/instance_lock.h"
#include "platform/save_file.h"
#include "server/world/world_save.h"

namespace {

platform::InstanceLock& TheWorldLock() {
    static platform::InstanceLock lock;
    return lock;
}

// The lock's name: the archive's file name without its extension ("zqdemo").
std::string LockName(const std::string& archivePath) {
    const std::string path = PathBesideArchive(archivePath, "");
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string WorldLockPath(const std::string& archivePath) {
    return PathBesideArchive(archivePath, ".lock");
}

WorldLockResult TakeWorldLock(const std::string& archivePath, std::string* error) {
    const std::string path = WorldLockPath(archivePath);
    const std::string dir = platform::DirectoryOf(path);
    errno = 0;
    switch (TheWorldLock().TryAcquire(dir, LockName(archivePath))) {
        case platform::InstanceLock::Result::kAcquired:
            return WorldLockResult::kTaken;
        case platform::InstanceLock::Result::kHeldElsewhere:
            if (error) {
                *error = "another copy of the game runs in " + dir + " (it holds " + path +
                         "): this one ends without loading or saving the world";
            }
            return WorldLockResult::kHeldElsewhere;
        case platform::InstanceLock::Result::kUnavailable:
            break;
    }
    if (error) {
        *error = "cannot take the world lock " + path + " (" + std::strerror(errno ? errno : EIO) +
                 "): without it the world could not be saved there, so the game does not start";
    }
    return WorldLockResult::kUnavailable;
}

void ReleaseWorldLock() {
    TheWorldLock().Release();
}

bool HoldsWorldLock() {
    return TheWorldLock().Held();
}
