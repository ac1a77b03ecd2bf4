#include "tools/content_builder/mobile_content.h"

#include <cstdio>

#include "server/world/skill_table.h"
#include "server/world/weapon.h"
#include "tools/content_builder/demo_skills_source.h"

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
};

constexpr DemoWeapon kWeapons[] = {
    {demo_weapons::kLongSwordTemplate, "long sword", "2d4+1", "0", "1d10+30", 35, 1, 0, "SLASHING",
     "RIGHTHAND", 25},
    {demo_weapons::kTunicTemplate, "leather tunic", "0", "1d2+2", "1d10+25", 0, 0, 0, "", "", 10},
    {demo_weapons::kShieldTemplate, "wooden shield", "0", "1d3+3", "1d10+40", 0, 0, 0, "SHIELD",
     "LEFTHAND", 20},
    {demo_weapons::kStaffTemplate, "quarter staff", "3d4", "0", "1d10+25", 30, 1, 0, "BASHING",
     "TWOHANDED", 20},
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
                      "Ammo Type: 0\nBow: 0\nHitFx: 0\nMissFx: 0\n",
                      w.name, w.damage, w.armour, w.hits, w.speed, w.range, w.minRange, w.type,
                      w.hands, w.strength);
        out.emplace_back(w.number, text);
    }
    return out;
}

void AddMobileDataMembers(DataMembers& members) {
    members[kSkillsPath] = Bytes(DemoSkillsText());
    for (const auto& [number, text] : DemoWeaponTemplates())
        members[WeaponTemplatePath(number)] = Bytes(text);
}
