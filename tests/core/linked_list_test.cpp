#include "core/linked_list.h"

#include "core/cstr.h"

#include <gtest/gtest.h>

#include <strings.h>
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
    friend bool operator<(const Text& a, const Text& b) { return a.s < b.s; }
};

// Counts live elements so that leaks and double deletes show as wrong numbers (and under
// AddressSanitizer as reports).
struct Tracked {
    static int live;
    int v;
    explicit Tracked(int v) : v(v) { ++live; }
    Tracked(const Tracked& o) : v(o.v) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;

template <typename T>
std::vector<T> Walk(const CLinkedList<T>& list, int direction) {
    std::vector<T> out;
    for (auto* n = list.GetStart(direction); list.IsValid(n); n = list.Step(n, direction)) {
        out.push_back(*list.GetAt(n));
    }
    return out;
}

std::string Str(const Text& t) {
    return t.s;
}
std::string Str(const CStr& t) {
    return t.CText();
}

template <typename S>
std::vector<std::string> Texts(const CLinkedList<S>& list) {
    std::vector<std::string> out;
    for (auto* n = list.GetHead(); n != nullptr; n = list.NextOf(n))
        out.push_back(Str(*n->GetData()));
    return out;
}

// Checks the links agree in both directions and with the count.
template <typename T>
void ExpectConsistent(const CLinkedList<T>& list) {
    int forward = 0;
    const CLinkedListNode<T>* last = nullptr;
    for (auto* n = list.GetHead(); n != nullptr; n = list.NextOf(n)) {
        EXPECT_EQ(list.PrevOf(n), last);
        last = n;
        ++forward;
    }
    EXPECT_EQ(last, list.GetTail());
    EXPECT_EQ(forward, list.GetCount());
}

TEST(LinkedList, EmptyListAnswersNullEverywhere) {
    CLinkedList<int> list;
    EXPECT_EQ(list.GetStart(1), nullptr);
    EXPECT_EQ(list.GetStart(0), nullptr);
    EXPECT_EQ(list.Find(3, nullptr, 1), nullptr);
    EXPECT_EQ(list.NextOf(nullptr), nullptr);
    EXPECT_EQ(list.Step(nullptr, 0), nullptr);
    EXPECT_EQ(list.GetAt(nullptr), nullptr);
    EXPECT_EQ(list.InsertNodeAfter(nullptr), nullptr);
    EXPECT_EQ(list.InsertNodeBefore(nullptr), nullptr);
    int dummy = 0;
    int* out = &dummy;  // must be reset to null
    EXPECT_EQ(list.Detach(nullptr, out, 1), nullptr);
    EXPECT_EQ(out, nullptr);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(CListPos<int>().IsValid());
}

TEST(LinkedList, WalkDirections) {
    CLinkedList<int> list;
    list.AddTail(3);
    list.AddHead(2);
    list.AddAtEnd(1, 1);              // head
    list.AddAtEnd(4, 0);              // tail
    list.AttachAtEnd(new int(5), 7);  // any value but 1 is the tail
    list.AttachAtEnd(new int(0), 1);
    ExpectConsistent(list);
    struct Case {
        int direction;
        std::vector<int> order;
    };
    const Case cases[] = {
        {1, {0, 1, 2, 3, 4, 5}},
        {0, {5, 4, 3, 2, 1, 0}},
        {-1, {5, 4, 3, 2, 1, 0}},
        {2, {5, 4, 3, 2, 1, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Walk(list, c.direction), c.order) << c.direction;
}

TEST(LinkedList, NodesInsertedBesideOthers) {
    CLinkedList<int> list;
    auto* only = list.NewTailNode();
    only->SetValue(10);
    EXPECT_EQ(list.GetHead(), only);
    EXPECT_EQ(list.GetTail(), only);
    list.AttachBeside(only, new int(20), 1);  // after: new tail
    list.AttachBeside(only, new int(5), 0);   // before: new head
    list.AttachAfter(only, new int(15));      // middle
    list.AttachBefore(only, new int(7));      // middle
    list.NewHeadNode()->SetValue(1);
    EXPECT_EQ(Walk(list, 1), (std::vector<int>{1, 5, 7, 10, 15, 20}));
    EXPECT_EQ(*list.GetAt(list.GetTail()), 20);
    EXPECT_EQ(list.PrevOf(list.GetHead()), nullptr);
    EXPECT_EQ(list.NextOf(list.GetTail()), nullptr);
    ExpectConsistent(list);
}

TEST(LinkedList, RemoveNodeReturnsTheNeighbourOfTheDirection) {
    struct Case {
        const char* name;
        int index;  // node removed, from the head of {1, 2, 3}
        int direction;
        int neighbour;  // value of the returned node, 0 for null
        std::vector<int> left;
    };
    const Case cases[] = {
        {"head forward", 0, 1, 2, {2, 3}},   {"head backward", 0, 0, 0, {2, 3}},
        {"middle forward", 1, 1, 3, {1, 3}}, {"middle backward", 1, 0, 1, {1, 3}},
        {"tail forward", 2, 1, 0, {1, 2}},   {"tail backward", 2, 0, 2, {1, 2}},
    };
    for (const Case& c : cases) {
        CLinkedList<int> list;
        for (int v : {1, 2, 3})
            list.AddTail(v);
        auto* node = list.GetHead();
        for (int i = 0; i < c.index; ++i)
            node = list.NextOf(node);
        auto* next = list.RemoveNode(node, c.direction);
        EXPECT_EQ(next != nullptr ? *list.GetAt(next) : 0, c.neighbour) << c.name;
        EXPECT_EQ(Walk(list, 1), c.left) << c.name;
        EXPECT_EQ(list.PrevOf(list.GetHead()), nullptr) << c.name;
        ExpectConsistent(list);
    }
    CLinkedList<int> one;
    one.AddTail(9);
    EXPECT_EQ(one.RemoveNode(one.GetHead(), 1), nullptr);
    EXPECT_EQ(one.GetHead(), nullptr);
    EXPECT_EQ(one.GetTail(), nullptr);
    EXPECT_EQ(one.GetCount(), 0);
}

TEST(LinkedList, RemovingWalkVisitsEveryNodeOnce) {
    for (int direction : {1, 0}) {
        CLinkedList<int> list;
        for (int v = 1; v <= 9; ++v)
            list.AddTail(v);
        std::vector<int> seen;
        auto* node = list.GetStart(direction);
        while (list.IsValid(node)) {
            const int v = *list.GetAt(node);
            seen.push_back(v);
            node = v % 3 == 0 ? list.RemoveNode(node, direction) : list.Step(node, direction);
        }
        EXPECT_EQ(seen.size(), 9u);
        EXPECT_EQ(Walk(list, 1), (std::vector<int>{1, 2, 4, 5, 7, 8}));
        ExpectConsistent(list);
    }
}

TEST(LinkedList, NodesOwnTheirElements) {
    Tracked::live = 0;
    {
        CLinkedList<Tracked> list;
        list.AddTail(Tracked(1));  // a copy is kept
        auto* attached = list.AttachTail(new Tracked(2));
        list.AttachHead(new Tracked(3));
        EXPECT_EQ(Tracked::live, 3);

        // SetValue assigns into the element it has; AdoptData replaces (deleting the old).
        Tracked* before = attached->GetData();
        attached->SetValue(Tracked(20));
        EXPECT_EQ(attached->GetData(), before);
        EXPECT_EQ(attached->GetData()->v, 20);
        attached->AdoptData(new Tracked(21));
        EXPECT_EQ(Tracked::live, 3);

        // SwapData deletes nothing: the caller owns what comes back.
        Tracked* out = attached->SwapData(new Tracked(22));
        EXPECT_EQ(out->v, 21);
        delete out;

        // Detach hands the element back intact and destroys only the node.
        Tracked* detached = nullptr;
        list.Detach(list.GetHead(), detached, 1);
        ASSERT_NE(detached, nullptr);
        EXPECT_EQ(detached->v, 3);
        EXPECT_EQ(Tracked::live, 3);
        delete detached;
        EXPECT_EQ(Tracked::live, 2);
        EXPECT_EQ(list.GetCount(), 2);

        list.RemoveAll();
        EXPECT_EQ(Tracked::live, 0);
        list.AddTail(Tracked(4));
        list.NewTailNode();  // an empty node
    }
    EXPECT_EQ(Tracked::live, 0);  // the destructor removed the rest
}

TEST(LinkedList, NodeOfAnotherListIsRefused) {
    CLinkedList<int> a, b;
    a.AddTail(1);
    a.AddTail(2);
    b.AddTail(7);
    auto* foreign = a.GetHead();
    int* out = nullptr;
    EXPECT_EQ(b.Detach(foreign, out, 1), nullptr);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(b.RemoveNode(foreign, 1), nullptr);
    EXPECT_EQ(b.InsertNodeAfter(foreign), nullptr);
    EXPECT_EQ(b.InsertNodeBefore(foreign), nullptr);
    EXPECT_EQ(b.Find(1, foreign, 1), nullptr);
    int* element = new int(5);
    EXPECT_EQ(b.AttachAfter(foreign, element), nullptr);
    delete element;  // still the caller's
    EXPECT_EQ(Walk(a, 1), (std::vector<int>{1, 2}));
    EXPECT_EQ(Walk(b, 1), (std::vector<int>{7}));
    ExpectConsistent(a);
    ExpectConsistent(b);
}

// The string cases run over the test's own text type and over CStr: both compare equal
// ignoring case and order by bytes.
template <typename S>
class StringList : public ::testing::Test {};
using StringTypes = ::testing::Types<Text, CStr>;
TYPED_TEST_SUITE(StringList, StringTypes);

TYPED_TEST(StringList, FindFromStartNodeAndDirection) {
    CLinkedList<TypeParam> list;
    auto* first = list.AddTail("sword");
    list.AddTail("shield");
    auto* last = list.AddTail("Sword");
    EXPECT_EQ(list.Find(TypeParam("SWORD"), nullptr, 1), first);  // equality ignores case
    EXPECT_EQ(list.Find(TypeParam("SWORD"), nullptr, 0), last);
    EXPECT_EQ(list.Find(TypeParam("sword"), last, 1), last);  // the start node itself matches
    EXPECT_EQ(list.Find(TypeParam("sword"), list.NextOf(first), 1), last);
    EXPECT_EQ(list.Find(TypeParam("shield"), last, 1), nullptr);  // walk starts past it
    EXPECT_EQ(list.Find(TypeParam("axe"), nullptr, 1), nullptr);

    // A plain text key compares without building a string first.
    EXPECT_EQ(list.Find("SHIELD", nullptr, 1), list.NextOf(first));
    EXPECT_EQ(list.FindSorted("sword", nullptr, 1, 0), first);
}

TEST(LinkedList, FindComparesNumbers) {
    CLinkedList<int> numbers;
    for (int v : {4, -1, 4})
        numbers.AddTail(v);
    EXPECT_EQ(numbers.Find(-1, nullptr, 1), numbers.NextOf(numbers.GetHead()));
    EXPECT_EQ(numbers.Find(4, nullptr, 0), numbers.GetTail());
}

TYPED_TEST(StringList, FindSortedGivesUpAtTheSortPlace) {
    struct Case {
        std::vector<const char*> list;  // sorted in byte order along the walk
        const char* key;
        int direction, ascending;
        const char* found;  // null: not found
    };
    const Case cases[] = {
        {{"Q", "p"}, "P", 1, 1, nullptr},  // gives up at Q although p equals P ignoring case
        {{"c", "e"}, "C", 1, 1, "c"},      // equality is tested before order
        {{"a", "c", "e"}, "b", 1, 1, nullptr},
        {{"a", "c", "e"}, "z", 1, 1, nullptr},
        {{"a", "c", "e"}, "e", 1, 1, "e"},
        {{"a", "c", "e"}, "a", 0, 0, "a"},  // backward over an ascending list
        {{"a", "c", "e"}, "b", 0, 0, nullptr},
        {{"e", "c", "a"}, "c", 1, 0, "c"},  // descending list
        {{"e", "c", "a"}, "d", 1, 0, nullptr},
    };
    for (const Case& c : cases) {
        CLinkedList<TypeParam> list;
        for (const char* t : c.list)
            list.AddTail(t);
        auto* node = list.FindSorted(TypeParam(c.key), nullptr, c.direction, c.ascending);
        if (c.found == nullptr) {
            EXPECT_EQ(node, nullptr) << c.key;
        } else {
            ASSERT_NE(node, nullptr) << c.key;
            EXPECT_EQ(Str(*node->GetData()), c.found) << c.key;
        }
    }
}

TYPED_TEST(StringList, InsertSortedPlacesByByteOrder) {
    struct Row {
        std::vector<const char*> start;
        const char* value;
        int direction, ascending;
        std::vector<std::string> result;
    };
    const Row rows[] = {
        {{"a", "c"}, "b", 1, 1, {"a", "b", "c"}},
        {{"a", "c"}, "z", 1, 1, {"a", "c", "z"}},
        {{"a", "c"}, "A", 1, 1, {"A", "a", "c"}},  // upper case sorts first
        {{}, "m", 1, 1, {"m"}},
        {{"a", "c", "e"}, "d", 0, 0, {"a", "c", "d", "e"}},  // ascending list from the tail
        {{"a", "c", "e"}, "0", 0, 0, {"0", "a", "c", "e"}},
        {{"e", "c", "a"}, "d", 1, 0, {"e", "d", "c", "a"}},  // descending list
    };
    for (const Row& r : rows) {
        CLinkedList<TypeParam> list;
        for (const char* t : r.start)
            list.AddTail(t);
        list.InsertSorted(new TypeParam(r.value), r.direction, r.ascending);
        EXPECT_EQ(Texts(list), r.result) << r.value;
        ExpectConsistent(list);
    }

    // Equal values keep their arrival order.
    CLinkedList<TypeParam> list;
    list.AddTail("a");
    auto* first = list.InsertSortedCopy(TypeParam("b"), 1, 1);
    auto* second = list.InsertSortedCopy(TypeParam("b"), 1, 1);
    list.AddTail("c");
    EXPECT_EQ(list.NextOf(first), second);
    EXPECT_EQ(list.InsertSorted(nullptr, 1, 1), nullptr);
    EXPECT_EQ(list.GetCount(), 4);
}

}  // namespace
