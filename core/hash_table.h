#pragma once
// The program's own associative container: 66 buckets, each a pair of parallel lists (keys
// and values; the n-th key belongs to the n-th value). A bucket's lists are made on its first
// insertion and deleted when it empties. The table owns every key and every value.
// Iteration order: buckets 0 to 65, and inside a bucket from the oldest pair to the newest.
//
// Keys are hashed through an overload of HashKeyMod(key, n) found for the key type (integers
// and CStr here), and compared with == (for CStr: ignoring case, as the hash folds case).
#include "core/cstr.h"
#include "core/linked_list.h"
#include "core/zq_assert.h"
#include "platform/types.h"

// Bucket helpers: the key reduced modulo n + 1 (the table passes its highest bucket, 65).
// A negative n gives bucket 0.
int IntHashMod(int key, int n);
// Hash of the text's bytes with A-Z folded to a-z, so texts equal but for case meet in one
// bucket. A null text hashes as empty.
int StringHashMod(const char* text, int n);
// StringHashMod over the string's text; a string without a buffer hashes as empty.
int CStrHashMod(const CStr& key, int n);

inline int HashKeyMod(int key, int n) {
    return IntHashMod(key, n);
}
inline int HashKeyMod(const CStr& key, int n) {
    return CStrHashMod(key, n);
}

// A position in a table: plain values, copied freely. All zero is invalid.
template <typename K, typename V>
struct CHashIter {
    bool valid = false;
    int bucket = 0;
    CLinkedListNode<K>* keyNode = nullptr;
    CLinkedListNode<V>* valueNode = nullptr;

    bool IsValid() const { return valid; }
};

template <typename K, typename V>
class CHashTable {
public:
    static constexpr int kBuckets = 66;
    using Iter = CHashIter<K, V>;
    using KeyList = CLinkedList<K>;
    using ValueList = CLinkedList<V>;

    // unique 1: a key may occur once; any other value allows duplicates.
    explicit CHashTable(int unique) : unique_(unique) {}
    CHashTable(const CHashTable&) = delete;
    CHashTable& operator=(const CHashTable&) = delete;
    ~CHashTable() { RemoveAll(); }

    int GetCount() const { return count_; }
    bool IsUnique() const { return unique_ == 1; }
    // True while the bucket holds pairs (its lists exist); false for an empty or unknown
    // bucket.
    bool IsBucketPresent(int bucket) const { return InRange(bucket) && keys_[bucket] != nullptr; }

    void RemoveAll() {
        for (int b = 0; b < kBuckets; ++b)
            DropBucket(b);
        count_ = 0;
    }

    // Takes over the value; in a unique table a present key refuses (false) and the value
    // stays the caller's.
    bool Insert(const K& key, V* value) {
        Iter it = InsertKey(key);
        if (!it.valid) return false;
        it.valueNode->AdoptData(value);
        return true;
    }

    // Adds the key with an empty value for the caller to fill (SetValue); invalid when
    // refused.
    Iter InsertKey(const K& key) {
        const int bucket = BucketOf(key);
        if (unique_ == 1 && keys_[bucket] != nullptr &&
            keys_[bucket]->Find(key, nullptr, 1) != nullptr) {
            return Iter();
        }
        if (keys_[bucket] == nullptr) {
            keys_[bucket] = new KeyList();
            values_[bucket] = new ValueList();
        }
        Iter it;
        it.valid = true;
        it.bucket = bucket;
        it.keyNode = keys_[bucket]->AddTail(key);
        it.valueNode = values_[bucket]->NewTailNode();
        ++count_;
        ZQ_ASSERT(keys_[bucket]->GetCount() == values_[bucket]->GetCount(),
                  "the n-th key of a bucket belongs to its n-th value");
        return it;
    }

    // The value node of a valid iterator of this table takes over the value (deleting the
    // one it held); false for another iterator, and the value stays the caller's.
    bool SetValue(const Iter& it, V* value) {
        if (!Belongs(it)) return false;
        it.valueNode->AdoptData(value);
        return true;
    }

    // Adds the key with a copy of the value; false when refused.
    bool Add(const K& key, const V& value) {
        Iter it = InsertKey(key);
        if (!it.valid) return false;
        it.valueNode->SetValue(value);
        return true;
    }

    // Search: from the bucket's oldest pair (direction 1) or newest (otherwise).
    Iter Find(const K& key, int direction) const {
        const int bucket = BucketOf(key);
        if (keys_[bucket] == nullptr) return Iter();
        Iter it;
        it.bucket = bucket;
        it.keyNode = keys_[bucket]->GetStart(direction);
        it.valueNode = values_[bucket]->GetStart(direction);
        it.valid = it.keyNode != nullptr;
        return FindFrom(key, it, direction);
    }

    // From the iterator (inclusive) to the end of its bucket; a found iterator's successor
    // finds the next duplicate.
    Iter FindFrom(const K& key, Iter it, int direction) const {
        if (!Belongs(it)) return Iter();
        while (it.valid) {
            const K* found = it.keyNode->GetData();
            if (found != nullptr && *found == key) return it;
            it = NextInBucket(it, direction);
        }
        return Iter();
    }

    // The value of the key's oldest pair; null when the key is absent.
    V* FindValue(const K& key) const { return GetValue(Find(key, 1)); }

    // Null for an invalid iterator or one of another table.
    K* GetKey(const Iter& it) const { return Belongs(it) ? it.keyNode->GetData() : nullptr; }
    V* GetValue(const Iter& it) const { return Belongs(it) ? it.valueNode->GetData() : nullptr; }

    Iter NextInBucket(const Iter& it, int direction) const {
        if (!Belongs(it)) return Iter();
        Iter next = it;
        next.keyNode = KeyList::Step(it.keyNode, direction);
        next.valueNode = ValueList::Step(it.valueNode, direction);
        next.valid = next.keyNode != nullptr && next.valueNode != nullptr;
        return next;
    }

    // The first pair of the first present bucket from the given one: up for direction 1,
    // down otherwise. A bucket number outside 0..65 is invalid.
    Iter FirstFrom(int bucket, int direction) const {
        if (!InRange(bucket)) return Iter();
        const int stepBy = direction == 1 ? 1 : -1;
        for (int b = bucket; InRange(b); b += stepBy) {
            if (keys_[b] == nullptr) continue;
            Iter it;
            it.bucket = b;
            it.keyNode = keys_[b]->GetStart(direction);
            it.valueNode = values_[b]->GetStart(direction);
            if (it.keyNode != nullptr && it.valueNode != nullptr) {
                it.valid = true;
                return it;
            }
        }
        return Iter();
    }

    // The following pair in full iteration order (direction 1) or the preceding one.
    Iter Step(const Iter& it, int direction) const {
        if (!Belongs(it)) return Iter();
        Iter next = NextInBucket(it, direction);
        if (next.valid) return next;
        const int following = it.bucket + (direction == 1 ? 1 : -1);
        if (!InRange(following)) return Iter();
        return FirstFrom(following, direction);
    }

    Iter Begin() const { return FirstFrom(0, 1); }
    Iter Next(const Iter& it) const { return Step(it, 1); }

    // Removes the pair, handing its value to the caller, and returns the pair that followed
    // it in the direction (computed before the removal). An invalid iterator, or one of
    // another table, changes nothing.
    Iter Detach(const Iter& it, V*& value, int direction) {
        value = nullptr;
        if (!Belongs(it)) return Iter();
        const Iter result = Step(it, direction);
        const int bucket = it.bucket;
        keys_[bucket]->RemoveNode(it.keyNode, 1);
        values_[bucket]->Detach(it.valueNode, value, 1);
        ZQ_ASSERT(keys_[bucket]->GetCount() == values_[bucket]->GetCount(),
                  "the n-th key of a bucket belongs to its n-th value");
        if (keys_[bucket]->GetCount() == 0) DropBucket(bucket);
        --count_;
        return result;
    }

    // Detach, then delete the value. A removing walk: it = Remove(it, 1), else it = Next(it).
    Iter Remove(const Iter& it, int direction) {
        V* value = nullptr;
        Iter result = Detach(it, value, direction);
        delete value;
        return result;
    }

private:
    static bool InRange(int bucket) { return bucket >= 0 && bucket < kBuckets; }

    static int BucketOf(const K& key) {
        const int bucket = HashKeyMod(key, kBuckets - 1);
        return InRange(bucket) ? bucket : 0;
    }

    // A valid iterator whose nodes are pairs of this table's bucket.
    bool Belongs(const Iter& it) const {
        return it.valid && InRange(it.bucket) && keys_[it.bucket] != nullptr &&
               keys_[it.bucket]->Owns(it.keyNode) && values_[it.bucket]->Owns(it.valueNode);
    }

    void DropBucket(int bucket) {
        delete keys_[bucket];
        delete values_[bucket];
        keys_[bucket] = nullptr;
        values_[bucket] = nullptr;
    }

    int unique_;
    int count_ = 0;
    KeyList* keys_[kBuckets] = {};
    ValueList* values_[kBuckets] = {};
};
