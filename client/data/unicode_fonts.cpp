#include "client/data/unicode_fonts.h"

#include <algorithm>
#include <array>
#include <string>

#include "client/data/client_file_read.h"
#include "client/data/client_settings.h"
#include "client/data/message_box.h"
#include "client/data/text_services.h"
#include "client/data/ustr.h"
#include "core/byte_order.h"

namespace {

constexpr size_t kOffsetTableBytes = 65536 * 4;
// The offset table and 65,536 glyphs of at most a few hundred bytes each.
constexpr size_t kMaxUnicodeFontBytes = 64u << 20;
const char* const kFontFiles[kUnicodeFonts] = {"unifont.mul", "unifont1.mul", "unifont2.mul"};

struct UnicodeFontState {
    std::array<UnicodeFontFile, kUnicodeFonts> files;
    std::array<bool, kUnicodeFonts> loaded{};
    int current = 0;
    int spaceWidth = 8;
};

UnicodeFontState& State() {
    static UnicodeFontState state;
    return state;
}

const UnicodeFontFile& CurrentFile() {
    UnicodeFontState& s = State();
    if (!s.loaded[s.current]) {
        s.loaded[s.current] = true;
        const std::string path = TheClientSettings().MakeHDPath(kFontFiles[s.current]);
        std::string bytes;
        if (ReadClientFile(path, kMaxUnicodeFontBytes, false, bytes,
                           "text in that font is not drawn") == ClientFileRead::kRead) {
            s.files[s.current] = UnicodeFontFile(std::vector<u8>(bytes.begin(), bytes.end()));
        }
    }
    return s.files[s.current];
}

constexpr size_t kMaxUnicodeLineUnits = 199;

// A line of a wrapped text: the original index of its first unit and its units.
struct ULine {
    size_t start;
    std::u16string text;
};

// Copies and filters the text as the drawing routines do, then cuts it into lines.
std::vector<ULine> WrapUnicode(const WChar* text, int width) {
    std::u16string rest = text != nullptr ? text : u"";
    TextServices& services = GetTextServices();
    if (services.ObscenityFilterOn() && !services.InputControlDrawing())
        UStrFilterProfanity(rest.data());
    std::vector<ULine> lines;
    size_t start = 0;
    for (;;) {
        int end = UnicodeFindLineBreak(rest.c_str(), width);
        // A line holds at most kMaxUnicodeLineUnits units, however narrow they are.
        if (end < 0 && rest.size() <= kMaxUnicodeLineUnits) break;
        if (end < 0 || end >= int(kMaxUnicodeLineUnits)) end = int(kMaxUnicodeLineUnits) - 1;
        lines.push_back(ULine{start, rest.substr(0, static_cast<size_t>(end) + 1)});
        size_t taken = static_cast<size_t>(end) + 1;
        if (taken < rest.size() && (rest[taken] == u' ' || rest[taken] == u'\n')) ++taken;
        rest.erase(0, taken);
        start += taken;
    }
    lines.push_back(ULine{start, rest});
    return lines;
}

void DrawUnicodeLine(const TextTarget& target, const WChar* text, int x, int y, u16 colour,
                     const ClipRect& clipIn, u16 selectionColour, int first, int last) {
    if (target.pixels == nullptr || text == nullptr) return;
    const ClipRect clip = ClipToSize(clipIn, target.width, target.height);
    const UnicodeFontFile& file = CurrentFile();
    int number = 0;  // glyph characters so far
    for (; *text != 0; ++text) {
        if (*text == u' ') {
            x += State().spaceWidth;
            continue;
        }
        UnicodeGlyph glyph;
        if (!file.Find(*text, glyph)) continue;
        const u16 c = number >= first && number <= last ? selectionColour : colour;
        ++number;
        const int left = x + glyph.xOffset, top = y + glyph.yOffset;
        for (int row = std::max(0, clip.top - top); row < glyph.height && top + row < clip.bottom;
             ++row) {
            u16* line = target.pixels + static_cast<size_t>(top + row) * target.width;
            for (int col = std::max(0, clip.left - left);
                 col < glyph.width && left + col < clip.right; ++col)
                if (glyph.Bit(col, row)) line[left + col] = c;
        }
        x += glyph.xOffset + glyph.width + 1;
    }
}

}  // namespace

bool UnicodeFontFile::Find(WChar unit, UnicodeGlyph& glyph) const {
    if (bytes_.size() < kOffsetTableBytes) return false;
    const u8* entry = bytes_.data() + 4 * static_cast<size_t>(unit);
    const size_t offset = LoadLe32(entry);
    if (offset == 0 || offset > bytes_.size() || bytes_.size() - offset < 4) return false;
    const u8* at = bytes_.data() + offset;
    glyph.xOffset = static_cast<s8>(at[0]);
    glyph.yOffset = static_cast<s8>(at[1]);
    glyph.width = at[2];
    glyph.height = at[3];
    glyph.rows = at + 4;
    return static_cast<size_t>(glyph.RowBytes()) * glyph.height <= bytes_.size() - offset - 4;
}

void SetUnicodeFontBytes(int font, std::vector<u8> bytes) {
    if (font < 0 || font >= kUnicodeFonts) return;
    State().files[font] = UnicodeFontFile(std::move(bytes));
    State().loaded[font] = true;
}

void ResetUnicodeFonts() {
    State() = UnicodeFontState();
}

int GetUnicodeFont() {
    return State().current;
}

void SetUnicodeFont(int font) {
    if (font >= 0 && font < kUnicodeFonts) State().current = font;
}

void UnicodeSetSpaceWidth(int width) {
    if (width < 1 || width > 20)
        ShowMessageBox("Unreasonable width of space character.", "UnicodeSetSpaceWidth()", false);
    State().spaceWidth = width;
}

int UnicodeGetSpaceWidth() {
    return State().spaceWidth;
}

bool UnicodeHasGlyph(WChar unit) {
    UnicodeGlyph glyph;
    return unit == u' ' || CurrentFile().Find(unit, glyph);
}

int UnicodeCharAdvance(WChar unit) {
    if (unit == u' ') return State().spaceWidth;
    UnicodeGlyph glyph;
    return CurrentFile().Find(unit, glyph) ? glyph.xOffset + glyph.width + 1 : 0;
}

int UnicodeTextWidth(int count, const WChar* text) {
    int width = 0;
    for (int i = 0; text != nullptr && i < count && text[i] != 0; ++i)
        width += UnicodeCharAdvance(text[i]);
    return width;
}

void UnicodeMeasureText(const WChar* text, int& width, int& height, int& baseline) {
    width = UnicodeTextWidth(UStrLen(text), text);
    height = kUnicodeLineHeight;
    baseline = 0;
}

int UnicodeFindLineBreak(const WChar* text, int width) {
    if (text == nullptr) return -1;
    int running = 0, candidate = -1;
    for (int i = 0; text[i] != 0; ++i) {
        if (text[i] == u'\n' && i > 0) return i - 1;
        if (text[i] == u' ' && i > 1) candidate = i - 1;
        running += UnicodeCharAdvance(text[i]);
        if (running > width) return candidate >= 0 ? candidate : i - 1;
    }
    return -1;
}

void UnicodeMeasureWrappedText(const WChar* text, int width, int& widest, int& height,
                               int& firstBaseline) {
    const std::vector<ULine> lines = WrapUnicode(text, width);
    widest = 0;
    for (const ULine& line : lines)
        widest = std::max(widest,
                          UnicodeTextWidth(static_cast<int>(line.text.size()), line.text.c_str()));
    height = kUnicodeLineHeight * static_cast<int>(lines.size());
    firstBaseline = 0;
}

void UnicodeLocateChar(int position, const WChar* text, int width, int& x, int& y) {
    x = y = 0;
    if (text == nullptr) return;
    const std::vector<ULine> lines = WrapUnicode(text, width);
    const size_t pos = position < 0 ? 0 : static_cast<size_t>(position);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i + 1 == lines.size() || pos < lines[i + 1].start) {
            const size_t before =
                std::min(pos - std::min(pos, lines[i].start), lines[i].text.size());
            x = UnicodeTextWidth(static_cast<int>(before), lines[i].text.c_str());
            y = kUnicodeLineHeight * static_cast<int>(i);
            return;
        }
    }
}

void UnicodeDrawText(const TextTarget& target, const WChar* text, int x, int y, u16 colour,
                     const ClipRect& clip) {
    DrawUnicodeLine(target, text, x, y, colour, clip, colour, 0, -1);
}

void UnicodeDrawTextSelected(const TextTarget& target, const WChar* text, int x, int y, u16 colour,
                             const ClipRect& clip, u16 selectionColour, int first, int last) {
    DrawUnicodeLine(target, text, x, y, colour, clip, selectionColour, first, last);
}

void UnicodeDrawWrappedText(const TextTarget& target, int width, const WChar* text, int x, int y,
                            u16 colour, const ClipRect& clip) {
    UnicodeDrawWrappedTextSelected(target, width, text, x, y, colour, clip, colour, 0, -1);
}

void UnicodeDrawWrappedTextSelected(const TextTarget& target, int width, const WChar* text, int x,
                                    int y, u16 colour, const ClipRect& clip, u16 selectionColour,
                                    int first, int last) {
    if (text == nullptr) return;
    const std::vector<ULine> lines = WrapUnicode(text, width);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int shift = static_cast<int>(lines[i].start);
        DrawUnicodeLine(target, lines[i].text.c_str(), x,
                        y + kUnicodeLineHeight * static_cast<int>(i), colour, clip, selectionColour,
                        first - shift, last - shift);
    }
}
