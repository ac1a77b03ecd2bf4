#include "client/data/block_cache.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "client/data/message_box.h"
#include "platform/file_size_limit.h"

namespace {

constexpr const char* kExhausted =
    "Cache is entirely filled with versioned data.  Please increase your cache size, or buy an "
    "updated cd.";

}  // namespace

BlockCache::~BlockCache() {
    Close();
}

bool BlockCache::Create(const std::string& path, s32 fileSize, s32 entryCount) {
    Close();
    if (entryCount < 2) entryCount = 2;
    const s64 dataOffset = kHeaderSize + static_cast<s64>(kEntrySize) * entryCount;
    if (fileSize < dataOffset) fileSize = static_cast<s32>(dataOffset);
    // A fresh file every start: its previous content is never used. A write past the
    // file-size limit fails (rather than ending the process) and the client goes on
    // without the cache.
    platform::IgnoreFileSizeSignal();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::vector<char> zeros(65536, 0);
        int error = 0;
        for (s64 left = fileSize; left > 0 && error == 0; left -= 65536) {
            const size_t n = static_cast<size_t>(left < 65536 ? left : 65536);
            if (std::fwrite(zeros.data(), 1, n, f) != n) error = errno ? errno : EIO;
        }
        if (std::fclose(f) != 0 && error == 0) error = errno ? errno : EIO;
        if (error != 0) {
            errorNumber_ = error;
            errorText_ = "Failed to write " + path + " (" + std::strerror(error) +
                         "); the client goes on without its disk cache.";
            std::remove(path.c_str());
            return false;
        }
    }
    file_ = std::make_unique<platform::MappedFileWriter>(path, static_cast<size_t>(fileSize));
    base_ = file_->Open();
    if (!base_) {
        errorText_ = file_->ErrorText();
        errorNumber_ = file_->ErrorNumber();
        file_.reset();
        return false;
    }
    fileSize_ = fileSize;
    entryCount_ = entryCount;
    dataOffset_ = static_cast<s32>(dataOffset);
    capacity_ = fileSize - dataOffset_;

    UsedHead() = UsedTail() = -1;
    FreeHead() = FreeTail() = 0;
    At(0) = {capacity_, -1, dataOffset_, -1, -1, 0};
    SpareHead() = 1;
    SpareTail() = entryCount - 1;
    for (s32 i = 1; i < entryCount; ++i)
        At(i) = {0, -1, 0, i + 1 < entryCount ? i + 1 : -1, i - 1 >= 1 ? i - 1 : -1, 0};
    if (capacity_ == 0) {
        // No data region at all: entry 0 is a spare slot too.
        FreeHead() = FreeTail() = -1;
        PushSpare(0);
    }

    buckets_.assign(static_cast<size_t>(kFileCount) * 4096, -1);
    nodes_.assign(static_cast<size_t>(entryCount), Node{});
    for (s32 i = 0; i < entryCount; ++i)
        nodes_[i].next = i + 1 < entryCount ? i + 1 : -1;
    freeNode_ = 0;
    return true;
}

void BlockCache::Close() {
    if (file_) file_->Close();
    file_.reset();
    base_ = nullptr;
    buckets_.clear();
    nodes_.clear();
}

s32 BlockCache::FindNode(int file, s32 key) const {
    for (s32 n = buckets_[Bucket(file, key)]; n >= 0; n = nodes_[n].next)
        if (nodes_[n].file == file && nodes_[n].key == key) return n;
    return -1;
}

void BlockCache::AddNode(int file, s32 key, s32 entry) {
    const s32 n = freeNode_;
    freeNode_ = nodes_[n].next;
    s32& head = buckets_[Bucket(file, key)];
    nodes_[n] = {file, key, entry, head, -1};
    if (head >= 0) nodes_[head].previous = n;
    head = n;
}

void BlockCache::RemoveNode(s32 n) {
    Node& node = nodes_[n];
    if (node.previous >= 0) {
        nodes_[node.previous].next = node.next;
    } else {
        buckets_[Bucket(node.file, node.key)] = node.next;
    }
    if (node.next >= 0) nodes_[node.next].previous = node.previous;
    node.next = freeNode_;
    freeNode_ = n;
}

void BlockCache::PushSpare(s32 entry) {
    At(entry) = {0, -1, 0, SpareHead(), -1, 0};
    SpareHead() = entry;
    if (SpareTail() < 0) SpareTail() = entry;
}

s32 BlockCache::PopSpare() {
    const s32 e = SpareHead();
    SpareHead() = At(e).next;
    if (SpareHead() < 0) SpareTail() = -1;
    return e;
}

void BlockCache::Unlink(s32 e, s32& head, s32& tail) {
    Entry& entry = At(e);
    if (entry.previous >= 0) {
        At(entry.previous).next = entry.next;
    } else {
        head = entry.next;
    }
    if (entry.next >= 0) {
        At(entry.next).previous = entry.previous;
    } else {
        tail = entry.previous;
    }
    entry.next = entry.previous = -1;
}

void BlockCache::UnlinkUsed(s32 e) {
    Unlink(e, UsedHead(), UsedTail());
}

void BlockCache::PushUsedHead(s32 e) {
    Entry& entry = At(e);
    entry.previous = -1;
    entry.next = UsedHead();
    if (UsedHead() >= 0) At(UsedHead()).previous = e;
    UsedHead() = e;
    if (UsedTail() < 0) UsedTail() = e;
}

void BlockCache::UnlinkFree(s32 e) {
    Unlink(e, FreeHead(), FreeTail());
}

void BlockCache::Touch(s32 e) {
    if (UsedHead() == e) return;
    UnlinkUsed(e);
    PushUsedHead(e);
}

u8* BlockCache::Find(int file, s32 key) {
    if (!base_ || file < 0 || file >= kFileCount) return nullptr;
    const s32 n = FindNode(file, key);
    if (n < 0) return nullptr;
    const s32 e = nodes_[n].entry;
    Touch(e);
    return base_ + At(e).offset;
}

void BlockCache::EvictOldest() {
    const s32 e = UsedTail();
    if (e < 0) ShowMessageBox(kExhausted, "Caching Error", true);
    const s32 n = FindNode(At(e).file, At(e).key);
    if (n >= 0) RemoveNode(n);
    UnlinkUsed(e);
    Release(e);
}

void BlockCache::Release(s32 e) {
    const s32 offset = At(e).offset;
    const s32 length = At(e).length;
    s32 successor = FreeHead();
    s32 predecessor = -1;
    while (successor >= 0 && At(successor).offset < offset) {
        predecessor = successor;
        successor = At(successor).next;
    }
    if (predecessor >= 0 && At(predecessor).offset + At(predecessor).length == offset) {
        At(predecessor).length += length;
        PushSpare(e);
        if (successor >= 0 &&
            At(predecessor).offset + At(predecessor).length == At(successor).offset) {
            At(predecessor).length += At(successor).length;
            UnlinkFree(successor);
            PushSpare(successor);
        }
        return;
    }
    if (successor >= 0 && offset + length == At(successor).offset) {
        At(successor).offset = offset;
        At(successor).length += length;
        PushSpare(e);
        return;
    }
    Entry& entry = At(e);
    entry.file = -1;
    entry.previous = predecessor;
    entry.next = successor;
    if (predecessor >= 0) {
        At(predecessor).next = e;
    } else {
        FreeHead() = e;
    }
    if (successor >= 0) {
        At(successor).previous = e;
    } else {
        FreeTail() = e;
    }
}

u8* BlockCache::Allocate(int file, s32 key, s32 length) {
    if (!base_ || file < 0 || file >= kFileCount || length < 0) return nullptr;
    s32 block = -1;
    for (;;) {
        // A split needs a spare slot: keep one before looking for a block.
        while (SpareHead() < 0)
            EvictOldest();
        for (s32 b = FreeHead(); b >= 0; b = At(b).next) {
            if (At(b).length >= length) {
                block = b;
                break;
            }
        }
        if (block >= 0) break;
        EvictOldest();
    }
    s32 e;
    if (At(block).length == length) {
        UnlinkFree(block);
        e = block;
    } else {
        e = PopSpare();
        At(e).length = length;
        At(e).offset = At(block).offset + At(block).length - length;
        At(block).length -= length;
    }
    At(e).file = file;
    At(e).key = key;
    PushUsedHead(e);
    AddNode(file, key, e);
    return base_ + At(e).offset;
}

void BlockCache::Drop(int file, s32 key) {
    if (!base_ || file < 0 || file >= kFileCount) return;
    const s32 n = FindNode(file, key);
    if (n < 0) return;
    const s32 e = nodes_[n].entry;
    RemoveNode(n);
    UnlinkUsed(e);
    Release(e);
}

void BlockCache::DropFile(int file) {
    if (!base_) return;
    for (s32 e = UsedHead(); e >= 0;) {
        const s32 next = At(e).next;
        if (At(e).file == file) Drop(file, At(e).key);
        e = next;
    }
}

std::vector<std::pair<int, s32>> BlockCache::UsedMostRecentFirst() const {
    std::vector<std::pair<int, s32>> out;
    if (!base_) return out;
    for (s32 e = UsedHead(); e >= 0; e = At(e).next)
        out.emplace_back(At(e).file, At(e).key);
    return out;
}

std::vector<std::pair<s32, s32>> BlockCache::FreeBlocks() const {
    std::vector<std::pair<s32, s32>> out;
    if (!base_) return out;
    for (s32 e = FreeHead(); e >= 0; e = At(e).next)
        out.emplace_back(At(e).offset, At(e).length);
    return out;
}

s32 BlockCache::SpareCount() const {
    s32 count = 0;
    if (!base_) return 0;
    for (s32 e = SpareHead(); e >= 0 && count <= entryCount_; e = At(e).next)
        ++count;
    return count;
}

std::string BlockCache::CheckConsistency() const {
    if (!base_) return "not open";
    std::vector<int> seen(static_cast<size_t>(entryCount_), 0);
    auto walk = [&](s32 head, s32 tail, bool backLinks, const char* name) -> std::string {
        s32 previous = -1;
        for (s32 e = head; e >= 0; e = At(e).next) {
            if (e >= entryCount_) return std::string(name) + ": index out of range";
            if (seen[e]++) return std::string(name) + ": entry on two lists";
            if (backLinks && At(e).previous != previous)
                return std::string(name) + ": broken back link";
            previous = e;
        }
        if (previous != tail) return std::string(name) + ": wrong tail";
        return "";
    };
    for (auto r :
         {walk(UsedHead(), UsedTail(), true, "used"), walk(FreeHead(), FreeTail(), true, "free"),
          walk(SpareHead(), SpareTail(), false, "spare")}) {
        if (!r.empty()) return r;
    }
    for (s32 i = 0; i < entryCount_; ++i)
        if (!seen[i]) return "entry on no list";
    // The used and free blocks tile the data region exactly.
    std::vector<std::pair<s32, s32>> blocks = FreeBlocks();
    for (s32 i = 1; i < static_cast<s32>(blocks.size()); ++i) {
        if (blocks[i - 1].first + blocks[i - 1].second >= blocks[i].first)
            return "free blocks unsorted, overlapping or unmerged";
    }
    for (s32 e = UsedHead(); e >= 0; e = At(e).next)
        blocks.emplace_back(At(e).offset, At(e).length);
    std::sort(blocks.begin(), blocks.end());
    s32 position = dataOffset_;
    for (const auto& [offset, length] : blocks) {
        if (offset != position) return "gap or overlap in the data region";
        position += length;
    }
    if (position != fileSize_) return "data region not covered";
    for (s32 e = UsedHead(); e >= 0; e = At(e).next) {
        const s32 n = FindNode(At(e).file, At(e).key);
        if (n < 0 || nodes_[n].entry != e) return "used entry without its hash node";
    }
    return "";
}
