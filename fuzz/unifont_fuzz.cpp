// Fuzz target: the 1-bit Unicode fonts. The input's first 52 bytes give the glyph offsets of
// the units 'A' to 'Z' (16-bit, counted from the end of the offset table, 0 for none); the
// rest is the glyph data after the table. Texts of those units are measured, wrapped and
// drawn.
#include <cstdint>
#include <vector>

#include "client/data/unicode_fonts.h"

namespace {

constexpr size_t kTable = 65536 * 4;
constexpr size_t kLetters = 26;

}  // namespace

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    // Every letter the same 5 x 3 glyph at offset (0, 2), from data offset 1.
    std::vector<u8> seed;
    for (size_t i = 0; i < kLetters; ++i)
        seed.insert(seed.end(), {1, 0});
    seed.insert(seed.end(), {0, 0, 2, 5, 3, 0xF8, 0x88, 0xF8});
    emit(seed.data(), seed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 * kLetters) return 0;
    std::vector<u8> file(kTable, 0);
    file.insert(file.end(), data + 2 * kLetters, data + size);
    for (size_t i = 0; i < kLetters; ++i) {
        const u32 relative = data[2 * i] | data[2 * i + 1] << 8;
        const u32 offset = relative == 0 ? 0 : static_cast<u32>(kTable) + relative - 1;
        for (int b = 0; b < 4; ++b)
            file[4 * (u'A' + i) + b] = static_cast<u8>(offset >> (8 * b));
    }
    ResetUnicodeFonts();
    SetUnicodeFontBytes(0, std::move(file));
    std::vector<u16> pixels(64 * 40, 0);
    const TextTarget target{pixels.data(), 64, 40};
    const WChar* text = u"ABC DEF\nGHIJ KLMNOPQ RSTUVWXYZ";
    int w, h, b;
    UnicodeMeasureText(text, w, h, b);
    UnicodeMeasureWrappedText(text, 30, w, h, b);
    UnicodeLocateChar(12, text, 30, w, h);
    UnicodeDrawText(target, text, -4, -3, 0x7FFF, ClipRect{0, 0, 64, 40});
    UnicodeDrawWrappedTextSelected(target, 30, text, 2, 0, 1, ClipRect{1, 1, 60, 38}, 2, 3, 9);
    ResetUnicodeFonts();
    return 0;
}
