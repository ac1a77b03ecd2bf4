// The tutorial slides the content builder writes: six general pictures and one per skill, all
// 640 x 480 run-length TGA pictures the client's reader takes, the same bytes on every build.
#include "tools/content_builder/tutorial_slides.h"

#include <gtest/gtest.h>

#include <vector>

#include "client/data/tga_image.h"
#include "tests/tools/content_builder/built_font_and_gump_files.h"
#include "tools/content_builder/skill_names.h"

namespace {

TEST(TutorialSlides, EncodedPicturesReadBackPixelForPixel) {
    // Runs, single pixels, a run of exactly 128 and one past it, black, and every channel.
    const int w = 300, h = 3;
    std::vector<u16> p(static_cast<size_t>(w) * h);
    for (int x = 0; x < w; ++x) {
        p[static_cast<size_t>(x)] = x < 128 ? 0x7C00 : (x < 257 ? 0x03E0 : static_cast<u16>(x));
        p[static_cast<size_t>(w + x)] = static_cast<u16>((x * 97) & 0x7FFF);
        p[static_cast<size_t>(2 * w + x)] = x % 2 == 0 ? 0x001F : 0x0421;
    }
    p[5] = 0;  // black reads back as the darkest grey, 0x0421
    const std::vector<u8> tga = EncodeTgaRle(p, w, h);
    std::vector<u16> back(p.size(), 0xFFFF);
    ASSERT_EQ(DecodeTgaImage(tga.data(), tga.size(), back.data(), w, h), 1);
    for (size_t i = 0; i < p.size(); ++i)
        ASSERT_EQ(back[i], p[i] == 0 ? 0x0421 : p[i]) << i;
}

TEST(TutorialSlides, EverySlideIsAFullScreenPictureTheClientReads) {
    const auto slides = BuildTutorialSlides(BuiltFontAndGumpFiles().at("fonts.mul"));
    EXPECT_EQ(slides.size(), 6 + DemoSkills().size());
    ASSERT_TRUE(slides.count("tutorial/1gen.tga"));
    ASSERT_TRUE(slides.count("tutorial/6gen.tga"));
    ASSERT_TRUE(slides.count("tutorial/skill01.tga"));
    size_t total = 0;
    for (const auto& [name, bytes] : slides) {
        SCOPED_TRACE(name);
        std::vector<u16> pixels(640 * 480, 0);
        EXPECT_EQ(DecodeTgaImage(bytes.data(), bytes.size(), pixels.data(), 640, 480), 1);
        total += bytes.size();
    }
    // Run-length coding keeps the whole set small.
    EXPECT_LT(total, 8u << 20);
    EXPECT_TRUE(BuildTutorialSlides(BuiltFontAndGumpFiles().at("fonts.mul")) == slides);
}

}  // namespace
