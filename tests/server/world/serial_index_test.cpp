// The lookup table behind the object manager's FindBySerial: every entry found after any
// mix of additions and removals, through growth and over serials that crowd one home slot;
// shared serials found as the manager names them.
#include "server/world/serial_index.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/random.h"

namespace {

// Stand-ins for objects: the index only keeps and compares the pointers.
CItem* Fake(size_t n) {
    return reinterpret_cast<CItem*>(static_cast<uintptr_t>(0x1000 + n * 16));
}

// Serials of a few shapes: issued in order, a bucket apart (same low 16 bits), multiples
// of a large power of two (the same home slot while the table is small), and any.
u32 SerialOfShape(int shape, u32 n) {
    switch (shape) {
    case 0: return 0x40000000u + n;
    case 1: return (n << 16) | 0x1234u;
    case 2: return n << 22;
    default: return platform::Rand() * 65536u + platform::Rand();
    }
}

TEST(SerialIndexTest, EveryEntryIsFoundThroughGrowthAndRemovalsOfAnyShape) {
    for (int shape = 0; shape < 4; ++shape) {
        platform::SeedRandom(7 + shape);
        SerialIndex index;
        std::map<u32, CItem*> model;
        std::vector<u32> live;
        u32 next = 1;
        // Grow to a few thousand entries, removing one in three at random along the way.
        for (int step = 0; step < 6000; ++step) {
            if (!live.empty() && platform::Rand() % 3 == 0) {
                const size_t at = static_cast<size_t>(platform::Rand()) % live.size();
                const u32 serial = live[at];
                EXPECT_EQ(index.Remove(serial, model[serial]), 0) << shape;
                model.erase(serial);
                live[at] = live.back();
                live.pop_back();
                continue;
            }
            const u32 serial = SerialOfShape(shape, next++);
            if (model.count(serial)) continue;
            CItem* item = Fake(next);
            index.Add(serial, item);
            model[serial] = item;
            live.push_back(serial);
        }
        ASSERT_EQ(index.Size(), model.size()) << shape;
        for (const auto& [serial, item] : model)
            ASSERT_EQ(index.Find(serial), item) << "shape " << shape << " serial " << serial;
        // Serials never added, or gone again, find nothing.
        EXPECT_EQ(index.Find(SerialOfShape(shape, next + 10)), nullptr) << shape;
        for (u32 serial : live)
            index.Remove(serial, model[serial]);
        EXPECT_EQ(index.Size(), 0u) << shape;
        for (const auto& entry : model)
            ASSERT_EQ(index.Find(entry.first), nullptr) << shape;
    }
}

TEST(SerialIndexTest, ASharedSerialIsFoundAsTheCallerNamesIt) {
    SerialIndex index;
    CItem* first = Fake(1);
    CItem* second = Fake(2);
    CItem* third = Fake(3);
    index.Add(0, first);
    index.Add(0, second);
    index.Add(0, third);
    index.Add(5, first);
    EXPECT_EQ(index.Find(0), third) << "the last added is found";
    EXPECT_EQ(index.Size(), 2u) << "one entry per serial";
    EXPECT_EQ(index.Remove(0, first), 2) << "one not found goes: the found one stays";
    EXPECT_EQ(index.Find(0), third);
    EXPECT_EQ(index.Remove(0, third), 1);
    EXPECT_EQ(index.Find(0), nullptr) << "until the caller names the next";
    index.Replace(0, second);
    EXPECT_EQ(index.Find(0), second);
    EXPECT_EQ(index.Remove(0, second), 0);
    EXPECT_EQ(index.Find(0), nullptr);
    index.Replace(0, first);
    EXPECT_EQ(index.Find(0), nullptr) << "naming a serial nobody holds adds nothing";
    EXPECT_EQ(index.Find(5), first);
    EXPECT_EQ(index.Remove(6, first), 0) << "removing an unknown serial changes nothing";
    EXPECT_EQ(index.Find(5), first);
}

}  // namespace
