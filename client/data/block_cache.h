#pragma once
// The block cache `cache.zq`: a fixed-size memory-mapped file on the hard disk that holds
// copies of records read from CD data files, with least-recently-used eviction. Layout: a
// 24-byte header (first/last used entry, first/last free block, first/last spare slot), the
// entry table (entry count x 24 bytes: length, file, data offset, next, previous, key), then
// the data region. Every entry is on exactly one list: used (most recent first), free (data
// blocks by ascending offset, neighbours always merged) or spare (slots describing nothing).
// Cached records are found through an in-memory hash of 17 x 4096 buckets.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/mapped_file.h"
#include "platform/types.h"

class BlockCache {
public:
    static constexpr int kFileCount = 17;
    static constexpr s32 kHeaderSize = 24;
    static constexpr s32 kEntrySize = 24;

    BlockCache() = default;
    ~BlockCache();
    BlockCache(const BlockCache&) = delete;
    BlockCache& operator=(const BlockCache&) = delete;

    // Creates the cache file anew (zero-filled, `fileSize` bytes, `entryCount` entries, at
    // least 2) and maps it; false with the mapping's message in ErrorText().
    bool Create(const std::string& path, s32 fileSize, s32 entryCount);
    // Flushes and unmaps.
    void Close();
    bool IsOpen() const { return base_ != nullptr; }
    const std::string& ErrorText() const { return errorText_; }
    int ErrorNumber() const { return errorNumber_; }

    // The cached bytes of (file, key), marked most recently used; null when not cached.
    u8* Find(int file, s32 key);
    // Room for `length` bytes under (file, key) (not yet in the cache), most recently used.
    // Evicts least recently used records as needed; when nothing is left to evict the
    // exhausted-cache message ends the process.
    u8* Allocate(int file, s32 key, s32 length);
    // Forgets (file, key) when cached, returning its space to the free list.
    void Drop(int file, s32 key);
    // Forgets every cached record of one file.
    void DropFile(int file);

    // --- Inspection (tests) ---
    s32 DataCapacity() const { return capacity_; }
    s32 DataOffset() const { return dataOffset_; }
    s32 EntryCount() const { return entryCount_; }
    // (file, key) of the used entries, most recently used first.
    std::vector<std::pair<int, s32>> UsedMostRecentFirst() const;
    // (offset, length) of the free blocks in list order.
    std::vector<std::pair<s32, s32>> FreeBlocks() const;
    s32 SpareCount() const;
    // Empty when the lists are consistent, else what is wrong.
    std::string CheckConsistency() const;

private:
    struct Entry {
        s32 length, file, offset, next, previous, key;
    };
    struct Node {
        s32 file, key, entry, next, previous;
    };
    s32* Header() const { return reinterpret_cast<s32*>(base_); }
    Entry& At(s32 i) const { return reinterpret_cast<Entry*>(base_ + kHeaderSize)[i]; }
    s32& UsedHead() const { return Header()[0]; }
    s32& UsedTail() const { return Header()[1]; }
    s32& FreeHead() const { return Header()[2]; }
    s32& FreeTail() const { return Header()[3]; }
    s32& SpareHead() const { return Header()[4]; }
    s32& SpareTail() const { return Header()[5]; }

    s32 Bucket(int file, s32 key) const { return file * 4096 + (key & 0xFFF); }
    s32 FindNode(int file, s32 key) const;
    void AddNode(int file, s32 key, s32 entry);
    void RemoveNode(s32 node);

    void PushSpare(s32 entry);
    s32 PopSpare();
    // Takes an entry out of a doubly linked list with the given head and tail.
    void Unlink(s32 entry, s32& head, s32& tail);
    void UnlinkUsed(s32 entry);
    void PushUsedHead(s32 entry);
    void UnlinkFree(s32 entry);
    void Touch(s32 entry);
    // Removes the least recently used record; the exhausted-cache stop when there is none.
    void EvictOldest();
    // Returns an entry's space to the free list, merging with its neighbours.
    void Release(s32 entry);

    std::unique_ptr<platform::MappedFileWriter> file_;
    u8* base_ = nullptr;
    s32 fileSize_ = 0;
    s32 entryCount_ = 0;
    s32 dataOffset_ = 0;
    s32 capacity_ = 0;
    std::vector<s32> buckets_;  // head node per bucket, -1 for none
    std::vector<Node> nodes_;
    s32 freeNode_ = -1;
    std::string errorText_;
    int errorNumber_ = 0;
};
