#include "tools/content_builder/font_and_gump_files.h"

#include <fstream>

#include "client/data/fonts.h"
#include "tools/content_builder/font_files.h"

namespace {

u16 Rgb5(int r, int g, int b) {
    return static_cast<u16>(r << 10 | g << 5 | b);
}

// A small fixed grain so that panels are not flat; the same on every build.
int Grain(int x, int y) {
    u32 h = static_cast<u32>(x) * 73856093u ^ static_cast<u32>(y) * 19349663u;
    h ^= h >> 13;
    return static_cast<int>(h % 3);
}

struct Canvas {
    GumpPicture picture;
    Canvas(int w, int h) {
        picture.width = w;
        picture.height = h;
        picture.pixels.assign(static_cast<size_t>(w) * h, 0);
    }
    u16& At(int x, int y) { return picture.pixels[static_cast<size_t>(y) * picture.width + x]; }
    void Fill(int x0, int y0, int x1, int y1, u16 colour) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                At(x, y) = colour;
    }
    // A raised (or, with `sunken`, pressed-in) frame of the given thickness.
    void Bevel(int x0, int y0, int x1, int y1, int thickness, bool sunken) {
        const u16 light = Rgb5(22, 21, 18), dark = Rgb5(4, 4, 3);
        for (int t = 0; t < thickness; ++t) {
            const u16 topLeft = sunken ? dark : light, bottomRight = sunken ? light : dark;
            for (int x = x0 + t; x < x1 - t; ++x) {
                At(x, y0 + t) = topLeft;
                At(x, y1 - 1 - t) = bottomRight;
            }
            for (int y = y0 + t; y < y1 - t; ++y) {
                At(x0 + t, y) = topLeft;
                At(x1 - 1 - t, y) = bottomRight;
            }
        }
    }
    void Stone(int x0, int y0, int x1, int y1, int r, int g, int b) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const int n = Grain(x, y);
                At(x, y) = Rgb5(r + n, g + n, b + n);
            }
    }
};

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
