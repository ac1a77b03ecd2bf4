#pragma once
// The demo's mobile data: the skill file (`skills.txt`, the text of content/skills.txt: 46
// skills of our own with a header) and the weapon template files ("weapons/weapon.N") of the demo's
// weapons, armour and shield, with the sounds of their hits and misses.
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
constexpr int kMaceTemplate = 5;
constexpr int kSpearTemplate = 6;
constexpr int kBowTemplate = 7;
constexpr int kCapTemplate = 8;
constexpr int kGorgetTemplate = 9;
constexpr int kSleevesTemplate = 10;
constexpr int kGlovesTemplate = 11;
constexpr int kBootsTemplate = 12;
}  // namespace demo_weapons

// Sound ids of the demo's fights: the weapons' hit and miss sounds (the bow's "miss" sound is
// its release, played at the archer) and the animals' bites, cries and deaths.
namespace demo_sounds {
constexpr int kBladeHit = 560;
constexpr int kBladeSwish = 561;
constexpr int kClubHit = 562;
constexpr int kSpearHit = 563;
constexpr int kBowRelease = 564;
constexpr int kArrowHit = 565;
constexpr int kWolfDeath = 211;
constexpr int kWolfBite = 213;
constexpr int kWolfYelp = 214;
constexpr int kDeerKick = 222;
constexpr int kDeerCry = 223;
constexpr int kDeerDeath = 224;
}  // namespace demo_sounds

std::string DemoSkillsText();
// (template number, file text) of every demo weapon template.
std::vector<std::pair<int, std::string>> DemoWeaponTemplates();
// Adds `skills.txt` and the weapon files under the paths the server opens them by.
void AddMobileDataMembers(DataMembers& members);
