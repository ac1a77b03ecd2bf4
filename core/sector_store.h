#pragma once
// Numbered variable-length records in a pair of data files: an index of 12-byte entries
// (record n at byte 12 * n: s32 offset in the data file or -1, s32 length or -1, s32 extra
// value stored with the record; little-endian) and a data file of the records' bytes.
// Both are opened through the archive's file API.
#include <string>
#include <vector>

#include "core/archive.h"
#include "platform/types.h"

class SectorStore {
public:
    static constexpr int kEntrySize = 12;

    SectorStore() = default;
    ~SectorStore() { Close(); }
    SectorStore(const SectorStore&) = delete;
    SectorStore& operator=(const SectorStore&) = delete;

    // Opens both files with the same mode. A mode beginning with 'w' writes a fresh pair
    // sequentially; any other mode updates records in place. True when both opened; else
    // false and neither is kept open.
    bool Open(const char* indexPath, const char* dataPath, const char* mode);
    void Close();
    bool IsOpen() const { return index_ != nullptr && data_ != nullptr; }

    // Sequential mode: appends the entry (n is not used) and the bytes. Update mode:
    // rewrites entry n, putting the bytes at the record's old offset when they fit in its
    // old length, else at the end of the data file. A length below 1 stores no record,
    // only the extra value. False when the entry or the bytes could not be written.
    bool Write(s32 n, const void* bytes, s32 length, s32 extra);

    // Reads entry n: the extra value, and the record's bytes (empty when it has none).
    // False, with empty bytes and extra 0, when the entry cannot be read or points outside
    // the data file.
    bool Read(s32 n, std::vector<u8>& bytes, s32& extra);

    // Rewrites the pair without its dead bytes when the data file is more than 1.5 times
    // the live records. The live records are gathered in memory (the temporary pair lives
    // there), then both files are truncated and written afresh. kFailed when the pair cannot
    // be read or is not writable (a pair that is not writable is left as it was). Closes this
    // store's own files first.
    enum class CompactResult { kCompacted, kUnchanged, kFailed };
    CompactResult Compact(const char* indexPath, const char* dataPath);

private:
    struct IndexEntry {
        s32 offset = -1;
        s32 length = -1;
        s32 extra = 0;
    };

    bool WriteEntry(const IndexEntry& e);
    bool ReadEntry(IndexEntry& e);
    s64 DataLength();

    ArchiveHandle index_ = nullptr;
    ArchiveHandle data_ = nullptr;
    std::string mode_;
};
