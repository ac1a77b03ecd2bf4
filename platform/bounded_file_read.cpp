#include "platform/bounded_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

FileReadResult Failed(FileReadStatus status, const std::string& reason) {
    FileReadResult r;
    r.status = status;
    r.reason = reason;
    return r;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileReadResult ReadBoundedFile(const std::string& path, size_t maxBytes, Oversize oversize,
                               std::string& out) {
    out.clear();
    // Non-blocking, so a named pipe with no writer does not hold the caller up before it
    // is seen for what it is.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT) return Failed(FileReadStatus::kMissing, "");
        return Failed(FileReadStatus::kUnreadable, std::strerror(error));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return Failed(FileReadStatus::kUnreadable, std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) return Failed(FileReadStatus::kNotAFile, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode)) {
        return Failed(FileReadStatus::kNotAFile, "not a regular file");
    }
    const bool prefix = oversize == Oversize::kTakePrefix;
    const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
    if (!prefix && static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return Failed(FileReadStatus::kTooLarge, tooLarge);
    }
    // The size may change while reading: read up to one byte past the bound to know.
    const size_t limit = prefix ? maxBytes : maxBytes + 1;
    char buffer[4096];
    while (out.size() < limit) {
        size_t want = std::min(sizeof buffer, limit - out.size());
        ssize_t got = ::read(fd.get(), buffer, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            out.clear();
            return Failed(FileReadStatus::kUnreadable, std::strerror(error));
        }
        if (got == 0) break;
        out.append(buffer, static_cast<size_t>(got));
    }
    if (out.size() > maxBytes) {
        out.clear();
        return Failed(FileReadStatus::kTooLarge, tooLarge);
    }
    FileReadResult r;
    r.status = FileReadStatus::kRead;
    return r;
}

}  // namespace platform
