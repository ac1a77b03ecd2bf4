#pragma once
// A list of values with integer weights and an enabled flag, from which one value is drawn
// with probability proportional to its weight among the enabled entries.
//
// The draw takes one platform::Rand() value (0..32767): r = Rand() % total + 1, then the
// first enabled entry of non-zero weight whose running sum reaches r. So with a total above
// 32768 the entries after a running sum of 32768 can never be drawn, and negative weights
// lower the running sum; definition files are written with that in mind.
//
// The total is kept in 64 bits so that weights read from data can never overflow it.
#include "core/linked_list.h"
#include "platform/random.h"
#include "platform/types.h"

template <typename T>
struct CWeightedEntry {
    T value{};
    int weight = 0;
    int enabled = 1;  // 1 enabled, 0 disabled
};

template <typename T>
class CWeightedList {
public:
    using Entry = CWeightedEntry<T>;
    using Position = CListPos<Entry>;

    CWeightedList() = default;
    CWeightedList(const CWeightedList&) = delete;
    CWeightedList& operator=(const CWeightedList&) = delete;

    // A copy of the value, enabled, at the head (where 1) or the tail.
    Position Add(const T& value, int weight, int where) {
        Entry entry;
        entry.value = value;
        entry.weight = weight;
        entry.enabled = 1;
        auto* node = entries_.AddAtEnd(entry, where);
        if (node != nullptr) totalWeight_ += weight;
        return Position(node);
    }

    // An enabled entry with a default value, for the caller to fill in place.
    Position AddNew(int weight, int where) {
        Entry* entry = new Entry();
        entry->weight = weight;
        entry->enabled = 1;
        auto* node = entries_.AttachAtEnd(entry, where);
        if (node == nullptr) {
            delete entry;
            return Position();
        }
        totalWeight_ += weight;
        return Position(node);
    }

    int GetCount() const { return entries_.GetCount(); }
    s64 GetTotalWeight() const { return totalWeight_; }

    Position GetHeadPosition() const { return Position(entries_.GetHead()); }
    Position GetNext(const Position& pos) const {
        return Owned(pos) ? Position(EntryList::NextOf(pos.node)) : Position();
    }

    // Null for an invalid position or one of another list.
    Entry* GetAt(const Position& pos) const {
        return Owned(pos) ? EntryList::GetAt(pos.node) : nullptr;
    }
    int* GetWeightRef(const Position& pos) const {
        Entry* entry = GetAt(pos);
        return entry != nullptr ? &entry->weight : nullptr;
    }
    bool IsEnabled(const Position& pos) const {
        const Entry* entry = GetAt(pos);
        return entry != nullptr && entry->enabled != 0;
    }

    // Any non-zero flag enables. Switching an entry to the state it has changes nothing.
    void SetEnabled(const Position& pos, int flag) {
        Entry* entry = GetAt(pos);
        if (entry == nullptr) return;
        const int enabled = flag != 0 ? 1 : 0;
        if (enabled == entry->enabled) return;
        if (entry->enabled == 1) totalWeight_ -= entry->weight;
        if (enabled == 1) totalWeight_ += entry->weight;
        entry->enabled = enabled;
    }

    void SetAllEnabled(int flag) {
        for (auto* node = entries_.GetHead(); node != nullptr; node = EntryList::NextOf(node)) {
            SetEnabled(Position(node), flag);
        }
    }

    // The total follows the weight only while the entry is enabled, so it always equals the
    // sum of the enabled weights.
    void SetWeight(const Position& pos, int weight) {
        Entry* entry = GetAt(pos);
        if (entry == nullptr) return;
        if (entry->enabled == 1) totalWeight_ += static_cast<s64>(weight) - entry->weight;
        entry->weight = weight;
    }

    // One weighted draw; invalid when nothing can be drawn (no Rand() call then).
    Position Pick() const {
        if (totalWeight_ <= 0) return Position();
        return PickAt(platform::Rand() % totalWeight_ + 1);
    }

    // The entry the draw selects for a given r (1..total): the first enabled entry of
    // non-zero weight, head to tail, whose running sum reaches r.
    Position PickAt(s64 r) const {
        s64 sum = 0;
        for (auto* node = entries_.GetHead(); node != nullptr; node = EntryList::NextOf(node)) {
            const Entry* entry = EntryList::GetAt(node);
            if (entry == nullptr || entry->enabled != 1 || entry->weight == 0) continue;
            sum += entry->weight;
            if (r <= sum) return Position(node);
        }
        return Position();
    }

private:
    using EntryList = CLinkedList<Entry>;

    bool Owned(const Position& pos) const { return entries_.Owns(pos.node); }

    EntryList entries_;
    s64 totalWeight_ = 0;
};
