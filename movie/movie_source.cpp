#include "movie/movie_source.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/bounded_file_read.h"

namespace movie {
namespace {

constexpr size_t kFileBufferBytes = 16384;

class FileMovieSource : public MovieSource {
public:
    ~FileMovieSource() override {
        if (file_) std::fclose(file_);
    }
    // Regular files only: a pipe would hold the client up and a device never ends.
    bool Open(const std::string& path) {
        int fd = -1;
        unsigned long long size = 0;
        const platform::FileReadResult r =
            platform::OpenRegularFile(path, 0, platform::Oversize::kTakePrefix, fd, size);
        if (!r.Read()) {
            if (r.status != platform::FileReadStatus::kMissing) {
                std::fprintf(stderr, "zqdemo: cannot read %s (%s); the movie is not shown\n",
                             path.c_str(), r.reason.c_str());
            }
            return false;
        }
        file_ = ::fdopen(fd, "rb");
        if (!file_) {
            ::close(fd);
            return false;
        }
        return std::setvbuf(file_, buffer_, _IOFBF, sizeof buffer_) == 0;
    }
    s64 Read(u8* out, size_t size) override {
        const size_t n = std::fread(out, 1, size, file_);
        if (n == 0 && std::ferror(file_)) return -1;
        return s64(n);
    }
    bool Skip(s64 delta) override { return std::fseek(file_, long(delta), SEEK_CUR) == 0; }

private:
    std::FILE* file_ = nullptr;
    char buffer_[kFileBufferBytes];
};

}  // namespace

s64 MemoryMovieSource::Read(u8* out, size_t size) {
    const size_t n = std::min(size, size_ - at_);
    if (n) std::memcpy(out, data_ + at_, n);
    at_ += n;
    return s64(n);
}

bool MemoryMovieSource::Skip(s64 delta) {
    const s64 to = s64(at_) + delta;
    if (to < 0) return false;
    // Past the end reads nothing, as a file would.
    at_ = size_t(std::min<s64>(to, s64(size_)));
    return true;
}

std::unique_ptr<MovieSource> OpenMovieFile(const std::string& path) {
    auto source = std::make_unique<FileMovieSource>();
    if (!source->Open(path)) return nullptr;
    return source;
}

}  // namespace movie
