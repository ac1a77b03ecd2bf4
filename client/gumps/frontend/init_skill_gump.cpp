#include "client/gumps/frontend/init_skill_gump.h"

#include "client/data/client_skill_table.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/frontend/creation_parts.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/profession_presets.h"

namespace {

constexpr int kArt = 1230;

CInitSkillGump* Screen() {
    return static_cast<CInitSkillGump*>(TheGumpDesktop().initialSkillGump);
}

std::string SkillName(int skill) {
    const ClientSkillTable& table = TheClientSkillTable();
    if (skill < 0 || skill >= ClientSkillTable::kSlots) return "";
    return table.names[skill];
}

}  // namespace

CInitSkillGump::CInitSkillGump() {
    LoadSkillTable();
    SetUpScreenArt(*this, "InitSkill gump", kArt, 98, 101);
    pictures[0] = MakeSidePicture(1231, 517, 120);
    const int skillPlaces[3][2] = {{131, 49}, {131, 93}, {131, 138}};
    const int valuePlaces[3][2] = {{301, 58}, {302, 103}, {303, 149}};
    const int thumbRows[3] = {68, 113, 159};
    const int start[3] = {34, 33, 33};
    for (int i = 0; i < 3; ++i) {
        skillFields[i] = MakeChoiceField(this, skillPlaces[i][0], skillPlaces[i][1], 166, 20, 24, i,
                                         SkillName(i));
        valueFields[i] =
            MakeNumberField(this, valuePlaces[i][0], valuePlaces[i][1], 36, 14, start[i]);
        thumbs[i] = MakeSliderThumb(this, 130, thumbRows[i], 296);
        thumbs[i]->SetPosition(start[i], kSkillValueMax);
    }
    const int buttons[3][3] = {{92, 52, 1238}, {90, 97, 1241}, {90, 141, 1244}};
    for (int i = 0; i < 3; ++i)
        MakeArtButton(this, buttons[i][0], buttons[i][1], buttons[i][2], buttons[i][2] + 1,
                      buttons[i][2] + 2, [i](CGump* screen) { ChooseSkill(screen, i); });
    MakeArtButton(this, 93, 203, 1235, 1236, 1237, &CInitSkillGump::Back);
    MakeArtButton(this, 280, 202, 1232, 1233, 1234, &CInitSkillGump::Next);
}

CInitSkillGump::~CInitSkillGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.initialSkillGump == this) desktop.initialSkillGump = nullptr;
}

void CInitSkillGump::SetSkills(const int skills[3], const int values[3]) {
    for (int i = 0; i < 3; ++i) {
        SetChoiceField(skillFields[i], skills[i], SkillName(skills[i]));
        SetNumberField(valueFields[i], values[i]);
        thumbs[i]->SetPosition(values[i], kSkillValueMax);
    }
}

std::array<int, 3> CInitSkillGump::Skills() const {
    return {skillFields[0]->number, skillFields[1]->number, skillFields[2]->number};
}

std::array<int, 3> CInitSkillGump::Values() const {
    return {valueFields[0]->number, valueFields[1]->number, valueFields[2]->number};
}

std::vector<CThumbGump*> CInitSkillGump::Sliders() const {
    return {thumbs[0], thumbs[1], thumbs[2]};
}

void CInitSkillGump::OnSliderMoved(int position, int range, CGump* thumb) {
    const int moved = SliderIndex(thumb);
    if (moved < 0 || range <= 0) return;
    std::array<int, 3> v = Values();
    const bool othersChanged = BalanceSkillValues(v, moved, position * kSkillValueMax / range);
    for (int i = 0; i < 3; ++i) {
        if (i != moved && !othersChanged) continue;
        SetNumberField(valueFields[i], v[static_cast<size_t>(i)]);
        if (i != moved) thumbs[i]->SetPosition(v[static_cast<size_t>(i)], kSkillValueMax);
    }
}

void CInitSkillGump::ChooseSkill(CGump* gump, int field) {
    auto* screen = static_cast<CInitSkillGump*>(gump);
    if (screen == nullptr || field < 0 || field > 2) return;
    screen->ShowPictures(false);
    const ClientSkillTable& table = TheClientSkillTable();
    std::vector<std::pair<int, std::string>> items;
    for (int p = 0; p < table.count; ++p) {
        const int skill = table.sorted[p];
        // A skill number without a record has no name to choose.
        if (table.names[skill][0] != 0) items.emplace_back(skill, table.names[skill]);
    }
    OpenFieldChooser(screen, screen->skillFields[field], 1228, items);
}

void CInitSkillGump::Next(CGump*) {
    CInitSkillGump* screen = Screen();
    if (screen == nullptr) return;
    const std::array<int, 3> s = screen->Skills();
    if (s[0] == s[1] || s[0] == s[2] || s[1] == s[2]) {
        ShowFrontEndNotice("You have two of the same skill.", screen, 1, false);
        screen->visible = false;
        return;
    }
    screen->Report(ScreenOutcome::kNext);
}

void CInitSkillGump::Back(CGump*) {
    if (CInitSkillGump* screen = Screen()) screen->Report(ScreenOutcome::kBack);
}
