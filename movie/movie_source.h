#pragma once
// Where a movie's bytes come from: a file read through a 16 KB buffer, or memory.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/types.h"

namespace movie {

class MovieSource {
public:
    virtual ~MovieSource() = default;
    // Reads up to `size` bytes; answers how many were read (0 at the end), or -1 on a failed
    // read.
    virtual s64 Read(u8* out, size_t size) = 0;
    // Moves the read position by `delta` bytes; false when it cannot.
    virtual bool Skip(s64 delta) = 0;
};

class MemoryMovieSource : public MovieSource {
public:
    MemoryMovieSource(const u8* data, size_t size) : data_(data), size_(size) {}
    s64 Read(u8* out, size_t size) override;
    bool Skip(s64 delta) override;

private:
    const u8* data_;
    size_t size_;
    size_t at_ = 0;
};

// Null when the file cannot be opened or given its buffer. Only a regular file is opened:
// a directory, device or pipe in its place is refused with a line on stderr naming it.
std::unique_ptr<MovieSource> OpenMovieFile(const std::string& path);

}  // namespace movie
