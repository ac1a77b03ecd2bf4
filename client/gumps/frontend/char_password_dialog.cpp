#include "client/gumps/frontend/char_password_dialog.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/login_gump.h"

namespace {

constexpr int kArt = 1140;
constexpr int kHue = 902;

CLoginGump* List() {
    return static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
}

// The list's selected row has a name.
bool SelectedRowFilled(CLoginGump* list) {
    return list != nullptr && list->selected >= 0 && list->selected < CLoginGump::kRows &&
           !list->rows[list->selected]->Text().empty();
}

}  // namespace

CCharPasswordDialog::CCharPasswordDialog(const char* label, const std::string& question)
    : CCharPasswordDialog(label) {
    Bitmap16& frame = *Frame(0);
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    CFontTable& fonts = GetFontTable();
    fonts.DrawText(60, 125, 2, kHue, "Password", target, all);
    fonts.DrawWrappedText(60, 50, 2, kHue, question.c_str(), width - 120, target, all, 0, 0);
    password = AddPasswordField(130);
    TheGumpDesktop().SetKeyboardFocus(password);
}

CInputControlGump* CCharPasswordDialog::AddPasswordField(int y) {
    auto* field = Add<CInputControlGump>(60, y, this, 1141, 1143, CInputControlGump::kText, 30, 1,
                                         kHue, true, false, 0);
    field->hoverArt = 1142;
    field->leftMargin = 12;
    field->topMargin = 5;
    field->password = true;
    field->Redraw();
    return field;
}

CCharPasswordDialog::CCharPasswordDialog(const char* label) {
    SetUpScreenArt(*this, label, kArt, 121, 102);
    auto* ok = Add<CButtonGump>(
        117, 190, this, CButtonGump::kPush, 0,
        [](CGump* owner) { static_cast<CCharPasswordDialog*>(owner)->Ok(); }, 1147, 1148, 0);
    ok->hoverArt = 1149;
    auto* cancel =
        Add<CButtonGump>(204, 190, this, CButtonGump::kPush, 0, &CloseParentGump, 1144, 1145, 0);
    cancel->hoverArt = 1146;
}

CCharPasswordDialog::~CCharPasswordDialog() {
    if (CGump* list = TheGumpDesktop().loginGump) list->visible = true;
}

bool CCharPasswordDialog::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CCharPasswordDialog::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CCharPasswordDialog::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

CPlayCharGump::CPlayCharGump(const std::string& name)
    : CCharPasswordDialog("PlayChar gump", "Play as " + name + "?") {}

void CPlayCharGump::Ok() {
    CLoginGump* list = List();
    LoginScreenActions* actions = TheLoginScreenActions();
    if (!SelectedRowFilled(list)) {
        visible = false;
        ShowFrontEndNotice("No character to login with.", this, 1, false);
        return;
    }
    const std::string typed = password->Text();
    TheGumpDesktop().Close(this);  // shows the list, hidden again below
    list->visible = false;
    if (actions == nullptr) return;
    ClientStateRecord& state = actions->State();
    state.playerName = list->rows[list->selected]->Text();
    state.playerPassword = typed;
    state.chosenSlot = list->slots[list->selected];
    DeleteCurrentFrontEndNotice();
    ShowProgressNotice("Entering Sorvenmar... ", list);
    actions->SendPlayCharacter(state.playerName, typed, state.chosenSlot);
}

CDeleteCharGump::CDeleteCharGump(const std::string& name)
    : CCharPasswordDialog("DeleteChar gump", "Permanently delete " + name + "?") {}

void CDeleteCharGump::Ok() {
    CLoginGump* list = List();
    if (!SelectedRowFilled(list)) {
        ShowFrontEndNotice("No character to delete.", nullptr, 1, false);
        TheGumpDesktop().Close(this);
        return;
    }
    DeleteCurrentFrontEndNotice();
    const std::string typed = password->Text();
    TheGumpDesktop().Close(this);
    ShowProgressNotice("Deleting character... ", list);
    if (LoginScreenActions* actions = TheLoginScreenActions())
        actions->SendDeleteCharacter(typed, list->slots[list->selected]);
    list->visible = false;
}
