// Creation from templates on a small real world: kinds, entries, equipment lines and their
// placements, labels, quantities, hue specs, the town of a townsperson and a shop's gold.
#include "server/world/template_creation.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "../../script/script_runtime_fixture.h"
#include "../server_services_scope.h"
#include "core/log_sink.h"
#include "platform/random.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"
#include "server/area/region_area_services.h"
#include "server/area/regions.h"
#include "server/world/object_templates.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/skill_table.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/map_files.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

constexpr int kShirt = 120;     // wearable on layer 5
constexpr int kHair = 121;      // wearable hair on layer 11
constexpr int kRing = 122;      // wearable on layer 0: worn nowhere
constexpr int kBackpack = 123;  // container worn on layer 21

// Records what creation asks of the subsystems that come later.
struct RecordingLinks : TemplateLinks {
    int magicCalls = 0;
    std::vector<int> bankedGold;
    bool bankAllows = true;
    CItem* MakeMagicItem(int graphic, int, int) override {
        ++magicCalls;
        return g_objectManager.CreateItem(graphic);
    }
    bool CanCreateFromBank(CItem*, const Location&) override { return bankAllows; }
    int PutMoneyInBank(CMobile*, CItem*, int amount) override {
        bankedGold.push_back(amount);
        return 1;
    }
};

class TemplateCreationTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 32, 32), 0);
        ASSERT_EQ(LoadTerrain(WriteMapFile(TerrainGrid(0, 0, 32, 32, kGrass, 0))), 0);
        Wearable(kShirt, 5);
        Wearable(kHair, 11);
        Wearable(kRing, 0);
        GetTileData().MutableStatic(kBackpack)->flags = kTileContainer | kTileWearable;
        GetTileData().MutableStatic(kBackpack)->layer = 21;
        GetScriptManager().SetClassSource(&source);
        SetTemplateLinks(&links);
        platform::SeedRandom(1234);
        // Ten skills, so that skill numbers 0-9 are valid.
        std::string skills = "version 0\nStatCurve 500\nSkillCurve 500\n";
        for (int i = 0; i < 10; ++i) {
            skills += "--\nName S" + std::to_string(i) +
                      "\nStr 10\nDex 20\nInt 30\nW 0\nW 0\nW 0\nCurve 0 500 800\nSpare 0\n"
                      "Pct 40\nUse T\nCap 10\nScript s\n";
        }
        ASSERT_EQ(g_skillTable.LoadFromText(skills), 10);
    }
    void TearDown() override {
        DeleteAllObjects();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        GetScriptManager().UnloadAll();
        GetScriptManager().SetClassSource(nullptr);
        SetTemplateLinks(nullptr);
        g_templateTable.Unload();
        g_regionManager.Clear();
        g_skillTable.LoadFromText("");
        WorldTest::TearDown();
    }
    static void Wearable(int graphic, int layer) {
        StaticTileRecord* r = GetTileData().MutableStatic(graphic);
        r->flags = kTileWearable;
        r->layer = static_cast<u8>(layer);
        r->height = 1;
    }
    // Template n with the given entries after its type line.
    void Template(int n, const std::string& type, const std::string& entries) {
        g_templateTable.LoadTemplatesText("<" + std::to_string(n) + ">\n<type " + type + ">\n" +
                                          entries + "<@@@ END @@@>\n");
    }
    CItem* Create(int n, const Location& at = Location(10, 10, 0), CItem* target = nullptr) {
        return CreateTemplateObject(n, at, 0, 1, target);
    }
    // The items lying in the world, by graphic.
    std::vector<CItem*> Lying(int graphic) {
        std::vector<CItem*> out;
        std::vector<u32> serials;
        g_objectManager.CollectAllSerials(serials);
        for (u32 s : serials) {
            CItem* item = g_objectManager.FindBySerial(s);
            if (item && item->GetType() == graphic && !item->IsDetached() && !item->GetContainer())
                out.push_back(item);
        }
        return out;
    }
    CItem* Backpack(CMobile* m) { return m->GetLayer(21); }
    int CountChildren(CItem* container) {
        int n = 0;
        for (CItem* c = container->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling())
            ++n;
        return n;
    }

    RecordingLinks links;
    MemoryClassSource source;
};

TEST_F(TemplateCreationTest, TypeLines) {
    Template(1, "item 0", "");
    Template(2, "none 0", "<eq 100 0 0 -1 at 2 0 0>\n<eq 100 0 0 -1 at -2 0 0>\n<hp 5>\n");
    Template(3, "item 100", "");
    Template(4, "dragon 100", "");
    EXPECT_EQ(Create(1), nullptr);
    EXPECT_EQ(Create(2), nullptr);  // no object, yet its "at" lines made items around the spot
    std::vector<CItem*> made = Lying(kPlainItem);
    ASSERT_EQ(made.size(), 2u);
    std::set<int> xs;
    for (CItem* item : made)
        xs.insert(item->GetLocation().x);
    EXPECT_EQ(xs, (std::set<int>{8, 12}));
    CItem* item = Create(3);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetTemplateId(), 3);
    EXPECT_EQ(item->GetLocation().x, 10);
    EXPECT_EQ(Create(4), nullptr);
    EXPECT_EQ(Create(99), nullptr);                        // no such template
    EXPECT_EQ(Create(3, Location(500, 500, 0)), nullptr);  // off the grid
}

TEST_F(TemplateCreationTest, CreatureEntries) {
    g_templateTable.LoadNamesText("<3>\n<male Bob>\n<female Ann>\n<@@@ END @@@>\n");
    Template(10, "normal 400",
             "<sex female>\n<name 3>\n<strength 50>\n<dexterity 2d1>\n<hp STR>\n<mana 7 3>\n"
             "<sk 60 50>\n<sk 5 2d1>\n<fame 40>\n<karma -20>\n<attitude 3>\n<sfxdie 0x10>\n"
             "<sfxhit 77>\n<convfrag hello>\n<job smith>\n<fleeval 9>\n<movetype 0>\n"
             "<objvar int purse 2d1>\n<objvar string Motto \"be kind\">\n<objvar float x 1>\n"
             "<realname \"Old Ann\" extra>\n");
    CItem* made = Create(10);
    ASSERT_NE(made, nullptr);
    CNPC* npc = made->AsNPC();
    ASSERT_NE(npc, nullptr);
    EXPECT_FALSE(npc->IsDetached());
    EXPECT_EQ(npc->GetSex(), 1);
    EXPECT_STREQ(npc->GetRealName(), "Old Ann");  // the real name came after the drawn one
    s32 purse = 0;
    EXPECT_TRUE(ObjVars::GetInt(npc->ScriptAttachments(), "purse", purse));
    EXPECT_EQ(purse, 2);
    const CStr* motto = ObjVars::GetString(npc->ScriptAttachments(), "Motto");
    ASSERT_NE(motto, nullptr);
    EXPECT_STREQ(motto->CText(), "be kind");
    EXPECT_EQ(ObjVars::Find(npc->ScriptAttachments(), "x"), nullptr);
    EXPECT_EQ(npc->GetBaseStat(kStatStrength), 50);
    EXPECT_EQ(npc->GetBaseStat(kStatDexterity), 2);
    EXPECT_EQ(npc->GetMaxHits(), 50);
    EXPECT_EQ(npc->GetCurHits(), 50);
    EXPECT_EQ(npc->GetMaxMana(), 7);
    EXPECT_EQ(npc->GetCurMana(), 3);
    EXPECT_EQ(npc->GetBaseSkill(5), 2);
    for (int s = 0; s < 10; ++s) {
        if (s != 5) {
            EXPECT_EQ(npc->GetBaseSkill(s), 0) << s;  // skill 60 changes nothing
        }
    }
    EXPECT_EQ(npc->GetFame(), 40);
    EXPECT_EQ(npc->GetKarma(), -20);
    EXPECT_EQ(npc->GetAttitude(), 3);
    EXPECT_EQ(npc->GetSoundId(CMobile::kSoundDie), 0);  // "0x10" reads as 0
    EXPECT_EQ(npc->GetSoundId(CMobile::kSoundHit), 77);
    EXPECT_EQ(npc->GetSoundId(CMobile::kSoundIdle), 0xFFFF);
    EXPECT_EQ(npc->GetFragments(), (std::vector<std::string>{"hello", "SORVENMAR_smith"}));
    EXPECT_EQ(npc->GetJob(), "smith");
    EXPECT_EQ(npc->GetFleeValue(), 9);
    // Movement type 0 freezes.
    EXPECT_EQ(npc->GetMoveType(), 0);
    EXPECT_TRUE(npc->IsFrozen());
    EXPECT_EQ(links.registeredNpcs, std::vector<u32>{npc->GetSerial()});
}

TEST_F(TemplateCreationTest, AFailedMultiLeavesNoCreatureBehind) {
    // Multis cannot be built yet: the entry fails, and the creature it took out of the world
    // must not stay in existence with no one holding it.
    Template(11, "normal 400", "<multi 3>\n<strength 5>\n");
    LogCapture log;
    EXPECT_EQ(Create(11), nullptr);
    std::vector<u32> serials;
    g_objectManager.CollectAllSerials(serials);
    EXPECT_TRUE(serials.empty());
    EXPECT_FALSE(log.FromSource("templates").empty());
}

TEST_F(TemplateCreationTest, ARequiredLineThatMakesNothingEndsTheTemplate) {
    Template(12, "normal 400", "<strength 5>\n<req 0 0 0 -1 wear>\n<strength 9>\n");
    Template(13, "normal 400", "<strength 5>\n<eq 0 0 0 -1 wear>\n<strength 9>\n");
    CItem* stopped = Create(12);
    ASSERT_NE(stopped, nullptr);
    EXPECT_EQ(stopped->AsMobile()->GetBaseStat(kStatStrength), 5);
    CItem* goesOn = Create(13);
    ASSERT_NE(goesOn, nullptr);
    EXPECT_EQ(goesOn->AsMobile()->GetBaseStat(kStatStrength), 9);
}

TEST_F(TemplateCreationTest, HueSpecs) {
    struct Case {
        const char* spec;
        std::set<int> hues;  // -1: the hue is left alone (stays 0)
    };
    const Case cases[] = {
        {"0 0", {0}},
        {"5 0", {5}},
        {"{ 2 2 1 3 3 1 }", {2, 3}},
        {"match_hair", {0}},  // before any hair item: no hue
        {"{ { 7 7 1 } 1 }", {7}},
        {"{ { { { { { 9 9 1 } 1 } 1 } 1 } 1 } 1 }", {0}},  // nested too deep: no hue
    };
    for (const Case& c : cases) {
        g_templateTable.Unload();
        Template(20, "item 100", std::string("<hue ") + c.spec + ">\n");
        std::set<int> seen;
        for (int i = 0; i < 40; ++i) {
            CItem* item = Create(20);
            ASSERT_NE(item, nullptr) << c.spec;
            seen.insert(item->GetHue());
            item->DeleteSelf();
        }
        EXPECT_EQ(seen, c.hues) << c.spec;
    }
}

TEST_F(TemplateCreationTest, HairHueIsMatchedByLaterLines) {
    Template(21, "normal 400",
             "<eq 123 0 0 -1 wear>\n<eq 121 { 30 30 1 } -1 wear>\n<eq 120 match_hair -1 wear>\n");
    CItem* made = Create(21);
    ASSERT_NE(made, nullptr);
    CMobile* m = made->AsMobile();
    ASSERT_NE(m->GetLayer(11), nullptr);
    EXPECT_EQ(m->GetLayer(11)->GetHue(), 30);
    ASSERT_NE(m->GetLayer(5), nullptr);
    EXPECT_EQ(m->GetLayer(5)->GetHue(), 30);
}

TEST_F(TemplateCreationTest, EquipmentPlacements) {
    Template(30, "normal 400",
             "<eq 123 0 0 -1 wear>\n"  // backpack on layer 21
             "<eq 120 0 0 -1 worn>\n"  // unknown word: worn
             "<eq 110 0 0 -1 contained label box>\n"
             "<eq 110 0 0 -1 contained label box>\n"
             "<eq 100 0 0 -1 in box>\n"      // into the first box
             "<eq 100 0 0 -1 in crate>\n"    // no such label: deleted
             "<eq 122 0 0 -1 wear>\n"        // layer 0: deleted, not left nowhere
             "<eq 0x1F03 0 0 -1 wear>\n"     // reads as graphic 0: nothing
             "<eq 100 0 0 -1 sellable>\n");  // not a shopkeeper: deleted
    LogCapture log;
    CItem* made = Create(30);
    ASSERT_NE(made, nullptr);
    CMobile* m = made->AsMobile();
    CItem* pack = Backpack(m);
    ASSERT_NE(pack, nullptr);
    ASSERT_NE(m->GetLayer(5), nullptr);
    EXPECT_EQ(m->GetLayer(5)->GetType(), kShirt);
    ASSERT_EQ(CountChildren(pack), 2);
    CItem* first = pack->AsContainer()->GetFirstChild();
    CItem* second = first->GetNextSibling();
    // The pebble went into the first labelled box.
    const int inFirst = CountChildren(first) + CountChildren(second);
    EXPECT_EQ(inFirst, 1);
    CItem* labelled = CountChildren(first) == 1 ? first : second;
    EXPECT_LT(labelled->GetSerial(), (labelled == first ? second : first)->GetSerial());
    // Nothing else exists: the unplaceable items were deleted.
    std::vector<u32> serials;
    g_objectManager.CollectAllSerials(serials);
    EXPECT_EQ(serials.size(), 6u);  // npc, pack, shirt, two boxes, pebble
    EXPECT_FALSE(log.FromSource("templates").empty());
}

TEST_F(TemplateCreationTest, TemplateLines) {
    Template(40, "item 100", "<hue 9 0>\n");
    Template(41, "normal 400", "<strength 33>\n");
    Template(42, "normal 400",
             "<eq 123 0 0 -1 wear>\n<eq 100040 0 0 -1 contained>\n<eq 300041 0 0 -1 wear>\n");
    CItem* made = Create(42);
    ASSERT_NE(made, nullptr);
    CMobile* m = made->AsMobile();
    ASSERT_EQ(CountChildren(Backpack(m)), 1);
    CItem* fromTemplate = Backpack(m)->AsContainer()->GetFirstChild();
    EXPECT_EQ(fromTemplate->GetTemplateId(), 40);
    EXPECT_EQ(fromTemplate->GetHue(), 9);
    EXPECT_EQ(m->GetBaseStat(kStatStrength), 33);  // template 41 applied to the creature
    EXPECT_EQ(m->GetTemplateId(), 42);
}

TEST_F(TemplateCreationTest, ACreatureKindLeavesAnItemTargetsGraphic) {
    Template(43, "normal 999", "<hue 4 0>\n");
    Template(44, "item 101", "");
    CItem* item = PlacedItem(5, 5, 0);
    EXPECT_EQ(CreateTemplateObject(43, Location(5, 5, 0), 0, 1, item), item);
    EXPECT_EQ(item->GetType(), kPlainItem);
    EXPECT_EQ(item->GetHue(), 4);
    EXPECT_EQ(CreateTemplateObject(44, Location(5, 5, 0), 0, 1, item), item);
    EXPECT_EQ(item->GetType(), kTable);
}

TEST_F(TemplateCreationTest, MagicLinesDrawTheirChance) {
    Template(50, "normal 400", "<eq 123 0 0 -1 wear>\n<eq 100 magic 30 0 0 0 0 -1 contained>\n");
    CItem* made = Create(50);
    ASSERT_NE(made, nullptr);
    links.magicCalls = 0;
    TemplateRun run;
    const int kRuns = 4000;
    for (int i = 0; i < kRuns; ++i)
        ApplyEquipLine(made, "100 magic 30 0 0 0 0 -1 contained", run, Location(10, 10, 0), 0, 0);
    // RandomRange(0, 99) <= 30: 31 draws in 100.
    EXPECT_NEAR(links.magicCalls * 100.0 / kRuns, 31.0, 2.5);
}

TEST_F(TemplateCreationTest, QuantitiesGiveCopiesOfTheResources) {
    auto* ore = new CResourceType;
    ore->SetNumber(7);
    ore->SetInternalName("ore");
    GetResourceTypes().Add(ore);
    g_objectManager.GetResourcePrototype(kPlainItem)->AddResource(7, kResourceHeld, 1, 0, 1);
    struct Case {
        const char* quantity;
        int amount;
    };
    for (const Case& c : {Case{"-1", 1}, Case{"2d1", 2}, Case{"0", 1}}) {
        Template(60, "normal 400",
                 std::string("<eq 123 0 0 -1 wear>\n<eq 100 0 0 ") + c.quantity + " contained>\n");
        CItem* made = Create(60);
        ASSERT_NE(made, nullptr) << c.quantity;
        CItem* pebble = Backpack(made->AsMobile())->AsContainer()->GetFirstChild();
        ASSERT_NE(pebble, nullptr);
        s32 amount = 0;
        EXPECT_TRUE(pebble->GetResourceAmountByNumber(amount, 7, kResourceHeld, 0));
        EXPECT_EQ(amount, c.amount) << c.quantity;
        made->DeleteSelf();
        g_templateTable.Unload();
    }
}

TEST_F(TemplateCreationTest, ScriptChance) {
    ASSERT_EQ(CompileSources({{"mark", "trigger creation {\n    return 1;\n}\n"}}, source), "");
    std::optional<ServerServicesScope> real;
    real.emplace();
    struct Case {
        const char* chance;
        int low, high;  // attached count in 200 creations
    };
    const Case cases[] = {{"", 200, 200}, {"0", 200, 200}, {"100", 200, 200}, {"50", 70, 130}};
    for (const Case& c : cases) {
        g_templateTable.Unload();
        Template(70, "item 100", std::string("<script mark ") + c.chance + ">\n");
        int attached = 0;
        for (int i = 0; i < 200; ++i) {
            CItem* item = Create(70);
            ASSERT_NE(item, nullptr);
            if (item->ScriptAttachments() && item->ScriptAttachments()->scripts) ++attached;
            item->DeleteSelf();
        }
        EXPECT_GE(attached, c.low) << c.chance;
        EXPECT_LE(attached, c.high) << c.chance;
    }
    DeleteAllObjects();
    real.reset();
}

TEST_F(TemplateCreationTest, TownNaming) {
    // The world asks the regions through the area's answers.
    RegionAreaServices regions;
    SetAreaServices(&regions);
    g_regionManager.LoadText(
        "version 64207\n"
        "1 0 0 30 30 -128 127 0 CITY_new@haven_1 0 0 0 0 0 NONE\n"
        "2 0 0 30 30 -128 127 0 TOWN_docks 0 0 0 0 0 NONE\n");
    Template(80, "normal 400", "");
    Template(81, "normal 300", "");
    CItem* person = Create(80);
    ASSERT_NE(person, nullptr);
    EXPECT_EQ(person->AsNPC()->GetTown(), "New Haven");
    EXPECT_EQ(person->AsNPC()->GetFragments(), std::vector<std::string>{"SORVENMAR_New"});
    CItem* beast = Create(81);
    ASSERT_NE(beast, nullptr);
    EXPECT_EQ(beast->AsNPC()->GetTown(), "no town");
    EXPECT_EQ(TownDisplayName("old@TOWN"), "Old Town");
    EXPECT_EQ(RegionNameWord("TOWN_docks"), "docks");
    EXPECT_EQ(RegionNameWord("nothing"), "");
    SetAreaServices(nullptr);
}

TEST_F(TemplateCreationTest, ShopGold) {
    Template(90, "shopkeeper 400", "");
    // Nothing to sell: no shop.
    EXPECT_EQ(Create(90), nullptr);
    GetTileData().MutableStatic(kPlainItem)->light = 0;  // the base value
    auto* shop = new CShopKeeper;
    shop->SetBodyType(400);
    auto* sell = new CContainer;
    sell->SetType(kBag);
    sell->EquipOn(shop, kShopSellLayer);
    for (int value : {500, 1500}) {
        CItem* item = NewItem();
        ObjVars::Set(item->ScriptAttachments(), "mybasevalue", kTypeInt,
                     ScriptListValue::Int(value));
        item->AddToContainer(sell, Location(-1, -1, 0));
    }
    EXPECT_EQ(ShopGoldForStock(shop), 500 * 9 + 1500 * 2);
    EXPECT_TRUE(StockShopGold(shop));
    EXPECT_EQ(links.bankedGold, std::vector<int>{7500});
}

TEST_F(TemplateCreationTest, BecomeTemplateKeepsTheMobile) {
    Template(95, "normal 400", "<eq 123 0 0 -1 wear>\n<eq 120 0 0 -1 wear>\n<strength 20>\n");
    Template(96, "normal 401", "<eq 120 7 0 -1 wear>\n<skill 3 40>\n");
    CItem* made = Create(95);
    ASSERT_NE(made, nullptr);
    CMobile* m = made->AsMobile();
    const u32 oldShirt = m->GetLayer(5)->GetSerial();
    EXPECT_EQ(m->BecomeTemplate(96, 1), 1);
    EXPECT_EQ(m->GetBody(), 401);
    EXPECT_EQ(m->GetBaseStat(kStatStrength), 0);
    EXPECT_EQ(m->GetBaseSkill(3), 40);
    ASSERT_NE(m->GetLayer(5), nullptr);
    EXPECT_NE(m->GetLayer(5)->GetSerial(), oldShirt);
    EXPECT_EQ(m->GetLayer(5)->GetHue(), 7);
    EXPECT_NE(Backpack(m), nullptr);  // the backpack stays
    // Without replace the template adds to what is there.
    EXPECT_EQ(m->BecomeTemplate(95, 0), 1);
    EXPECT_EQ(m->GetBaseStat(kStatStrength), 20);
    EXPECT_EQ(m->GetBaseSkill(3), 40);
}

}  // namespace
