#pragma once
// The demo's mobile data: the skill file (`skills.txt`, the text of content/skills.txt: 46
// skills of our own with a header) and the weapon template files ("weapons/weapon.N") of the demo's
// weapons, armour and shield.
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/content_builder/demo_content.h"

// Template numbers of the demo's wieldables (the tile value of their graphics names them).
namespace demo_weapons {
constexpr int kLongSwordTemplate = 1;
constexpr int kTunicTemplate = 2;
constexpr int kShieldTemplate = 3;
constexpr int kStaffTemplate = 4;
}  // namespace demo_weapons

std::string DemoSkillsText();
// (template number, file text) of every demo weapon template.
std::vector<std::pair<int, std::string>> DemoWeaponTemplates();
// Adds `skills.txt` and the weapon files under the paths the server opens them by.
void AddMobileDataMembers(DataMembers& members);
