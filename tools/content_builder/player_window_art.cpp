#include "tools/content_builder/player_window_art.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "tools/content_builder/skill_and_fighting_art.h"
#include "tools/content_builder/tile_set.h"

namespace {

constexpr int kDollWidth = 262;
constexpr int kDollHeight = 310;
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 22;
constexpr int kFigureWidth = 160;
constexpr int kFigureHeight = 300;
constexpr int kStatusWidth = 264;
constexpr int kStatusHeight = 140;
constexpr int kBarWidth = 150;
constexpr int kBarHeight = 58;
constexpr int kLabelFont = 1;

// A label in the label font with its top at y.
void Label(CFontTable& fonts, GumpCanvas& c, int x, int y, const char* text) {
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(kLabelFont, "Aq", w, h, baseline);
    fonts.DrawText(x, y + baseline, kLabelFont, 0, text,
                   {c.picture.pixels.data(), c.picture.width, c.picture.height},
                   ClipRect{0, 0, c.picture.width, c.picture.height});
}

// --- The paperdoll -------------------------------------------------------------------------

// The player's own background has the button column and the minimise corner; another
// mobile's is plain.
GumpPicture DollBackground(bool own) {
    GumpCanvas c(kDollWidth, kDollHeight);
    c.Stone(0, 0, kDollWidth, kDollHeight, 18, 15, 9);
    c.Bevel(0, 0, kDollWidth, kDollHeight, 3, false);
    // The figure's niche and the name plate.
    c.Fill(8, 19, 8 + kFigureWidth, 250, GumpRgb5(12, 10, 6));
    c.Bevel(7, 18, 9 + kFigureWidth, 251, 1, true);
    c.Fill(34, 258, 222, 290, GumpRgb5(22, 19, 12));
    c.Bevel(33, 257, 223, 291, 1, true);
    if (own) {
        c.Fill(180, 40, 258, 258, GumpRgb5(14, 11, 7));
        c.Fill(223, 258, 246, 281, GumpRgb5(8, 6, 4));
        c.Bevel(223, 258, 246, 281, 1, false);
        c.Fill(228, 268, 241, 271, GumpRgb5(26, 24, 18));
    }
    return c.picture;
}

GumpPicture ProfileArea() {
    GumpCanvas c(24, 56);
    c.Stone(0, 0, 24, 56, 27, 24, 17);
    c.Bevel(0, 0, 24, 56, 1, false);
    for (int y = 8; y < 50; y += 6)
        c.Fill(5, y, 19, y + 1, GumpRgb5(10, 8, 5));
    return c.picture;
}

GumpPicture DollMinimised(CFontTable& fonts) {
    GumpCanvas c(90, 24);
    c.Stone(0, 0, 90, 24, 18, 15, 9);
    c.Bevel(0, 0, 90, 24, 2, false);
    Caption(fonts, c, "Paperdoll", 0);
    return c.picture;
}

// The button triples (normal, pressed, hover) of the paperdoll, by first id.
struct DollButton {
    u32 first;
    const char* label;
};
constexpr DollButton kDollButtons[] = {
    {2006, "Options"}, {2009, "Log out"}, {2012, "Journal"}, {2015, "Skills"},
    {2018, "Chat"},    {2021, "Peace"},   {2024, "War"},     {2027, "Status"},
    {2031, "Help"},
};

// --- Worn items ----------------------------------------------------------------------------

// The figure's regions (body art 12 and 13 are 160 x 300, centred at x = 80).
struct Region {
    int x0, y0, x1, y1;
};

GumpPicture Worn(std::initializer_list<Region> regions, u16 colour) {
    GumpCanvas c(kFigureWidth, kFigureHeight);
    for (const Region& r : regions) {
        c.Fill(r.x0, r.y0, r.x1, r.y1, colour);
        c.Bevel(r.x0, r.y0, r.x1, r.y1, 1, false);
    }
    return c.picture;
}

// Cloth in greys takes the item's hue everywhere; the greys here make hued items show.
GumpPicture WornArt(u32 id) {
    const bool female = id >= 60000;
    const int number = static_cast<int>(id % 10000);
    const u16 grey = GumpRgb5(19, 19, 19);
    const u16 leather = GumpRgb5(14, 9, 4);
    const u16 steel = GumpRgb5(21, 22, 24);
    const int waist = female ? 20 : 24;
    switch (number) {
        case 0:  // the backpack, behind the left shoulder
            return Worn({{118, 100, 150, 150}}, leather);
        case 500:  // tunic
            return Worn({{48, 94, 112, 176}, {38, 98, 50, 150}, {110, 98, 122, 150}},
                        female ? GumpRgb5(22, 12, 14) : GumpRgb5(12, 14, 20));
        case 510:  // shirt
            return Worn({{50, 96, 110, 170}, {38, 98, 52, 140}, {108, 98, 122, 140}},
                        female ? GumpRgb5(24, 22, 16) : grey);
        case 511:  // death robe
        case 512:  // robe
            return Worn({{44, 92, 116, 292}, {36, 96, 48, 190}, {112, 96, 124, 190}},
                        number == 511 ? GumpRgb5(20, 20, 20) : GumpRgb5(8, 6, 16));
        case 520:  // long sword, in the right hand
            return Worn({{126, 120, 131, 250}, {118, 186, 140, 192}}, steel);
        case 521:  // mace
            return Worn({{127, 150, 131, 240}, {121, 132, 137, 152}}, steel);
        case 522:  // spear
            return Worn({{127, 30, 130, 270}, {124, 22, 133, 34}}, steel);
        case 523:  // bow, in the left hand
            return Worn({{22, 110, 27, 250}, {27, 110, 30, 114}, {27, 246, 30, 250}}, leather);
        case 530:  // trousers
            return Worn({{80 - waist - 1, 176, 79, female ? 260 : 284},
                         {81, 176, 80 + waist + 1, female ? 260 : 284}},
                        female ? GumpRgb5(16, 12, 8) : GumpRgb5(10, 8, 5));
        case 535:  // skirt
            return Worn({{80 - waist - 6, 172, 80 + waist + 6, 240}}, GumpRgb5(16, 6, 8));
        case 540:  // boots
            return Worn({{80 - waist - 2, 262, 78, 298}, {82, 262, 80 + waist + 2, 298}},
                        GumpRgb5(6, 4, 2));
        case 545:  // leather cap
            return Worn({{64, 48, 96, 62}}, leather);
        case 546:  // gorget
            return Worn({{70, 84, 90, 98}}, leather);
        case 547:  // sleeves
            return Worn({{36, 98, 50, 160}, {110, 98, 124, 160}}, leather);
        case 548:  // gloves
            return Worn({{36, 176, 46, 196}, {114, 176, 124, 196}}, leather);
        case 987: {  // the ghost's veil over the body
            GumpCanvas c(kFigureWidth, kFigureHeight);
            for (int y = 48; y < 296; y += 2)
                for (int x = 36 + (y / 2) % 2; x < 124; x += 2)
                    c.At(x, y) = GumpRgb5(24, 24, 24);
            return c.picture;
        }
        default:
            return GumpPicture{};
    }
}

// Women have their own cut of these.
constexpr u32 kFemaleVariants[] = {500, 510, 530};

// --- The status window and bars ------------------------------------------------------------

GumpPicture StatusFull(CFontTable& fonts) {
    GumpCanvas c(kStatusWidth, kStatusHeight);
    c.Stone(0, 0, kStatusWidth, kStatusHeight, 19, 16, 10);
    c.Bevel(0, 0, kStatusWidth, kStatusHeight, 3, false);
    Label(fonts, c, 16, 14, "Status");
    // Each label on the line of the value the window writes beside it.
    const char* const left[] = {"Name", "Str", "Dex", "Int", "Sex", "Arm"};
    const int leftRows[] = {43, 62, 74, 86, 98, 110};
    for (int i = 0; i < 6; ++i)
        Label(fonts, c, 16, leftRows[i], left[i]);
    const char* const right[] = {"Hits", "Mana", "Stam", "Gold", "Wgt"};
    const int rightRows[] = {62, 74, 86, 98, 110};
    for (int i = 0; i < 5; ++i)
        Label(fonts, c, 120, rightRows[i], right[i]);
    // The corner that minimises the window to its bar.
    c.Fill(240, 112, 264, 137, GumpRgb5(9, 7, 4));
    c.Bevel(240, 112, 264, 137, 1, false);
    c.Fill(245, 123, 259, 126, GumpRgb5(26, 24, 18));
    return c.picture;
}

GumpPicture HealthBar(int r, int g, int b) {
    GumpCanvas c(kBarWidth, kBarHeight);
    c.Stone(0, 0, kBarWidth, kBarHeight, r, g, b);
    c.Bevel(0, 0, kBarWidth, kBarHeight, 2, false);
    // The sockets the bars sit in.
    for (int y : {12, 25, 38})
        c.Fill(30, y - 1, 147, y + 12, GumpRgb5(r / 2, g / 2, b / 2));
    return c.picture;
}

GumpPicture BarFill(u16 colour) {
    GumpCanvas c(110, 17);
    c.Fill(0, 0, 110, 17, colour);
    c.Bevel(0, 0, 110, 17, 1, true);
    return c.picture;
}

// --- The amount chooser --------------------------------------------------------------------

GumpPicture AmountPanel() {
    GumpCanvas c(160, 64);
    c.Stone(0, 0, 160, 64, 18, 15, 9);
    c.Bevel(0, 0, 160, 64, 2, false);
    // The slider's track and the amount's well.
    c.Fill(28, 22, 136, 26, GumpRgb5(4, 3, 2));
    c.Fill(24, 40, 96, 56, GumpRgb5(25, 22, 15));
    c.Bevel(23, 39, 97, 57, 1, true);
    return c.picture;
}

}  // namespace

std::vector<u32> PlayerWindowGumpIds() {
    std::vector<u32> ids = {10, 11, 2000, 2001, 2002, 2030, 2050, 2051,
                            2052, 2055, 2056, 2057, 2140, 2141, 2142, 50000, 50987};
    for (const DollButton& b : kDollButtons)
        for (u32 k = 0; k < 3; ++k)
            ids.push_back(b.first + k);
    for (const WornAnimation& w : DemoWornAnimations())
        if (w.animation < 600) ids.push_back(50000u + w.animation);
    for (u32 n : kFemaleVariants)
        ids.push_back(60000u + n);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void AddPlayerWindowArt(GumpArtWriter& writer, CFontTable& fonts) {
    // Art 10 and 11 only give the paperdolls' width for their place at the screen's right
    // edge.
    GumpCanvas edge(kDollWidth, 1);
    edge.Fill(0, 0, kDollWidth, 1, GumpRgb5(18, 15, 9));
    writer.Add(10, edge.picture);
    writer.Add(11, edge.picture);
    writer.Add(2000, DollBackground(true));
    writer.Add(2001, DollBackground(false));
    writer.Add(2002, ProfileArea());
    writer.Add(2030, DollMinimised(fonts));
    for (const DollButton& b : kDollButtons)
        for (int k = 0; k < 3; ++k)
            writer.Add(b.first + static_cast<u32>(k),
                       Button(fonts, kButtonWidth, kButtonHeight, b.label, k));
    for (u32 id : PlayerWindowGumpIds())
        if (id >= 50000) writer.Add(id, WornArt(id));
    writer.Add(2050, StatusFull(fonts));
    writer.Add(2051, HealthBar(16, 14, 10));
    writer.Add(2052, HealthBar(13, 13, 15));
    writer.Add(2055, HealthBar(20, 8, 6));
    writer.Add(2056, BarFill(GumpRgb5(4, 26, 4)));
    writer.Add(2057, BarFill(GumpRgb5(28, 26, 4)));
    writer.Add(2140, AmountPanel());
    writer.Add(2141, Button(fonts, 40, 20, "OK", 0));
    writer.Add(2142, Button(fonts, 40, 20, "OK", 1));
}
