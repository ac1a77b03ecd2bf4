#pragma once
// The demo's skills by number (0-39), the one list both halves take their names from, and the
// client's skills.idx / skills.mul: record n is a flag byte (1: the skill can be used
// directly) followed by the name, without a terminating NUL.
#include <vector>

#include "tools/content_builder/client_files.h"

struct DemoSkill {
    const char* name;
    bool usable;
};
const std::vector<DemoSkill>& DemoSkills();

std::vector<IndexedRecord> BuildDemoSkillRecords();
