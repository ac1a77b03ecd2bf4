#include "client/data/fonts.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "client/data/client_file_read.h"
#include "client/data/client_log.h"
#include "client/data/message_box.h"
#include "client/data/pixel_format.h"
#include "client/data/text_services.h"
#include "core/byte_order.h"

namespace {

// 25 fonts of 224 glyphs of a few hundred pixels each: a few megabytes at the most.
constexpr size_t kMaxFontFileBytes = 32u << 20;

// Fonts 0-3 and 7 are hued only in their grey pixels.
constexpr u32 kGreyOnlyHue[] = {1, 1, 1, 1, 0, 0, 0, 1, 0};

}  // namespace

std::unique_ptr<CFont> ParseFont(const u8* data, size_t size, size_t& at) {
    auto font = std::make_unique<CFont>();
    for (FontGlyph& glyph : font->glyphs) {
        if (size - at < 3) return nullptr;
        glyph.width = data[at];
        glyph.height = data[at + 1];
        glyph.descent = data[at + 2];
        at += 3;
        const size_t pixels = static_cast<size_t>(glyph.width) * glyph.height;
        if ((size - at) / 2 < pixels) return nullptr;
        glyph.pixels.resize(pixels);
        for (size_t i = 0; i < pixels; ++i)
            glyph.pixels[i] = LoadLe16(data + at + 2 * i);
        at += 2 * pixels;
    }
    return font;
}

CFontTable& GetFontTable() {
    static CFontTable table;
    return table;
}

void CFontTable::Clear() {
    for (auto& font : fonts_)
        font.reset();
}

bool CFontTable::Load(const std::string& path) {
    Clear();
    std::string bytes;
    if (ReadClientFile(path, kMaxFontFileBytes, false, bytes, "no font is loaded") !=
        ClientFileRead::kRead) {
        ShowMessageBox("Missing Font!", "Error", false);
        return false;
    }
    if (!LoadBytes(reinterpret_cast<const u8*>(bytes.data()), bytes.size())) {
        ReportDamagedClientFile(path, "ends inside a font",
                                "that font and those after it are missing");
        LogClientError("fonts", ("fonts.mul ends inside a font: " + path).c_str());
        return false;
    }
    return true;
}

bool CFontTable::LoadBytes(const u8* data, size_t size) {
    Clear();
    size_t at = 0;
    bool whole = true;
    for (int slot = 0; slot < kSlots && at < size; ++slot) {
        if (data[at++] == 0) continue;
        fonts_[slot] = ParseFont(data, size, at);
        if (!fonts_[slot]) {
            whole = false;
            break;
        }
    }
    for (int slot = 0; slot < static_cast<int>(std::size(kGreyOnlyHue)); ++slot)
        if (fonts_[slot]) fonts_[slot]->greyOnlyHue = kGreyOnlyHue[slot];
    return whole;
}

bool CFontTable::ReplaceFont(int slot, const u8* data, size_t size) {
    if (slot < 0 || slot >= kSlots || data == nullptr) return false;
    size_t at = 0;
    auto font = ParseFont(data, size, at);
    if (!font) return false;
    fonts_[slot] = std::move(font);
    return true;
}

bool CFontTable::HasFont(int font) const {
    return font >= 0 && font < kSlots && fonts_[font] != nullptr;
}

bool CFontTable::HasGlyph(int font, unsigned char c) const {
    return GlyphWidth(font, c) != 0;
}

int CFontTable::GlyphWidth(int font, int c) const {
    if (!HasFont(font) || c < CFont::kFirstChar || c > 255) return 0;
    return fonts_[font]->glyphs[c - CFont::kFirstChar].width;
}

int CFontTable::GlyphHeight(int font, int c) const {
    if (!HasFont(font) || c < CFont::kFirstChar || c > 255) return 0;
    return fonts_[font]->glyphs[c - CFont::kFirstChar].height;
}

int CFontTable::TextWidth(int font, int count, std::string_view text) const {
    int width = 0;
    for (int i = 0; i < count && i < static_cast<int>(text.size()) && text[i] != 0; ++i)
        width += GlyphWidth(font, static_cast<unsigned char>(text[i]));
    return width;
}

int CFontTable::CharsInWidth(int font, std::string_view text, int width) const {
    int n = 0;
    for (char c : text) {
        const int w = GlyphWidth(font, static_cast<unsigned char>(c));
        if (c == 0 || w >= width) break;
        width -= w;
        ++n;
    }
    return n;
}

bool CFontTable::MeasureText(int font, std::string_view text, int& width, int& height,
                             int& baseline) const {
    if (!HasFont(font)) return false;
    int w = 0, ascent = 0, descent = 0;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0) break;
        const FontGlyph* glyph = fonts_[font]->Glyph(c);
        if (glyph == nullptr) continue;
        w += glyph->width;
        ascent = std::max(ascent, glyph->height - glyph->descent);
        descent = std::max(descent, glyph->descent);
    }
    width = w;
    height = descent + ascent;
    baseline = ascent - 1;
    return true;
}

int CFontTable::FindLineBreak(int font, std::string_view text, int width) const {
    int running = 0, candidate = -1;
    for (int i = 0; i < static_cast<int>(text.size()) && text[i] != 0; ++i) {
        if (text[i] == ' ' && i > 1) candidate = i - 1;
        running += GlyphWidth(font, static_cast<unsigned char>(text[i]));
        if (running > width) return candidate >= 0 ? candidate : i - 1;
    }
    return -1;
}

std::vector<CFontTable::Line> CFontTable::WrapLines(int font, const std::string& text, int width,
                                                    int indent) const {
    std::vector<Line> lines;
    std::string rest = text;
    size_t start = 0;  // original index of rest's first character (without an indent)
    // Every line takes at least one character; an indent can refill the text, so the number
    // of breaks is bounded by the text's length.
    for (size_t breaks = 0; breaks <= text.size(); ++breaks) {
        const int end = FindLineBreak(font, rest, width);
        if (end < 0) break;
        lines.push_back(Line{start, rest.substr(0, static_cast<size_t>(end) + 1)});
        rest.erase(0, static_cast<size_t>(end) + 1);
        start += static_cast<size_t>(end) + 1;
        if (!rest.empty() && rest[0] == ' ') {
            rest.erase(0, 1);
            ++start;
        }
        if (indent > 0) rest.insert(0, static_cast<size_t>(indent), ' ');
    }
    lines.push_back(Line{start, rest});
    return lines;
}

bool CFontTable::MeasureWrappedText(int font, const char* text, int width, int& widest, int& height,
                                    int& firstBaseline, int indent) const {
    if (!HasFont(font) || text == nullptr) return false;
    widest = height = firstBaseline = 0;
    for (const Line& line : WrapLines(font, text, width, indent)) {
        int w = 0, h = 0, b = 0;
        MeasureText(font, line.text, w, h, b);
        widest = std::max(widest, w);
        height += h;
        if (firstBaseline == 0) firstBaseline = b;
    }
    return true;
}

void CFontTable::ReportMissingFont(int font) {
    const int index = font >= 0 && font < kSlots ? font : kSlots;
    if (!missingShown_[index]) {
        missingShown_[index] = true;
        ShowMessageBox("Missing Font!", "Error", false);
        return;
    }
    LogClientError("fonts", ("Missing Font! (font " + std::to_string(font) + ")").c_str());
}

int CFontTable::DrawGlyph(int x, int y, const CFont& font, unsigned char c, int hue,
                          const TextTarget& target, const ClipRect& clip) {
    const FontGlyph* glyph = font.Glyph(c);
    if (glyph == nullptr || glyph->width == 0) return 0;
    if (x < clip.left || x + glyph->width - 1 >= clip.right) return 0;
    const int top = y + glyph->descent - glyph->height + 1;
    const int first = std::max(clip.top - top, 0);
    const int last = std::min(glyph->height, clip.bottom - top) - 1;
    const bool to565 = Use565();
    for (int row = first; row <= last; ++row) {
        u16* out = target.pixels + static_cast<size_t>(top + row) * target.width + x;
        const u16* in = glyph->pixels.data() + static_cast<size_t>(row) * glyph->width;
        if (hue == 0)
            SpanCopyKeyed(out, in, glyph->width, -1);
        else if (font.greyOnlyHue)
            SpanHueGreyKeyed(out, in, glyph->width, hue - 1);
        else
            SpanHueKeyed(out, in, glyph->width, hue - 1);
        if (to565) ConvertWrittenTo565(out, in, glyph->width);
    }
    return glyph->width;
}

void CFontTable::DrawLine(int x, int y, const CFont& font, int hue, std::string_view text,
                          const TextTarget& target, const ClipRect& clip, bool stopAtBlank) {
    if (target.pixels == nullptr) return;
    const ClipRect inside = ClipToSize(clip, target.width, target.height);
    for (char c : text) {
        if (c == 0) break;
        const int advance =
            DrawGlyph(x, y, font, static_cast<unsigned char>(c), hue, target, inside);
        if (advance == 0 && stopAtBlank) break;
        x += advance;
    }
}

bool CFontTable::DrawText(int x, int y, int font, int hue, const char* text,
                          const TextTarget& target, const ClipRect& clip) {
    if (!HasFont(font)) {
        ReportMissingFont(font);
        return false;
    }
    DrawLine(x, y, *fonts_[font], hue, FilteredForDrawing(text), target, clip, true);
    return true;
}

int CFontTable::DrawWrappedText(int x, int y, int font, int hue, const char* text, int width,
                                const TextTarget& target, const ClipRect& clip, int indent,
                                int lineStep) {
    if (!HasFont(font)) {
        ReportMissingFont(font);
        return 0;
    }
    if (text == nullptr) return 0;
    const std::vector<Line> lines = WrapLines(font, FilteredForDrawing(text), width, indent);
    int used = 0, lastHeight = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        int w = 0, h = 0, baseline = 0;
        MeasureText(font, lines[i].text, w, h, baseline);
        DrawLine(x, y + used + baseline, *fonts_[font], hue, lines[i].text, target, clip, true);
        lastHeight = h;
        if (i + 1 < lines.size()) used += lineStep != 0 ? lineStep : h;
    }
    return lineStep != 0 ? lineStep + used : used + lastHeight;
}

bool CFontTable::DrawTextEllipsis(int x, int y, int font, int hue, const char* text,
                                  const TextTarget& target, const ClipRect& clip) {
    if (!HasFont(font)) {
        ReportMissingFont(font);
        return false;
    }
    std::string line = FilteredForDrawing(text);
    const int full = TextWidth(font, static_cast<int>(line.size()), line);
    if (x + full > clip.right) {
        const int dots = 3 * GlyphWidth(font, '.');
        while (!line.empty() &&
               x + TextWidth(font, static_cast<int>(line.size()), line) + dots > clip.right)
            line.pop_back();
        line += "...";
    }
    DrawLine(x, y, *fonts_[font], hue, line, target, clip, false);
    return true;
}

void CFontTable::LocateChar(int font, int position, const char* text, int width, int& x,
                            int& y) const {
    x = y = 0;
    if (!HasFont(font) || text == nullptr) return;
    const std::vector<Line> lines = WrapLines(font, FilteredForDrawing(text), width, 0);
    const size_t pos = position < 0 ? 0 : static_cast<size_t>(position);
    int above = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const bool last = i + 1 == lines.size();
        // A position up to the next line's start belongs here (the dropped space included).
        if (last || pos < lines[i + 1].start) {
            const size_t before = std::min(pos - std::min(pos, line.start), line.text.size());
            x = TextWidth(font, static_cast<int>(before), line.text);
            y = above;
            return;
        }
        int w = 0, h = 0, b = 0;
        MeasureText(font, line.text, w, h, b);
        above += h;
    }
}

int CFontTable::CharsInBox(int font, const char* text, int width, int boxWidth,
                           int boxHeight) const {
    if (text == nullptr) return 0;
    for (int n = static_cast<int>(std::string_view(text).size()); n > 0; --n) {
        int x = 0, y = 0;
        LocateChar(font, n, text, width, x, y);
        if (x <= boxWidth && y <= boxHeight) return n;
    }
    return 0;
}
