#pragma once
// Golden frames: pixel-exact PNGs under tests/golden/. A frame is compared with its golden
// picture; on a difference the actual frame and a diff picture (differing pixels in red over
// a dimmed copy of the golden) are written beside the test's scratch files and named in the
// failure. Run the tests with ZQ_UPDATE_GOLDEN=1 to write the goldens anew on purpose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "platform/types.h"

// Compares with <dir>/<name>.png.
inline ::testing::AssertionResult MatchesGoldenIn(const std::string& dir, const std::string& name,
                                                  const u16* pixels, int width, int height) {
    const std::string golden = dir + "/" + name + ".png";
    const char* update = std::getenv("ZQ_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        if (!platform::WriteFramePng(golden, pixels, width, height, false))
            return ::testing::AssertionFailure() << "cannot write " << golden;
        return ::testing::AssertionSuccess();
    }
    std::vector<u16> expected;
    int w = 0, h = 0;
    const bool read = platform::ReadFramePng(golden, expected, w, h);
    size_t differing = 0;
    std::vector<u16> diff(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            const bool inside = read && x < w && y < h;
            const u16 want = inside ? expected[static_cast<size_t>(y) * w + x] : 0;
            if (!inside || want != (pixels[i] & 0x7FFF)) {
                ++differing;
                diff[i] = 0x7C00;
            } else {
                diff[i] = static_cast<u16>((want & 0x7BDE) >> 1);
            }
        }
    if (read && w == width && h == height && differing == 0) return ::testing::AssertionSuccess();
    const char* tmp = std::getenv("TEST_TMPDIR");
    const std::string base = std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name;
    platform::WriteFramePng(base + ".actual.png", pixels, width, height, false);
    platform::WriteFramePng(base + ".diff.png", diff.data(), width, height, false);
    auto failure = ::testing::AssertionFailure();
    if (!read)
        failure << "no golden " << golden << " (ZQ_UPDATE_GOLDEN=1 writes it)";
    else
        failure << golden << ": " << w << "x" << h << " golden, " << width << "x" << height
                << " frame, " << differing << " pixels differ";
    return failure << "; actual frame " << base << ".actual.png, diff " << base << ".diff.png";
}

// Compares with tests/golden/<name>.png.
inline ::testing::AssertionResult MatchesGolden(const std::string& name, const u16* pixels,
                                                int width, int height) {
    return MatchesGoldenIn(std::string(ZQ_SOURCE_DIR) + "/tests/golden", name, pixels, width,
                           height);
}

// A 565 frame compared as the 555 picture it shows: the lowest green bit must be clear (the
// world view's 565 pixels are converted 555 ones), the other bits move down into 555.
inline ::testing::AssertionResult MatchesGolden565(const std::string& name, const u16* pixels,
                                                   int width, int height) {
    std::vector<u16> as555(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < as555.size(); ++i) {
        if (pixels[i] & 0x20)
            return ::testing::AssertionFailure()
                   << name << ": pixel " << i << " has its lowest green bit set";
        as555[i] = static_cast<u16>((pixels[i] >> 11) << 10 | ((pixels[i] >> 6) & 31) << 5 |
                                    (pixels[i] & 31));
    }
    return MatchesGolden(name, as555.data(), width, height);
}
