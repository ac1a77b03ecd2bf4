#pragma once
// The client's skill tables that several windows share: the skill names with a flag byte each
// and their order sorted by name (read from the skills.idx / skills.mul pair), the player's
// current skill values, and the display-name helper for texts of the form "Name (Words)".
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

struct ClientSkillTable {
    static constexpr int kSlots = 50;
    static constexpr int kNameBytes = 80;

    int count = 0;
    char names[kSlots][kNameBytes] = {};
    // Bit 0: the skill can be used directly; bit 1: a wider line in the skill window.
    u8 flags[kSlots] = {};
    // Position p holds the skill number of the p-th name in ascending byte order.
    u8 sorted[kSlots] = {};
};
ClientSkillTable& TheClientSkillTable();

// The player's skill values by skill number, in tenths of a point.
struct PlayerSkillValues {
    u16 values[ClientSkillTable::kSlots] = {};
};
PlayerSkillValues& ThePlayerSkillValues();

// The skill last used through a use button of the skill window, -1 before any; the macro
// that repeats the last skill reads it.
int& LastUsedSkill();

// Reads record `id` of the skills pair into `record`; false when the record is absent.
using SkillRecordReader = std::function<bool(int id, std::vector<u8>& record)>;
// Installs where LoadSkillTable reads (an empty reader puts back the data cache's pair);
// answers the previous one.
SkillRecordReader SetSkillRecordReader(SkillRecordReader reader);

// Fills the table from the skills pair and sorts it. A missing record keeps its slot as an
// empty name with flag 0, so skill numbers always match the server's.
void LoadSkillTable();
// Rebuilds the sorted order from the names and the count.
void SortSkillTable(ClientSkillTable& table);

// The text before its first '(' without the blank in front of it ("Name (Words)" gives
// "Name"); a text without a parenthesis comes back whole, "(..." gives "". At most 79
// characters.
std::string TextBeforeParenthesis(const std::string& text);
// The characters between the first '(' and the following ')'.
std::string TextInParenthesis(const std::string& text);
