// The demo's skill file and weapon templates: pinned, and read back by the server's readers.
#include "tools/content_builder/mobile_content.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(templates.size(), 4u);
    const TileSet& tiles = DemoTileSet();
    struct Case {
        u16 graphic;
        int number;
        int flags;
        int hands;
        u64 checksum;
    } cases[] = {
        {demo_tiles::kLongSword, demo_weapons::kLongSwordTemplate, kWeaponSlashing, kRightHand,
         0xacbea56a92026e27ull},
        {demo_tiles::kTunic, demo_weapons::kTunicTemplate, 0, 0, 0x91477e6eadb89d6bull},
        {demo_tiles::kShield, demo_weapons::kShieldTemplate, kWeaponShield, kLeftHand,
         0xdbb763ca64f13ddull},
        {demo_tiles::kStaff, demo_weapons::kStaffTemplate, kWeaponBashing, kTwoHanded,
         0x9dae57667a9d0f27ull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tiles.statics[c.graphic].value, static_cast<u32>(c.number));
        const std::string* text = nullptr;
        for (const auto& [n, t] : templates) {
            if (n == c.number) text = &t;
        }
        ASSERT_NE(text, nullptr) << c.number;
        EXPECT_EQ(Fnv1a(Bytes(*text)), c.checksum)
            << c.number << std::hex << " 0x" << Fnv1a(Bytes(*text));
        const WeaponTemplate t = ParseWeaponTemplate(*text, c.number);
        EXPECT_EQ(t.typeFlags, c.flags) << c.number;
        EXPECT_EQ(t.handedness, c.hands) << c.number;
        EXPECT_FALSE(t.hitPoints.IsZero()) << c.number;
    }
    DataMembers members;
    AddMobileDataMembers(members);
    EXPECT_EQ(members.size(), 5u);
    EXPECT_TRUE(members.count(kSkillsPath));
    EXPECT_TRUE(members.count(WeaponTemplatePath(demo_weapons::kStaffTemplate)));
}

}  // namespace
