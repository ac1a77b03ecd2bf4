#include "client/data/hue_table.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "client/data/client_file_read.h"
#include "core/byte_order.h"

namespace {

constexpr size_t kHuesFileBytes =
    static_cast<size_t>(kClientHueCount / kHueBlockEntries) * kHueBlockBytes;
// A colour list is a few hundred short lines; anything near this is no colour list.
constexpr size_t kMaxColourListBytes = 1 << 20;

// Says which lines of a colour list are no colour (blank lines are allowed): the first such
// line's number and how many there are, or "" when every line is a colour.
std::string MalformedColourLines(const std::string& text) {
    int first = 0, count = 0, number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t eol = text.find('\n', at);
        if (eol == std::string::npos) eol = text.size();
        const std::string row = text.substr(at, eol - at);
        at = eol + 1;
        ++number;
        if (row.find_first_not_of(" \t\r") == std::string::npos) continue;
        int r, g, b;
        if (std::sscanf(row.c_str(), "(%d,%d,%d)", &r, &g, &b) == 3) continue;
        if (count++ == 0) first = number;
    }
    if (count == 0) return "";
    std::string what = "line " + std::to_string(first);
    if (count > 1) what += " and " + std::to_string(count - 1) + " more";
    return what + (count > 1 ? " are" : " is") + " not (red,green,blue)";
}

// A missing hues.mul is written anew with the blank table.
void WriteBlankHues(const HueTable& table, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::vector<u8> out;
    for (int i = 0; i < kClientHueCount; ++i) {
        if (i % kHueBlockEntries == 0) out.insert(out.end(), 4, 0);
        const char* name = table.entries[i].name;
        out.insert(out.end(), 68, 0);
        out.insert(out.end(), name, name + 20);
    }
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
}

void SetName(HueEntry& e, const char* name) {
    std::memset(e.name, 0, sizeof e.name);
    std::memcpy(e.name, name, strnlen(name, sizeof e.name));
}

void BlankTable(HueTable& table) {
    for (HueEntry& e : table.entries) {
        e = HueEntry{};
        SetName(e, "Blank Color");
    }
}

// The hue number after a list's range: the next list's first hue, or past the table.
int RangeEnd(const ColourListInfo& list) {
    const auto& lists = ColourLists();
    for (size_t i = 0; i + 1 < lists.size(); ++i)
        if (lists[i].firstHue == list.firstHue) return lists[i + 1].firstHue;
    return kClientHueCount + 1;
}

}  // namespace

const std::vector<ColourListInfo>& ColourLists() {
    static const std::vector<ColourListInfo> lists = {
        {"skinhue.txt", kSkinHueFirst, nullptr},
        {"hairhue.txt", kHairHueFirst, nullptr},
        {"pinkpur.txt", 1200, "Pinks"},
        {"blues.txt", 1300, "Blues"},
        {"greens.txt", 1400, "Greens"},
        {"oranges.txt", 1500, "Oranges"},
        {"reds.txt", 1600, "Reds"},
        {"yellows.txt", 1700, "Yellows"},
        {"neutrals.txt", 1800, "Neutrals"},
        {"snakes.txt", 2000, "Snakes"},
        {"birds.txt", 2100, "Birds"},
        {"slimes.txt", 2200, "Slimes"},
        {"animals.txt", 2300, "Animals"},
        {"metals.txt", 2400, "Metals"},
    };
    return lists;
}

HueTable::HueTable() : entries(kClientHueCount) {}

const HueEntry* HueTable::Hue(int number) const {
    return number >= 1 && number <= kClientHueCount ? &entries[number - 1] : nullptr;
}

HueEntry* HueTable::MutableHue(int number) {
    return number >= 1 && number <= kClientHueCount ? &entries[number - 1] : nullptr;
}

u16 PackRgb555(int red, int green, int blue) {
    return static_cast<u16>((red / 8) << 10 | (green / 8) << 5 | ((blue >> 3) & 31));
}

void ReadHuesImage(HueTable& table, const u8* bytes, size_t size) {
    size_t at = 0;
    for (int i = 0; i < kClientHueCount; ++i) {
        if (i % kHueBlockEntries == 0) at += 4;
        if (at + kHueEntryBytes > size) return;
        HueEntry& e = table.entries[i];
        const u8* p = bytes + at;
        for (int c = 0; c < 32; ++c)
            e.colours[c] = LoadLe16(p + 2 * c);
        e.start = LoadLe16(p + 64);
        e.end = LoadLe16(p + 66);
        std::memcpy(e.name, p + 68, 20);
        if (e.start != 0 || e.end != 0) {
            for (u16& c : e.colours)
                if (c == 0) c = 1;
        }
        at += kHueEntryBytes;
    }
}

void SetHueRamp(HueTable& table, int hue, u16 startColour, u16 endColour, const char* name) {
    HueEntry* e = table.MutableHue(hue);
    if (!e) return;
    SetName(*e, name);
    e->start = startColour;
    e->end = endColour;
    const int shifts[3] = {10, 5, 0};
    double from[3], step[3];
    for (int k = 0; k < 3; ++k) {
        from[k] = ((startColour >> shifts[k]) & 31) * 8;
        step[k] = (((endColour >> shifts[k]) & 31) * 8 - from[k]) / 32.0;
    }
    for (int i = 0; i < 32; ++i) {
        e->colours[i] = PackRgb555(static_cast<int>(from[0] + i * step[0]),
                                   static_cast<int>(from[1] + i * step[1]),
                                   static_cast<int>(from[2] + i * step[2]));
    }
}

int ReadColourList(HueTable& table, const ColourListInfo& list, const std::string& text,
                   HueGroups* groups) {
    const int end = RangeEnd(list);
    int next = list.firstHue;
    int line = 0;
    if (groups) {
        groups->starts.assign(1, 0);
        groups->hueCount = 0;
    }
    size_t at = 0;
    while (at < text.size()) {
        size_t eol = text.find('\n', at);
        if (eol == std::string::npos) eol = text.size();
        const std::string row = text.substr(at, eol - at);
        at = eol + 1;
        int r, g, b;
        if (std::sscanf(row.c_str(), "(%d,%d,%d)", &r, &g, &b) != 3) continue;
        if (groups && r == 0 && g == 0 && b == 0) {
            groups->starts.push_back(next - list.firstHue);
            continue;
        }
        // The list stops at the next list's first hue.
        if (next >= end) break;
        auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
        const u16 colour = PackRgb555(clamp(r), clamp(g), clamp(b));
        char name[32];
        if (list.group) {
            std::snprintf(name, sizeof name, "%s #%d", list.group, line);
        } else {
            std::snprintf(name, sizeof name, "%s #%d",
                          list.firstHue == kSkinHueFirst ? "SkinHue" : "HairHue", next);
        }
        SetHueRamp(table, next, 1, colour, name);
        if (list.firstHue == kSkinHueFirst) table.skinColours.push_back(colour);
        ++next;
        ++line;
    }
    if (groups) groups->hueCount = next - list.firstHue;
    return next - list.firstHue;
}

int FindNearestHue(const HueTable& table, u32 colour) {
    const int wr = (colour >> 16) & 0xFF, wg = (colour >> 8) & 0xFF, wb = colour & 0xFF;
    int best = 0;
    long bestDistance = 320000;
    for (int h = 1; h <= 1000; ++h) {
        const HueEntry& e = table.entries[h - 1];
        if (e.start == 0 && e.end == 0) continue;
        const long dr = ((e.end >> 10) & 31) * 8 - wr;
        const long dg = ((e.end >> 5) & 31) * 8 - wg;
        const long db = (e.end & 31) * 8 - wb;
        const long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = h;
        }
    }
    return best;
}

void LoadHues(HueTable& table, const std::string& dir, const u32* highlightColours) {
    table.skinColours.clear();
    const std::string huesPath = dir + "hues.mul";
    std::string bytes;
    BlankTable(table);
    switch (ReadClientFile(huesPath, kHuesFileBytes, true, bytes, "every hue is blank")) {
        case ClientFileRead::kRead:
            ReadHuesImage(table, reinterpret_cast<const u8*>(bytes.data()), bytes.size());
            if (bytes.size() < kHuesFileBytes) {
                ReportShortClientFile(huesPath, bytes.size(), kHuesFileBytes,
                                      "the hues past its end are blank");
            }
            break;
        case ClientFileRead::kMissing:
            WriteBlankHues(table, huesPath);
            break;
        case ClientFileRead::kFailed:  // reported; nothing is written over what stands there
            break;
    }
    for (const ColourListInfo& list : ColourLists()) {
        std::string text;
        if (ReadClientFile(dir + list.file, kMaxColourListBytes, false, text,
                           "its hues stay as hues.mul gives them") != ClientFileRead::kRead) {
            continue;
        }
        HueGroups* groups = list.firstHue == kSkinHueFirst   ? &table.skinGroups
                            : list.firstHue == kHairHueFirst ? &table.hairGroups
                                                             : nullptr;
        ReadColourList(table, list, text, groups);
        const std::string malformed = MalformedColourLines(text);
        if (!malformed.empty()) {
            ReportDamagedClientFile(dir + list.file, malformed, "those lines are skipped");
        }
    }
    for (HueEntry& e : table.entries)
        for (u16& c : e.colours)
            if (c == 0 || (c & 0x8000)) c = 1;
    if (highlightColours) {
        for (int i = 1; i <= 6; ++i)
            if (highlightColours[i] != 0)
                table.highlightHues[i] =
                    static_cast<u16>(FindNearestHue(table, highlightColours[i]));
    }
}

void RgbToHsl(int red, int green, int blue, double& hue, double& lightness, double& saturation) {
    const double r = red / 256.0, g = green / 256.0, b = blue / 256.0;
    const double mx = std::fmax(r, std::fmax(g, b)), mn = std::fmin(r, std::fmin(g, b));
    lightness = (mx + mn) / 2;
    if (mx == mn) {
        hue = saturation = 0;
        return;
    }
    const double d = mx - mn;
    saturation = lightness <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) {
        hue = (g - b) / d;
    } else if (g == mx) {
        hue = 2 + (b - r) / d;
    } else {
        hue = 4 + (r - g) / d;
    }
    hue *= 60;
    if (hue < 0) hue += 360;
}

void HslToRgb(double& red, double& green, double hue, double lightness, double saturation,
              double& blue) {
    auto small = [](double v) { return std::fabs(v) < 0.001; };
    if (small(saturation)) {
        red = green = blue = lightness;
        return;
    }
    const double m2 = lightness <= 0.5 ? lightness * (1 + saturation)
                                       : lightness + saturation - lightness * saturation;
    const double m1 = 2 * lightness - m2;
    bool setR = false, setG = false, setB = false;
    if (hue < 120) {
        green = m1, setG = true;
    } else if (hue < 240) {
        blue = m1, setB = true;
    } else {
        red = m1, setR = true;
    }
    if (hue < 60 || hue >= 300) {
        blue = m2, setB = true;
    } else if (hue < 180) {
        red = m2, setR = true;
    } else {
        green = m2, setG = true;
    }
    const double t = std::tan(hue * 3.14159265359 / 180), k = std::sqrt(3.0);
    if (!setB) {
        blue = small(t) ? red : ((green / 2 + red / 2) * t + (k / 2) * red - (k / 2) * green) / t;
    } else if (!setG) {
        green = small(t - k) ? blue : ((red / 2 - blue) * t + (k / 2) * red) / (k / 2 - t / 2);
    } else if (!setR) {
        red = small(t + k) ? blue : ((k / 2) * green + (blue - green / 2) * t) / (t / 2 + k / 2);
    }
}

HueTable& TheHueTable() {
    static HueTable table;
    return table;
}
