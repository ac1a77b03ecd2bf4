#include "core/sector_store.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

namespace {

void PutLe32(u8* p, s32 v) {
    StoreLe32(p, static_cast<u32>(v));
}

s32 GetLe32(const u8* p) {
    return static_cast<s32>(LoadLe32(p));
}

}  // namespace

bool SectorStore::Open(const char* indexPath, const char* dataPath, const char* mode) {
    Close();
    if (indexPath == nullptr || dataPath == nullptr || mode == nullptr) return false;
    index_ = ArchiveOpen(indexPath, mode);
    data_ = ArchiveOpen(dataPath, mode);
    if (index_ == nullptr || data_ == nullptr) {
        Close();
        return false;
    }
    mode_ = mode;
    return true;
}

void SectorStore::Close() {
    if (index_ != nullptr) ArchiveClose(index_);
    if (data_ != nullptr) ArchiveClose(data_);
    index_ = nullptr;
    data_ = nullptr;
    mode_.clear();
}

bool SectorStore::WriteEntry(const IndexEntry& e) {
    u8 raw[kEntrySize];
    PutLe32(raw, e.offset);
    PutLe32(raw + 4, e.length);
    PutLe32(raw + 8, e.extra);
    return ArchiveWrite(raw, 1, kEntrySize, index_) == size_t(kEntrySize);
}

bool SectorStore::ReadEntry(IndexEntry& e) {
    u8 raw[kEntrySize];
    if (ArchiveRead(raw, 1, kEntrySize, index_) != size_t(kEntrySize)) return false;
    e.offset = GetLe32(raw);
    e.length = GetLe32(raw + 4);
    e.extra = GetLe32(raw + 8);
    return true;
}

s64 SectorStore::DataLength() {
    if (ArchiveSeek(data_, 0, SEEK_END) != 0) return -1;
    return ArchiveTell(data_);
}

bool SectorStore::Write(s32 n, const void* bytes, s32 length, s32 extra) {
    if (!IsOpen()) return false;
    if (length > 0 && bytes == nullptr) return false;
    bool sequential = !mode_.empty() && mode_[0] == 'w';
    IndexEntry e;
    e.extra = extra;
    if (sequential) {
        if (length < 1) return WriteEntry(e);
        e.offset = static_cast<s32>(ArchiveTell(data_));
        e.length = length;
        if (!WriteEntry(e)) return false;
        return ArchiveWrite(bytes, 1, size_t(length), data_) == size_t(length);
    }

    if (n < 0) return false;
    long at = long(n) * kEntrySize;
    if (ArchiveSeek(index_, at, SEEK_SET) != 0) return false;
    if (length < 1) return WriteEntry(e);
    IndexEntry old;
    if (!ReadEntry(old)) old = IndexEntry{};
    s64 dataLength = DataLength();
    if (dataLength < 0) return false;
    bool fitsOld =
        old.offset >= 0 && old.length >= length && s64(old.offset) + old.length <= dataLength;
    s64 offset = fitsOld ? old.offset : dataLength;
    if (offset > 0x7FFFFFFF - s64(length)) return false;
    e.offset = static_cast<s32>(offset);
    e.length = length;
    if (ArchiveSeek(index_, at, SEEK_SET) != 0 || !WriteEntry(e)) return false;
    if (ArchiveSeek(data_, long(offset), SEEK_SET) != 0) return false;
    return ArchiveWrite(bytes, 1, size_t(length), data_) == size_t(length);
}

bool SectorStore::Read(s32 n, std::vector<u8>& bytes, s32& extra) {
    bytes.clear();
    extra = 0;
    if (!IsOpen() || n < 0) return false;
    IndexEntry e;
    if (ArchiveSeek(index_, long(n) * kEntrySize, SEEK_SET) != 0 || !ReadEntry(e)) return false;
    extra = e.extra;
    if (e.offset == -1 || e.length <= 0) return true;
    // The entry comes from a file: its bytes must lie within the data file.
    s64 dataLength = DataLength();
    if (e.offset < 0 || s64(e.offset) + e.length > dataLength) {
        extra = 0;
        return false;
    }
    bytes.resize(size_t(e.length));
    if (ArchiveSeek(data_, e.offset, SEEK_SET) != 0 ||
        ArchiveRead(bytes.data(), 1, bytes.size(), data_) != bytes.size()) {
        bytes.clear();
        extra = 0;
        return false;
    }
    return true;
}

SectorStore::CompactResult SectorStore::Compact(const char* indexPath, const char* dataPath) {
    Close();
    if (!Open(indexPath, dataPath, "rb")) return CompactResult::kFailed;
    if (ArchiveSeek(index_, 0, SEEK_END) != 0) {
        Close();
        return CompactResult::kFailed;
    }
    s64 count = ArchiveTell(index_) / kEntrySize;
    s64 dataLength = DataLength();
    if (ArchiveSeek(index_, 0, SEEK_SET) != 0 || dataLength < 0) {
        Close();
        return CompactResult::kFailed;
    }
    std::vector<IndexEntry> entries(size_t(std::max<s64>(count, 0)));
    s64 live = 0;
    for (IndexEntry& e : entries) {
        if (!ReadEntry(e)) {
            Close();
            return CompactResult::kFailed;
        }
        if (e.offset != -1 && e.length > 0) live += e.length;
    }
    if (live * 150 / 100 >= dataLength) {
        Close();
        return CompactResult::kUnchanged;
    }

    // Gather the live records before anything is truncated.
    std::vector<std::vector<u8>> records(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        IndexEntry& e = entries[i];
        if (e.offset == -1 || e.length <= 0) continue;
        if (e.offset < 0 || s64(e.offset) + e.length > dataLength) {
            Close();
            return CompactResult::kFailed;
        }
        records[i].resize(size_t(e.length));
        if (ArchiveSeek(data_, e.offset, SEEK_SET) != 0 ||
            ArchiveRead(records[i].data(), 1, records[i].size(), data_) != records[i].size()) {
            Close();
            return CompactResult::kFailed;
        }
    }
    Close();
    // Both must be writable before either is truncated.
    if (!Open(indexPath, dataPath, "r+b")) return CompactResult::kFailed;
    Close();
    if (!Open(indexPath, dataPath, "wb")) return CompactResult::kFailed;
    bool ok = true;
    for (size_t i = 0; i < entries.size() && ok; ++i) {
        IndexEntry e = entries[i];
        if (e.offset == -1 || e.length <= 0) {
            ok = WriteEntry(IndexEntry{-1, -1, e.extra});
        } else {
            ok = Write(0, records[i].data(), e.length, e.extra);
        }
    }
    Close();
    return ok ? CompactResult::kCompacted : CompactResult::kFailed;
}
