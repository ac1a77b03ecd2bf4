// A townsman of the demo island carrying a backpack, coins and a sword, with the tile data,
// resource tables and weapon templates the content builder writes into the demo archive.
#include <gtest/gtest.h>

#include <string>

#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/mobile_content.h"
#include "tools/content_builder/terrain.h"
#include "tools/content_builder/tile_set.h"
#include "world_test_support.h"

namespace {

class DemoCarryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 1024, 1024), 0);
        g_mobileTable.CreateGrid(0, 0, 1024, 1024);
        members = new DataMembers(BuildServerDataMembers("Demo", 0, 0, 1024, 1024));
        town = BuildDemoWorld(0, 0, 1024, 1024).places.townSquare;
        std::string error;
        WorldDataResult result;
        const int loaded = LoadWorldDataFiles(
            [](const std::string& path, std::vector<u8>& out) { return Member(path, out); }, "Demo",
            &result, &error);
        ASSERT_EQ(loaded, 0) << error;
        std::vector<u8> text;
        ASSERT_TRUE(Member(WeaponTemplatePath(demo_weapons::kLongSwordTemplate), text));
        g_weaponTemplates.LoadFromText(demo_weapons::kLongSwordTemplate,
                                       std::string(text.begin(), text.end()));
    }
    static void TearDownTestSuite() {
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
                s->Release();
        }
        DeleteAllObjects();
        ClearEconomy();
        g_weaponTemplates.Clear();
        InstallTestTileSet();
        g_sectorGrid.Build(0, 0, 64, 64);
        g_mobileTable.CreateGrid(0, 0, 64, 64);
        delete members;
    }
    static bool Member(const std::string& path, std::vector<u8>& out) {
        auto it = members->find(path);
        if (it == members->end()) return false;
        out = it->second;
        return true;
    }

    void SetUp() override {
        SetTriggerServices(&triggers);
        SetPacketServices(&packets);
    }
    void TearDown() override {
        DeleteAllObjects();
        SetTriggerServices(nullptr);
        SetPacketServices(nullptr);
    }

    CItem* Coins(int n) {
        CItem* coins = g_objectManager.CreateItem(demo_tiles::kGold);
        const CResourceType* gold = GetResourceTypes().FindByName("gold");
        EXPECT_NE(gold, nullptr);
        if (gold) coins->AddResource(gold->GetNumber(), kResourceHeld, n, 0, n);
        return coins;
    }
    std::string Told(CMobile* who, const char* text) {
        return "1C " + std::to_string(who->GetSerial()) + " " + text;
    }

    static DataMembers* members;
    static Location town;
    RecordingTriggers triggers;
    RecordingPackets packets;
};

DataMembers* DemoCarryTest::members = nullptr;
Location DemoCarryTest::town;

TEST_F(DemoCarryTest, ATownsmanCarriesABackpackCoinsAndASword) {
    auto* man = new CPlayer;
    man->PlaceInWorld(town);
    man->SetRealStat(kStatStrength, 20);
    const u32 manSerial = man->GetSerial();

    // The backpack: the demo's graphic wears on layer 21 and weighs 3 stones.
    CItem* pack = g_objectManager.CreateItem(demo_tiles::kBackpack);
    ASSERT_TRUE(pack->IsUsableContainer());
    ASSERT_EQ(GetTileData().Static(demo_tiles::kBackpack).layer, 21);
    packets.log.clear();
    ASSERT_TRUE(pack->EquipOn(man, 21));
    EXPECT_EQ(man->GetLayer(21), pack);
    EXPECT_EQ(packets.With("2E"),
              (std::vector<std::string>{"2E " + std::to_string(pack->GetSerial()) + " 21"}));
    EXPECT_EQ(man->GetContentWeight(), 3);

    // Coins: 120 in two drops merge into one stack of three stones (a stone per 50).
    ASSERT_TRUE(Coins(70)->AddToContainer(pack, Location(-1, -1, 0)));
    const u32 second = Coins(50)->GetSerial();
    ASSERT_TRUE(g_objectManager.FindBySerial(second)->AddToContainer(pack, Location(-1, -1, 0)));
    EXPECT_EQ(g_objectManager.FindBySerial(second), nullptr) << "merged into the first stack";
    EXPECT_EQ(pack->AsContainer()->CountItems(false), 1);
    EXPECT_EQ(pack->AsContainer()->CountAmount(demo_tiles::kGold), 120);
    EXPECT_EQ(pack->AsContainer()->GetContentWeight(), 3);
    EXPECT_EQ(man->GetContentWeight(), 3 + 3);

    // The long sword comes from its template; too weak a man is told and keeps it off.
    CItem* sword = g_objectManager.CreateWeapon(demo_tiles::kLongSword);
    ASSERT_NE(sword, nullptr);
    const int needed = static_cast<CWeapon*>(sword)->GetStrengthNeeded();
    ASSERT_EQ(needed, 25);
    packets.log.clear();
    triggers.calls.clear();
    EXPECT_FALSE(sword->EquipOn(man, 1));
    EXPECT_EQ(packets.With("1C"),
              (std::vector<std::string>{Told(man, "You are not strong enough to equip that.")}));
    EXPECT_TRUE(packets.With("2E").empty());
    EXPECT_EQ(triggers.TriggersFor(sword->GetSerial()), std::vector<int>{});

    // Strong enough: worn in the right hand, shown, the equip trigger runs with the wearer.
    man->SetRealStat(kStatStrength, needed);
    packets.log.clear();
    ASSERT_TRUE(sword->EquipOn(man, 1));
    EXPECT_EQ(man->GetWeapon(), sword);
    EXPECT_TRUE(packets.With("1C").empty());
    EXPECT_EQ(packets.With("2E"),
              (std::vector<std::string>{"2E " + std::to_string(sword->GetSerial()) + " 1"}));
    ASSERT_EQ(triggers.TriggersFor(sword->GetSerial()), std::vector<int>{kTriggerEquip});
    EXPECT_EQ(triggers.calls.back().args.serial, manSerial);
    EXPECT_EQ(man->GetContentWeight(), 3 + 3 + 7);

    // Capacity: the pack takes coins up to 400 stones of content and refuses one stone more.
    const int room = 400 - pack->AsContainer()->GetContentWeight();
    CItem* heap = Coins(room * 50);  // a separate stack (placed), exactly filling the pack
    ASSERT_TRUE(heap->AddToContainer(pack, Location(40, 40, 0)));
    EXPECT_EQ(pack->AsContainer()->GetContentWeight(), 400);
    int code = 0;
    CItem* more = Coins(1);
    EXPECT_FALSE(pack->AsContainer()->CanHold(more, &code));
    EXPECT_EQ(code, 1);
    more->DeleteSelf();
    EXPECT_EQ(man->GetContentWeight(), 3 + 400 + 7);

    // Taking the sword off runs the unequip trigger and leaves the coins' weight alone.
    triggers.calls.clear();
    sword->RemoveFromWorld();
    EXPECT_EQ(man->GetLayer(1), nullptr);
    EXPECT_EQ(triggers.TriggersFor(sword->GetSerial()), std::vector<int>{kTriggerUnequip});
    EXPECT_EQ(man->GetContentWeight(), 3 + 400);
    sword->DeleteSelf();
}

}  // namespace
