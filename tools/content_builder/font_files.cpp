#include "tools/content_builder/font_files.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

namespace {

struct FaceSpec {
    const char* file;
    int pixelSize;
    // 5-bit fill colour; all three equal makes a grey font.
    int red, green, blue;
};

// Slots 0-9 of fonts.mul.
constexpr FaceSpec kFonts[kBuiltFonts] = {
    {"DejaVuSans-Bold.ttf", 15, 31, 31, 31},   // 0 titles (grey)
    {"DejaVuSerif.ttf", 13, 29, 29, 29},       // 1 (grey)
    {"DejaVuSans.ttf", 11, 30, 30, 30},        // 2 small labels (grey)
    {"DejaVuSans.ttf", 13, 31, 31, 31},        // 3 speech and lists (grey)
    {"DejaVuSerif-Bold.ttf", 14, 30, 24, 8},   // 4 gold
    {"DejaVuSans-Bold.ttf", 12, 12, 20, 31},   // 5 blue
    {"DejaVuSerif.ttf", 12, 24, 8, 6},         // 6 dark red
    {"DejaVuSansMono.ttf", 12, 28, 28, 28},    // 7 fixed width (grey)
    {"DejaVuSans-Bold.ttf", 10, 10, 26, 10},   // 8 green
    {"DejaVuSerif-Bold.ttf", 18, 31, 28, 18},  // 9 large pale gold
};

// The three Unicode fonts.
constexpr FaceSpec kUnicodeFaces[3] = {
    {"DejaVuSans.ttf", 12, 0, 0, 0},
    {"DejaVuSans-Bold.ttf", 12, 0, 0, 0},
    {"DejaVuSerif.ttf", 12, 0, 0, 0},
};

// Characters 0x80-0x9F of the 8-bit fonts take the Western code page's symbols; 0 for the
// five unassigned codes (no glyph).
constexpr u16 kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr u16 kOutline = 0x0421;   // (1, 1, 1): the dark rim around every stroke
constexpr int kInkThreshold = 96;  // coverage from which a pixel is ink

class FreeType {
public:
    FreeType() { ok_ = FT_Init_FreeType(&library_) == 0; }
    ~FreeType() {
        if (face_) FT_Done_Face(face_);
        if (ok_) FT_Done_FreeType(library_);
    }
    FreeType(const FreeType&) = delete;
    FreeType& operator=(const FreeType&) = delete;

    bool Open(const FaceSpec& spec, std::string* error) {
        if (face_) FT_Done_Face(face_);
        face_ = nullptr;
        const std::string path = DejaVuDirectory() + "/" + spec.file;
        if (!ok_ || FT_New_Face(library_, path.c_str(), 0, &face_) != 0 ||
            FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(spec.pixelSize)) != 0) {
            if (error) *error = "cannot read the font face " + path;
            face_ = nullptr;
            return false;
        }
        return true;
    }
    FT_Face Face() const { return face_; }
    // Renders a character; null when the face has no glyph for it.
    FT_GlyphSlot Render(u32 code, bool mono) {
        const FT_UInt index = FT_Get_Char_Index(face_, code);
        if (index == 0) return nullptr;
        const FT_Int32 flags = mono ? FT_LOAD_RENDER | FT_LOAD_TARGET_MONO : FT_LOAD_RENDER;
        if (FT_Load_Glyph(face_, index, flags) != 0) return nullptr;
        if (mono && face_->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO &&
            FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO) != 0)
            return nullptr;
        return face_->glyph;
    }

private:
    bool ok_ = false;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

int Ceil26(FT_Pos v) {
    return static_cast<int>((v + 63) >> 6);
}

// One glyph record of fonts.mul for a character: {width, height, descent} and the pixels.
// Every glyph of a font has the font's full height, so that lines line up; the ink sits in
// a one-pixel rim of kOutline.
FontGlyphRecord RenderGlyph(FreeType& ft, const FaceSpec& spec, int c) {
    const FT_Face face = ft.Face();
    const int ascent = Ceil26(face->size->metrics.ascender);
    const int descent = Ceil26(-face->size->metrics.descender);
    const int height = ascent + descent + 2;
    const u32 code = c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : static_cast<u32>(c);
    FT_GlyphSlot slot = code != 0 ? ft.Render(code, false) : nullptr;
    FontGlyphRecord glyph;
    if (slot == nullptr) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int left = std::max(0, 1 + slot->bitmap_left);
    const int advance = Ceil26(slot->advance.x);
    const int width =
        std::clamp(std::max(advance, left + static_cast<int>(bitmap.width) + 1), 1, 255);
    // Coverage laid into the cell: the glyph's baseline row is `ascent`.
    std::vector<int> cover(static_cast<size_t>(width) * height, 0);
    for (int r = 0; r < static_cast<int>(bitmap.rows); ++r) {
        const int y = ascent + 1 - slot->bitmap_top + r;
        if (y < 0 || y >= height) continue;
        for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
            const int x = left + col;
            if (x < width)
                cover[static_cast<size_t>(y) * width + x] = bitmap.buffer[r * bitmap.pitch + col];
        }
    }
    auto ink = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               cover[static_cast<size_t>(y) * width + x] >= kInkThreshold;
    };
    glyph.width = width;
    glyph.height = height;
    glyph.descent = descent + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            u16 pixel = 0;
            const int cv = cover[static_cast<size_t>(y) * width + x];
            if (cv >= kInkThreshold) {
                // Brighter with more coverage; never 0 in a channel of a lit pixel.
                auto shade = [&](int channel) { return std::max(1, channel * (cv + 160) / 415); };
                pixel = static_cast<u16>(shade(spec.red) << 10 | shade(spec.green) << 5 |
                                         shade(spec.blue));
            } else {
                for (int dy = -1; dy <= 1 && pixel == 0; ++dy)
                    for (int dx = -1; dx <= 1 && pixel == 0; ++dx)
                        if (ink(x + dx, y + dy)) pixel = kOutline;
            }
            glyph.pixels.push_back(pixel);
        }
    }
    return glyph;
}

bool BuildFontGlyphs(FreeType& ft, int slot, std::vector<FontGlyphRecord>& glyphs,
                     std::string* error) {
    glyphs.clear();
    if (!ft.Open(kFonts[slot], error)) return false;
    for (int c = 32; c < 256; ++c)
        glyphs.push_back(RenderGlyph(ft, kFonts[slot], c));
    return true;
}

}  // namespace

void AppendEmptyFontSlot(std::vector<u8>& out) {
    out.push_back(0);
}

void AppendFont(std::vector<u8>& out, const std::vector<FontGlyphRecord>& glyphs) {
    out.push_back(1);
    for (size_t i = 0; i < 224; ++i) {
        if (i >= glyphs.size()) {
            out.insert(out.end(), {0, 0, 0});
            continue;
        }
        const FontGlyphRecord& g = glyphs[i];
        out.push_back(static_cast<u8>(g.width));
        out.push_back(static_cast<u8>(g.height));
        out.push_back(static_cast<u8>(g.descent));
        for (size_t p = 0; p < static_cast<size_t>(g.width) * g.height; ++p) {
            const u16 pixel = p < g.pixels.size() ? g.pixels[p] : 0;
            out.push_back(static_cast<u8>(pixel));
            out.push_back(static_cast<u8>(pixel >> 8));
        }
    }
}

UnicodeFontWriter::UnicodeFontWriter() : bytes_(65536 * 4, 0) {}

void UnicodeFontWriter::Add(u16 unit, int xOffset, int yOffset, int width, int height,
                            const u8* rows) {
    const u32 offset = static_cast<u32>(bytes_.size());
    for (int i = 0; i < 4; ++i)
        bytes_[4 * size_t{unit} + i] = static_cast<u8>(offset >> (8 * i));
    bytes_.push_back(static_cast<u8>(static_cast<s8>(xOffset)));
    bytes_.push_back(static_cast<u8>(static_cast<s8>(yOffset)));
    bytes_.push_back(static_cast<u8>(width));
    bytes_.push_back(static_cast<u8>(height));
    bytes_.insert(bytes_.end(), rows, rows + static_cast<size_t>((width + 7) / 8) * height);
}

std::string DejaVuDirectory() {
    return "/usr/share/fonts/truetype/dejavu";
}

bool BuildFontsMul(std::vector<u8>& out, std::string* error) {
    out.clear();
    FreeType ft;
    for (int slot = 0; slot < 25; ++slot) {
        if (slot >= kBuiltFonts) {
            AppendEmptyFontSlot(out);
            continue;
        }
        std::vector<FontGlyphRecord> glyphs;
        if (!BuildFontGlyphs(ft, slot, glyphs, error)) return false;
        AppendFont(out, glyphs);
    }
    return true;
}

bool BuildFontGlyphs(int slot, std::vector<FontGlyphRecord>& glyphs, std::string* error) {
    FreeType ft;
    return BuildFontGlyphs(ft, slot, glyphs, error);
}

bool BuildUnicodeFont(int font, std::vector<u8>& out, std::string* error) {
    out.clear();
    if (font < 0 || font > 2) {
        if (error) *error = "no Unicode font " + std::to_string(font);
        return false;
    }
    FreeType ft;
    if (!ft.Open(kUnicodeFaces[font], error)) return false;
    const int ascent = Ceil26(ft.Face()->size->metrics.ascender);
    UnicodeFontWriter writer;
    std::vector<u8> rows;
    // Every unit of the face in the 16-bit range, less controls and the space (which has no
    // glyph: it advances by the space width).
    FT_UInt index = 0;
    for (FT_ULong code = FT_Get_First_Char(ft.Face(), &index); index != 0 && code < 0x10000;
         code = FT_Get_Next_Char(ft.Face(), code, &index)) {
        if (code <= 0x20 || (code >= 0x7F && code < 0xA0)) continue;
        FT_GlyphSlot slot = ft.Render(static_cast<u32>(code), true);
        if (slot == nullptr) continue;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int width = std::min(static_cast<int>(bitmap.width), 255);
        const int height = std::min(static_cast<int>(bitmap.rows), 255);
        const int rowBytes = (width + 7) / 8;
        rows.clear();
        for (int r = 0; r < height; ++r)
            for (int b = 0; b < rowBytes; ++b)
                rows.push_back(bitmap.buffer[r * bitmap.pitch + b]);
        writer.Add(static_cast<u16>(code), std::clamp(slot->bitmap_left, -128, 127),
                   std::clamp(ascent - slot->bitmap_top, -128, 127), width, height, rows.data());
    }
    out = writer.Bytes();
    return true;
}
