// Fuzz target: the skill group file ("skillgrp.mul"). Whatever the bytes, the table holds 1 to
// 12 groups with terminated names, every skill's group is -1 or a group that exists, and
// writing the table and reading it back gives the same table.
//
// Input: the file's bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "client/data/skill_group_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SkillGroupTable table;
    ResetSkillGroups(table);
    ReadSkillGroupBytes(table, data, size);
    if (table.count < 1 || table.count > SkillGroupTable::kMaxGroups) __builtin_trap();
    for (const char* name : table.names)
        if (std::memchr(name, 0, SkillGroupTable::kNameBytes) == nullptr) __builtin_trap();
    for (s32 group : table.groupOf)
        if (group < -1 || group >= table.count) __builtin_trap();
    const std::vector<u8> bytes = SkillGroupFileBytes(table);
    if (bytes.size() != 4 + 17 * static_cast<size_t>(table.count - 1) + 200) __builtin_trap();
    SkillGroupTable back;
    ResetSkillGroups(back);
    ReadSkillGroupBytes(back, bytes.data(), bytes.size());
    if (back.count != table.count ||
        std::memcmp(back.groupOf, table.groupOf, sizeof table.groupOf) != 0)
        __builtin_trap();
    for (int g = 1; g < table.count; ++g)
        if (std::strcmp(back.names[g], table.names[g]) != 0) __builtin_trap();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    SkillGroupTable table;
    ResetSkillGroups(table);
    const std::vector<u8> fresh = SkillGroupFileBytes(table);
    emit(fresh.data(), fresh.size());
    table.count = 3;
    std::strcpy(table.names[1], "Crafts");
    std::strcpy(table.names[2], "Fighting");
    for (int s = 0; s < ClientSkillTable::kSlots; ++s)
        table.groupOf[s] = s % 4 - 1;
    const std::vector<u8> bytes = SkillGroupFileBytes(table);
    emit(bytes.data(), bytes.size());
}
