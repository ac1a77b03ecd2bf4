#pragma once
// The demo town made as objects: the demo world, its economy, scripts, regions and templates
// loaded as the server loads them, for tests that build the shipped town with BuildDemoTown.
#include <gtest/gtest.h>

#include <cstdio>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "tests/script/script_runtime_fixture.h"
#include "tests/server/server_services_scope.h"
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
#include "tests/server/world/world_test_support.h"
#include "server/world/npc.h"

inline const std::string kContentDir = std::string(ZQ_SOURCE_DIR) + "/content";

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

    static inline DataMembers* members = nullptr;
    static inline TownContent* content = nullptr;
    MemoryClassSource source;
    std::optional<ServerServicesScope> real;
};


