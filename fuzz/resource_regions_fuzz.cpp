// Fuzz target: the resource-region reader (`resregions.txt`: pairs of "Region Name: %s" and
// "Region Rect: %d %d %d %d" lines) over a world area chosen by the input. Every region it
// keeps must be a non-empty rectangle inside the world.
//
// Input: the world corner and size as four 16-bit values (the size at least 1), then the
// text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "world_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    // Corners anywhere a Location reaches, sizes up to 64K tiles.
    const int x0 = static_cast<s16>(LoadLe16(data));
    const int y0 = static_cast<s16>(LoadLe16(data + 2));
    const int width = 1 + LoadLe16(data + 4);
    const int height = 1 + LoadLe16(data + 6);
    const std::string text(data + 8, data + size);
    const std::vector<ResourceRegion> regions = LoadResourceRegions(text, x0, y0, width, height);
    for (const ResourceRegion& r : regions) {
        if (r.left < x0 || r.top < y0 || r.right > x0 + width || r.bottom > y0 + height ||
            r.left >= r.right || r.top >= r.bottom || r.name.empty() || r.name.size() > 511) {
            std::abort();
        }
    }
    return 0;
}

// The demo world's regions as the content builder writes them, and a few odd forms.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    auto seed = [&](int x0, int y0, int width, int height, const std::string& text) {
        std::vector<u8> input;
        AppendLe16(input, static_cast<u16>(x0));
        AppendLe16(input, static_cast<u16>(y0));
        AppendLe16(input, static_cast<u16>(width - 1));
        AppendLe16(input, static_cast<u16>(height - 1));
        input.insert(input.end(), text.begin(), text.end());
        emit(input.data(), input.size());
    };
    const std::string& demo = world_fuzz::Demo().resourceRegions;
    seed(0, 0, world_fuzz::DemoFiles::kSide, world_fuzz::DemoFiles::kSide, demo);
    seed(100, 60, 64, 64, demo);  // most regions clipped or dropped
    seed(0, 0, 1024, 1024,
         "Region Name: Lake\r\nRegion Rect: -5 -5 2000000000 7\nRegion Name: X\n"
         "Region Rect: 9\nRegion Name: " +
             std::string(600, 'n') + "\nRegion Rect: 1 2 3 4\n");
}
