#include "client/data/pixel_format.h"

#include <array>

namespace {

PixelFormat g_format;

}  // namespace

const PixelFormat& CurrentPixelFormat() {
    return g_format;
}

void SetPixelFormat565(bool on) {
    g_format.use565 = on;
}

u16 RgbToPixel16(u8 red, u8 green, u8 blue) {
    return static_cast<u16>((red / 8) << g_format.redShift | (green / 8) << g_format.greenShift |
                            ((blue >> 3) & 31));
}

u32 Pixel16ToColorRef(u16 pixel) {
    u32 red = (static_cast<u32>(pixel >> g_format.redShift) << 3) & 0xFF;
    u32 green = ((static_cast<u32>(pixel >> g_format.greenShift)) & 31) << 3;
    u32 blue = (static_cast<u32>(pixel) & 31) << 3;
    return red | green << 8 | blue << 16;
}

u16 ColorRefToPixel16(u32 colour) {
    return RgbToPixel16(static_cast<u8>(colour), static_cast<u8>(colour >> 8),
                        static_cast<u8>(colour >> 16));
}

void ConvertWrittenTo565(u16* pixels, const u16* source, int count) {
    for (int i = 0; i < count; ++i)
        if (source[i] != 0) pixels[i] = Convert555To565(pixels[i]);
}

const u16* GreyTable() {
    static const std::array<u16, 32768> table = [] {
        std::array<u16, 32768> t{};
        for (int i = 1; i < 32768; ++i) {
            int r = i >> 10, g = (i >> 5) & 31, b = i & 31;
            int grey = ((536 * r + 104 * g + 160 * b) / 100) >> 3;
            t[i] = static_cast<u16>(grey << 10 | grey << 5 | grey);
        }
        return t;
    }();
    return table.data();
}
