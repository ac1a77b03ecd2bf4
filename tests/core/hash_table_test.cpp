#include "core/hash_table.h"

#include <gtest/gtest.h>

#include <strings.h>
#include <map>
#include <string>
#include <vector>

namespace {

// A text with the string class's rules: == ignores case, < is byte order.
struct Text {
    std::string s;
    Text(const char* t) : s(t) {}
    friend bool operator==(const Text& a, const Text& b) {
        return strcasecmp(a.s.c_str(), b.s.c_str()) == 0;
    }
};
int HashKeyMod(const Text& key, int n) {
    return StringHashMod(key.s.c_str(), n);
}

struct Tracked {
    static int live;
    int v;
    explicit Tracked(int v) : v(v) { ++live; }
    Tracked(const Tracked& o) : v(o.v) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;

using IntTable = CHashTable<int, int>;

std::vector<int> KeysInOrder(const IntTable& table, IntTable::Iter it, int direction) {
    std::vector<int> out;
    for (; it.IsValid(); it = table.Step(it, direction))
        out.push_back(*table.GetKey(it));
    return out;
}

TEST(HashTable, BucketHelpers) {
    struct IntCase {
        int key, bucket;
    };
    const IntCase ints[] = {{0, 0}, {5, 5}, {71, 5}, {65, 65}, {66, 0}, {-1, 3}, {-66, 4}};
    for (const IntCase& c : ints)
        EXPECT_EQ(IntHashMod(c.key, 65), c.bucket) << c.key;

    struct TextCase {
        const char* text;
        int bucket;
    };
    const TextCase texts[] = {
        {"abc", 33},        {"ABC", 33}, {"Sword", 28}, {"sword", 28},
        {"abcdefghij", 18},  // long enough for the top bits to fold back
        {"\xff", 15},        // high bytes count as negative
        {"\xe9t\xe9", 33},  {"", 0},     {nullptr, 0},
    };
    for (const TextCase& c : texts) {
        EXPECT_EQ(StringHashMod(c.text, 65), c.bucket) << (c.text ? c.text : "(null)");
    }
    EXPECT_EQ(IntHashMod(12345, -1), 0);  // no divisor: bucket 0, never a division by zero
    EXPECT_EQ(StringHashMod("abc", -1), 0);
}

TEST(HashTable, UniqueTableRefusesASecondEqualKey) {
    IntTable table(1);
    int* value = new int(1);
    EXPECT_TRUE(table.Insert(5, value));
    int* refused = new int(2);
    EXPECT_FALSE(table.Insert(5, refused));
    delete refused;  // a refused value stays the caller's
    EXPECT_FALSE(table.InsertKey(5).IsValid());
    EXPECT_EQ(table.Add(5, 3), 0);
    EXPECT_EQ(table.Add(71, 3), 1);  // same bucket, other key
    EXPECT_EQ(table.GetCount(), 2);
    EXPECT_EQ(*table.FindValue(5), 1);

    CHashTable<Text, int> names(1);
    EXPECT_EQ(names.Add("Sword", 1), 1);
    EXPECT_EQ(names.Add("sword", 2), 0);  // equal ignoring case: the same key
    EXPECT_EQ(names.Add("SWORD ", 3), 1);
    EXPECT_EQ(*names.FindValue("sWoRd"), 1);
    EXPECT_EQ(names.GetCount(), 2);
}

TEST(HashTable, StringKeysIgnoreCase) {
    EXPECT_EQ(CStrHashMod(CStr("abc"), 65), 33);
    EXPECT_EQ(CStrHashMod(CStr("ABC"), 65), 33);
    EXPECT_EQ(CStrHashMod(CStr(static_cast<const char*>(nullptr)), 65), 0);  // no buffer

    CHashTable<CStr, CStr> unique(1);
    EXPECT_EQ(unique.Add("Sword", "first"), 1);
    EXPECT_EQ(unique.Add("sword", "second"), 0);
    EXPECT_EQ(unique.Add(CStr(static_cast<const char*>(nullptr)), "none"), 1);
    EXPECT_EQ(unique.Add("", "empty"), 0);  // a string without a buffer reads as empty
    ASSERT_NE(unique.FindValue("SWORD"), nullptr);
    EXPECT_EQ(*unique.FindValue("SWORD"), "first");
    EXPECT_FALSE(unique.Find("abc", 1).IsValid());

    CHashTable<CStr, int> names(0);
    names.Add("Dagger", 1);
    names.Add("DAGGER", 2);
    names.Add("abc", 3);
    names.Add("ABC", 4);
    EXPECT_EQ(names.GetCount(), 4);
    EXPECT_EQ(*names.GetValue(names.Find("dagger", 1)), 1);
    EXPECT_EQ(*names.GetValue(names.Find("dagger", 0)), 2);
    const auto abc = names.Find("Abc", 1);
    EXPECT_EQ(abc.bucket, 33);
    EXPECT_EQ(*names.GetValue(names.FindFrom("aBC", names.NextInBucket(abc, 1), 1)), 4);
}

TEST(HashTable, DuplicatesKeepArrivalOrder) {
    IntTable table(0);
    table.Add(5, 100);
    table.Add(71, 200);  // same bucket
    table.Add(5, 300);
    auto older = table.Find(5, 1);
    auto newer = table.Find(5, 0);
    ASSERT_TRUE(older.IsValid());
    ASSERT_TRUE(newer.IsValid());
    EXPECT_EQ(*table.GetValue(older), 100);
    EXPECT_EQ(*table.GetValue(newer), 300);
    EXPECT_EQ(older.bucket, 5);
    // From a found pair's successor the search finds the next duplicate, then none.
    auto next = table.FindFrom(5, table.NextInBucket(older, 1), 1);
    ASSERT_TRUE(next.IsValid());
    EXPECT_EQ(*table.GetValue(next), 300);
    EXPECT_FALSE(table.FindFrom(5, table.NextInBucket(next, 1), 1).IsValid());
    EXPECT_EQ(*table.GetValue(table.Find(71, 1)), 200);
    EXPECT_FALSE(table.Find(137, 1).IsValid());  // bucket 5 again, key absent
    EXPECT_FALSE(table.Find(6, 1).IsValid());    // bucket never used
}

TEST(HashTable, IterationRunsBucketByBucketOldestFirst) {
    IntTable table(0);
    for (int key : {70, 5, 65, 71, 66, -1, 0})
        table.Add(key, key);
    // Buckets: 66 and 0 -> 0, -1 -> 3, 70 -> 4, 5 and 71 -> 5, 65 -> 65.
    EXPECT_EQ(KeysInOrder(table, table.Begin(), 1), (std::vector<int>{66, 0, -1, 70, 5, 71, 65}));
    EXPECT_EQ(KeysInOrder(table, table.FirstFrom(65, 0), 0),
              (std::vector<int>{65, 71, 5, 70, -1, 0, 66}));
    EXPECT_EQ(KeysInOrder(table, table.FirstFrom(4, 1), 1), (std::vector<int>{70, 5, 71, 65}));
    EXPECT_EQ(KeysInOrder(table, table.FirstFrom(2, 0), 0), (std::vector<int>{0, 66}));

    struct Case {
        int bucket, direction;
        bool valid;
    };
    const Case bounds[] = {
        {66, 1, false}, {66, 0, false}, {-1, 1, false}, {1000, 0, false},
        {64, 1, true},  {65, 1, true},  {1, 0, true},   {0, 0, true},
    };
    for (const Case& c : bounds) {
        EXPECT_EQ(table.FirstFrom(c.bucket, c.direction).IsValid(), c.valid)
            << c.bucket << "/" << c.direction;
    }
    IntTable empty(0);
    EXPECT_FALSE(empty.Begin().IsValid());
    EXPECT_FALSE(empty.FirstFrom(65, 0).IsValid());
}

TEST(HashTable, RemoveDuringWalkVisitsEveryPairOnce) {
    for (int direction : {1, 0}) {
        IntTable table(0);
        for (int key = 0; key < 200; ++key)
            table.Add(key, key * 10);
        std::map<int, int> visits;
        auto it = direction == 1 ? table.Begin() : table.FirstFrom(65, 0);
        while (it.IsValid()) {
            const int key = *table.GetKey(it);
            ++visits[key];
            it = key % 3 == 0 ? table.Remove(it, direction) : table.Step(it, direction);
        }
        EXPECT_EQ(visits.size(), 200u);
        for (const auto& [key, n] : visits)
            EXPECT_EQ(n, 1) << key;
        EXPECT_EQ(table.GetCount(), 200 - 67);
        for (int key = 0; key < 200; ++key) {
            EXPECT_EQ(table.Find(key, 1).IsValid(), key % 3 != 0) << key;
        }
    }
}

TEST(HashTable, EmptiedBucketsAreReleasedAndMadeAgain) {
    IntTable table(1);
    table.Add(5, 1);
    EXPECT_TRUE(table.IsBucketPresent(5));
    EXPECT_FALSE(table.IsBucketPresent(6));
    EXPECT_FALSE(table.Remove(table.Find(5, 1), 1).IsValid());  // nothing follows it
    EXPECT_FALSE(table.IsBucketPresent(5));
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.Add(71, 2), 1);
    EXPECT_TRUE(table.IsBucketPresent(5));

    for (int key = 0; key < 100; ++key)
        table.Add(key * 7, key);
    table.RemoveAll();
    EXPECT_EQ(table.GetCount(), 0);
    for (int b = 0; b < IntTable::kBuckets; ++b)
        EXPECT_FALSE(table.IsBucketPresent(b)) << b;
    EXPECT_FALSE(table.Begin().IsValid());
    EXPECT_EQ(table.Add(3, 4), 1);  // still usable
    EXPECT_FALSE(table.IsBucketPresent(-1));
    EXPECT_FALSE(table.IsBucketPresent(66));
}

TEST(HashTable, TableOwnsKeysAndValues) {
    Tracked::live = 0;
    {
        CHashTable<int, Tracked> table(1);
        EXPECT_TRUE(table.Insert(1, new Tracked(10)));
        auto it = table.InsertKey(2);
        ASSERT_TRUE(it.IsValid());
        EXPECT_EQ(table.GetValue(it), nullptr);  // no value until the caller sets one
        EXPECT_TRUE(table.SetValue(it, new Tracked(20)));
        EXPECT_TRUE(table.SetValue(it, new Tracked(21)));  // the old one is deleted
        EXPECT_EQ(Tracked::live, 2);
        EXPECT_EQ(table.Add(3, Tracked(30)), 1);
        EXPECT_EQ(Tracked::live, 3);

        Tracked* out = nullptr;
        table.Detach(table.Find(1, 1), out, 1);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->v, 10);
        EXPECT_EQ(Tracked::live, 3);
        delete out;
        EXPECT_EQ(table.GetCount(), 2);
        table.Add(4, Tracked(40));
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(HashTable, InvalidOrForeignIteratorsAreRefused) {
    IntTable table(0), other(0);
    table.Add(5, 50);
    other.Add(5, 60);
    const IntTable::Iter none;
    EXPECT_EQ(table.GetKey(none), nullptr);
    EXPECT_EQ(table.GetValue(none), nullptr);
    EXPECT_EQ(table.FindValue(6), nullptr);
    EXPECT_FALSE(table.Remove(none, 1).IsValid());
    EXPECT_FALSE(table.Step(none, 1).IsValid());
    EXPECT_FALSE(table.NextInBucket(none, 1).IsValid());

    // An iterator of another table, and one whose bucket number is out of range.
    const auto foreign = other.Find(5, 1);
    IntTable::Iter forged = table.Find(5, 1);
    forged.bucket = 200;
    for (const IntTable::Iter& bad : {foreign, forged}) {
        EXPECT_EQ(table.GetValue(bad), nullptr);
        int* out = nullptr;
        EXPECT_FALSE(table.Detach(bad, out, 1).IsValid());
        EXPECT_EQ(out, nullptr);
        int* value = new int(7);
        EXPECT_FALSE(table.SetValue(bad, value));
        delete value;  // still the caller's
    }
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(other.GetCount(), 1);
    EXPECT_EQ(*table.FindValue(5), 50);
    EXPECT_EQ(*other.FindValue(5), 60);
}

}  // namespace
