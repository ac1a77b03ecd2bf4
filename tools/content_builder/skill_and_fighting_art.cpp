#include "tools/content_builder/skill_and_fighting_art.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kCaptionFont = 2;

// Parchment of the skill scroll and its darker rims.
void Parchment(GumpCanvas& c, int x0, int y0, int x1, int y1) {
    c.Stone(x0, y0, x1, y1, 26, 23, 16);
}

// A small round gem: the use button, the death menu's choices.
GumpPicture Gem(int size, u16 colour, bool lit) {
    GumpCanvas c(size, size);
    const int r = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
            if (dx * dx + dy * dy <= 4 * r * r) c.At(x, y) = colour;
        }
    if (lit) c.Fill(r - 2, r - 2, r, r, GumpRgb5(31, 31, 28));
    return c.picture;
}

// An arrow pointing up (dir 0), down (1), right (2) or left (3) on a plate.
GumpPicture Arrow(int size, int dir, u16 plate) {
    GumpCanvas c(size, size);
    c.Fill(0, 0, size, size, plate);
    c.Bevel(0, 0, size, size, 1, false);
    const u16 ink = GumpRgb5(4, 3, 2);
    for (int i = 0; i < size / 2 - 1; ++i)
        for (int j = -i; j <= i; ++j) {
            const int a = size / 2 + j, b = 2 + i;
            if (dir == 0) c.At(a, b) = ink;
            if (dir == 1) c.At(a, size - 1 - b) = ink;
            if (dir == 2) c.At(b, a) = ink;
            if (dir == 3) c.At(size - 1 - b, a) = ink;
        }
    return c.picture;
}

// --- The skill window (2080 - 2106) --------------------------------------------------------

constexpr int kSkillWidth = 280;

GumpPicture SkillColumnPiece(u32 id) {
    const int h = id == 2080 ? 60 : (id == 2083 ? 50 : 40);
    GumpCanvas c(kSkillWidth, h);
    Parchment(c, 12, 0, kSkillWidth - 4, h);
    const u16 rim = GumpRgb5(14, 10, 5);
    c.Fill(12, 0, 16, h, rim);
    c.Fill(kSkillWidth - 8, 0, kSkillWidth - 4, h, rim);
    if (id == 2080) c.Fill(8, 0, kSkillWidth, 8, rim);  // the scroll's rolled top
    if (id == 2083) c.Fill(8, h - 8, kSkillWidth, h, rim);
    return c.picture;
}

GumpPicture SkillArt(CFontTable& fonts, u32 id) {
    switch (id) {
        case 2080:
        case 2081:
        case 2082:
        case 2083:
            return SkillColumnPiece(id);
        case 2084:
            return Arrow(12, 0, GumpRgb5(20, 17, 10));
        case 2085:
            return Arrow(12, 1, GumpRgb5(20, 17, 10));
        case 2086:  // expanded group
            return Arrow(12, 1, GumpRgb5(24, 21, 14));
        case 2087:  // collapsed group
            return Arrow(12, 2, GumpRgb5(24, 21, 14));
        case 2088: {
            GumpCanvas c(10, 14);
            c.Stone(0, 0, 10, 14, 16, 12, 6);
            c.Bevel(0, 0, 10, 14, 1, false);
            return c.picture;
        }
        case 2091: {
            GumpCanvas c(220, 2);
            c.Fill(0, 0, 220, 2, GumpRgb5(14, 10, 5));
            return c.picture;
        }
        case 2093:
            return Button(fonts, 16, 16, "", 0);
        case 2094:
        case 2095: {
            GumpCanvas c(20, 10);
            c.Stone(0, 0, 20, 10, id == 2095 ? 18 : 14, 11, 6);
            c.Bevel(0, 0, 20, 10, 1, false);
            return c.picture;
        }
        case 2100: {
            GumpCanvas c(60, 16);
            Parchment(c, 0, 0, 60, 16);
            Caption(fonts, c, "Skills", 0);
            return c.picture;
        }
        case 2101:
            return Gem(2, GumpRgb5(12, 9, 5), false);
        case 2102: {
            GumpCanvas c(140, 14);
            Parchment(c, 0, 0, 140, 14);
            Caption(fonts, c, "New group", 0);
            return c.picture;
        }
        case 2103:
        case 2104:
            return Gem(10, GumpRgb5(6, 12, 22), id == 2104);
        case 2105: {
            GumpCanvas c(70, 24);
            c.Stone(0, 0, 70, 24, 22, 19, 12);
            c.Bevel(0, 0, 70, 24, 2, false);
            Caption(fonts, c, "Skills", 0);
            return c.picture;
        }
        case 2106:
            return Button(fonts, 60, 16, "New", 0);
        default:
            return GumpPicture{};
    }
}

// --- The fighting bar (2110 - 2131) --------------------------------------------------------

constexpr int kBarWidth = 290;
constexpr int kBarHeight = 210;

GumpPicture FightingPanel(CFontTable& fonts) {
    GumpCanvas c(kBarWidth, kBarHeight);
    c.Stone(0, 0, kBarWidth, kBarHeight, 11, 10, 8);
    c.Bevel(0, 0, kBarWidth, kBarHeight, 3, false);
    // The minimise corner.
    c.Fill(254, 20, 278, 45, GumpRgb5(8, 7, 5));
    c.Bevel(254, 20, 278, 45, 1, false);
    const TextTarget target{c.picture.pixels.data(), kBarWidth, kBarHeight};
    const ClipRect all{0, 0, kBarWidth, kBarHeight};
    const char* const captions[] = {"Fighting style", "First setting", "Second setting"};
    const int rows[] = {30, 92, 135};
    for (int i = 0; i < 3; ++i) {
        int w = 0, h = 0, baseline = 0;
        fonts.MeasureText(kCaptionFont, captions[i], w, h, baseline);
        fonts.DrawText(92, rows[i] + baseline, kCaptionFont, 0, captions[i], target, all);
    }
    // The two tracks with their step arrows at each end.
    for (int top : {107, 150}) {
        c.Fill(92, top + 4, 197, top + 9, GumpRgb5(3, 3, 3));
        c.Bevel(91, top + 3, 198, top + 10, 1, true);
    }
    const GumpPicture arrows[2] = {Arrow(10, 3, GumpRgb5(14, 13, 10)),
                                   Arrow(10, 2, GumpRgb5(14, 13, 10))};
    for (int top : {109, 152})
        for (int side = 0; side < 2; ++side)
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x)
                    c.At((side == 0 ? 81 : 197) + x, top + y) =
                        arrows[side].pixels[static_cast<size_t>(y) * 10 + x];
    return c.picture;
}

GumpPicture FightingArt(CFontTable& fonts, u32 id) {
    if (id == 2110) return FightingPanel(fonts);
    if (id == 2131) {
        GumpCanvas c(60, 24);
        c.Stone(0, 0, 60, 24, 11, 10, 8);
        c.Bevel(0, 0, 60, 24, 2, false);
        Caption(fonts, c, "Fight", 0);
        return c.picture;
    }
    if (id >= 2111 && id <= 2116) {
        // Toggles: 2111-2113 the second style (off, on, hover), 2114-2116 the first.
        const int state = static_cast<int>((id - 2111) % 3);
        GumpCanvas c(56, 18);
        c.Stone(0, 0, 56, 18, state == 1 ? 20 : 12, state == 1 ? 16 : 11, state == 2 ? 12 : 8);
        c.Bevel(0, 0, 56, 18, 2, state == 1);
        Caption(fonts, c, id <= 2113 ? "Style B" : "Style A", 0);
        return c.picture;
    }
    if (id >= 2119 && id <= 2130) {
        const char* const labels[] = {"Cancel", "Apply", "Reset", "OK"};
        const int k = static_cast<int>(id - 2119);
        return Button(fonts, 56, 20, labels[k / 3], k % 3);
    }
    return GumpPicture{};
}

// --- The death menu (5050, 5051, 5100 - 5118) ----------------------------------------------

GumpPicture DeathArt(u32 id) {
    if (id == 5050 || id == 5051) return Gem(20, GumpRgb5(20, 4, 4), id == 5051);
    // The panel's decorations: rivets the panel scatters along its edges.
    if (id >= 5109) return Gem(6, GumpRgb5(22, 20, 16), (id & 1) != 0);
    // The nine-piece panel: corners, edges and centre of one dark stone face.
    const int k = static_cast<int>(id - 5100);
    GumpCanvas c(16, 16);
    c.Stone(0, 0, 16, 16, 7, 6, 6);
    const u16 rim = GumpRgb5(16, 14, 12);
    if (k < 3) c.Fill(0, 0, 16, 3, rim);
    if (k > 5) c.Fill(0, 13, 16, 16, rim);
    if (k % 3 == 0) c.Fill(0, 0, 3, 16, rim);
    if (k % 3 == 2) c.Fill(13, 0, 16, 16, rim);
    return c.picture;
}

}  // namespace

void Caption(CFontTable& fonts, GumpCanvas& c, const std::string& text, int hue, int dy) {
    int w = 0, h = 0, baseline = 0;
    if (!fonts.MeasureText(kCaptionFont, text, w, h, baseline)) return;
    const int width = c.picture.width, height = c.picture.height;
    fonts.DrawText((width - w) / 2, (height - h) / 2 + baseline + dy, kCaptionFont, hue,
                   text.c_str(), {c.picture.pixels.data(), width, height},
                   ClipRect{0, 0, width, height});
}

GumpPicture Button(CFontTable& fonts, int w, int h, const std::string& label, int state) {
    GumpCanvas c(w, h);
    const int tone = state == 2 ? 15 : (state == 1 ? 10 : 12);
    c.Stone(0, 0, w, h, tone, tone - 1, tone - 3);
    c.Bevel(0, 0, w, h, 2, state == 1);
    Caption(fonts, c, label, 0, state == 1 ? 1 : 0);
    return c.picture;
}

std::vector<u32> SkillFightingDeathGumpIds() {
    std::vector<u32> ids = {2080, 2081, 2082, 2083, 2084, 2085, 2086, 2087, 2088,
                            2091, 2093, 2094, 2095, 2100, 2101, 2102, 2103, 2104,
                            2105, 2106, 5050, 5051};
    for (u32 id = 2110; id <= 2131; ++id)
        ids.push_back(id);
    for (u32 id = 5100; id <= 5118; ++id)
        ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void AddSkillFightingDeathArt(GumpArtWriter& writer, CFontTable& fonts) {
    for (u32 id : SkillFightingDeathGumpIds()) {
        // The sliders' thumb is the fixture pictures' thumb (kGumpThumb), already written.
        if (id == 2117 || id == 2118) continue;
        if (id >= 2080 && id <= 2106)
            writer.Add(id, SkillArt(fonts, id));
        else if (id >= 2110 && id <= 2131)
            writer.Add(id, FightingArt(fonts, id));
        else
            writer.Add(id, DeathArt(id));
    }
}
