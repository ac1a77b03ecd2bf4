// Fuzz target: TGA images. The first two bytes give the bitmap's size (1-64 each); the rest
// is the file.
#include <cstdint>
#include <vector>

#include "client/data/tga_image.h"
#include "fuzz/client_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzScratchDir();  // the headless back end for "Invalid TGA file."
    if (size < 2) return 0;
    const int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
    std::vector<u16> pixels(static_cast<size_t>(width) * height, 0xBEEF);
    const int ok = DecodeTgaImage(data + 2, size - 2, pixels.data(), width, height);
    if (!ok) {
        for (u16 p : pixels)
            if (p != 0xBEEF) __builtin_trap();  // a failed read leaves the bitmap alone
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (int type : {2, 10}) {
        std::vector<u8> f = {2, 1, 0, 0, static_cast<u8>(type)};
        f.resize(2 + 18, 0);
        f[2 + 12] = 3;
        f[2 + 14] = 2;
        f[2 + 16] = 24;
        if (type == 2) {
            for (int i = 0; i < 6 * 3; ++i)
                f.push_back(static_cast<u8>(i * 40));
        } else {
            f.insert(f.end(), {0x82, 10, 20, 30, 0x01, 1, 2, 3, 4, 5, 6, 0x80, 7, 8, 9});
        }
        f[0] = 2;  // width 3
        f[1] = 1;  // height 2
        emit(f.data(), f.size());
    }
}
