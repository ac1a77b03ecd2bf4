#pragma once
// The saved world belongs to one process at a time. Before anything of the world is loaded
// the game takes the lock beside its save ("zqdemo.lock" beside "zqdemo.sav": an exclusive
// lock on that file, which the system drops when the process ends, even in a crash) and holds
// it until after its final save. A copy that does not get it loads nothing, never writes the
// save and ends with a message.
#include <string>

enum class WorldLockResult { kTaken, kHeldElsewhere, kUnavailable };

// The lock file of the world saved beside the data archive at `archivePath`.
std::string WorldLockPath(const std::string& archivePath);
// Takes the lock for the life of the process (or until ReleaseWorldLock). When it is not
// taken, `error` (when given) holds one line naming the lock file and why.
WorldLockResult TakeWorldLock(const std::string& archivePath, std::string* error = nullptr);
void ReleaseWorldLock();
bool HoldsWorldLock();
