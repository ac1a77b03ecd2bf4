#include "tools/content_builder/tutorial_slides.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "client/data/fonts.h"
#include "tools/content_builder/client_files.h"
#include "tools/content_builder/skill_names.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

u16 Rgb5(int r, int g, int b) {
    return static_cast<u16>(r << 10 | g << 5 | b);
}

void Fill(std::vector<u16>& p, int x0, int y0, int x1, int y1, u16 colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            p[static_cast<size_t>(y) * kWidth + x] = colour;
}

void Frame(std::vector<u16>& p, int x0, int y0, int x1, int y1, u16 colour) {
    Fill(p, x0, y0, x1, y0 + 2, colour);
    Fill(p, x0, y1 - 2, x1, y1, colour);
    Fill(p, x0, y0, x0 + 2, y1, colour);
    Fill(p, x1 - 2, y0, x1, y1, colour);
}

void Text(CFontTable& fonts, std::vector<u16>& p, int font, int x, int y, const std::string& text,
          bool centred) {
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(font, text, w, h, baseline);
    const TextTarget target{p.data(), kWidth, kHeight};
    fonts.DrawText(centred ? x - w / 2 : x, y + baseline, font, 0, text.c_str(), target,
                   ClipRect{0, 0, kWidth, kHeight});
}

std::vector<u8> Slide(CFontTable& fonts, const std::string& title,
                      const std::vector<std::string>& lines, int tint) {
    std::vector<u16> p(static_cast<size_t>(kWidth) * kHeight);
    // A dusk gradient, one colour a row, tinted per slide.
    for (int y = 0; y < kHeight; ++y) {
        const int v = y * 10 / kHeight;
        Fill(p, 0, y, kWidth, y + 1, Rgb5(2 + v / 2 + tint % 3, 3 + v / 2, 6 + v + tint % 4));
    }
    Fill(p, 60, 60, 580, 380, Rgb5(4, 4, 6));
    Frame(p, 60, 60, 580, 380, Rgb5(20, 18, 10));
    Text(fonts, p, 9, kWidth / 2, 80, title, true);
    int y = 140;
    for (const std::string& line : lines) {
        Text(fonts, p, 3, 90, y, line, false);
        y += 26;
    }
    // The slide show's hot areas: previous, next, finish.
    const struct {
        int x0, y0, x1, y1;
        const char* label;
    } areas[] = {
        {538, 405, 582, 440, "<"}, {590, 405, 634, 440, ">"}, {539, 446, 633, 471, "Finish"}};
    for (const auto& a : areas) {
        Fill(p, a.x0, a.y0, a.x1, a.y1, Rgb5(12, 10, 6));
        Frame(p, a.x0, a.y0, a.x1, a.y1, Rgb5(24, 20, 10));
        Text(fonts, p, 2, (a.x0 + a.x1) / 2, (a.y0 + a.y1) / 2 - 8, a.label, true);
    }
    return EncodeTgaRle(p, kWidth, kHeight);
}

void PutPixel(std::vector<u8>& out, u16 pixel) {
    // Each five-bit channel widened to eight bits, blue first.
    out.push_back(static_cast<u8>((pixel & 0x1F) << 3));
    out.push_back(static_cast<u8>(((pixel >> 5) & 0x1F) << 3));
    out.push_back(static_cast<u8>(((pixel >> 10) & 0x1F) << 3));
}

}  // namespace

std::vector<u8> EncodeTgaRle(const std::vector<u16>& pixels, int width, int height) {
    std::vector<u8> out(18, 0);
    out[2] = 10;  // run-length true colour
    out[12] = static_cast<u8>(width);
    out[13] = static_cast<u8>(width >> 8);
    out[14] = static_cast<u8>(height);
    out[15] = static_cast<u8>(height >> 8);
    out[16] = 24;
    for (int y = height - 1; y >= 0; --y) {
        const u16* row = pixels.data() + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            int run = 1;
            while (x + run < width && run < 128 && row[x + run] == row[x])
                ++run;
            if (run > 1) {
                out.push_back(static_cast<u8>(0x80 | (run - 1)));
                PutPixel(out, row[x]);
                x += run;
                continue;
            }
            // Literal pixels up to the next pair of equal ones.
            int count = 1;
            while (x + count < width && count < 128 &&
                   !(x + count + 1 < width && row[x + count] == row[x + count + 1]))
                ++count;
            out.push_back(static_cast<u8>(count - 1));
            for (int i = 0; i < count; ++i)
                PutPixel(out, row[x + i]);
            x += count;
        }
    }
    return out;
}

std::map<std::string, std::vector<u8>> BuildTutorialSlides(const std::vector<u8>& fontsMul) {
    CFontTable fonts;
    fonts.LoadBytes(fontsMul.data(), fontsMul.size());
    std::map<std::string, std::vector<u8>> files;
    const struct {
        const char* title;
        std::vector<std::string> lines;
    } general[6] = {
        {"Welcome to Sorvenmar",
         {"A short look at the world before you enter it.",
          "Use the arrows below to move between the pictures,",
          "or Finish to make your character at once."}},
        {"Moving About",
         {"Hold the right mouse button where you want to walk.",
          "The farther the pointer, the faster you go."}},
        {"Speaking", {"Type to speak; Enter sends your words to those nearby."}},
        {"Your Belongings",
         {"Double-click your pack to open it.",
          "Drag items between containers and onto your figure."}},
        {"Skills",
         {"Your skills grow as you use them.", "The next pictures show the three you chose."}},
        {"Fighting",
         {"Switch to war mode, then double-click your foe.",
          "Rest to heal; a healer can bind your wounds."}},
    };
    for (int i = 0; i < 6; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "tutorial/%dgen.tga", i + 1);
        files[name] = Slide(fonts, general[i].title, general[i].lines, i);
    }
    const std::vector<DemoSkill>& skills = DemoSkills();
    for (size_t n = 0; n < skills.size(); ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "tutorial/skill%02d.tga", static_cast<int>(n + 1));
        files[name] = Slide(fonts, skills[n].name,
                            {skills[n].usable ? "Use it from your skill list when you need it."
                                              : "It improves as you practise it."},
                            static_cast<int>(n));
    }
    return files;
}

bool WriteTutorialSlides(const std::string& dir, std::string* error) {
    std::ifstream in(dir + "/fonts.mul", std::ios::binary);
    const std::vector<u8> fonts{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
    if (fonts.empty()) {
        if (error) *error = "cannot read " + dir + "/fonts.mul for the tutorial slides";
        return false;
    }
    std::string message;
    if (WriteClientFiles(dir, BuildTutorialSlides(fonts), &message)) return true;
    if (error) *error = message;
    return false;
}
