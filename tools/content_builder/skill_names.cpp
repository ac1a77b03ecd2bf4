#include "tools/content_builder/skill_names.h"

#include "server/world/skill_table.h"
#include "tools/content_builder/mobile_content.h"

const std::vector<DemoSkill>& DemoSkills() {
    // The character-creation professions name skills 0-39 by number; the list holds them all.
    static const std::vector<DemoSkill> skills = [] {
        CSkillTable table;
        const int count = table.LoadFromText(DemoSkillsText());
        std::vector<DemoSkill> out;
        for (int n = 0; n < count; ++n) {
            const SkillRecord* r = table.GetSkill(n);
            out.push_back({r->name, r->directlyUsable != 0});
        }
        return out;
    }();
    return skills;
}

std::vector<IndexedRecord> BuildDemoSkillRecords() {
    std::vector<IndexedRecord> records;
    for (const DemoSkill& skill : DemoSkills()) {
        IndexedRecord r{true, {static_cast<u8>(skill.usable ? 1 : 0)}, 0};
        r.bytes.insert(r.bytes.end(), skill.name.begin(), skill.name.end());
        records.push_back(std::move(r));
    }
    return records;
}
