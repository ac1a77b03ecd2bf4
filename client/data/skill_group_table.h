#pragma once
// The player's own grouping of the skills into named groups, kept between runs in
// `skillgrp.mul` in the install directory: int32 group count N, the 17-byte names of groups
// 1 .. N-1 (group 0 is always "Miscellaneous" and never stored), then 50 int32 group numbers
// by skill number. Little-endian; 204 bytes for a single group.
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "platform/types.h"

struct SkillGroupTable {
    static constexpr int kMaxGroups = 12;
    static constexpr int kNameBytes = 17;

    int count = 1;
    char names[kMaxGroups][kNameBytes] = {};
    // Group number of each skill; -1 shows the skill above the first group header.
    s32 groupOf[ClientSkillTable::kSlots] = {};
};
SkillGroupTable& TheSkillGroupTable();

constexpr const char* kSkillGroupFile = "skillgrp.mul";

// Start values (one group "Miscellaneous" holding every skill; the nine start names in the
// skill table until it is first loaded), then the file at `path` when it opens. The count is
// kept within 1-12 and a group number outside -1 .. count-1 reads as 0.
void LoadSkillGroups(const std::string& path);
// Writes the file whole; false (and nothing written) when it cannot be created.
bool SaveSkillGroups(const std::string& path);

// The file image of a table, and the table of an image (a short image leaves what it does not
// hold at its start value).
std::vector<u8> SkillGroupFileBytes(const SkillGroupTable& table);
void ReadSkillGroupBytes(SkillGroupTable& table, const u8* bytes, size_t size);
// The table's start values.
void ResetSkillGroups(SkillGroupTable& table);
