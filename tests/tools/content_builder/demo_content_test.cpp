#include "tools/content_builder/demo_content.h"

#include <gtest/gtest.h>

#include <set>

#include "script/compiler/script_compiler.h"
#include "server/world/books.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "server/world/tile_data.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/economy_content.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/tile_set.h"

namespace {

TEST(DemoContent, TheMembersAndTheirSizes) {
    const DataMembers members = BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024);
    struct Case {
        const char* path;
        size_t size;  // 0: any non-empty size
    } cases[] = {
        {"../.rundir/ZQGoldDemo/map0.mul", 128u * 128 * 196},
        {"../.rundir/ZQGoldDemo/staidx0.mul", 128u * 128 * 12},
        {"../.rundir/ZQGoldDemo/statics0.mul", 0},
        {"../.rundir/ZQGoldDemo/resregions.txt", 0},
        {"../.rundir/tiledata.mul", static_cast<size_t>(kTileDataFileSize)},
        {"../.rundir/hues.mul", static_cast<size_t>(kHuesFileSize)},
        {"../.rundir/animdata.mul", static_cast<size_t>(kAnimDataFileSize)},
        {"../.rundir/artdim.dat", static_cast<size_t>(kArtDimFileSize)},
        {"../.rundir/time.mul", 4},
        {"../.rundir/scripts/objscr.txt", 0},
        {"../.rundir/restypes.mul", 4u + 23 * 652},
        {"../.rundir/itemres.mul", 0x4000u * 4 + 6 * 33},
        {"../.rundir/skills.txt", 0},
        {"../.rundir/multi.txt", 0},
        {"../.rundir/books.idx", kReadOnlyBookSlots * kBookIndexEntrySize},
        {"../.rundir/books.mul", 0},
        {"../.rundir/weapons/weapon.1", 0},
        {"../.rundir/weapons/weapon.2", 0},
        {"../.rundir/weapons/weapon.3", 0},
        {"../.rundir/weapons/weapon.4", 0},
        {"../.rundir/weapons/weapon.5", 0},
        {"../.rundir/weapons/weapon.6", 0},
        {"../.rundir/weapons/weapon.7", 0},
        {"../.rundir/weapons/weapon.8", 0},
        {"../.rundir/weapons/weapon.9", 0},
        {"../.rundir/weapons/weapon.10", 0},
        {"../.rundir/weapons/weapon.11", 0},
        {"../.rundir/weapons/weapon.12", 0},
    };
    EXPECT_EQ(members.size(), std::size(cases));
    for (const Case& c : cases) {
        auto it = members.find(c.path);
        ASSERT_NE(it, members.end()) << c.path;
        if (c.size) {
            EXPECT_EQ(it->second.size(), c.size) << c.path;
        } else {
            EXPECT_FALSE(it->second.empty()) << c.path;
        }
    }
    EXPECT_EQ(members.at("../.rundir/ZQGoldDemo/statics0.mul").size() % 7, 0u);
}

// The same bytes on every build: the generators use integer arithmetic and fixed rules only.
// A change to the demo world changes these sums on purpose; update them with it.
TEST(DemoContent, BytesAreTheSameOnEveryBuild) {
    const DataMembers first = BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024);
    const DataMembers second = BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024);
    EXPECT_TRUE(first == second);
    const std::map<std::string, u64> expected = {
        {"../.rundir/ZQGoldDemo/map0.mul", 0xb8acc698a2e35c90ull},
        {"../.rundir/ZQGoldDemo/resregions.txt", 0xceda942abf418463ull},
        {"../.rundir/ZQGoldDemo/staidx0.mul", 0xd515e1a1b9ea1245ull},
        {"../.rundir/ZQGoldDemo/statics0.mul", 0x1d5224026e0a7d5bull},
        {"../.rundir/animdata.mul", 0xafbb0f253b0bd55full},
        {"../.rundir/artdim.dat", 0xe8e75a627a60ff15ull},
        {"../.rundir/hues.mul", 0x2aba90622bb85b73ull},
        {"../.rundir/scripts/objscr.txt", 0xb06ca006c05bea90ull},
        {"../.rundir/tiledata.mul", 0x362c9fe30cffd44aull},
        {"../.rundir/restypes.mul", 0xe3183da164bb4bd4ull},
        {"../.rundir/itemres.mul", 0x3477bb7246e6221ull},
        {"../.rundir/time.mul", 0xad002ab9f9463becull},
        {"../.rundir/multi.txt", 0x5c1d3abeaadbd566ull},
        {"../.rundir/books.idx", 0x68bc7c671f66b063ull},
        {"../.rundir/books.mul", 0xc9293fa0b92d7b79ull},
        {"../.rundir/skills.txt", 0xca34e7e56dd8b983ull},
        {"../.rundir/weapons/weapon.1", 0x71939d15e14242c6ull},
        {"../.rundir/weapons/weapon.2", 0x91477e6eadb89d6bull},
        {"../.rundir/weapons/weapon.3", 0xdbb763ca64f13ddull},
        {"../.rundir/weapons/weapon.4", 0x9f996a83657b3a4ull},
        {"../.rundir/weapons/weapon.5", 0xde1619cf52dee1ceull},
        {"../.rundir/weapons/weapon.6", 0xad408721553e2a16ull},
        {"../.rundir/weapons/weapon.7", 0xcf52c141ae73c32ull},
        {"../.rundir/weapons/weapon.8", 0x6cadad56b217d22ull},
        {"../.rundir/weapons/weapon.9", 0x3c33983af825c000ull},
        {"../.rundir/weapons/weapon.10", 0x9faffa714a13ed7dull},
        {"../.rundir/weapons/weapon.11", 0xf92302761ed3d466ull},
        {"../.rundir/weapons/weapon.12", 0xfc1a6e71bf4b80e2ull},
    };
    for (const auto& [path, bytes] : first) {
        auto it = expected.find(path);
        if (it != expected.end()) {
            EXPECT_EQ(Fnv1a(bytes), it->second) << path << std::hex << " 0x" << Fnv1a(bytes);
        }
    }
    EXPECT_EQ(expected.size(), first.size());
}

TEST(DemoContent, OtherRectanglesAreCoveredToo) {
    const DataMembers members = BuildServerDataMembers("Small", 256, 512, 256, 264);
    EXPECT_EQ(members.at("../.rundir/Small/map0.mul").size(), 32u * 33 * 196);
    const std::string regions(members.at("../.rundir/Small/resregions.txt").begin(),
                              members.at("../.rundir/Small/resregions.txt").end());
    EXPECT_NE(regions.find("Region Name: forest\nRegion Rect: "), std::string::npos);
}

TEST(DemoContent, TheTileSetNamesEveryTileItUses) {
    const TileSet& tiles = DemoTileSet();
    for (int graphic :
         {demo_tiles::kStoneWall, demo_tiles::kDoor, demo_tiles::kRoof, demo_tiles::kWoodFloor,
          demo_tiles::kBridge, demo_tiles::kTree, demo_tiles::kBackpack, demo_tiles::kLongSword,
          demo_tiles::kMap, demo_tiles::kGold, demo_tiles::kBoard}) {
        EXPECT_NE(tiles.statics[graphic].name[0], '\0') << graphic;
    }
    EXPECT_NE(tiles.statics[demo_tiles::kBackpack].flags & kTileContainer, 0u);
    // Wearables carry the wearable flag and their layer; the light-source flag is for lights.
    for (int graphic : {demo_tiles::kBackpack, demo_tiles::kLongSword, demo_tiles::kTunic,
                        demo_tiles::kShortHair, demo_tiles::kBeard}) {
        EXPECT_NE(tiles.statics[graphic].flags & kTileWearable, 0u) << graphic;
        EXPECT_EQ(tiles.statics[graphic].flags & kTileLightSource, 0u) << graphic;
    }
    EXPECT_EQ(tiles.statics[demo_tiles::kTunic].layer, 13);
    EXPECT_NE(tiles.statics[demo_tiles::kCampFire].flags & kTileAnimated, 0u);
    EXPECT_EQ(tiles.statics[demo_tiles::kBackpack].layer, 21);
    EXPECT_NE(tiles.statics[demo_tiles::kLongSword].flags & kTileWeaponFlags, 0u);
    EXPECT_NE(tiles.statics[demo_tiles::kDoor].flags & kTileDoor, 0u);
    EXPECT_EQ(tiles.statics[demo_tiles::kDoorOpen].flags & kTileImpassable, 0u);
    EXPECT_NE(tiles.statics[demo_tiles::kBridge].flags & kTileBridge, 0u);
    EXPECT_NE(tiles.statics[demo_tiles::kGold].flags & kTileGeneric, 0u);
    EXPECT_NE(tiles.land[demo_tiles::kWater].flags & kTileWet, 0u);
    EXPECT_NE(tiles.land[demo_tiles::kRock].flags & kTileBackground, 0u);
    // Hue families ramp from dark to light.
    const std::vector<HueRecord> hues = DemoHues();
    EXPECT_STREQ(hues[1].name, "red 1");
    EXPECT_LT(hues[1].colours[0], hues[1].colours[31]);
}

// The server's readers take the demo's economy files as they are written, every name the
// server asks for is there, and every stackable graphic needs something per unit.
TEST(DemoContent, TheEconomyFilesReadBackWithEveryTypeAndNeed) {
    CResourceTypeTable types;
    const std::vector<u8> typeFile = DemoResourceTypesFile();
    ASSERT_EQ(LoadResourceTypes(typeFile, types, nullptr), 0);
    EXPECT_EQ(WriteResourceTypeTable(types), typeFile);
    for (const char* name :
         {"gold", "magic", "cloth", "wood", "water", "leather", "meat", "metal", "jewels", "good",
          "evil", "humans", "CARNIVOREMEAT", "bone", "weapon", "RIDABLE"}) {
        EXPECT_NE(types.FindNumber(name), 0) << name;
    }
    EXPECT_EQ(types.CountTypes(), static_cast<int>(DemoResourceTypeNames().size()));

    const std::vector<u8> itemFile = DemoItemResourcesFile();
    ASSERT_EQ(LoadItemResources(itemFile, nullptr), 0);
    EXPECT_EQ(WriteItemResourceTable(), itemFile);
    const TileSet& tiles = DemoTileSet();
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        const ResourceEntry* need = g_objectManager.GetResourcePrototype(graphic)->GetResources();
        if (!(tiles.statics[graphic].flags & kTileGeneric)) {
            EXPECT_EQ(need, nullptr) << graphic;
            continue;
        }
        ASSERT_NE(need, nullptr) << graphic;
        EXPECT_EQ(need->kind, kResourceHeld);
        EXPECT_GT(need->amounts[0], 0) << graphic;
        EXPECT_NE(types.GetByNumber(need->type), nullptr) << graphic;
    }
    const ResourceEntry* gold =
        g_objectManager.GetResourcePrototype(demo_tiles::kGold)->GetResources();
    EXPECT_EQ(gold->type, types.FindNumber("gold"));
    // Leave no prototypes behind for other tests.
    for (int graphic = 0; graphic < kTileCount; ++graphic)
        g_objectManager.GetResourcePrototype(graphic)->ClearResources();
}

// Blood is the one graphic with a type script: the list the server reads names it, and the
// demo's scripts hold the class of that number (and the corpse's class).
TEST(DemoContent, BloodHasATypeScript) {
    const DataMembers members = BuildServerDataMembers("ZQGoldDemo", 0, 0, 1024, 1024);
    TypeScriptBitSet bits;
    LoadTypeScriptList(members.at(kTypeScriptListPath), bits);
    EXPECT_EQ(bits.count(), 1u);
    EXPECT_TRUE(bits.test(demo_tiles::kBlood));
    std::vector<std::pair<std::string, std::vector<u8>>> compiled;
    std::string errors;
    ASSERT_TRUE(
        CompileScriptDirectory(std::string(ZQ_SOURCE_DIR) + "/content/scripts", compiled, errors))
        << errors;
    std::set<std::string> classes;
    for (const auto& [name, bytes] : compiled)
        classes.insert(name);
    EXPECT_TRUE(classes.count(std::to_string(demo_tiles::kBlood) + ".m"));
    EXPECT_TRUE(classes.count("corpse.m"));
}

}  // namespace
