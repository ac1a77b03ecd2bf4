#pragma once
// Whole-file memory mappings. `MappedFile` maps an existing file read-only; `MappedFileWriter`
// maps a file of a fixed size for reading and writing (created when missing) and flushes it
// when closed. A failed open answers null and keeps the reason (text and errno) for the caller
// to show. A zero-length file is an empty mapping: a non-null base and size 0.
#include <cstddef>
#include <string>

namespace platform {

class MappedFile {
public:
    MappedFile() = default;
    explicit MappedFile(std::string path) : path_(std::move(path)) {}
    ~MappedFile() { Close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& Path() const { return path_; }

    // Maps the whole file; the base address, or null (an empty path touches no file).
    const unsigned char* Open();
    // Unmaps; harmless when nothing is mapped.
    void Close();

    const unsigned char* Base() const { return base_; }
    size_t Size() const { return size_; }
    bool IsOpen() const { return base_ != nullptr; }
    // Copies what the mapping holds of [offset, offset + length) to `destination`; answers
    // the number of bytes copied (fewer when the range runs past the end).
    size_t Read(size_t offset, size_t length, void* destination) const;

    // After a failed Open: the message ("Failed to open mmf %s: Error %d." or "Failed to
    // create mapping for mmf %s: Error %d.") and the errno behind it.
    const std::string& ErrorText() const { return errorText_; }
    int ErrorNumber() const { return errorNumber_; }

private:
    std::string path_;
    const unsigned char* base_ = nullptr;
    size_t size_ = 0;
    bool mapped_ = false;  // base_ is a real view (not the empty-file sentinel)
    std::string errorText_;
    int errorNumber_ = 0;
};

class MappedFileWriter {
public:
    MappedFileWriter(std::string path, size_t size) : path_(std::move(path)), size_(size) {}
    ~MappedFileWriter() { Close(); }
    MappedFileWriter(const MappedFileWriter&) = delete;
    MappedFileWriter& operator=(const MappedFileWriter&) = delete;

    // Maps `size` bytes read-write, creating the file when missing and sizing it to exactly
    // that many bytes; the base address or null.
    unsigned char* Open();
    // Flushes and unmaps; harmless when nothing is mapped.
    void Close();

    unsigned char* Base() const { return base_; }
    size_t Size() const { return size_; }
    const std::string& ErrorText() const { return errorText_; }
    int ErrorNumber() const { return errorNumber_; }

private:
    std::string path_;
    size_t size_;
    unsigned char* base_ = nullptr;
    bool mapped_ = false;
    std::string errorText_;
    int errorNumber_ = 0;
};

}  // namespace platform
