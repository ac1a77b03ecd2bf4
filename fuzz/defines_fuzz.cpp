// Fuzz target: the defines reader over any bytes, then the expansion of values through the
// defines read. Every define read must be found again under its name in any case, and an
// expansion answers 0 or 1.
//
// Input: the `defines` file's bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/types.h"
#include "server/world/object_templates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CTemplateTable table;
    table.LoadDefinesText(text);
    std::string out;
    for (const char* value : {"a b c", "\"quoted phrase\" a", "hits", text.c_str()}) {
        const int answer = table.ExpandDefines(value, out);
        if (answer != 0 && answer != 1) std::abort();
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const char* seed : {"hits 50 60\nHITS 1 2\n", "a b\nb a\n", "x\n\n y\tz\n"})
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
