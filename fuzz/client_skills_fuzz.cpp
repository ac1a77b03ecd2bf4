// Fuzz target: the client's skill table read from the skills pair (skills.idx / skills.mul).
// Whatever the records hold, the table keeps at most 50 skills, each in the slot of its
// number, with names of at most 79 characters, and the sorted order is every skill once in
// byte order.
//
// Input: the records of skill numbers 0, 1, ... in turn: a length byte (255: no record) and
// that many bytes.
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "client/data/client_skill_table.h"
#include "tools/content_builder/skill_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::map<int, std::vector<u8>> records;
    size_t at = 0;
    for (int id = 0; at < size && id < 60; ++id) {
        const size_t length = data[at++];
        if (length == 255) continue;
        const size_t take = length < size - at ? length : size - at;
        records[id].assign(data + at, data + at + take);
        at += take;
    }
    const SkillRecordReader previous =
        SetSkillRecordReader([&records](int id, std::vector<u8>& out) {
            auto it = records.find(id);
            if (it == records.end()) return false;
            out = it->second;
            return true;
        });
    LoadSkillTable();
    SetSkillRecordReader(previous);
    const ClientSkillTable& t = TheClientSkillTable();
    if (t.count < 0 || t.count > ClientSkillTable::kSlots) __builtin_trap();
    bool seen[ClientSkillTable::kSlots] = {};
    for (int p = 0; p < t.count; ++p) {
        const int n = t.sorted[p];
        if (n >= t.count || seen[n]) __builtin_trap();
        seen[n] = true;
        if (std::strlen(t.names[n]) > 79) __builtin_trap();
        if (p > 0 && std::strcmp(t.names[t.sorted[p - 1]], t.names[n]) > 0) __builtin_trap();
        auto it = records.find(n);
        const bool present = it != records.end() && !it->second.empty();
        if (present ? t.flags[n] != it->second[0] : (t.flags[n] != 0 || t.names[n][0] != 0))
            __builtin_trap();
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u8> seed;
    for (const IndexedRecord& r : BuildDemoSkillRecords()) {
        seed.push_back(static_cast<u8>(r.bytes.size()));
        seed.insert(seed.end(), r.bytes.begin(), r.bytes.end());
    }
    emit(seed.data(), seed.size());
    // A gap: skill 1 has no record.
    std::vector<u8> gap = {4, 1, 'A', 'b', 'c', 255, 3, 0, 'a', 'b'};
    emit(gap.data(), gap.size());
}
