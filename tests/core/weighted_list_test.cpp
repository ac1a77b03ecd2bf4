#include "core/weighted_list.h"

#include "core/cstr.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/random.h"

namespace {

// Effect names and word lists draw texts.
using List = CWeightedList<CStr>;

// Index (from the head) of the entry at a position, -1 for an invalid one.
int IndexOf(const List& list, List::Position pos) {
    if (!pos.IsValid()) return -1;
    int i = 0;
    for (auto p = list.GetHeadPosition(); p.IsValid(); p = list.GetNext(p), ++i) {
        if (p.node == pos.node) return i;
    }
    return -2;
}

struct Entry {
    int weight;
    int enabled;
};

// Weights added at the tail, then switched off where asked.
void Fill(List& list, const std::vector<Entry>& entries) {
    int i = 0;
    for (const Entry& e : entries) {
        CStr name("e");
        name += i++;
        auto pos = list.Add(name, e.weight, 0);
        list.SetEnabled(pos, e.enabled);
    }
}

TEST(WeightedList, EachRSelectsTheEntryWhoseRunningSumReachesIt) {
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        s64 total;
        std::vector<int> picked;  // the entry chosen for r = 1, 2, ..., -1 for none
    };
    const Case cases[] = {
        {"1 and 3", {{1, 1}, {3, 1}}, 4, {0, 1, 1, 1, -1}},
        {"second disabled", {{1, 1}, {3, 0}}, 1, {0, -1}},
        {"first disabled", {{1, 0}, {3, 1}}, 3, {1, 1, 1, -1}},
        {"weight 0 never drawn", {{0, 1}, {2, 1}, {0, 1}}, 2, {1, 1, -1}},
        {"negative lowers the sum", {{3, 1}, {-2, 1}, {4, 1}}, 5, {0, 0, 0, 2, 2, -1}},
        {"all disabled", {{2, 0}, {2, 0}}, 0, {-1}},
        {"empty", {}, 0, {-1}},
    };
    for (const Case& c : cases) {
        List list;
        Fill(list, c.entries);
        EXPECT_EQ(list.GetTotalWeight(), c.total) << c.name;
        for (size_t r = 1; r <= c.picked.size(); ++r) {
            EXPECT_EQ(IndexOf(list, list.PickAt(static_cast<s64>(r))), c.picked[r - 1])
                << c.name << " r=" << r;
        }
    }
}

TEST(WeightedList, AddAtTheHeadChangesWhichEntryAnRSelects) {
    List list;
    list.Add("a", 1, 0);
    list.Add("b", 3, 0);
    EXPECT_EQ(list.GetAt(list.PickAt(1))->value, "a");
    list.Add("c", 2, 1);  // at the head
    EXPECT_EQ(list.GetTotalWeight(), 6);
    EXPECT_EQ(list.GetAt(list.PickAt(1))->value, "c");
    EXPECT_EQ(list.GetAt(list.PickAt(3))->value, "a");
    EXPECT_EQ(list.GetAt(list.PickAt(4))->value, "b");

    // AddNew makes an enabled entry with a default value, filled in place.
    auto pos = list.AddNew(5, 1);
    ASSERT_TRUE(pos.IsValid());
    EXPECT_EQ(list.GetAt(pos)->value, "");
    EXPECT_TRUE(list.IsEnabled(pos));
    list.GetAt(pos)->value = "d";
    EXPECT_EQ(list.GetTotalWeight(), 11);
    EXPECT_EQ(list.GetAt(list.PickAt(5))->value, "d");
    EXPECT_EQ(list.GetAt(list.GetHeadPosition())->value, "d");
}

TEST(WeightedList, TotalFollowsEnabledEntriesOnly) {
    List list;
    auto first = list.Add("a", 1, 0);
    auto second = list.Add("b", 3, 0);
    list.SetEnabled(second, 0);
    EXPECT_EQ(list.GetTotalWeight(), 1);
    list.SetEnabled(second, 0);  // no second subtraction
    EXPECT_EQ(list.GetTotalWeight(), 1);
    list.SetEnabled(second, 1);
    list.SetEnabled(second, 1);
    EXPECT_EQ(list.GetTotalWeight(), 4);
    list.SetEnabled(second, 7);  // any non-zero flag enables
    EXPECT_TRUE(list.IsEnabled(second));
    EXPECT_EQ(list.GetTotalWeight(), 4);

    // SetWeight moves the total for an enabled entry; a disabled one brings its new weight
    // when it is switched on again.
    list.SetWeight(first, 6);
    EXPECT_EQ(list.GetTotalWeight(), 9);
    list.SetEnabled(first, 0);
    list.SetWeight(first, 10);
    EXPECT_EQ(list.GetTotalWeight(), 3);
    list.SetEnabled(first, 1);
    EXPECT_EQ(list.GetTotalWeight(), 13);
    EXPECT_EQ(*list.GetWeightRef(first), 10);

    list.SetAllEnabled(0);
    EXPECT_EQ(list.GetTotalWeight(), 0);
    list.SetAllEnabled(1);
    EXPECT_EQ(list.GetTotalWeight(), 13);
}

TEST(WeightedList, NothingToDrawTakesNoRandomValue) {
    List list;
    Fill(list, {{4, 1}, {5, 1}});
    list.SetAllEnabled(0);
    platform::SeedRandom(99);
    const int expected = platform::Rand();
    platform::SeedRandom(99);
    EXPECT_FALSE(list.Pick().IsValid());
    EXPECT_FALSE(List().Pick().IsValid());
    EXPECT_EQ(platform::Rand(), expected);
}

TEST(WeightedList, SeededDrawsFollowTheWeights) {
    List list;
    Fill(list, {{1, 1}, {2, 1}, {0, 1}, {7, 1}, {5, 0}});
    const int draws = 100000;
    std::vector<int> counts(5, 0);
    platform::SeedRandom(12345);
    for (int i = 0; i < draws; ++i) {
        const int index = IndexOf(list, list.Pick());
        ASSERT_GE(index, 0);
        ++counts[index];
    }
    EXPECT_NEAR(counts[0], draws * 0.1, draws * 0.01);
    EXPECT_NEAR(counts[1], draws * 0.2, draws * 0.01);
    EXPECT_EQ(counts[2], 0);
    EXPECT_NEAR(counts[3], draws * 0.7, draws * 0.01);
    EXPECT_EQ(counts[4], 0);

    // Each draw is one Rand() value, r = value % total + 1.
    platform::SeedRandom(777);
    std::vector<List::Position> picks;
    for (int i = 0; i < 50; ++i)
        picks.push_back(list.Pick());
    platform::SeedRandom(777);
    for (const auto& pos : picks) {
        EXPECT_EQ(pos.node, list.PickAt(platform::Rand() % list.GetTotalWeight() + 1).node);
    }
}

TEST(WeightedList, TotalsAbove32768LeaveLaterEntriesUndrawable) {
    List list;
    Fill(list, {{32768, 1}, {10, 1}});
    EXPECT_EQ(list.GetTotalWeight(), 32778);
    EXPECT_EQ(IndexOf(list, list.PickAt(32769)), 1);  // reachable only beyond the draw range
    platform::SeedRandom(5);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(IndexOf(list, list.Pick()), 0);

    // Weights from data near the int limit do not overflow the total.
    List big;
    Fill(big, {{INT_MAX, 1}, {INT_MAX, 1}, {INT_MIN, 0}});
    EXPECT_EQ(big.GetTotalWeight(), 2 * static_cast<s64>(INT_MAX));
    big.SetAllEnabled(1);
    EXPECT_EQ(big.GetTotalWeight(), static_cast<s64>(INT_MAX) - 1);
    EXPECT_EQ(IndexOf(big, big.Pick()), 0);
    EXPECT_EQ(IndexOf(big, big.PickAt(2 * static_cast<s64>(INT_MAX))), 1);
}

TEST(WeightedList, InvalidOrForeignPositionsAreRefused) {
    List list, other;
    list.Add("a", 2, 0);
    auto foreign = other.Add("x", 9, 0);
    for (const List::Position& bad : {List::Position(), foreign}) {
        EXPECT_EQ(list.GetAt(bad), nullptr);
        EXPECT_EQ(list.GetWeightRef(bad), nullptr);
        EXPECT_FALSE(list.IsEnabled(bad));
        EXPECT_FALSE(list.GetNext(bad).IsValid());
        list.SetEnabled(bad, 0);
        list.SetWeight(bad, 100);
    }
    EXPECT_EQ(list.GetTotalWeight(), 2);
    EXPECT_EQ(other.GetTotalWeight(), 9);
    EXPECT_EQ(*other.GetWeightRef(foreign), 9);
    EXPECT_FALSE(list.GetNext(list.GetHeadPosition()).IsValid());
}

}  // namespace
