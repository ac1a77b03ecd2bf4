#include "client/gumps/frontend/creation_parts.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/framework/thumb_gump.h"

namespace {

CInputControlGump* MakeReadOnly(CGump* owner, int x, int y, int width, int height, int kind,
                                int maximum) {
    auto* field = TheGumpDesktop().Make<CInputControlGump>(x, y, owner, width, height, kind,
                                                           maximum, kCreationFieldFont,
                                                           kCreationFieldHue, false, true, false);
    // The selected look centres the value and leaves out the chooser arrow; the field never
    // takes the keyboard.
    field->selectedLook = true;
    field->topMargin = 0;
    // A row lower than the font's line grows around its middle, so the value is never cut.
    int w = 0, line = 0, baseline = 0;
    GetFontTable().MeasureText(kCreationFieldFont, "Aq", w, line, baseline);
    if (line > height) {
        field->PlaceAt(x, std::max(y - (line - height) / 2, 0));
        field->height = line;
    }
    return field;
}

}  // namespace

CInputControlGump* MakeNumberField(CGump* owner, int x, int y, int width, int height, int number) {
    CInputControlGump* field =
        MakeReadOnly(owner, x, y, width, height, CInputControlGump::kNumber, 3);
    SetNumberField(field, number);
    field->AttachTo(owner);
    return field;
}

CInputControlGump* MakeChoiceField(CGump* owner, int x, int y, int width, int height, int maximum,
                                   int id, const std::string& text, bool link) {
    CInputControlGump* field =
        MakeReadOnly(owner, x, y, width, height, CInputControlGump::kChoice, maximum);
    SetChoiceField(field, id, text);
    if (link) field->AttachTo(owner);
    return field;
}

void SetNumberField(CInputControlGump* field, int number) {
    field->number = number;
    field->Redraw();
}

void SetChoiceField(CInputControlGump* field, int id, const std::string& text) {
    field->number = id;
    field->SetText(text);
}

CButtonGump* MakeArtButton(CGump* owner, int x, int y, int normal, int pressed, int hover,
                           ButtonCallback callback) {
    auto* button = owner->Add<CButtonGump>(x, y, owner, CButtonGump::kPush, 0, std::move(callback),
                                           normal, pressed, 0);
    button->hoverArt = hover;
    return button;
}

CThumbGump* MakeSliderThumb(CGump* owner, int x, int y, int trackEnd) {
    auto* thumb = owner->Add<CThumbGump>(x, y, false, trackEnd, owner, kSliderArt);
    thumb->hoverArt = kSliderHoverArt;
    return thumb;
}

CDumbGump* MakeSidePicture(int art, int x, int y) {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(art), w, h);
    return TheGumpDesktop().Open<CDumbGump>(x, y, nullptr, w, h, 0, nullptr, art);
}

void ShowGump(CGump* gump, bool shown) {
    if (gump != nullptr) gump->visible = shown;
}

void OpenFieldChooser(CGump* owner, CInputControlGump* field, int art,
                      const std::vector<std::pair<int, std::string>>& items) {
    CGumpDesktop& desktop = TheGumpDesktop();
    auto* chooser = desktop.Open<CScrollChoiceGump>(owner, field, art);
    for (const auto& [id, text] : items)
        chooser->AddItem(id, text, 0);
    chooser->Redraw();
    desktop.modalGump = chooser;
}
