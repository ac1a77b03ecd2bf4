// The demo's skill file and weapon templates: pinned, and read back by the server's readers.
#include "tools/content_builder/mobile_content.h"

#include <gtest/gtest.h>

#include <set>

#include "server/world/skill_table.h"
#include "server/world/tile_data.h"
#include "server/world/weapon.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/tile_set.h"

namespace {

std::vector<u8> Bytes(const std::string& s) {
    return std::vector<u8>(s.begin(), s.end());
}

TEST(MobileContent, SkillsFileReadsBackWith46Skills) {
    const std::string text = DemoSkillsText();
    EXPECT_EQ(text, DemoSkillsText());
    EXPECT_EQ(Fnv1a(Bytes(text)), 0xca34e7e56dd8b983ull) << std::hex << Fnv1a(Bytes(text));
    CSkillTable table;
    ASSERT_EQ(table.LoadFromText(text), 46);
    EXPECT_EQ(table.GetVersion(), 1);
    EXPECT_EQ(table.GetStatCurveMiddle(), 400);
    EXPECT_EQ(table.GetSkillCurveMiddle(), 600);
    EXPECT_STREQ(table.GetSkillName(0), "Brewing");
    EXPECT_STREQ(table.GetSkillName(45), "Delving");
    EXPECT_STREQ(table.GetScriptName(44), "skill_woodcutting");
    EXPECT_FALSE(table.IsDirectlyUsable(27));
    EXPECT_TRUE(table.IsDirectlyUsable(0));
    for (int i = 0; i < 46; ++i) {
        const SkillRecord* r = table.GetSkill(i);
        ASSERT_NE(r, nullptr);
        EXPECT_FALSE(r->curve.straight) << i;
        EXPECT_NEAR(r->curve.Value(1000), r->curve.hi, 1e-6) << i;
        EXPECT_EQ(r->capWeight, 10) << i;
        EXPECT_EQ(r->statWeights[0] + r->statWeights[1] + r->statWeights[2], 100) << i;
    }
}

TEST(MobileContent, WeaponTemplatesReadBackAndTheTilesNameThem) {
    const auto templates = DemoWeaponTemplates();
    ASSERT_EQ(templates.size(), 12u);
    const TileSet& tiles = DemoTileSet();
    using namespace demo_tiles;
    using namespace demo_weapons;
    using namespace demo_sounds;
    struct Case {
        u16 graphic;
        int number;
        int flags;
        int hands;
        int ammo, hitFx, missFx;
        u64 checksum;
    } cases[] = {
        {kLongSword, kLongSwordTemplate, kWeaponSlashing, kRightHand, 0, kBladeHit, kBladeSwish,
         0x71939d15e14242c6ull},
        {kTunic, kTunicTemplate, 0, 0, 0, 0, 0, 0x91477e6eadb89d6bull},
        {kShield, kShieldTemplate, kWeaponShield, kLeftHand, 0, 0, 0, 0xdbb763ca64f13ddull},
        {kStaff, kStaffTemplate, kWeaponBashing, kTwoHanded, 0, kClubHit, kBladeSwish,
         0x9f996a83657b3a4ull},
        {kMace, kMaceTemplate, kWeaponBashing, kRightHand, 0, kClubHit, kBladeSwish,
         0xde1619cf52dee1ceull},
        {kSpear, kSpearTemplate, kWeaponPiercing, kTwoHanded, 0, kSpearHit, kBladeSwish,
         0xad408721553e2a16ull},
        {kBow, kBowTemplate, kWeaponRanged, kTwoHanded, kArrows, kArrowHit, kBowRelease,
         0xcf52c141ae73c32ull},
        {kLeatherCap, kCapTemplate, 0, 0, 0, 0, 0, 0x6cadad56b217d22ull},
        {kGorget, kGorgetTemplate, 0, 0, 0, 0, 0, 0x3c33983af825c000ull},
        {kArmGuards, kSleevesTemplate, 0, 0, 0, 0, 0, 0x9faffa714a13ed7dull},
        {kGloves, kGlovesTemplate, 0, 0, 0, 0, 0, 0xf92302761ed3d466ull},
        {kBoots, kBootsTemplate, 0, 0, 0, 0, 0, 0xfc1a6e71bf4b80e2ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(tiles.statics[c.graphic].value, static_cast<u32>(c.number));
        const std::string* text = nullptr;
        for (const auto& [n, t] : templates) {
            if (n == c.number) text = &t;
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(Fnv1a(Bytes(*text)), c.checksum) << std::hex << " 0x" << Fnv1a(Bytes(*text));
        const WeaponTemplate t = ParseWeaponTemplate(*text, c.number);
        EXPECT_EQ(t.typeFlags, c.flags);
        EXPECT_EQ(t.handedness, c.hands);
        EXPECT_EQ(t.ammoType, c.ammo);
        EXPECT_EQ(t.bow, c.ammo != 0 ? 1 : 0);
        EXPECT_EQ(t.hitFx, c.hitFx);
        EXPECT_EQ(t.missFx, c.missFx);
        EXPECT_FALSE(t.hitPoints.IsZero());
        // Whatever strikes has reach and speed; whatever protects has an armour class.
        const bool strikes =
            (c.flags & (kWeaponSlashing | kWeaponPiercing | kWeaponBashing | kWeaponRanged)) != 0;
        EXPECT_EQ(t.speed > 0 && t.range > 0 && !t.damage.IsZero(), strikes);
        EXPECT_EQ(!t.armorClass.IsZero(), !strikes);
        // The missile of a shot is drawn with the ammunition's graphic + 3.
        if (c.ammo != 0) {
            EXPECT_NE(tiles.statics[c.ammo].name[0], '\0');
            EXPECT_NE(tiles.statics[c.ammo + 3].name[0], '\0');
            EXPECT_GT(t.range, t.minRange);
            EXPECT_GT(t.minRange, 0);
        }
    }
    DataMembers members;
    AddMobileDataMembers(members);
    EXPECT_EQ(members.size(), 13u);
    EXPECT_TRUE(members.count(kSkillsPath));
    EXPECT_TRUE(members.count(WeaponTemplatePath(kBootsTemplate)));
}

// A strike lands on one of fourteen rows of equipment layers; every row but the body's has a
// piece of the demo's armour, so every layer a piece is worn on is one a strike can land on.
TEST(MobileContent, ArmourCoversTheHitLocations) {
    const std::set<int> hitLayers = {6, 10, 13, 5, 22, 20, 24, 4, 3, 23, 19, 7};
    std::set<int> covered;
    const TileSet& tiles = DemoTileSet();
    for (const auto& [number, text] : DemoWeaponTemplates()) {
        const WeaponTemplate t = ParseWeaponTemplate(text, number);
        if (t.armorClass.IsZero() || (t.typeFlags & kWeaponShield)) continue;
        int graphic = -1;
        for (int g = 0; g < kTileCount; ++g) {
            if (tiles.statics[g].value == static_cast<u32>(number) &&
                (tiles.statics[g].flags & kTileArmour))
                graphic = g;
        }
        ASSERT_GE(graphic, 0) << number;
        const int layer = tiles.statics[graphic].layer;
        EXPECT_TRUE(hitLayers.count(layer)) << number << " layer " << layer;
        // Worn pieces have a picture on the body, so a death moves them into the corpse.
        EXPECT_NE(tiles.statics[graphic].animation, 0) << number;
        covered.insert(layer);
    }
    for (int head : {6, 10, 13, 3, 19, 7})
        EXPECT_TRUE(covered.count(head)) << head;
}
}  // namespace
