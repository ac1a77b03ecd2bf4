// The demo town made as objects: the demo world, its economy, scripts, regions and templates
// loaded as the server loads them, then BuildDemoTown over the shipped town file.
#include <gtest/gtest.h>

#include <cstdio>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "../../script/script_runtime_fixture.h"
#include "../server_services_scope.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_manager.h"
#include "server/area/regions.h"
#include "server/world/mobile.h"
#include "server/world/object_templates.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "server/world/template_creation.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"
#include "server/world/world_load.h"
#include "server/world/world_save.h"
#include "tools/content_builder/demo_content.h"
#include "tools/content_builder/economy_content.h"
#include "tools/content_builder/terrain.h"
#include "tools/content_builder/tile_set.h"
#include "tools/content_builder/town_content.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

const std::string kContentDir = std::string(ZQ_SOURCE_DIR) + "/content";

class DemoTownTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 1024, 1024), 0);
        members = new DataMembers(BuildServerDataMembers("Demo", 0, 0, 1024, 1024));
        std::string error;
        WorldDataResult result;
        ASSERT_EQ(LoadWorldDataFiles(
                      [](const std::string& path, std::vector<u8>& out) {
                          auto it = members->find(path);
                          if (it == members->end()) return false;
                          out = it->second;
                          return true;
                      },
                      "Demo", &result, &error),
                  0)
            << error;
        ASSERT_EQ(LoadResourceTypes(DemoResourceTypesFile(), GetResourceTypes(), &error), 0);
        ASSERT_EQ(LoadItemResources(DemoItemResourcesFile(), &error), 0);
        for (int n = 0; n < WeaponTemplateTable::kSlots; ++n) {
            auto it = members->find(WeaponTemplatePath(n));
            if (it != members->end())
                g_weaponTemplates.LoadFromText(n,
                                               std::string(it->second.begin(), it->second.end()));
        }
        ASSERT_TRUE(ReadTownContent(kContentDir, *(content = new TownContent), &error)) << error;
    }
    static void TearDownTestSuite() {
        ReleaseAllStatics();
        DeleteAllObjects();
        ClearEconomy();
        g_weaponTemplates.Clear();
        InstallTestTileSet();
        g_sectorGrid.Build(0, 0, 64, 64);
        delete members;
        delete content;
    }
    void SetUp() override {
        std::vector<std::pair<std::string, std::string>> sources;
        for (const std::string& name : ContentScriptClasses(kContentDir)) {
            std::ifstream in(kContentDir + "/scripts/" + name + ".zqs");
            std::ostringstream text;
            text << in.rdbuf();
            sources.emplace_back(name, text.str());
        }
        ASSERT_EQ(CompileSources(sources, source), "");
        GetScriptManager().SetClassSource(&source);
        real.emplace();
        g_templateTable.LoadNamesText(content->names);
        g_templateTable.LoadDefinesText(content->defines);
        g_templateTable.LoadTemplatesText(content->templates);
        g_regionManager.LoadText(content->regions);
    }
    void TearDown() override {
        DeleteAllObjects();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        real.reset();
        GetScriptManager().UnloadAll();
        GetScriptManager().SetClassSource(nullptr);
        g_templateTable.Unload();
        g_regionManager.Clear();
    }
    static bool HasScript(CItem* item, const char* name) {
        return ObjScripts::FindClassNamed(item->ScriptAttachments(), name) != nullptr;
    }
    // One line per object made: what it is, where, its hue, name and scripts.
    std::string Describe(const std::vector<u32>& serials) {
        std::string out;
        for (u32 s : serials) {
            CItem* item = g_objectManager.FindBySerial(s);
            if (!item) {
                out += "gone\n";
                continue;
            }
            const Location at = item->GetLocation();
            out += std::to_string(item->GetType()) + " " + std::to_string(at.x) + "," +
                   std::to_string(at.y) + " " + std::to_string(item->GetHue()) + " " +
                   item->GetRealName() + "\n";
        }
        return out;
    }

    static DataMembers* members;
    static TownContent* content;
    MemoryClassSource source;
    std::optional<ServerServicesScope> real;
};

DataMembers* DemoTownTest::members = nullptr;
TownContent* DemoTownTest::content = nullptr;

TEST_F(DemoTownTest, TheWorldIsNamedAfterTheDemoTown) {
    // The load names the world after its town, cut at the first '_'.
    EXPECT_STREQ(GetAreaServices().GetWorldAreaName(), "demo_town");
    GetWorldLoadServices().SetWorldName("demo");
    EXPECT_STREQ(GetNetServices().GetWorldName(), "demo");
}

TEST_F(DemoTownTest, DoorsSignsLampsChestsAndTownsfolk) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    ASSERT_EQ(serials.size(), content->placements.size());
    std::map<int, std::vector<CItem*>> byTemplate;
    for (u32 s : serials) {
        CItem* item = g_objectManager.FindBySerial(s);
        ASSERT_NE(item, nullptr);
        byTemplate[item->GetTemplateId()].push_back(item);
    }
    // Doors: dynamic items at the houses' doorways.
    ASSERT_EQ(byTemplate[1000].size(), 3u);
    for (CItem* door : byTemplate[1000]) {
        EXPECT_TRUE(door->IsDoor());
        EXPECT_FALSE(door->IsDetached());
    }
    EXPECT_EQ(byTemplate[1000][0]->GetLocation().x, 374);
    EXPECT_EQ(byTemplate[1000][0]->GetLocation().y, 563);
    // The sign, the lamps and the healing stone carry their scripts.
    ASSERT_EQ(byTemplate[1001].size(), 1u);
    EXPECT_TRUE(HasScript(byTemplate[1001][0], "townsign"));
    ASSERT_EQ(byTemplate[1002].size(), 4u);
    for (CItem* lamp : byTemplate[1002])
        EXPECT_TRUE(HasScript(lamp, "lamppost"));
    ASSERT_EQ(byTemplate[1003].size(), 1u);
    EXPECT_TRUE(HasScript(byTemplate[1003][0], "healstone"));
    EXPECT_EQ(byTemplate[1005].size(), 1u);
    // The chests are stocked.
    ASSERT_EQ(byTemplate[1004].size(), 2u);
    for (CItem* chest : byTemplate[1004]) {
        ASSERT_TRUE(chest->IsContainer());
        int held = 0;
        for (CItem* c = chest->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling())
            ++held;
        EXPECT_EQ(held, 4);
    }
    // Townsfolk: named from the townsfolk set, dressed, of the demo town.
    ASSERT_EQ(byTemplate[200].size(), 3u);
    for (CItem* person : byTemplate[200]) {
        CNPC* npc = person->AsNPC();
        ASSERT_NE(npc, nullptr);
        EXPECT_NE(std::string(npc->GetRealName()), "error");
        EXPECT_NE(std::string(npc->GetRealName()), "");
        EXPECT_EQ(npc->GetTown(), "Demo Town");
        EXPECT_NE(npc->GetLayer(13), nullptr);  // the tunic
        EXPECT_NE(npc->GetLayer(11), nullptr);  // hair
        EXPECT_TRUE(HasScript(person, "townguide"));
    }
    ASSERT_EQ(byTemplate[201].size(), 2u);
    for (CItem* guard : byTemplate[201]) {
        EXPECT_TRUE(guard->IsGuard());
        EXPECT_NE(guard->AsMobile()->GetLayer(1), nullptr);  // the sword
    }
    ASSERT_EQ(byTemplate[202].size(), 1u);
    EXPECT_TRUE(byTemplate[202][0]->IsShopKeeper());
    EXPECT_EQ(byTemplate[202][0]->AsNPC()->GetJob(), "baker");
}

TEST_F(DemoTownTest, TheSameTownEveryTime) {
    const u32 first = g_objectManager.PeekSerialCounter();
    std::vector<u32> a, b;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, a, &error)) << error;
    const std::string once = Describe(a);
    DeleteAllObjects();
    g_objectManager.SetSerialCounter(first);
    ASSERT_TRUE(BuildDemoTown(content->placements, b, &error)) << error;
    EXPECT_EQ(a, b);
    EXPECT_EQ(Describe(b), once);
}

// The town as the content builder writes it is the town the server loads and writes back: every
// object under the serial it was made with, and the same bytes.
TEST_F(DemoTownTest, SavedLoadedAndSavedAgainTheTownIsTheSameBytes) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    std::vector<u32> all;
    g_objectManager.CollectAllSerials(all);
    const SectorPair first = BuildDynamicPair();
    DeleteAllObjects();
    DynamicLoadReport report;
    ASSERT_EQ(LoadDynamicObjects(first.index, first.data, "dynamic0.mul", &report), 0)
        << report.error;
    for (int r = 0; r < static_cast<int>(DropReason::kCount); ++r)
        EXPECT_EQ(report.dropped[r], 0) << DropReasonName(static_cast<DropReason>(r));
    EXPECT_EQ(report.loaded, static_cast<int>(all.size()));
    for (u32 s : serials)
        EXPECT_NE(g_objectManager.FindBySerial(s), nullptr) << s;
    const SectorPair second = BuildDynamicPair();
    EXPECT_EQ(first.index, second.index);
    EXPECT_EQ(std::string(first.data.begin(), first.data.end()),
              std::string(second.data.begin(), second.data.end()));
    // The guards' swords are weapons of their weapon template.
    for (u32 s : serials) {
        CItem* guard = g_objectManager.FindBySerial(s);
        if (!guard || !guard->IsGuard()) continue;
        CWeapon* sword = guard->AsMobile()->GetLayer(1)->AsWeapon();
        ASSERT_NE(sword, nullptr);
        EXPECT_NE(g_weaponTemplates.Get(sword->GetWeaponTemplate()), nullptr);
    }
}

TEST_F(DemoTownTest, StartingKits) {
    auto* player = new CPlayer;
    player->SetBodyType(400);
    player->SetRealStat(kStatStrength, 30);
    player->PlaceInWorld(Location(390, 575, 0));
    EXPECT_EQ(player->BecomeTemplate(2998, 0), 1);
    EXPECT_EQ(player->BecomeTemplate(3013, 0), 1);
    CItem* pack = player->GetLayer(21);
    ASSERT_NE(pack, nullptr);
    ASSERT_NE(player->GetLayer(5), nullptr);
    EXPECT_EQ(player->GetLayer(5)->GetType(), demo_tiles::kShirt);
    ASSERT_NE(player->GetLayer(4), nullptr);
    EXPECT_EQ(player->GetLayer(4)->GetType(), demo_tiles::kPants);
    int breads = 0, gold = 0;
    for (CItem* c = pack->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->GetType() == demo_tiles::kBread) breads += c->GetQuantity();
        if (c->GetType() == demo_tiles::kGold) gold += c->GetQuantity();
    }
    EXPECT_EQ(gold, 100);
    EXPECT_EQ(breads, 7);
}

TEST_F(DemoTownTest, ANewCharacterIsDressedByItsKit) {
    NewCharacter c;
    std::snprintf(c.name, sizeof c.name, "Mira");
    c.x = 390;
    c.y = 575;
    c.sex = 1;
    c.strength = c.dexterity = 30;
    c.intelligence = 40;
    c.skill[0] = 13;
    c.skillValue[0] = 50;
    c.skill[1] = 1;
    c.skillValue[1] = 30;
    c.skill[2] = 2;
    c.skillValue[2] = 20;
    CPlayerRegistry registry;
    CPlayer* player = registry.CreatePlayer(c);
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->GetLayer(5), nullptr) << "the female kit's shirt";
    ASSERT_NE(player->GetLayer(23), nullptr) << "the female kit's skirt";
    EXPECT_EQ(player->GetLayer(23)->GetType(), demo_tiles::kSkirt);
    EXPECT_NE(player->GetLayer(23)->GetHue(), 0);
    int gold = 0;
    for (CItem* i = player->GetLayer(21)->AsContainer()->GetFirstChild(); i;
         i = i->GetNextSibling()) {
        if (i->GetType() == demo_tiles::kGold) gold += i->GetQuantity();
    }
    EXPECT_GT(gold, 0);
}

}  // namespace
