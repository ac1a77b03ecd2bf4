#include "client/data/skill_group_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "client/data/client_file_read.h"
#include "core/byte_order.h"

namespace {

constexpr int kGroupNumberBytes = 4 * ClientSkillTable::kSlots;

}  // namespace

SkillGroupTable& TheSkillGroupTable() {
    static SkillGroupTable table;
    return table;
}

void ResetSkillGroups(SkillGroupTable& table) {
    table = SkillGroupTable{};
    std::snprintf(table.names[0], SkillGroupTable::kNameBytes, "%s", "Miscellaneous");
}

void ReadSkillGroupBytes(SkillGroupTable& table, const u8* bytes, size_t size) {
    size_t at = 0;
    if (size < 4) return;
    // A count the file cannot mean is kept within what the table holds.
    table.count =
        std::clamp<s32>(static_cast<s32>(LoadLe32(bytes)), 1, SkillGroupTable::kMaxGroups);
    at = 4;
    for (int g = 1; g < table.count; ++g) {
        if (at + SkillGroupTable::kNameBytes > size) return;
        std::memcpy(table.names[g], bytes + at, SkillGroupTable::kNameBytes);
        table.names[g][SkillGroupTable::kNameBytes - 1] = 0;
        at += SkillGroupTable::kNameBytes;
    }
    for (int s = 0; s < ClientSkillTable::kSlots; ++s) {
        if (at + 4 > size) return;
        const s32 group = static_cast<s32>(LoadLe32(bytes + at));
        table.groupOf[s] = group >= -1 && group < table.count ? group : 0;
        at += 4;
    }
}

std::vector<u8> SkillGroupFileBytes(const SkillGroupTable& table) {
    const int count = std::clamp(table.count, 1, SkillGroupTable::kMaxGroups);
    std::vector<u8> out;
    out.reserve(4 + SkillGroupTable::kNameBytes * (count - 1) + kGroupNumberBytes);
    AppendLe32(out, static_cast<u32>(count));
    for (int g = 1; g < count; ++g)
        out.insert(out.end(), table.names[g], table.names[g] + SkillGroupTable::kNameBytes);
    for (s32 group : table.groupOf)
        AppendLe32(out, static_cast<u32>(group));
    return out;
}

void LoadSkillGroups(const std::string& path) {
    static const char* const kStartNames[] = {
        "Magic Defense", "Battle Defense", "Stealing",       "Hiding",  "First Aid",
        "Peek",          "Melee",          "Ranged Weapons", "Alchemy",
    };
    ClientSkillTable& skills = TheClientSkillTable();
    int n = 0;
    for (const char* name : kStartNames)
        std::snprintf(skills.names[n++], ClientSkillTable::kNameBytes, "%s", name);
    skills.count = n;

    SkillGroupTable& table = TheSkillGroupTable();
    ResetSkillGroups(table);
    const size_t fileBytes =
        4 + SkillGroupTable::kNameBytes * (SkillGroupTable::kMaxGroups - 1) + kGroupNumberBytes;
    std::string bytes;
    if (ReadClientFile(path, fileBytes, true, bytes, "the skills stay in one group") !=
        ClientFileRead::kRead) {
        return;
    }
    ReadSkillGroupBytes(table, reinterpret_cast<const u8*>(bytes.data()), bytes.size());
}

bool SaveSkillGroups(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const std::vector<u8> bytes = SkillGroupFileBytes(TheSkillGroupTable());
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
