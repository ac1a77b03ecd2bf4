#include "client/gumps/frontend/change_password_dialog.h"

#include "client/data/fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/login_gump.h"

namespace {

constexpr int kArt = 1140;
constexpr int kHue = 902;

CInputControlGump* MakePasswordField(CGump* owner, int y) {
    auto* field = new CInputControlGump(60, y, owner, 1141, 1143, CInputControlGump::kText, 30, 1,
                                        kHue, true, false, 0);
    field->hoverArt = 1142;
    field->leftMargin = 12;
    field->topMargin = 5;
    field->password = true;
    field->Redraw();
    field->AttachTo(owner);
    return field;
}

}  // namespace

CChgPWGump::CChgPWGump(const std::string& characterName) : name(characterName.substr(0, 30)) {
    SetUpScreenArt(*this, "ChgPW gump", kArt, 121, 102);
    Bitmap16& frame = *Frame(0);
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    CFontTable& fonts = GetFontTable();
    fonts.DrawText(60, 55, 2, kHue, "Old Password", target, all);
    fonts.DrawText(60, 99, 2, kHue, "New Password", target, all);
    fonts.DrawText(60, 143, 2, kHue, "Verify Password", target, all);
    oldPassword = MakePasswordField(this, 58);
    newPassword = MakePasswordField(this, 102);
    verifyPassword = MakePasswordField(this, 146);
    auto* ok = new CButtonGump(
        117, 190, this, CButtonGump::kPush, 0,
        [](CGump* owner) { static_cast<CChgPWGump*>(owner)->Ok(); }, 1147, 1148, 0);
    ok->hoverArt = 1149;
    ok->AttachTo(this);
    auto* cancel =
        new CButtonGump(204, 190, this, CButtonGump::kPush, 0, &CloseParentGump, 1144, 1145, 0);
    cancel->hoverArt = 1146;
    cancel->AttachTo(this);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetKeyboardFocus(oldPassword);
    desktop.modalGump = this;
}

CChgPWGump::~CChgPWGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.modalGump == this) desktop.modalGump = nullptr;
    if (desktop.loginGump != nullptr) desktop.loginGump->visible = true;
}

void CChgPWGump::Ok() {
    if (newPassword->Text() != verifyPassword->Text()) {
        visible = false;
        ShowFrontEndNotice("Passwords do not match!", this, 1, false);
        return;
    }
    auto* list = static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
    const std::string oldText = oldPassword->Text(), newText = newPassword->Text();
    DeleteCurrentFrontEndNotice();
    const int row = list != nullptr ? list->selected : -1;
    const int slot = row >= 0 && row < CLoginGump::kRows ? list->slots[row] : -1;
    if (LoginScreenActions* actions = TheLoginScreenActions())
        actions->SendChangePassword(oldText, newText, slot);
    delete this;
    if (list != nullptr) list->visible = false;
    ShowProgressNotice("Changing password... ", list);
}

void CChgPWGump::OnFieldTab() {
    CGumpDesktop& desktop = TheGumpDesktop();
    CInputControlGump* next = nullptr;
    if (desktop.keyboardFocus == oldPassword) next = newPassword;
    if (desktop.keyboardFocus == newPassword) next = verifyPassword;
    if (desktop.keyboardFocus == verifyPassword) next = oldPassword;
    if (next == nullptr) return;
    auto* previous = static_cast<CInputControlGump*>(desktop.keyboardFocus);
    desktop.SetKeyboardFocus(next);
    previous->Redraw();
    next->caret = static_cast<int>(next->Text().size());
    next->Redraw();
}

bool CChgPWGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CChgPWGump::OnRightUp(int, int) {
    ReleaseCapture();
    delete this;
}

void CChgPWGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
