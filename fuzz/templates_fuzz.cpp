// Fuzz target: the object template reader over any bytes, as `templatestable.dat` comes
// from the data archive, then the hue and graphic specs of every stored value. No template
// may hold more than 512 entries, and every stored entry has a known key code.
//
// Input: the table file's bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/random.h"
#include "platform/types.h"
#include "server/world/object_templates.h"
#include "server/world/template_creation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::SeedRandom(1);
    CTemplateTable table;
    table.LoadTemplatesText(std::string(reinterpret_cast<const char*>(data), size));
    for (int n : table.TemplateNumbers()) {
        const ObjectTemplate* t = table.Find(n);
        if (!t || t->entries.size() > static_cast<size_t>(kMaxTemplateEntries)) std::abort();
        for (const TemplateEntry& e : t->entries) {
            if (e.code < 0 || e.code > kKeyRealName) std::abort();
            const char* p = e.value.c_str();
            ParseHueSpec(p, -1, n);
            p = e.value.c_str();
            PickGraphicSpec(p);
        }
        table.GetTemplateGraphic(n);
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const char* seeds[] = {
        "<1>#A guard\n<type guard 400>\n<hue { 2 2 1 { 3 3 1 } 1 }>\n<region { a 1 b 2 }>\n"
        "<@@@ END @@@>\n",
        "<2>\n<type item { 100 1 101 2 }>\n<eq 5068 match_hair 2d3 wear label x>\n"
        "<resource food 1 2 meat>\n<@@@ END @@@>\n<4096>\n<type none 0>\n<@@@ END @@@>\n",
        "<3>\n<type normal 400>\n<hp 2000000000d6 1>\n<corpsename \"old bones\">\n",
    };
    for (const char* seed : seeds)
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
