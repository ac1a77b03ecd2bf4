#include "tools/content_builder/mobile_content.h"

#include <cstdio>

#include "server/world/skill_table.h"
#include "server/world/weapon.h"
#include "tools/content_builder/demo_skills_source.h"
#include "tools/content_builder/tile_set.h"

namespace {

struct DemoWeapon {
    int number;
    const char* name;
    const char* damage;
    const char* armour;
    const char* hits;
    int speed, range, minRange;
    const char* type;
    const char* hands;
    int strength;
    int ammo;  // the graphic a shot takes from the pack (its missile is drawn at + 3)
    int hitFx, missFx;
};

using namespace demo_weapons;
using namespace demo_sounds;

constexpr DemoWeapon kWeapons[] = {
    {kLongSwordTemplate, "long sword", "2d4+1", "0", "1d10+30", 35, 1, 0, "SLASHING", "RIGHTHAND",
     25, 0, kBladeHit, kBladeSwish},
    {kTunicTemplate, "leather tunic", "0", "1d2+2", "1d10+25", 0, 0, 0, "", "", 10, 0, 0, 0},
    {kShieldTemplate, "wooden shield", "0", "1d3+3", "1d10+40", 0, 0, 0, "SHIELD", "LEFTHAND", 20,
     0, 0, 0},
    {kStaffTemplate, "quarter staff", "3d4", "0", "1d10+25", 30, 1, 0, "BASHING", "TWOHANDED", 20,
     0, kClubHit, kBladeSwish},
    {kMaceTemplate, "mace", "3d3", "0", "1d10+35", 30, 1, 0, "BASHING", "RIGHTHAND", 30, 0,
     kClubHit, kBladeSwish},
    {kSpearTemplate, "long spear", "2d6+2", "0", "1d10+25", 25, 2, 0, "PIERCING", "TWOHANDED", 35,
     0, kSpearHit, kBladeSwish},
    {kBowTemplate, "bow", "2d5", "0", "1d10+30", 20, 10, 2, "RANGED", "TWOHANDED", 20,
     demo_tiles::kArrows, kArrowHit, kBowRelease},
    {kCapTemplate, "leather cap", "0", "1d2+1", "1d10+20", 0, 0, 0, "", "", 10, 0, 0, 0},
    {kGorgetTemplate, "leather gorget", "0", "1d2+1", "1d10+20", 0, 0, 0, "", "", 10, 0, 0, 0},
    {kSleevesTemplate, "leather sleeves", "0", "1d2+2", "1d10+25", 0, 0, 0, "", "", 10, 0, 0, 0},
    {kGlovesTemplate, "leather gloves", "0", "1d2", "1d10+20", 0, 0, 0, "", "", 10, 0, 0, 0},
    {kBootsTemplate, "pair of boots", "0", "1d2+1", "1d10+25", 0, 0, 0, "", "", 10, 0, 0, 0},
};

std::vector<u8> Bytes(const std::string& text) {
    return std::vector<u8>(text.begin(), text.end());
}

}  // namespace

std::string DemoSkillsText() {
    return kDemoSkillsSource;
}

std::vector<std::pair<int, std::string>> DemoWeaponTemplates() {
    std::vector<std::pair<int, std::string>> out;
    char text[512];
    for (const DemoWeapon& w : kWeapons) {
        std::snprintf(text, sizeof text,
                      "Name: %s\nWeapon Class: %s\nArmor Class: %s\nHit Points: %s\nSpeed: %d\n"
                      "Range: %d\nMin Range: %d\nType: %s\nHandedness: %s\nStrength Needed: %d\n"
                      "Ammo Type: %d\nBow: %d\nHitFx: %d\nMissFx: %d\n",
                      w.name, w.damage, w.armour, w.hits, w.speed, w.range, w.minRange, w.type,
                      w.hands, w.strength, w.ammo, w.ammo != 0 ? 1 : 0, w.hitFx, w.missFx);
        out.emplace_back(w.number, text);
    }
    return out;
}

void AddMobileDataMembers(DataMembers& members) {
    members[kSkillsPath] = Bytes(DemoSkillsText());
    for (const auto& [number, text] : DemoWeaponTemplates())
        members[WeaponTemplatePath(number)] = Bytes(text);
}
