// Fuzz target: the name table reader over any bytes, as `namestable.dat` comes from the
// data archive, then a draw from every set for every sex byte. A draw answers a name of its
// list or "error".
//
// Input: the name table file's bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/random.h"
#include "platform/types.h"
#include "server/world/object_templates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::SeedRandom(1);
    CTemplateTable table;
    table.LoadNamesText(std::string(reinterpret_cast<const char*>(data), size));
    for (int n = -1; n <= 4097; n += (n < 16 ? 1 : 1021)) {
        const NameSet* set = table.FindNameSet(n);
        for (int sex = 0; sex < 4; ++sex) {
            const std::string name = table.DrawName(n, sex);
            if (name == "error") continue;
            const std::vector<std::string>* list = set ? set->ForSex(sex) : nullptr;
            if (!list || list->empty()) std::abort();
        }
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const char* seed : {"<1>\n<male Bob>\n<female Ann>\n<other It>\n<@@@ END @@@>\n",
                             "<3>\n<Male   Sir Bob >\n<ghost Boo>\n<@@@ END @@@>\n<4096>\n"})
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
