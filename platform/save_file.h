#pragma once
// Writing a file so that a crash or a failed write never costs the last good copy: the bytes
// go to a temporary file in the same directory, which is flushed to the disk, then renamed
// over the file, and the directory is flushed so that the rename itself survives.
//
// The file operations are a seam: tests put in operations that fail at a chosen step.
#include <string>

namespace platform {

class FileOps {
public:
    virtual ~FileOps() = default;
    // A descriptor opened for writing (created or truncated), or -1.
    virtual int OpenForWrite(const std::string& path);
    // Writes every byte; false on any failure.
    virtual bool Write(int fd, const void* bytes, size_t size);
    virtual bool Sync(int fd);
    virtual bool Close(int fd);
    virtual bool Rename(const std::string& from, const std::string& to);
    // A second name for an existing file (a hard link); fails when `to` exists.
    virtual bool Link(const std::string& from, const std::string& to);
    virtual bool SyncDirectory(const std::string& directory);
    virtual bool Remove(const std::string& path);
};

// The operating system's operations.
FileOps& SystemFileOps();

// The temporary file a safe write of `path` goes through.
std::string TemporaryPathFor(const std::string& path);
// The directory part of a path ("." when it has none).
std::string DirectoryOf(const std::string& path);

// Writes the bytes to `path` the safe way. False, with the reason in `error` (when given),
// when any step failed; the temporary file is then removed and `path` is as it was.
// With `keepOldAs` the file being replaced stays under that name too: the name is added
// just before the rename, so `path` holds a whole file throughout. When it cannot be added
// nothing is replaced.
bool WriteFileSafely(const std::string& path, const void* bytes, size_t size,
                     std::string* error = nullptr, FileOps& ops = SystemFileOps(),
                     const std::string& keepOldAs = std::string());

// Removes a temporary file a crash during a safe write of `path` left behind; true when
// there was one.
bool RemoveLeftoverTemporary(const std::string& path, FileOps& ops = SystemFileOps());

}  // namespace platform
