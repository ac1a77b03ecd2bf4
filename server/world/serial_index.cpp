#include "server/world/serial_index.h"

namespace {
constexpr int kInitialBits = 10;
// Fibonacci hashing of a serial's high bits.
constexpr u32 kGoldenRatio = 0x9E3779B1u;
}  // namespace

SerialIndex::SerialIndex() : slots_(size_t{1} << kInitialBits), shift_(32 - kInitialBits) {}

size_t SerialIndex::Home(u32 serial) const {
    // Serials that differ only in their low bits (the table's width) keep their order, so
    // that a sweep over objects made one after another walks the table, and the objects,
    // front to back instead of at random; the high bits, hashed, place each such block, so
    // that serials alike in their low bits still spread.
    const int bits = 32 - shift_;
    const u32 high = static_cast<u32>((static_cast<u64>(serial) >> bits) * kGoldenRatio) >> shift_;
    return static_cast<size_t>((serial + high) & ((u32{1} << bits) - 1));
}

size_t SerialIndex::FindSlot(u32 serial) const {
    const size_t mask = slots_.size() - 1;
    size_t slot = Home(serial);
    while (slots_[slot].sharers != 0 && slots_[slot].serial != serial)
        slot = (slot + 1) & mask;
    return slot;
}

CItem* SerialIndex::Find(u32 serial) const {
    const Slot& s = slots_[FindSlot(serial)];
    return s.sharers != 0 ? s.item : nullptr;
}

void SerialIndex::Add(u32 serial, CItem* item) {
    // At most half full: runs stay short.
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Slot& s = slots_[FindSlot(serial)];
    if (s.sharers == 0) {
        s.serial = serial;
        ++count_;
    }
    if (++s.sharers == 2) ++shared_;
    s.item = item;
}

int SerialIndex::Remove(u32 serial, const CItem* item) {
    const size_t slot = FindSlot(serial);
    Slot& s = slots_[slot];
    if (s.sharers == 0) return 0;
    if (--s.sharers == 0) {
        EraseSlot(slot);
        --count_;
        return 0;
    }
    if (s.sharers == 1) --shared_;
    if (s.item == item) s.item = nullptr;
    return static_cast<int>(s.sharers);
}

void SerialIndex::Replace(u32 serial, CItem* item) {
    Slot& s = slots_[FindSlot(serial)];
    if (s.sharers != 0) s.item = item;
}

void SerialIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, Slot{});
    --shift_;
    for (const Slot& s : old) {
        if (s.sharers != 0) slots_[FindSlot(s.serial)] = s;
    }
}

void SerialIndex::EraseSlot(size_t slot) {
    // Backward shift: the entries after the hole that may move into it do, so that every
    // run stays unbroken without markers of removed entries.
    const size_t mask = slots_.size() - 1;
    size_t hole = slot;
    for (size_t next = (slot + 1) & mask; slots_[next].sharers != 0; next = (next + 1) & mask) {
        const size_t fromHome = (next - Home(slots_[next].serial)) & mask;
        const size_t fromHole = (next - hole) & mask;
        if (fromHome >= fromHole) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = Slot{};
}
