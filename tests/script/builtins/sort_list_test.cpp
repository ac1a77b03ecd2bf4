// sortList against the exchange sort it stands for: the same order on random lists (equal
// keys, mixed types, objects without a key, every mode), in O(n log n).
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "script/runtime/script_world_link.h"
#include "script/script_runtime_fixture.h"

namespace {

// Objects: serials divisible by 11 have no key; the others have serial % 7, so keys repeat.
int gKeyCalls = 0;
bool FakeKey(u32 serial, int& key) {
    ++gKeyCalls;
    if (serial % 11 == 0) return false;
    key = static_cast<int>(serial % 7);
    return true;
}

// Descending keys without repeats, for counting how often keys are asked.
bool DistinctKey(u32 serial, int& key) {
    ++gKeyCalls;
    key = -static_cast<int>(serial);
    return true;
}

struct Item {
    u8 tag;
    s32 i;
    std::string text;
};

void Fill(CScriptList& list, const std::vector<Item>& items) {
    list.Clear();
    for (const Item& item : items) {
        if (item.tag == kTypeString) {
            CStr s(item.text.c_str());
            list.Append(kTypeString, ScriptListValue::Ptr(&s));
        } else {
            list.Append(item.tag, ScriptListValue::Int(item.i));
        }
    }
}

std::string Dump(const CScriptList& list) {
    std::string out;
    for (const CScriptListNode* n = list.Head(); n; n = n->next) {
        out += std::to_string(n->tag) + ":";
        out +=
            n->tag == kTypeString ? std::string(n->value.s->CText()) : std::to_string(n->value.i);
        out += " ";
    }
    return out;
}

// The exchange sort as the list builtins describe it, kept as the reference: passes from head
// to tail, each item against its successor (descending: the later against the earlier), the
// later one moved in front when the comparison is above 0, until a pass moves nothing; a
// wrong type in integer or object mode ends the thread, counts as equal, and the sort ends
// after that pass.
int ReferenceCompare(int mode, const CScriptListNode* a, const CScriptListNode* b, bool& killed) {
    switch (mode) {
        case 0:
            if (a->tag != kTypeInt || b->tag != kTypeInt) {
                killed = true;
                return 0;
            }
            return a->value.i > b->value.i ? 1 : (a->value.i < b->value.i ? -1 : 0);
        case 2:
            if (a->tag != kTypeString || b->tag != kTypeString) return 0;
            return *a->value.s > *b->value.s ? 1 : (*a->value.s < *b->value.s ? -1 : 0);
        default: {
            if (a->tag != kTypeObject || b->tag != kTypeObject) {
                killed = true;
                return 0;
            }
            int ka = 0, kb = 0;
            if (!FakeKey(static_cast<u32>(a->value.i), ka) ||
                !FakeKey(static_cast<u32>(b->value.i), kb))
                return 0;
            return ka > kb ? 1 : (ka < kb ? -1 : 0);
        }
    }
}

bool ReferenceExchangeSort(CScriptList& list, int modeArg) {
    const bool descending = (modeArg & 1) != 0;
    const int mode = modeArg & ~1;
    if (list.Count() < 2) return false;
    bool killed = false;
    for (bool moved = true; moved && !killed;) {
        moved = false;
        CScriptList::Cursor cur{&list, list.Head()};
        while (cur.node && cur.node->next) {
            CScriptListNode* a = cur.node;
            CScriptListNode* b = a->next;
            const int cmp = descending ? ReferenceCompare(mode, b, a, killed)
                                       : ReferenceCompare(mode, a, b, killed);
            if (cmp > 0) {
                CScriptList::Cursor at{&list, b};
                CScriptListNode* taken = list.Unlink(at);
                CScriptList::Cursor before{&list, a};
                list.LinkBefore(before, taken);
                moved = true;
            } else {
                cur.node = b;
            }
        }
    }
    return killed;
}

// The world as sortList sees it: a key for each object serial.
class KeyedObjects : public ScriptObjectServices {
public:
    bool (*key)(u32 serial, int& key) = &FakeKey;
    bool SortKeyOf(u32 serial, int& out) override { return key(serial, out); }
};

class SortList : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        savedObjects_ = SetScriptObjectServices(&objects_);
        Compile({{"sorter", R"(
member list l;
member int mode;
trigger use {
    sortList(l, mode);
    return 1;
}
)"}});
        in = Instance("sorter");
    }
    void TearDown() override {
        SetScriptObjectServices(savedObjects_);
        ScriptRuntimeTest::TearDown();
    }
    // Sorts with the builtin; answers whether the thread was stopped.
    bool Sort(const std::vector<Item>& items, int mode) {
        Fill(*Member(in, "l").l, items);
        Member(in, "mode").i = mode;
        return Fire(in, kTriggerUse, {0}) == 0;
    }

    CScriptInstance* in = nullptr;
    KeyedObjects objects_;

private:
    ScriptObjectServices* savedObjects_ = nullptr;
};

TEST_F(SortList, GivesTheExchangeSortsOrderOnRandomLists) {
    std::mt19937 rng(20261210);
    const char* texts[] = {"", "a", "A", "b", "B", "aa", "ab", "zz"};
    const s32 ints[] = {INT_MIN, -3, -1, 0, 0, 1, 2, 3, INT_MAX};
    int killedRuns = 0;
    for (int round = 0; round < 600; ++round) {
        const int mode = round % 6;
        const int kind = mode & ~1;
        // One list in four mixes in items of other types.
        const bool mixed = rng() % 4 == 0;
        std::vector<Item> items(rng() % 40);
        for (Item& item : items) {
            u8 tag = kind == 0 ? kTypeInt : (kind == 2 ? kTypeString : kTypeObject);
            if (mixed && rng() % 5 == 0) tag = tag == kTypeString ? kTypeObject : kTypeString;
            item.tag = tag;
            if (tag == kTypeString) item.text = texts[rng() % 8];
            if (tag == kTypeInt) item.i = ints[rng() % 9];
            if (tag == kTypeObject) item.i = static_cast<s32>(1 + rng() % 60);
        }
        CScriptList reference;
        Fill(reference, items);
        const bool referenceKilled = ReferenceExchangeSort(reference, mode);
        const bool killed = Sort(items, mode);
        killedRuns += killed;
        ASSERT_EQ(Dump(*Member(in, "l").l), Dump(reference)) << "round " << round;
        ASSERT_EQ(killed, referenceKilled) << "round " << round;
        ASSERT_EQ(Member(in, "l").l->Count(), static_cast<s32>(items.size()));
    }
    EXPECT_GT(killedRuns, 10);  // the wrong-type rows were exercised
}

// Each object's key is asked a bounded number of times, not once per exchange-sort comparison.
TEST_F(SortList, TakesEachKeyOnceNotOncePerComparison) {
    objects_.key = &DistinctKey;
    std::vector<Item> items;
    for (s32 s = 1; s <= 3000; ++s)
        items.push_back(Item{kTypeObject, s, {}});
    gKeyCalls = 0;
    EXPECT_FALSE(Sort(items, 4));
    EXPECT_LE(gKeyCalls, 4 * 3000);
    const CScriptList& l = *Member(in, "l").l;
    EXPECT_EQ(l.Head()->value.i, 3000);
    EXPECT_EQ(l.Tail()->value.i, 1);
    // The walk back agrees with the walk forward.
    s32 expected = 1;
    for (const CScriptListNode* n = l.Tail(); n; n = n->prev)
        ASSERT_EQ(n->value.i, expected++);
}

}  // namespace
