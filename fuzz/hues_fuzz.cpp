// Fuzz target: `hues.mul` and the colour lists. The input is a hues image and a colour list
// text, read into one table; the list goes into each list's range in turn.
#include <cstdint>

#include "client/data/hue_table.h"
#include "fuzz/client_fuzz_support.h"
#include "tools/content_builder/client_files.h"
#include "tools/content_builder/tile_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = FuzzSplit(data, size, 2);
    static HueTable table;
    ReadHuesImage(table, parts[0].data(), parts[0].size());
    const std::string text(parts[1].begin(), parts[1].end());
    table.skinColours.clear();
    for (const ColourListInfo& list : ColourLists()) {
        HueGroups groups;
        const int filled = ReadColourList(table, list, text, &groups);
        if (filled < 0 || filled > kClientHueCount) __builtin_trap();
    }
    volatile int nearest = FindNearestHue(table, static_cast<u32>(size * 2654435761u) & 0xFFFFFF);
    (void)nearest;
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u8> hues = WriteHuesFile(DemoHues());
    hues.resize(4 + 8 * 88 * 3);  // three blocks keep the seed small
    const std::string skin = WriteColourList(DemoSkinColours());
    const std::vector<u8> seed = FuzzJoin({hues, std::vector<u8>(skin.begin(), skin.end())});
    emit(seed.data(), seed.size());
}
