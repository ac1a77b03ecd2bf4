#include "client/gumps/frontend/change_password_dialog.h"

#include "client/data/fonts.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/login_gump.h"

namespace {
constexpr int kHue = 902;
}  // namespace

CChgPWGump::CChgPWGump(const std::string& characterName)
    : CCharPasswordDialog("ChgPW gump"), name(characterName.substr(0, 30)) {
    Bitmap16& frame = *Frame(0);
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    CFontTable& fonts = GetFontTable();
    fonts.DrawText(60, 55, 2, kHue, "Old Password", target, all);
    fonts.DrawText(60, 99, 2, kHue, "New Password", target, all);
    fonts.DrawText(60, 143, 2, kHue, "Verify Password", target, all);
    oldPassword = AddPasswordField(58);
    newPassword = AddPasswordField(102);
    verifyPassword = AddPasswordField(146);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetKeyboardFocus(oldPassword);
    desktop.modalGump = this;
}

CChgPWGump::~CChgPWGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.modalGump == this) desktop.modalGump = nullptr;
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
    TheGumpDesktop().Close(this);
    if (list != nullptr) list->visible = false;
    ShowProgressNotice("Changing password... ", list);
}

void CChgPWGump::OnFieldTab() {
    MoveFocusInCycle({oldPassword, newPassword, verifyPassword});
}
