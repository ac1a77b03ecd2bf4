#include "client/gumps/frontend/login_gump.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/front_end_screens.h"

namespace {

constexpr int kArt = 1100;

struct RowPlace {
    int x, y, art, margin;
};
// The margins put every name at x = 103 within the list.
constexpr RowPlace kRowPlaces[CLoginGump::kRows] = {
    {81, 77, 1116, 22},  {93, 96, 1119, 10},  {100, 114, 1122, 3},
    {92, 134, 1125, 11}, {78, 153, 1128, 25},
};

CLoginGump* List() {
    return static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
}

}  // namespace

CLoginGump::CLoginGump(int selectedRow) : selected(selectedRow) {
    SetUpScreenArt(*this, "Login gump", kArt, 124, 104);
    for (int i = 0; i < kRows; ++i) {
        const RowPlace& p = kRowPlaces[i];
        auto* row = Add<CInputControlGump>(p.x, p.y, this, p.art, p.art + 2,
                                           CInputControlGump::kText, 30, 1, 902, false, false, 0);
        row->hoverArt = static_cast<u16>(p.art + 1);
        row->leftMargin = static_cast<u8>(p.margin);
        row->topMargin = 0;
        row->selectedLook = i == selected;
        row->Redraw();
        rows[i] = row;
    }
    struct ButtonPlace {
        int x, y, art;
        void (*callback)(CGump*);
    };
    const ButtonPlace buttons[] = {
        {63, 30, 1107, &CLoginGump::NewCharacter},
        {57, 183, 1101, &CLoginGump::DeleteCharacter},
        {246, 183, 1104, &CLoginGump::ChangePassword},
        {245, 30, 1113, &CLoginGump::Play},
        {160, 13, 1110, &CLoginGump::Back},
    };
    for (const ButtonPlace& b : buttons) {
        auto* button = Add<CButtonGump>(b.x, b.y, this, CButtonGump::kPush, 0, b.callback, b.art,
                                        b.art + 1, 0);
        button->hoverArt = b.art + 2;
        if (b.art == 1104) changePassword = button;
    }
    // The change-password dialog is not reachable from this screen.
    changePassword->disabled = true;
}

void CLoginGump::AddCharacter(const std::string& name, int slot) {
    if (name.empty() || count >= kRows) return;
    rows[count]->SetText(name);
    rows[count]->Redraw();
    slots[count] = slot;
    ++count;
}

int CLoginGump::RemoveCharacter(int slot) {
    int row = 0;
    while (row < count && slots[row] != slot)
        ++row;
    if (row == count) return count;
    for (int i = row; i + 1 < count; ++i) {
        rows[i]->SetText(rows[i + 1]->Text());
        rows[i]->Redraw();
        slots[i] = slots[i + 1];
    }
    rows[count - 1]->SetText("");
    rows[count - 1]->Redraw();
    slots[count - 1] = -1;
    return --count;
}

void CLoginGump::Select(int row) {
    if (row < 0 || row == selected) return;
    if (selected >= 0 && selected < kRows) {
        rows[selected]->selectedLook = false;
        rows[selected]->Redraw();
    }
    selected = row;
    rows[row]->selectedLook = true;
    rows[row]->Redraw();
}

int CLoginGump::RowOf(CGump* field) const {
    for (int i = 0; i < kRows; ++i)
        if (rows[i] == field) return i;
    return -1;
}

void CLoginGump::OnFieldClicked(CGump* field) {
    Select(RowOf(field));
}

void CLoginGump::OnFieldReleased(CGump* field) {
    const int row = RowOf(field);
    if (row < 0) return;
    Select(row);
    if (rows[row]->Text().empty())
        NewCharacter(this);
    else
        Play(this);
}

void CLoginGump::Play(CGump*) {
    CLoginGump* list = List();
    LoginScreenActions* actions = TheLoginScreenActions();
    if (list == nullptr) return;
    const int row = list->selected;
    if (row < 0 || row >= kRows || list->rows[row]->Text().empty()) {
        list->visible = false;
        ShowFrontEndNotice("No character to login with.", list, 1, false);
        return;
    }
    if (actions == nullptr) return;
    ClientStateRecord& state = actions->State();
    const int slot = list->slots[row];
    if (slot >= 0 && slot < ClientStateRecord::kSlots && !state.characters[slot].password.empty()) {
        list->Report(ScreenOutcome::kPlayWithPassword);
        return;
    }
    state.playerName = list->rows[row]->Text();
    state.chosenSlot = slot;
    DeleteCurrentFrontEndNotice();
    ShowProgressNotice("Entering Sorvenmar... ", list);
    actions->SendPlayCharacter(state.playerName, "", slot);
    list->visible = false;
}

void CLoginGump::NewCharacter(CGump*) {
    CLoginGump* list = List();
    if (list == nullptr) return;
    if (list->count >= kRows) {
        ShowFrontEndNotice("You already have 5 characters.", nullptr, 0, false);
        return;
    }
    list->Report(ScreenOutcome::kNewCharacter);
}

namespace {

// The selected row's dialog in place of the list (`outcome`), or the notice `empty` when the
// row has no character.
void ReportRowDialog(ScreenOutcome outcome, const char* empty) {
    CLoginGump* list = List();
    if (list == nullptr) return;
    const int row = list->selected;
    if (row < 0 || row >= CLoginGump::kRows || list->rows[row]->Text().empty()) {
        list->visible = false;
        ShowFrontEndNotice(empty, list, 1, false);
        return;
    }
    list->Report(outcome);
}

}  // namespace

void CLoginGump::DeleteCharacter(CGump*) {
    ReportRowDialog(ScreenOutcome::kDeleteCharacter, "No character to delete.");
}

void CLoginGump::ChangePassword(CGump*) {
    // The list's button is disabled: only a direct call comes here.
    ReportRowDialog(ScreenOutcome::kChangePassword, "No character to change password on.");
}

void CLoginGump::Back(CGump*) {
    LoginScreenActions* actions = TheLoginScreenActions();
    if (actions != nullptr) actions->SendDisconnect();
    if (CLoginGump* list = List()) list->Report(ScreenOutcome::kBack);
    if (actions != nullptr) {
        actions->CloseConnection();
        actions->SetWindowTitle("");
    }
}

bool CLoginGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CLoginGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CLoginGump::OnRightUp(int, int) {
    ReleaseCapture();
}

void CLoginGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
