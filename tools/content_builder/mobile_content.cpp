#include "tools/content_builder/mobile_content.h"

#include <cstdio>

#include "server/world/skill_table.h"
#include "server/world/weapon.h"

namespace {

struct DemoSkill {
    const char* name;
    int str, dex, intel;
    int lo, mid, hi;  // the advance curve at 0, 500 and 1000
    int statPercent;
    bool direct;
    int capWeight;
    const char* script;
};

// Our own names for the 46 skills, in the order of their numbers. Crafts lean on strength or
// dexterity, lore on intelligence; fighting skills advance quickly early and slowly late.
constexpr DemoSkill kSkills[] = {
    {"Brewing", 0, 30, 70, 900, 500, 200, 60, true, 10, "skill_brewing"},
    {"Bone Lore", 0, 20, 80, 900, 500, 200, 70, true, 10, "skill_bonelore"},
    {"Beast Lore", 0, 20, 80, 900, 500, 200, 70, true, 10, "skill_beastlore"},
    {"Valuing", 0, 10, 90, 900, 500, 200, 70, true, 10, "skill_valuing"},
    {"Gear Lore", 20, 20, 60, 900, 500, 200, 70, true, 10, "skill_gearlore"},
    {"Warding", 40, 60, 0, 800, 400, 150, 50, false, 10, "none"},
    {"Pleading", 0, 30, 70, 900, 550, 300, 80, true, 10, "skill_pleading"},
    {"Smithing", 80, 20, 0, 900, 500, 200, 50, true, 10, "skill_smithing"},
    {"Arrow Craft", 30, 60, 10, 900, 500, 200, 50, true, 10, "skill_arrowcraft"},
    {"Soothing", 0, 40, 60, 900, 500, 200, 60, true, 10, "skill_soothing"},
    {"Fire Making", 30, 40, 30, 950, 600, 300, 80, true, 10, "skill_firemaking"},
    {"Joinery", 60, 40, 0, 900, 500, 200, 50, true, 10, "skill_joinery"},
    {"Charting", 0, 40, 60, 900, 500, 200, 60, true, 10, "skill_charting"},
    {"Cooking", 0, 60, 40, 950, 600, 300, 70, true, 10, "skill_cooking"},
    {"Keen Eye", 0, 30, 70, 900, 500, 200, 70, true, 10, "skill_keeneye"},
    {"Luring", 0, 40, 60, 900, 500, 200, 60, true, 10, "skill_luring"},
    {"Mind Reading", 0, 0, 100, 900, 500, 200, 70, true, 10, "skill_mindreading"},
    {"Bandaging", 0, 60, 40, 900, 500, 200, 60, true, 10, "skill_bandaging"},
    {"Angling", 40, 60, 0, 950, 600, 300, 70, true, 10, "skill_angling"},
    {"Tracing", 0, 20, 80, 900, 500, 200, 70, true, 10, "skill_tracing"},
    {"Droving", 0, 40, 60, 900, 500, 200, 70, true, 10, "skill_droving"},
    {"Skulking", 0, 80, 20, 900, 500, 200, 60, true, 10, "skill_skulking"},
    {"Goading", 0, 40, 60, 900, 500, 200, 60, true, 10, "skill_goading"},
    {"Scribing", 0, 30, 70, 900, 500, 200, 60, true, 10, "skill_scribing"},
    {"Lock Craft", 0, 80, 20, 900, 500, 200, 60, true, 10, "skill_lockcraft"},
    {"Sorcery", 0, 0, 100, 800, 400, 150, 40, false, 10, "none"},
    {"Spell Ward", 0, 20, 80, 800, 400, 150, 40, false, 10, "none"},
    {"Tactics", 50, 50, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Prying", 0, 70, 30, 900, 500, 200, 60, true, 10, "skill_prying"},
    {"Minstrelsy", 0, 60, 40, 900, 500, 200, 60, true, 10, "skill_minstrelsy"},
    {"Venom Craft", 0, 50, 50, 900, 500, 200, 60, true, 10, "skill_venomcraft"},
    {"Bowmanship", 20, 80, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Spirit Talk", 0, 0, 100, 900, 500, 200, 70, true, 10, "skill_spirittalk"},
    {"Pilfering", 0, 90, 10, 900, 500, 200, 60, true, 10, "skill_pilfering"},
    {"Sewing", 0, 70, 30, 900, 500, 200, 60, true, 10, "skill_sewing"},
    {"Taming", 30, 20, 50, 900, 500, 200, 60, true, 10, "skill_taming"},
    {"Tasting", 0, 20, 80, 900, 500, 200, 70, true, 10, "skill_tasting"},
    {"Tinkering", 20, 60, 20, 900, 500, 200, 60, true, 10, "skill_tinkering"},
    {"Pathfinding", 0, 40, 60, 900, 500, 200, 70, true, 10, "skill_pathfinding"},
    {"Animal Care", 0, 40, 60, 900, 500, 200, 60, true, 10, "skill_animalcare"},
    {"Bladework", 60, 40, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Clubwork", 80, 20, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Spearwork", 40, 60, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Brawling", 60, 40, 0, 800, 400, 150, 40, false, 10, "none"},
    {"Woodcutting", 80, 20, 0, 950, 600, 300, 70, true, 10, "skill_woodcutting"},
    {"Delving", 80, 20, 0, 950, 600, 300, 70, true, 10, "skill_delving"},
};
static_assert(sizeof kSkills / sizeof kSkills[0] == 46);

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
    std::string text = "Version 1\nStatCurve 400\nSkillCurve 600\n";
    char line[160];
    int number = 0;
    for (const DemoSkill& s : kSkills) {
        std::snprintf(line, sizeof line, "Skill %d\n", number++);
        text += line;
        text += std::string("Name ") + s.name + "\n";
        std::snprintf(line, sizeof line, "Str %d\nDex %d\nInt %d\n", s.str, s.dex, s.intel);
        text += line;
        std::snprintf(line, sizeof line, "Str2 %d\nDex2 %d\nInt2 %d\n", s.str / 2, s.dex / 2,
                      s.intel / 2);
        text += line;
        std::snprintf(line, sizeof line, "Advance %d %d %d\n", s.lo, s.mid, s.hi);
        text += line;
        std::snprintf(line, sizeof line, "Spare 0\nStatPercent %d\nDirect %s\nCapWeight %d\n",
                      s.statPercent, s.direct ? "TRUE" : "FALSE", s.capWeight);
        text += line;
        text += std::string("Script ") + s.script + "\nExtra 0\n";
    }
    return text;
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
