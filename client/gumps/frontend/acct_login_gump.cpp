#include "client/gumps/frontend/acct_login_gump.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"
#include "client/gumps/frontend/front_end_screens.h"

namespace {

constexpr int kArt = 1040;
constexpr int kHue = 902;

}  // namespace

CAcctLoginGump::CAcctLoginGump() {
    SetUpScreenArt(*this, "AcctLogin gump", kArt, 128, 108);
    account = MakeScreenTextField(this, 91, 30, {1055, 1042, 1056, 1041}, 30, 2, 5, 1);
    password = MakeScreenTextField(this, 89, 65, {1057, 1044, 1058, 1043}, 30, 2, 7, 2);
    password->password = true;
    password->Redraw();
    auto* login = Add<CButtonGump>(243, 114, this, CButtonGump::kPush, 0,
                                   &CAcctLoginGump::OnAccountLogin, 1048, 1049, 0);
    login->hoverArt = 1050;
    auto* back = Add<CButtonGump>(33, 114, this, CButtonGump::kPush, 0, &CAcctLoginGump::Back, 1045,
                                  1046, 0);
    back->hoverArt = 1047;
    remember = Add<CToggleControlGump>(133, 104, this, 1051, 1053, 1, kHue, "",
                                       TheLoginChoices().rememberPassword ? 1 : 0, 0, 0);
    remember->hoverArtOff = 1052;
    remember->hoverArtOn = 1054;
    remember->Redraw();
}

void CAcctLoginGump::FillSavedAccount() {
    LoginScreenActions* actions = TheLoginScreenActions();
    if (actions == nullptr) return;
    const ClientStateRecord& state = actions->State();
    if (!state.accountName.empty()) account->SetText(state.accountName);
    if (TheLoginChoices().rememberPassword) password->SetText(state.accountPassword);
    account->Redraw();
    password->Redraw();
}

void CAcctLoginGump::OnAccountLogin(CGump*) {
    CGumpDesktop& desktop = TheGumpDesktop();
    auto* screen = static_cast<CAcctLoginGump*>(desktop.accountLoginGump);
    LoginScreenActions* actions = TheLoginScreenActions();
    if (screen == nullptr || actions == nullptr) return;
    ClientStateRecord& state = actions->State();
    state.accountLastName.clear();
    state.accountName = screen->account->Text();
    state.accountPassword = screen->password->Text();
    TheLoginChoices().rememberPassword = screen->remember->state != 0;
    if (!actions->ConnectionOpen()) {
        screen->visible = false;
        CGump* progress = ShowProgressNotice("Connecting... ", desktop.mainMenuGump);
        // Shown before the connect step, which may take a while.
        desktop.DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
        const bool connected = actions->Connect();
        if (desktop.noticeGump == progress) DeleteCurrentFrontEndNotice();
        if (!connected) {
            ShowFrontEndNotice(
                "Couldn't connect to Varnok Online.  Please try again in a few moments.", screen, 1,
                false);
            return;
        }
    }
    DeleteCurrentFrontEndNotice();
    ShowProgressNotice("Entering Sorvenmar... ", screen);
    actions->SendAccountLogin(state.accountName, state.accountPassword);
    screen->visible = false;
}

void CAcctLoginGump::Back(CGump*) {
    if (auto* screen = static_cast<CAcctLoginGump*>(TheGumpDesktop().accountLoginGump))
        screen->Report(ScreenOutcome::kBack);
    if (LoginScreenActions* actions = TheLoginScreenActions()) {
        actions->CloseConnection();
        actions->SetWindowTitle("");
    }
}

bool CAcctLoginGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CAcctLoginGump::OnLeftDown(int, int) {
    BringToFront(false);
}

void CAcctLoginGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CAcctLoginGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CAcctLoginGump::OnFieldTab() {
    MoveFocusInCycle({account, password});
}
