// Fuzz target: the skill file reader (`skills.txt`): header, blocks, names, curves. Whatever
// it reads must be whole records within the table's 50 slots, with bounded texts and curves
// that give finite values.
//
// Input: the file's text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "server/world/skill_table.h"
#include "tools/content_builder/mobile_content.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CSkillTable table;
    const int count = table.LoadFromText(std::string(data, data + size));
    Check(count >= 0 && count <= kSkillSlots);
    Check(table.GetCount() == count);
    for (int i = 0; i < count; ++i) {
        const SkillRecord* r = table.GetSkill(i);
        Check(r != nullptr && r->defined == 1);
        Check(std::strlen(r->name) <= static_cast<size_t>(kSkillTextMax));
        Check(std::strlen(r->script) <= static_cast<size_t>(kSkillTextMax));
        for (double x : {0.0, 500.0, 1000.0})
            Check(std::isfinite(r->curve.Value(x)));
        table.CountUse(i);
    }
    Check(!table.IsValidSkill(count));
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string text = DemoSkillsText();
    emit(reinterpret_cast<const u8*>(text.data()), text.size());
    const std::string head = text.substr(0, 400);
    emit(reinterpret_cast<const u8*>(head.data()), head.size());
}
