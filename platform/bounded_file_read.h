#pragma once
// Reads a small file whole, or a bounded prefix of it, without exceptions: the files a user
// may replace by anything (a directory, a device, a pipe, a file that cannot be opened, a
// huge file) answer a status and a reason instead of blocking, throwing or reading until
// memory runs out. Readers that map or stream a file open it through the same gate.
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
    // The errno behind a refusal (ENOENT when missing, EISDIR, ENODEV for another kind of
    // file, EFBIG when too large); 0 when read.
    int error = 0;

    bool Read() const { return status == FileReadStatus::kRead; }
};

// Opens the regular file at `path` for reading without waiting on it (a named pipe with no
// writer is refused, not waited for). On kRead `fd` is the open descriptor, the caller's to
// close, and `size` the file's length; otherwise `fd` is -1. With kWholeOnly a file longer
// than `maxBytes` is refused as kTooLarge.
FileReadResult OpenRegularFile(const std::string& path, size_t maxBytes, Oversize oversize, int& fd,
                               unsigned long long& size);

// What OpenRegularFile would answer, without keeping the file open.
FileReadResult CheckRegularFile(const std::string& path);

// Reads the regular file at `path` into `out` (cleared first), taking at most `maxBytes`.
FileReadResult ReadBoundedFile(const std::string& path, size_t maxBytes, Oversize oversize,
                               std::string& out);

}  // namespace platform
