#include "platform/bounded_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

FileReadResult Failed(FileReadStatus status, int error, const std::string& reason) {
    FileReadResult r;
    r.status = status;
    r.reason = reason;
    r.error = error;
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
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

std::string TooLarge(size_t maxBytes) {
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace

FileReadResult OpenRegularFile(const std::string& path, size_t maxBytes, Oversize oversize, int& fd,
                               unsigned long long& size) {
    fd = -1;
    size = 0;
    // Non-blocking, so a named pipe with no writer does not hold the caller up before it
    // is seen for what it is.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT) return Failed(FileReadStatus::kMissing, error, "");
        return Failed(FileReadStatus::kUnreadable, error, std::strerror(error));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return Failed(FileReadStatus::kUnreadable, errno, std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return Failed(FileReadStatus::kNotAFile, EISDIR, std::strerror(EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed(FileReadStatus::kNotAFile, ENODEV, "not a regular file");
    }
    if (oversize == Oversize::kWholeOnly &&
        static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return Failed(FileReadStatus::kTooLarge, EFBIG, TooLarge(maxBytes));
    }
    size = static_cast<unsigned long long>(info.st_size);
    fd = file.Release();
    FileReadResult r;
    r.status = FileReadStatus::kRead;
    return r;
}

FileReadResult CheckRegularFile(const std::string& path) {
    int opened = -1;
    unsigned long long size = 0;
    FileReadResult r = OpenRegularFile(path, 0, Oversize::kTakePrefix, opened, size);
    FileDescriptor close(opened);
    return r;
}

FileReadResult ReadBoundedFile(const std::string& path, size_t maxBytes, Oversize oversize,
                               std::string& out) {
    out.clear();
    int opened = -1;
    unsigned long long size = 0;
    FileReadResult r = OpenRegularFile(path, maxBytes, oversize, opened, size);
    if (!r.Read()) return r;
    FileDescriptor fd(opened);
    const bool prefix = oversize == Oversize::kTakePrefix;
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
            return Failed(FileReadStatus::kUnreadable, error, std::strerror(error));
        }
        if (got == 0) break;
        out.append(buffer, static_cast<size_t>(got));
    }
    if (out.size() > maxBytes) {
        out.clear();
        return Failed(FileReadStatus::kTooLarge, EFBIG, TooLarge(maxBytes));
    }
    return r;
}

}  // namespace platform
