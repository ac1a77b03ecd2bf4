#include "client/gumps/frontend/char_creation_gump.h"

#include <algorithm>

#include "client/data/gump_art.h"
#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/frontend/creation_parts.h"
#include "client/gumps/frontend/front_end_screens.h"

namespace {

constexpr int kArt = 1260;
// The figure stands in the middle column, clear of the controls around it; the male or female
// caption under the sex button.
constexpr int kFigureX = 118;
constexpr int kFigureY = 4;
constexpr int kSexCaptionX = 16;
constexpr int kSexCaptionY = 236;
// The skin list's hues run from offset 0 to 55.
constexpr int kLastSkinOffset = 55;
constexpr int kHairColours = 7;
constexpr int kHairShades = 5;

CCharCreationGump* Screen() {
    return static_cast<CCharCreationGump*>(TheGumpDesktop().charCreationGump);
}

// The gump art of a worn graphic: its animation number from the tile data.
int WornArt(int graphic, int base) {
    return TheClientTileData().Static(graphic).animation + base;
}

void DrawPart(u16* pixels, int width, int height, int art, int hue) {
    if (hue < 0) {
        CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), kFigureX, kFigureY, pixels, width,
                      height);
        return;
    }
    CopyGumpToBuf(BlitSpan(SpanHueKeyed, hue), static_cast<u32>(art), kFigureX, kFigureY, pixels,
                  width, height);
}

std::vector<std::pair<int, std::string>> ChooserItems(
    const std::vector<std::pair<int, const char*>>& styles) {
    std::vector<std::pair<int, std::string>> items;
    for (const auto& [id, name] : styles)
        items.emplace_back(id, name);
    return items;
}

}  // namespace

std::vector<std::pair<int, const char*>> HairStyles(int sex) {
    std::vector<std::pair<int, const char*>> styles = {
        {0, "NONE"},        {8251, "Short"},   {8252, "Long"},    {8253, "Pony tail"},
        {8260, "Mohawk"},   {8261, "Pageboy"}, {8262, "Buns"},    {8263, "Curly"},
        {8264, "Receding"}, {8265, "2 Tails"}, {8266, "Topknot"},
    };
    if (sex != 1)
        styles.erase(std::remove_if(styles.begin(), styles.end(),
                                    [](const auto& s) { return s.first == 8262; }),
                     styles.end());
    return styles;
}

std::vector<std::pair<int, const char*>> BeardStyles() {
    return {{0, "NONE"},
            {8256, "Goatee"},
            {8254, "Long beard"},
            {8255, "Short beard"},
            {8257, "Moustache"},
            {8267, "Short beard/moustache"},
            {8268, "Long beard/moustache"},
            {8269, "Vandyke"}};
}

CCharCreationGump::CCharCreationGump() {
    // Within the 640 x 480 window: hair on the figure's left, beard on its right, skin below.
    SetUpScreenArt(*this, "CharCreation gump", kArt, 108, 26);
    hairField = MakeChoiceField(this, 16, 86, 100, 14, 10, kShortHair, "Short");
    beardField = MakeChoiceField(this, 282, 86, 100, 14, 10, 0, "NONE");
    sexField = MakeChoiceField(this, 0, 0, 80, 14, 10, 0, "");
    sexField->visible = false;
    skinColourThumb = MakeSliderThumb(this, 118, 328, 278);
    skinShadeThumb = MakeSliderThumb(this, 118, 362, 278);
    hairColourThumb = MakeSliderThumb(this, 16, 126, 116);
    beardColourThumb = MakeSliderThumb(this, 282, 126, 382);
    hairShadeThumb = MakeSliderThumb(this, 16, 162, 116);
    beardShadeThumb = MakeSliderThumb(this, 282, 162, 382);
    beardColourThumb->visible = beardShadeThumb->visible = false;
    MakeArtButton(this, 16, 210, 1271, 1272, 1273, &CCharCreationGump::ToggleSex);
    hairButton = MakeArtButton(this, 16, 56, 1274, 1275, 1276, &CCharCreationGump::ChooseHair);
    beardButton = MakeArtButton(this, 282, 56, 1277, 1278, 1279, &CCharCreationGump::ChooseBeard);
    MakeArtButton(this, 326, 392, 1268, 1269, 1270, &CCharCreationGump::Next);
    MakeArtButton(this, 16, 392, 1265, 1266, 1267, &CCharCreationGump::Back);
    pictures[0] = MakeSidePicture(1261, 80, 133);
    pictures[1] = MakeSidePicture(1262, 505, 129);
    DrawPreview();
}

CCharCreationGump::~CCharCreationGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.charCreationGump == this) desktop.charCreationGump = nullptr;
}

int CCharCreationGump::Sex() const {
    return sexField->number;
}

int CCharCreationGump::HairStyle() const {
    return hairField->number;
}

int CCharCreationGump::BeardStyle() const {
    return beardField->number;
}

void CCharCreationGump::DrawPreview() {
    const int sex = Sex();
    int bw = 0, bh = 0;
    // Without the body art the frame stays as it was.
    if (!GetGumpArtSize(static_cast<u32>(12 + sex), bw, bh)) return;
    Bitmap16& frame = MakeFrame(0);
    u16* px = frame.Pixels();
    std::fill(px, px + static_cast<size_t>(width) * height, 0);
    CopyGumpToBuf(SpanCopyKeyed, kArt, 0, 0, px, width, height);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(1263 + sex), kSexCaptionX, kSexCaptionY, px,
                  width, height);
    DrawPart(px, width, height, 12 + sex, skinHue);
    DrawPart(px, width, height, sex * 10000 + 50434, -1);
    if (HairStyle() != 0)
        DrawPart(px, width, height, WornArt(HairStyle(), sex == 1 ? 60000 : 50000), hairHue);
    if (BeardStyle() != 0) DrawPart(px, width, height, WornArt(BeardStyle(), 50000), beardHue);
    DrawPart(px, width, height, 50622, -1);
    DrawPart(px, width, height, sex == 1 ? 60449 : 50431, -1);
    DrawPart(px, width, height, sex * 10000 + 50480, -1);
}

void CCharCreationGump::ShowThumbs(CThumbGump* colour, CThumbGump* shade, bool shown) {
    colour->visible = shown;
    shade->visible = shown;
}

void CCharCreationGump::OnControlChanged(CGump* control) {
    if (control == sexField) {
        SetChoiceField(hairField, kShortHair, "Short");
        if (Sex() == 0) {
            beardButton->disabled = false;
            ShowThumbs(beardColourThumb, beardShadeThumb, BeardStyle() != 0);
        } else {
            SetChoiceField(beardField, 0, "NONE");
            beardButton->disabled = true;
            ShowThumbs(beardColourThumb, beardShadeThumb, false);
        }
        DrawPreview();
        OnControlChanged(hairField);
    } else if (control == hairField) {
        ShowThumbs(hairColourThumb, hairShadeThumb, HairStyle() != 0);
        DrawPreview();
    } else if (control == beardField) {
        ShowThumbs(beardColourThumb, beardShadeThumb, BeardStyle() != 0);
        DrawPreview();
    }
}

void CCharCreationGump::OnSliderMoved(int p, int r, CGump* thumb) {
    if (r <= 0) return;
    const HueGroups& skin = TheHueTable().skinGroups;
    const int groups = static_cast<int>(skin.starts.size());
    auto start = [&](int g) {
        return g >= 0 && g < groups ? skin.starts[static_cast<size_t>(g)] : 0;
    };
    int* index = nullptr;
    int value = 0;
    if (thumb == skinColourThumb) {
        index = &skinGroup;
        value = groups > 1 ? p * (groups - 1) / r : 0;
    } else if (thumb == skinShadeThumb) {
        index = &skinShade;
        const int span = skinGroup < groups - 1 ? start(skinGroup + 1) - start(skinGroup) - 1
                                                : kLastSkinOffset - start(skinGroup);
        value = p * std::max(span, 0) / r;
    } else if (thumb == hairColourThumb || thumb == beardColourThumb) {
        index = thumb == hairColourThumb ? &hairColour : &beardColour;
        value = p * kHairColours / r;
    } else if (thumb == hairShadeThumb || thumb == beardShadeThumb) {
        index = thumb == hairShadeThumb ? &hairShade : &beardShade;
        value = p * kHairShades / r;
    } else {
        return;
    }
    if (*index == value) return;
    *index = value;
    skinHue = start(skinGroup) + kStartSkinHue + skinShade;
    hairHue = hairColour + kStartHairHue + 8 * hairShade;
    beardHue = beardColour + kStartHairHue + 8 * beardShade;
    DrawPreview();
}

void CCharCreationGump::ToggleSex(CGump*) {
    CCharCreationGump* screen = Screen();
    if (screen == nullptr) return;
    const int sex = screen->Sex() == 0 ? 1 : 0;
    SetChoiceField(screen->sexField, sex, sex == 1 ? "Female" : "Male");
    screen->OnControlChanged(screen->sexField);
}

void CCharCreationGump::ChooseHair(CGump*) {
    CCharCreationGump* screen = Screen();
    if (screen == nullptr) return;
    ShowGump(screen->pictures[0], false);
    OpenFieldChooser(screen, screen->hairField, 1226, ChooserItems(HairStyles(screen->Sex())));
}

void CCharCreationGump::ChooseBeard(CGump*) {
    CCharCreationGump* screen = Screen();
    if (screen == nullptr) return;
    ShowGump(screen->pictures[1], false);
    OpenFieldChooser(screen, screen->beardField, 1228, ChooserItems(BeardStyles()));
}

void CCharCreationGump::Next(CGump*) {
    CCharCreationGump* screen = Screen();
    if (screen != nullptr) screen->Report(ScreenOutcome::kNext);
}

void CCharCreationGump::Back(CGump*) {
    CCharCreationGump* screen = Screen();
    if (screen != nullptr) screen->Report(ScreenOutcome::kBack);
}

std::vector<CThumbGump*> CCharCreationGump::Sliders() const {
    return {skinColourThumb,  skinShadeThumb, hairColourThumb,
            beardColourThumb, hairShadeThumb, beardShadeThumb};
}
