#pragma once
// The 14 professions a new character can start from (attribute weights, three skills with
// their values) and the arithmetic of the creation sliders: attributes always total 65 with
// each in 10..45, the three starting skills always total 100 with each in 0..50.
#include <array>

struct ProfessionPreset {
    int id;
    const char* name;
    int weights[3];  // strength, dexterity, intelligence
    int skills[3];
    int values[3];
};

constexpr int kProfessionCount = 14;
const std::array<ProfessionPreset, kProfessionCount>& ProfessionPresets();
// The preset of an id 1..14, null outside.
const ProfessionPreset* FindProfession(int id);
// The ids a new stat screen starts from, drawn at random.
constexpr int kStartProfessions[5] = {5, 6, 8, 13, 14};

constexpr int kAttributeTotal = 65;
constexpr int kAttributeMin = 10;
constexpr int kAttributeMax = 45;
constexpr int kSkillTotal = 100;
constexpr int kSkillValueMax = 50;

// Weights above a total of 65 scaled down to 65 (each at least 10); smaller totals unchanged.
std::array<int, 3> ScaleProfessionWeights(const int weights[3]);

// The attribute `moved` (0 strength, 1 dexterity, 2 intelligence) takes `value`; the other two
// take up the difference so the total stays 65. Answers whether the others changed.
bool BalanceAttributes(std::array<int, 3>& attributes, int moved, int value);
// The same for the three skill values and their total of 100.
bool BalanceSkillValues(std::array<int, 3>& values, int moved, int value);
