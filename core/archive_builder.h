#pragma once
// Writes a whole data archive from a list of members. The output depends only on the
// members, their order and the key: the same input gives the same bytes.
//
//   ArchiveBuilder b;
//   b.Add("../.rundir/zqgolddemo/server.txt", text);        // read-only, no capacity
//   b.Add("../.rundir/time.mul", bytes, false, 4096);       // writable, may grow to 4096
//   if (!b.Write("zqdemo.dat")) fprintf(stderr, "%s\n", b.Error().c_str());
//
// Members are laid out in the order added. A member with a capacity larger than its
// stored size gets that many bytes reserved, so it can grow without touching the next
// member; a writable member without a capacity can grow only when it is the last one.
#include <string>
#include <string_view>
#include <vector>

#include "core/archive_key.h"
#include "platform/types.h"

class ArchiveBuilder {
public:
    explicit ArchiveBuilder(const ArchiveKey& key = kArchiveKey);

    // Adds a member for the data file path as the server opens it (the stored name is
    // lower-cased with ".q" appended). False, with Error() set, for a duplicate or too
    // long name, a full directory, or content that does not fit its capacity.
    bool Add(std::string_view path, const void* data, size_t size, bool readOnly = true,
             u32 capacity = 0);
    bool Add(std::string_view path, const std::vector<u8>& bytes, bool readOnly = true,
             u32 capacity = 0) {
        return Add(path, bytes.data(), bytes.size(), readOnly, capacity);
    }
    bool Add(std::string_view path, std::string_view text, bool readOnly = true, u32 capacity = 0) {
        return Add(path, text.data(), text.size(), readOnly, capacity);
    }

    // The archive's bytes; empty (with Error() set) when it would pass 4 GB.
    std::vector<u8> Build();
    // Writes the archive to a temporary file beside the path, flushes it to the disk, then
    // renames it over the path, so a failed write or a crash never leaves half an archive.
    bool Write(const std::string& path);

    int Count() const { return static_cast<int>(members_.size()); }
    const std::string& Error() const { return error_; }

private:
    struct Member {
        std::string name;
        std::vector<u8> bytes;
        bool readOnly;
        u32 capacity;
    };

    ArchiveKey key_;
    std::vector<Member> members_;
    std::string error_;
};
