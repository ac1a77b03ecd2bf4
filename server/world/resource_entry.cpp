#include "server/world/resource_entry.h"

#include <limits>
#include <memory>

#include "core/byte_order.h"

namespace {
constexpr int kPoolBlock = 4096;

struct EntryPool {
    std::vector<std::unique_ptr<ResourceEntry[]>> blocks;
    ResourceEntry* free = nullptr;
};

// Never destroyed: objects freed during the exit of the process give entries back to it.
EntryPool& Pool() {
    static EntryPool* pool = new EntryPool;
    return *pool;
}

s32 Clamp(s64 v) {
    if (v > std::numeric_limits<s32>::max()) return std::numeric_limits<s32>::max();
    if (v < std::numeric_limits<s32>::min()) return std::numeric_limits<s32>::min();
    return static_cast<s32>(v);
}
}  // namespace

s32 SaturatingAdd(s32 a, s64 b) {
    // b comes from 32-bit values or their products; keep the sum inside 64 bits.
    if (b > std::numeric_limits<s32>::max() * 2LL) b = std::numeric_limits<s32>::max() * 2LL;
    if (b < std::numeric_limits<s32>::min() * 2LL) b = std::numeric_limits<s32>::min() * 2LL;
    return Clamp(static_cast<s64>(a) + b);
}

s32 SaturatingMul(s32 a, s64 b) {
    if (b > std::numeric_limits<s32>::max()) b = std::numeric_limits<s32>::max();
    if (b < std::numeric_limits<s32>::min()) b = std::numeric_limits<s32>::min();
    return Clamp(static_cast<s64>(a) * b);
}

bool ResourceEntry::GetAmount(const ResourceEntry* entry, int index, s32& out) {
    if (!entry || index < 0 || index > 2) return false;
    out = entry->amounts[index];
    return true;
}

void ResourceEntry::AddToAmount(ResourceEntry* entry, int index, s32 delta) {
    if (!entry || index < 0 || index > 2) return;
    entry->amounts[index] = SaturatingAdd(entry->amounts[index], delta);
}

void ResourceEntry::Write(std::vector<u8>& out) const {
    for (s32 a : amounts)
        AppendLe32(out, static_cast<u32>(a));
    out.push_back(kind);
    out.insert(out.end(), 16, 0);
    AppendLe32(out, type);
}

void ResourceEntry::Read(const u8* record) {
    for (int i = 0; i < 3; ++i)
        amounts[i] = static_cast<s32>(LoadLe32(record + 4 * i));
    kind = record[12];
    type = static_cast<u16>(LoadLe32(record + 29));
}

s32 SumHeldAmounts(const ResourceEntry* list, int type, int index) {
    s32 sum = 0;
    for (const ResourceEntry* e = list; e && type != 0; e = e->next) {
        if (e->type == type && e->kind == kResourceHeld)
            sum = SaturatingAdd(sum, e->amounts[index]);
    }
    return sum;
}

ResourceEntry* AllocResourceEntry() {
    EntryPool& pool = Pool();
    if (!pool.free) {
        pool.blocks.emplace_back(new ResourceEntry[kPoolBlock]);
        ResourceEntry* block = pool.blocks.back().get();
        for (int i = 0; i < kPoolBlock; ++i) {
            block[i].next = pool.free;
            pool.free = &block[i];
        }
    }
    ResourceEntry* entry = pool.free;
    pool.free = entry->next;
    *entry = ResourceEntry();
    return entry;
}

void FreeResourceEntry(ResourceEntry* entry) {
    if (!entry) return;
    EntryPool& pool = Pool();
    entry->prev = nullptr;
    entry->next = pool.free;
    pool.free = entry;
}
