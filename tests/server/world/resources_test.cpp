// Resource types, resource lists of counted objects and the two files that carry them.
#include <climits>
#include <cstring>
#include <string>

#include "core/byte_order.h"
#include "core/log_sink.h"
#include "server/world/item_kinds.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "world_test_support.h"

namespace {

CResourceType* NewType(int number, const char* name) {
    auto* t = new CResourceType;
    t->SetNumber(number);
    t->SetInternalName(name);
    return t;
}

std::vector<std::pair<int, s32>> HeldThirds(const CCountedObject& o) {
    std::vector<std::pair<int, s32>> out;
    for (const ResourceEntry* e = o.GetResources(); e; e = e->next)
        out.push_back({e->type, e->amounts[2]});
    return out;
}

// ---------------------------------------------------------------- type table

TEST(ResourceTypeTable, NumbersRunOneToOneHundredOneAndThenRefuse) {
    CResourceTypeTable table;
    LogCapture log;
    for (int i = 1; i <= 101; ++i)
        ASSERT_EQ(table.AllocNumber(), i);
    // A 102nd type would overwrite the 101st: there is no number for it.
    EXPECT_EQ(table.AllocNumber(), -1);
    EXPECT_EQ(table.AllocNumber(), -1);
    EXPECT_EQ(log.FromSource("resources").size(), 2u);
}

TEST(ResourceTypeTable, NumbersOutsideTheTableAreRefusedAndLookupsBounded) {
    CResourceTypeTable table;
    LogCapture log;
    EXPECT_TRUE(table.Add(NewType(101, "last")));
    for (int bad : {0, -1, 102, 70000})
        EXPECT_FALSE(table.Add(NewType(bad, "bad"))) << bad;
    EXPECT_EQ(log.FromSource("resources").size(), 4u);
    EXPECT_EQ(table.CountTypes(), 1);
    EXPECT_EQ(table.FindByName("bad"), nullptr);
    for (int n : {-1, 0, 5, 102, 1 << 20})
        EXPECT_EQ(table.GetByNumber(n), nullptr) << n;
    EXPECT_STREQ(table.GetByNumber(101)->GetInternalName(), "last");
    // A type at a number already taken replaces it, names and all.
    EXPECT_TRUE(table.Add(NewType(101, "newer")));
    EXPECT_EQ(table.FindByName("last"), nullptr);
    EXPECT_EQ(table.FindNumber("newer"), 101);
}

TEST(ResourceTypeTable, NamesHashFoldingCaseButMatchExactly) {
    EXPECT_EQ(ResourceNameHash("Gold"), ResourceNameHash("gOld"));
    EXPECT_EQ(ResourceNameHash("g"), (('g' << 3) ^ 0) & 0x1FF);
    EXPECT_EQ(ResourceNameHash(""), 0);
    EXPECT_EQ(ResourceNameHash(nullptr), 0);
    CResourceTypeTable table;
    table.Add(NewType(1, "gold"));
    table.Add(NewType(2, "GOld"));
    EXPECT_EQ(table.FindNumber("gold"), 1);
    EXPECT_EQ(table.FindNumber("GOld"), 2);
    EXPECT_EQ(table.FindNumber("Gold"), 0);
    EXPECT_EQ(table.FindNumber(""), 0);
    EXPECT_EQ(table.FindByName(nullptr), nullptr);
}

TEST(ResourceTypeTable, RecordsKeepNamesCutAt127Characters) {
    CResourceType type;
    EXPECT_STREQ(type.GetInternalName(), "No internal name");
    EXPECT_STREQ(type.GetProductionName(), "No production name");
    EXPECT_EQ(type.GetValue1(), 1);
    const std::string longName(300, 'x');
    type.SetNumber(7);
    type.SetInternalName(longName.c_str());
    type.SetShelterName("cave");
    type.SetValue2(-9);
    std::vector<u8> bytes;
    type.Write(bytes);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kResourceTypeRecordSize));
    CResourceType back;
    back.Read(bytes.data());
    EXPECT_EQ(back.GetNumber(), 7);
    EXPECT_EQ(std::string(back.GetInternalName()), longName.substr(0, 127));
    EXPECT_STREQ(back.GetShelterName(), "cave");
    EXPECT_STREQ(back.GetFoodName(), "No food name");
    EXPECT_EQ(back.GetValue2(), -9);
}

// ---------------------------------------------------------------- files

TEST(ResourceTypeFile, TwentyTypesRoundTripAndShortFilesAreRefused) {
    CResourceTypeTable table;
    for (int i = 1; i <= 20; ++i)
        table.Add(NewType(i, ("type" + std::to_string(i)).c_str()));
    const std::vector<u8> bytes = WriteResourceTypeTable(table);
    EXPECT_EQ(bytes.size(), 13044u);
    CResourceTypeTable back;
    ASSERT_EQ(LoadResourceTypes(bytes, back, nullptr), 0);
    EXPECT_EQ(back.CountTypes(), 20);
    EXPECT_EQ(back.FindNumber("type13"), 13);
    EXPECT_EQ(back.GetNextNumber(), 21);
    EXPECT_EQ(WriteResourceTypeTable(back), bytes);

    struct Case {
        size_t keep;
        u32 count;
    } cases[] = {{0, 0}, {3, 0}, {bytes.size() - 1, 20}, {4, 1}, {bytes.size(), 0x7FFFFFFF}};
    for (const Case& c : cases) {
        std::vector<u8> cut(bytes.begin(), bytes.begin() + static_cast<long>(c.keep));
        if (c.keep >= 4) StoreLe32(cut.data(), c.count);
        std::string error;
        EXPECT_EQ(LoadResourceTypes(cut, back, &error), -1) << c.keep;
        EXPECT_NE(error.find("../.rundir/restypes.mul"), std::string::npos) << error;
        EXPECT_EQ(back.CountTypes(), 20) << "left as it was";
    }
}

TEST(ResourceTypeFile, TypeNumbersFromTheFileAreChecked) {
    CResourceTypeTable source;
    source.Add(NewType(3, "three"));
    std::vector<u8> bytes = WriteResourceTypeTable(source);
    StoreLe32(bytes.data() + 4, 5000);  // a number past the table
    CResourceTypeTable back;
    LogCapture log;
    ASSERT_EQ(LoadResourceTypes(bytes, back, nullptr), 0);
    EXPECT_EQ(back.CountTypes(), 0);
    EXPECT_EQ(log.FromSource("resources").size(), 1u);
}

class ItemResourceFile : public WorldTest {};

TEST_F(ItemResourceFile, PrototypesRoundTripAndCurrentAmountsStayWithinCapacity) {
    std::vector<u8> empty = WriteItemResourceTable();
    EXPECT_EQ(empty.size(), 0x4000u * 4);
    CCountedObject* gold = g_objectManager.GetResourcePrototype(3821);
    gold->AddResource(8, kResourceHeld, 1, 0, 1);
    gold->AddResource(9, 1, 5, 6, 7);
    g_objectManager.GetResourcePrototype(0x3FFF)->AddResource(2, kResourceHeld, 10, 1, 50);
    const std::vector<u8> bytes = WriteItemResourceTable();
    EXPECT_EQ(bytes.size(), 0x4000u * 4 + 3 * 33);
    const auto before = HeldThirds(*gold);
    ASSERT_EQ(LoadItemResources(bytes, nullptr), 0);
    EXPECT_EQ(HeldThirds(*gold), before);
    // A current amount above the capacity is lowered to it.
    EXPECT_EQ(HeldThirds(*g_objectManager.GetResourcePrototype(0x3FFF)),
              (std::vector<std::pair<int, s32>>{{2, 10}}));
}

TEST_F(ItemResourceFile, CountsPastTheBytesAreRefusedNamingTheFile) {
    g_objectManager.GetResourcePrototype(3821)->AddResource(8, kResourceHeld, 1, 0, 1);
    const std::vector<u8> good = WriteItemResourceTable();
    struct Case {
        size_t keep;
        size_t countAt;
        u32 count;
    } cases[] = {
        {0, 0, 0},
        {good.size() - 1, 0, 0},
        {0x4000u * 2, 0, 0},
        {good.size(), 0, 0xFFFFFFFF},
        {good.size(), 4 * 100, 2000},
    };
    for (const Case& c : cases) {
        std::vector<u8> bad(good.begin(), good.begin() + static_cast<long>(c.keep));
        if (c.count) StoreLe32(bad.data() + c.countAt, c.count);
        std::string error;
        EXPECT_EQ(LoadItemResources(bad, &error), -1) << c.keep;
        EXPECT_NE(error.find("../.rundir/itemres.mul"), std::string::npos) << error;
        EXPECT_EQ(g_objectManager.GetResourcePrototype(3821)->CountResourceEntries(), 1)
            << "nothing changed";
    }
}

// ---------------------------------------------------------------- resource lists

TEST_F(ItemResourceFile, InsertingTheSameTypeAndKindFoldsTheAmounts) {
    CItem* item = NewItem();
    item->AddResource(4, kResourceHeld, 10, 1, 10);
    item->AddResource(5, kResourceHeld, 3, 0, 3);
    item->AddResource(4, kResourceHeld, 7, 2, 6);
    item->AddResource(4, 1, 100, 0, 100);  // another kind stays apart
    EXPECT_EQ(item->CountResourceEntries(), 3);
    ResourceEntry* four = item->FindResource(4, kResourceHeld);
    EXPECT_EQ(four->amounts[0], 17);
    EXPECT_EQ(four->amounts[1], 3);
    EXPECT_EQ(four->amounts[2], 16);
    // Sums stop at the end of the range instead of wrapping.
    item->AddResource(5, kResourceHeld, INT_MAX, 0, INT_MAX);
    EXPECT_EQ(item->GetResourceAmount(5), INT_MAX);
    EXPECT_EQ(item->FindResource(0, kResourceHeld), nullptr);
}

TEST_F(ItemResourceFile, TakingFiftyFromThirtyAndFortyMovesOneWholeAndSplitsTheOther) {
    CItem* source = NewItem();
    CItem* dest = NewItem();
    source->AddResource(4, kResourceHeld, 40, 0, 40);
    source->AddResource(6, kResourceHeld, 99, 0, 99);
    ResourceEntry* thirty = source->AddResource(4, 2, 30, 0, 30);  // kind 2 is not held
    thirty->kind = kResourceHeld;                                  // (two held entries of 4)
    dest->TakeResources(source, 50, 4);
    EXPECT_EQ(dest->GetResourceAmount(4), 50);
    EXPECT_EQ(source->GetResourceAmount(4), 20);
    EXPECT_EQ(source->GetResourceAmount(6), 99);
    // Over every type when the type is negative; nothing for 0 or from itself.
    dest->TakeResources(source, 0, -1);
    dest->TakeResources(dest, 10, -1);
    EXPECT_EQ(dest->GetResourceAmount(4), 50);
    dest->TakeResources(source, 1000, -1);
    EXPECT_EQ(source->GetResources(), nullptr);
    EXPECT_EQ(dest->GetResourceAmount(6), 99);
}

TEST_F(ItemResourceFile, ADrainedSectorHolderKeepsItsEntryForRegrowth) {
    auto* holder = new CSectorResources;
    holder->AddResource(4, kResourceHeld, 100, 5, 30);  // capacity, regrowth, current
    CItem* taker = NewItem();
    taker->TakeResources(holder, 50, 4);
    EXPECT_EQ(taker->GetResourceAmount(4), 30);
    ResourceEntry* kept = holder->FindResource(4, kResourceHeld);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->amounts[0], 100);
    EXPECT_EQ(kept->amounts[2], 0);
    holder->RemoveResourceAmount(10, 4);
    EXPECT_NE(holder->FindResource(4, kResourceHeld), nullptr);
}

TEST_F(ItemResourceFile, ScaledCopiesStartFullAndNeverOverflow) {
    ResourceEntry prototype;
    prototype.type = 4;
    prototype.amounts[0] = 10;
    prototype.amounts[1] = 2;
    CItem* item = NewItem();
    ResourceEntry* copy = item->AddScaledCopy(prototype, 3);
    EXPECT_EQ(copy->amounts[0], 30);
    EXPECT_EQ(copy->amounts[1], 6);
    EXPECT_EQ(copy->amounts[2], 30);
    prototype.type = 5;
    prototype.amounts[0] = 1 << 20;
    prototype.amounts[1] = -(1 << 20);
    copy = item->AddScaledCopy(prototype, 1 << 20);
    EXPECT_EQ(copy->amounts[0], INT_MAX);
    EXPECT_EQ(copy->amounts[1], INT_MIN);
    EXPECT_EQ(copy->amounts[2], INT_MAX);
    s32 out = 0;
    EXPECT_FALSE(ResourceEntry::GetAmount(copy, 3, out));
    ResourceEntry::AddToAmount(copy, 0, 5);
    EXPECT_EQ(copy->amounts[0], INT_MAX);
}

}  // namespace
