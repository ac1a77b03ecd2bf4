#include "client/gumps/frontend/char_stat_gump.h"

#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/frontend/character_name.h"
#include "client/gumps/frontend/creation_parts.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/profession_presets.h"

namespace {

constexpr int kArt = 1200;
constexpr int kNameMax = 16;
// A thumb stands at value - 10 of 35.
constexpr int kAttributeRange = kAttributeMax - kAttributeMin;

CCharStatGump* Screen() {
    return static_cast<CCharStatGump*>(TheGumpDesktop().charStatGump);
}

}  // namespace

CCharStatGump::CCharStatGump() {
    SetUpScreenArt(*this, "CharStat gump", kArt, 120, 102);
    nameField = MakeScreenTextField(this, 121, 29, {1201, 1202, 1204, 1203}, kNameMax,
                                    kCreationFieldFont, 7, 2);
    passwordField = MakeScreenTextField(this, 122, 49, {1205, 1206, 1208, 1207}, kNameMax,
                                        kCreationFieldFont, 7, 0);
    passwordField->password = true;
    passwordField->Redraw();
    const int start[3] = {22, 21, 22};
    const int fieldPlaces[3][2] = {{154, 112}, {153, 142}, {153, 173}};
    const int thumbRows[3] = {118, 148, 178};
    const int derivedRows[3] = {112, 142, 173};
    for (int i = 0; i < 3; ++i) {
        attributeFields[i] =
            MakeNumberField(this, fieldPlaces[i][0], fieldPlaces[i][1], 27, 12, start[i]);
        thumbs[i] = MakeSliderThumb(this, 59, thumbRows[i], 149);
        thumbs[i]->SetPosition(start[i] - kAttributeMin, kAttributeRange);
    }
    for (int i = 0; i < 3; ++i)
        derivedFields[i] = MakeNumberField(this, 222, derivedRows[i], 27, 12, 0);
    // The chosen profession's name shows left of the button that changes it.
    professionField = MakeChoiceField(this, 40, 79, 115, 14, 16, 0, "");
    MakeArtButton(this, 163, 75, 1212, 1213, 1214, &CCharStatGump::ChooseProfession);
    MakeArtButton(this, 62, 208, 1218, 1219, 1220, &CCharStatGump::Cancel);
    MakeArtButton(this, 286, 208, 1215, 1216, 1217, &CCharStatGump::Next);
    pictures[0] = MakeSidePicture(1211, 512, 121);
    const int id = kStartProfessions[GetGumpHostServices().RandomBelow(5)];
    const ProfessionPreset* preset = FindProfession(id);
    SetChoiceField(professionField, id, preset->name);
    OnControlChanged(professionField);
}

CCharStatGump::~CCharStatGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.charStatGump == this) desktop.charStatGump = nullptr;
}

std::array<int, 3> CCharStatGump::Attributes() const {
    return {attributeFields[0]->number, attributeFields[1]->number, attributeFields[2]->number};
}

void CCharStatGump::ApplyProfession(const int weights[3], const int skills[3],
                                    const int values[3]) {
    const std::array<int, 3> attributes = ScaleProfessionWeights(weights);
    for (int i = 0; i < 3; ++i) {
        SetNumberField(attributeFields[i], attributes[static_cast<size_t>(i)]);
        thumbs[i]->SetPosition(attributes[static_cast<size_t>(i)] - kAttributeMin, kAttributeRange);
    }
    if (auto* skillScreen = static_cast<CInitSkillGump*>(TheGumpDesktop().initialSkillGump))
        skillScreen->SetSkills(skills, values);
    UpdateDerived();
}

void CCharStatGump::UpdateDerived() {
    const std::array<int, 3> a = Attributes();
    // The right column repeats the attributes in the sliders' order.
    for (int i = 0; i < 3; ++i)
        SetNumberField(derivedFields[i], a[static_cast<size_t>(i)]);
}

void CCharStatGump::OnControlChanged(CGump* control) {
    if (control != professionField) return;
    const ProfessionPreset* preset = FindProfession(professionField->number);
    if (preset == nullptr) return;
    ApplyProfession(preset->weights, preset->skills, preset->values);
}

std::vector<CThumbGump*> CCharStatGump::Sliders() const {
    return {thumbs[0], thumbs[1], thumbs[2]};
}

void CCharStatGump::OnSliderMoved(int position, int range, CGump* thumb) {
    const int moved = SliderIndex(thumb);
    if (moved < 0 || range <= 0) return;
    std::array<int, 3> a = Attributes();
    const int value = position * kAttributeRange / range + kAttributeMin;
    const bool othersChanged = BalanceAttributes(a, moved, value);
    for (int i = 0; i < 3; ++i) {
        if (i != moved && !othersChanged) continue;
        SetNumberField(attributeFields[i], a[static_cast<size_t>(i)]);
        // The moved thumb stays under the pointer.
        if (i != moved)
            thumbs[i]->SetPosition(a[static_cast<size_t>(i)] - kAttributeMin, kAttributeRange);
    }
    UpdateDerived();
}

void CCharStatGump::ChooseProfession(CGump*) {
    CCharStatGump* screen = Screen();
    if (screen == nullptr) return;
    screen->ShowPictures(false);
    std::vector<std::pair<int, std::string>> items;
    for (const ProfessionPreset& p : ProfessionPresets())
        items.emplace_back(p.id, p.name);
    OpenFieldChooser(screen, screen->professionField, 1226, items);
}

void CCharStatGump::Next(CGump*) {
    CCharStatGump* screen = Screen();
    if (screen == nullptr) return;
    const std::string& name = screen->nameField->Text();
    const char* refusal = nullptr;
    if (name.size() <= 1)
        refusal = "Your character name is too short.";
    else if (IsUnacceptableName(name))
        refusal = "Unacceptable name.";
    if (refusal != nullptr) {
        screen->visible = false;
        ShowFrontEndNotice(refusal, screen, 1, false);
        return;
    }
    if (LoginScreenActions* actions = TheLoginScreenActions()) {
        actions->State().playerName = name;
        actions->State().playerPassword = screen->passwordField->Text();
    }
    screen->Report(ScreenOutcome::kNext);
    // Keys typed on the next screens must not edit or cancel this hidden one.
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.keyboardFocus == screen->nameField ||
        desktop.keyboardFocus == screen->passwordField)
        desktop.ClearKeyboardFocus();
}

void CCharStatGump::Cancel(CGump*) {
    if (CCharStatGump* screen = Screen()) screen->Report(ScreenOutcome::kCancel);
}

void CCharStatGump::OnFieldTab() {
    MoveFocusInCycle({nameField, passwordField});
}
