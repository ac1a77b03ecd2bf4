#include "platform/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_size_limit.h"

namespace platform {

int FileOps::OpenForWrite(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool FileOps::Write(int fd, const void* bytes, size_t size) {
    const char* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileOps::Sync(int fd) {
    return ::fsync(fd) == 0;
}

bool FileOps::Close(int fd) {
    return ::close(fd) == 0;
}

bool FileOps::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileOps::Link(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0;
}

bool FileOps::SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool FileOps::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

FileOps& SystemFileOps() {
    static FileOps ops;
    return ops;
}

std::string TemporaryPathFor(const std::string& path) {
    return path + ".tmp";
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteFileSafely(const std::string& path, const void* bytes, size_t size, std::string* error,
                     FileOps& ops, const std::string& keepOldAs) {
    // A write past the file-size limit then fails with EFBIG and is reported, instead of
    // ending the process with the old copy's replacement half written.
    IgnoreFileSizeSignal();
    const std::string temp = TemporaryPathFor(path);
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + std::strerror(errno ? errno : EIO);
        return false;
    };
    errno = 0;
    const int fd = ops.OpenForWrite(temp);
    if (fd < 0) return fail("cannot create " + temp);
    if (!ops.Write(fd, bytes, size)) {
        const bool result = fail("cannot write " + temp);
        ops.Close(fd);
        ops.Remove(temp);
        return result;
    }
    if (!ops.Sync(fd)) {
        const bool result = fail("cannot flush " + temp + " to the disk");
        ops.Close(fd);
        ops.Remove(temp);
        return result;
    }
    if (!ops.Close(fd)) {
        const bool result = fail("cannot close " + temp);
        ops.Remove(temp);
        return result;
    }
    bool kept = false;
    if (!keepOldAs.empty()) {
        errno = 0;
        kept = ops.Link(path, keepOldAs);
        // Nothing to keep when there is no old file (it was removed meanwhile).
        if (!kept && errno != ENOENT) {
            const bool result = fail("cannot keep " + path + " as " + keepOldAs);
            ops.Remove(temp);
            return result;
        }
    }
    if (!ops.Rename(temp, path)) {
        const bool result = fail("cannot rename " + temp + " to " + path);
        ops.Remove(temp);
        if (kept) ops.Remove(keepOldAs);
        return result;
    }
    // The new file is in place; a directory that cannot be flushed may still lose the rename
    // in a crash, which leaves the last save, so it is reported but the write stands.
    if (!ops.SyncDirectory(DirectoryOf(path)))
        return fail(path + " is in place, but its directory " + DirectoryOf(path) +
                    " cannot be flushed to the disk");
    return true;
}

bool RemoveLeftoverTemporary(const std::string& path, FileOps& ops) {
    struct stat st {};
    const std::string temp = TemporaryPathFor(path);
    if (::stat(temp.c_str(), &st) != 0) return false;
    return ops.Remove(temp);
}

}  // namespace platform
