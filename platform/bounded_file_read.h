#pragma once
// Reads a small file whole, or a bounded prefix of it, without exceptions: the files a user
// may replace by anything (a directory, a device, a pipe, a file that cannot be opened, a
// huge file) answer a status and a reason instead of blocking, throwing or reading until
// memory runs out.
#include <cstddef>
#include <string>

namespace platform {

enum class FileReadStatus {
    kRead,        // `out` holds the file (or its first `maxBytes` with kTakePrefix)
    kMissing,     // there is no file of that name
    kNotAFile,    // a directory, device, pipe or socket stands there
    kUnreadable,  // it could not be opened or read
    kTooLarge,    // larger than `maxBytes` (with kWholeOnly)
};

// What to do with a file longer than the bound.
enum class Oversize { kWholeOnly, kTakePrefix };

struct FileReadResult {
    FileReadStatus status = FileReadStatus::kMissing;
    // Why the file was not read, for a message ("Is a directory"); empty when read or
    // missing.
    std::string reason;

    bool Read() const { return status == FileReadStatus::kRead; }
};

// Reads the regular file at `path` into `out` (cleared first), taking at most `maxBytes`.
FileReadResult ReadBoundedFile(const std::string& path, size_t maxBytes, Oversize oversize,
                               std::string& out);

}  // namespace platform
