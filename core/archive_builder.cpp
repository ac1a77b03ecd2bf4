#include "core/archive_builder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/archive.h"
#include "core/byte_order.h"
#include "core/gost_cipher.h"
#include "platform/save_file.h"

ArchiveBuilder::ArchiveBuilder(const ArchiveKey& key) : key_(key) {}

bool ArchiveBuilder::Add(std::string_view path, const void* data, size_t size, bool readOnly,
                         u32 capacity) {
    std::string name = ArchiveMemberName(path);
    if (path.empty() || name.size() >= size_t(kArchiveNameSize) ||
        name.find('\0') != std::string::npos) {
        error_ = "bad member name '" + std::string(path) + "'";
        return false;
    }
    for (const Member& m : members_) {
        if (m.name == name) {
            error_ = "member " + name + " is added twice";
            return false;
        }
    }
    if (members_.size() >= size_t(kArchiveMaxEntries)) {
        error_ = "an archive holds at most " + std::to_string(kArchiveMaxEntries) + " members";
        return false;
    }
    if (u64(size) > 0xFFFFFFFFull - 8 ||
        (capacity != 0 && ArchiveStoredSize(size) > u64(capacity))) {
        error_ = "member " + name + " (" + std::to_string(size) +
                 " bytes, with its trailer) does not fit its capacity of " +
                 std::to_string(capacity);
        return false;
    }
    const u8* p = static_cast<const u8*>(data);
    members_.push_back(Member{name, std::vector<u8>(p, p + size), readOnly, capacity});
    return true;
}

std::vector<u8> ArchiveBuilder::Build() {
    GostCipher cipher(key_);
    GostCounterMode counter(cipher, kArchiveInitialCounter);

    u64 dirSize = u64(members_.size() + 1) * kArchiveEntrySize;
    u64 dataSize = 0;
    std::vector<ArchiveEntry> entries;
    for (const Member& m : members_) {
        ArchiveEntry e;
        e.name = m.name;
        e.offset = static_cast<u32>(dataSize);
        e.capacity = m.capacity;
        e.readOnly = m.readOnly ? 1 : 0;
        e.size = static_cast<u32>(ArchiveStoredSize(m.bytes.size()));
        u64 reserved = std::max<u64>(e.size, m.capacity);
        dataSize += reserved;
        if (dataSize > 0xFFFFFFFFull || dirSize + dataSize > 0xFFFFFFFFull) {
            error_ = "the archive would pass 4 GB";
            return {};
        }
        entries.push_back(std::move(e));
    }

    std::vector<u8> out(size_t(dirSize + dataSize), 0);
    u8* dir = out.data();
    for (const ArchiveEntry& e : entries) {
        EncodeArchiveEntry(e, dir);
        counter.Apply(dir, kArchiveEntrySize);
        dir += kArchiveEntrySize;
    }
    ArchiveEntry end;
    end.name = kArchiveEndName;
    EncodeArchiveEntry(end, dir);
    counter.Apply(dir, kArchiveEntrySize);

    for (size_t i = 0; i < members_.size(); ++i) {
        const Member& m = members_[i];
        u8* p = out.data() + dirSize + entries[i].offset;
        if (!m.bytes.empty()) std::memcpy(p, m.bytes.data(), m.bytes.size());
        u32 len = static_cast<u32>(m.bytes.size());
        u8* trailer = p + entries[i].size - 4;
        StoreLe32(trailer, len);
        // Each 4096-byte page of the member is one run: Apply restarts every 4096 bytes.
        counter.Apply(p, entries[i].size);
    }
    return out;
}

bool ArchiveBuilder::Write(const std::string& path) {
    std::vector<u8> bytes = Build();
    if (bytes.empty()) return false;
    // Flushed to the disk before it replaces the old archive, so a crash leaves one whole.
    return platform::WriteFileSafely(path, bytes.data(), bytes.size(), &error_);
}
