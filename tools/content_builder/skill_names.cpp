#include "tools/content_builder/skill_names.h"

#include <cstring>

const std::vector<DemoSkill>& DemoSkills() {
    // The numbers the character-creation professions name: 0, 26 and 36 for the alchemist,
    // 4, 5 and 7 for the blacksmith, 23, 25 and 26 for the wizard, and so on.
    static const std::vector<DemoSkill> skills = {
        {"Potion Brewing", false}, {"Bodylore", true},         {"Beast Lore", true},
        {"Appraisal", true},       {"Weapon Lore", true},      {"Shield Work", false},
        {"Pleading", true},        {"Smithing", false},        {"Fletching", false},
        {"Calming Song", true},    {"Wilderness Lore", false}, {"Woodworking", false},
        {"Mapmaking", false},      {"Cooking", false},         {"Keen Eye", true},
        {"Luring Song", true},     {"Mind Reading", true},     {"Mending", false},
        {"Angling", false},        {"Remains Lore", true},     {"Flock Tending", false},
        {"Concealment", true},     {"Rousing Song", true},     {"Scribing", false},
        {"Lock Craft", false},     {"Sorcery", false},         {"Spell Warding", false},
        {"Battle Tactics", false}, {"Prying", false},          {"Music", false},
        {"Venom Craft", true},     {"Marksmanship", false},    {"Spirit Lore", true},
        {"Pilfering", true},       {"Needlework", false},      {"Beast Taming", true},
        {"Tasting", true},         {"Tinkering", false},       {"Trailing", true},
        {"Beast Healing", false},
    };
    return skills;
}

std::vector<IndexedRecord> BuildDemoSkillRecords() {
    std::vector<IndexedRecord> records;
    for (const DemoSkill& skill : DemoSkills()) {
        IndexedRecord r{true, {static_cast<u8>(skill.usable ? 1 : 0)}, 0};
        r.bytes.insert(r.bytes.end(), skill.name, skill.name + std::strlen(skill.name));
        records.push_back(std::move(r));
    }
    return records;
}
