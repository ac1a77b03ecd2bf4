#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/bounded_file_read.h"

namespace platform {

namespace {

// Offsets into a mapped data file are 32-bit: nothing past 4 GiB is ever read, so a larger
// file is refused rather than mapped.
constexpr size_t kMaxMappedBytes = size_t(1) << 32;

// The base handed out for an empty file: readable as zero bytes, never dereferenced.
const unsigned char kEmptyMapping[1] = {0};
unsigned char g_emptyWritable[1] = {0};

std::string Describe(const char* format, const std::string& path, int error) {
    char text[512];
    std::snprintf(text, sizeof text, format, path.c_str(), error);
    return text;
}

}  // namespace

const unsigned char* MappedFile::Open() {
    Close();
    errorText_.clear();
    errorNumber_ = 0;
    if (path_.empty()) return nullptr;
    int fd = -1;
    unsigned long long size = 0;
    const FileReadResult gate =
        OpenRegularFile(path_, kMaxMappedBytes, Oversize::kWholeOnly, fd, size);
    if (!gate.Read()) {
        errorNumber_ = gate.error;
        // A file that opened but cannot be mapped (a directory, a device, a pipe, one past
        // the bound) says why after the number.
        if (gate.status == FileReadStatus::kMissing || gate.status == FileReadStatus::kUnreadable) {
            errorText_ = Describe("Failed to open mmf %s: Error %d.", path_, errorNumber_);
        } else {
            errorText_ =
                Describe("Failed to create mapping for mmf %s: Error %d.", path_, errorNumber_);
            errorText_.insert(errorText_.size() - 1, " (" + gate.reason + ")");
        }
        return nullptr;
    }
    size_ = static_cast<size_t>(size);
    if (size_ == 0) {
        ::close(fd);
        base_ = kEmptyMapping;
        return base_;
    }
    void* view = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    const int mapError = errno;
    ::close(fd);
    if (view == MAP_FAILED) {
        size_ = 0;
        errorNumber_ = mapError;
        errorText_ =
            Describe("Failed to create mapping for mmf %s: Error %d.", path_, errorNumber_);
        return nullptr;
    }
    base_ = static_cast<const unsigned char*>(view);
    mapped_ = true;
    return base_;
}

void MappedFile::Close() {
    if (mapped_) ::munmap(const_cast<unsigned char*>(base_), size_);
    mapped_ = false;
    base_ = nullptr;
    size_ = 0;
}

size_t MappedFile::Read(size_t offset, size_t length, void* destination) const {
    if (!base_ || offset >= size_) return 0;
    const size_t n = length < size_ - offset ? length : size_ - offset;
    std::memcpy(destination, base_ + offset, n);
    return n;
}

unsigned char* MappedFileWriter::Open() {
    Close();
    errorText_.clear();
    errorNumber_ = 0;
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        errorNumber_ = errno;
        errorText_ = Describe("Failed to open mmf_wr %s: Error %d.", path_, errorNumber_);
        return nullptr;
    }
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) >= size_;
    if (!sized && ::ftruncate(fd, static_cast<off_t>(size_)) != 0) {
        errorNumber_ = errno;
        errorText_ =
            Describe("Failed to create mapping for mmf_wr %s: Error %d.", path_, errorNumber_);
        ::close(fd);
        return nullptr;
    }
    if (size_ == 0) {
        ::close(fd);
        base_ = g_emptyWritable;
        return base_;
    }
    void* view = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int mapError = errno;
    ::close(fd);
    if (view == MAP_FAILED) {
        errorNumber_ = mapError;
        errorText_ =
            Describe("Failed to create mapping for mmf_wr %s: Error %d.", path_, errorNumber_);
        return nullptr;
    }
    base_ = static_cast<unsigned char*>(view);
    mapped_ = true;
    return base_;
}

void MappedFileWriter::Close() {
    if (mapped_) {
        ::msync(base_, size_, MS_SYNC);
        ::munmap(base_, size_);
    }
    mapped_ = false;
    base_ = nullptr;
}

}  // namespace platform
