// Fuzz target: fonts.mul and font patches. The input is read as a whole file and as one
// font's glyph records; every font read is then measured, wrapped and drawn.
#include <cstdint>
#include <vector>

#include "client/data/fonts.h"

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    // One font in slot 0: every glyph 2 x 2 with 1 row below the baseline, then empty slots.
    std::vector<u8> seed = {1};
    for (int c = 32; c < 256; ++c) {
        seed.insert(seed.end(), {2, 2, 1});
        for (int p = 0; p < 4; ++p)
            seed.insert(seed.end(), {static_cast<u8>(p == 0 ? 0 : 0x10), 0x42});
    }
    seed.insert(seed.end(), 24, 0);
    emit(seed.data(), seed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFontTable table;
    table.LoadBytes(data, size);
    if (size > 1) table.ReplaceFont(data[0] % 30, data + 1, size - 1);
    std::vector<u16> pixels(64 * 32, 0);
    const TextTarget target{pixels.data(), 64, 32};
    const char* text = "ab c\xE9\xFF de fgh ij";
    for (int font = 0; font < CFontTable::kSlots; ++font) {
        if (!table.HasFont(font)) continue;
        int w, h, b;
        table.MeasureText(font, text, w, h, b);
        table.MeasureWrappedText(font, text, 20, w, h, b, 2);
        table.DrawText(-3, 10, font, 0, text, target, ClipRect{0, 0, 64, 32});
        table.DrawWrappedText(0, -5, font, 0, text, 16, target, ClipRect{2, 2, 60, 30}, 3, 0);
        table.DrawTextEllipsis(0, 20, font, 0, text, target, ClipRect{0, 0, 30, 32});
        table.CharsInBox(font, text, 20, 15, 15);
    }
    return 0;
}
