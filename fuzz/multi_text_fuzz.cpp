// Fuzz target: the multi definition reader over any bytes, as `multi.txt` comes from the data
// archive. Every script word stays within a line, the extents hold every offset, the writer's
// text reads again, and the client's index stays 4096 entries.
//
// Input: the multi.txt bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/types.h"
#include "server/world/multi_table.h"
#include "tools/content_builder/multi_content.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMultiTable table;
    table.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [type, def] : table.All()) {
        for (const MultiComponentEntry& e : def.components) {
            for (const std::string& s : e.scripts)
                if (s.empty() || s.size() > static_cast<size_t>(CMultiTable::kMaxLine)) std::abort();
            if (e.offset.x < def.min.x || e.offset.x > def.max.x || e.offset.y < def.min.y ||
                e.offset.y > def.max.y || e.offset.z < def.min.z || e.offset.z > def.max.z)
                std::abort();
        }
    }
    // The writer's text of whatever was read must read again without harm.
    CMultiTable again;
    again.LoadText(FormatMultiText(table.All()));
    std::vector<u8> index, bytes;
    table.BuildMultiFiles(index, bytes);
    if (index.size() != size_t{CMultiTable::kIndexEntries} * CMultiTable::kIndexEntrySize)
        std::abort();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string demo = FormatMultiText(DemoMultiDefinitions());
    emit(reinterpret_cast<const u8*>(demo.data()), demo.size());
    for (const char* seed : {"3\n7\n0\n0\n2\n100 0 0 0 door\n101 1 -2 5\n",
                             "4\n7\n9\n9\n1\n100 0 0 0 1 a b c\n", "6\n7\n0\n99\n100 5\nwall\n"})
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
