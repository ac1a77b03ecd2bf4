#include "tools/content_builder/font_and_gump_files.h"

#include <fstream>

#include "client/data/fonts.h"
#include "tools/content_builder/font_files.h"
#include "tools/content_builder/journal_art.h"
#include "tools/content_builder/player_window_art.h"
#include "tools/content_builder/screen_gump_art.h"
#include "tools/content_builder/skill_and_fighting_art.h"

namespace {

using Canvas = GumpCanvas;
constexpr auto Rgb5 = GumpRgb5;

GumpPicture HuePanel() {
    Canvas c(260, 175);
    c.Stone(0, 0, 260, 175, 11, 10, 8);
    c.Bevel(0, 0, 260, 175, 3, false);
    // The swatch grid's well (x 34-193, y 34-113) and the slider's track.
    c.Fill(32, 32, 196, 116, Rgb5(1, 1, 1));
    c.Bevel(31, 31, 197, 117, 1, true);
    c.Fill(38, 148, 198, 152, Rgb5(3, 3, 3));
    c.Bevel(37, 147, 199, 153, 1, true);
    return c.picture;
}

GumpPicture Button(CFontTable& fonts, const char* label, int state) {
    Canvas c(46, 22);
    const int tone = state == 2 ? 14 : 12;  // hover is lighter
    c.Stone(0, 0, 46, 22, tone, tone - 1, tone - 3);
    c.Bevel(0, 0, 46, 22, 2, state == 1);
    const int font = 2;
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(font, label, w, h, baseline);
    const int shift = state == 1 ? 1 : 0;  // a pressed label sinks by a pixel
    const TextTarget target{c.picture.pixels.data(), c.picture.width, c.picture.height};
    fonts.DrawText((46 - w) / 2 + shift, (22 - h) / 2 + baseline + shift, font, 0, label, target,
                   ClipRect{0, 0, 46, 22});
    return c.picture;
}

GumpPicture Thumb(bool pressed) {
    Canvas c(12, 16);
    c.Stone(0, 0, 12, 16, pressed ? 16 : 13, pressed ? 15 : 12, pressed ? 12 : 9);
    c.Bevel(0, 0, 12, 16, 1, pressed);
    // Corners stay see-through.
    c.At(0, 0) = c.At(11, 0) = c.At(0, 15) = c.At(11, 15) = 0;
    return c.picture;
}

}  // namespace

void AddFixtureGumpArt(GumpArtWriter& writer, const std::vector<u8>& fontsMul) {
    CFontTable fonts;
    fonts.LoadBytes(fontsMul.data(), fontsMul.size());
    writer.Add(kGumpHuePanel, HuePanel());
    writer.Add(kGumpOkButton, Button(fonts, "OK", 0));
    writer.Add(kGumpOkButtonPressed, Button(fonts, "OK", 1));
    writer.Add(kGumpOkButtonHover, Button(fonts, "OK", 2));
    writer.Add(kGumpThumb, Thumb(false));
    writer.Add(kGumpThumbPressed, Thumb(true));
}

bool BuildFontAndGumpFiles(std::map<std::string, std::vector<u8>>& files, std::string* error) {
    files.clear();
    if (!BuildFontsMul(files["fonts.mul"], error)) return false;
    const char* const unicodeNames[3] = {"unifont.mul", "unifont1.mul", "unifont2.mul"};
    for (int i = 0; i < 3; ++i)
        if (!BuildUnicodeFont(i, files[unicodeNames[i]], error)) return false;
    GumpArtWriter gumps;
    AddFixtureGumpArt(gumps, files["fonts.mul"]);
    CFontTable fonts;
    fonts.LoadBytes(files["fonts.mul"].data(), files["fonts.mul"].size());
    AddScreenGumpArt(gumps, fonts);
    AddSkillFightingDeathArt(gumps, fonts);
    AddPlayerWindowArt(gumps, fonts);
    AddJournalArt(gumps, fonts);
    if (!gumps.Duplicates().empty()) {
        if (error)
            *error = "gump art " + std::to_string(gumps.Duplicates().front()) +
                     " is painted by two builders";
        return false;
    }
    files["gumpidx.mul"] = gumps.IndexBytes();
    files["gumpart.mul"] = gumps.DataBytes();
    return true;
}

bool WriteFontAndGumpFiles(const std::string& dir, std::string* error) {
    std::map<std::string, std::vector<u8>> files;
    if (!BuildFontAndGumpFiles(files, error)) return false;
    for (const auto& [name, bytes] : files) {
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            if (error) *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
