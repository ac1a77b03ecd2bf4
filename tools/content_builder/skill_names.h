#pragma once
// The demo's skills by number as the client sees them, read from the one skill list the server
// loads as skills.txt (content/skills.txt), and the client's skills.idx / skills.mul: record n
// is a flag byte (1: the skill can be used directly) followed by the name, without a
// terminating NUL.
#include <string>
#include <vector>

#include "tools/content_builder/client_files.h"

struct DemoSkill {
    std::string name;
    bool usable;
};
const std::vector<DemoSkill>& DemoSkills();

std::vector<IndexedRecord> BuildDemoSkillRecords();
