#include "client/gumps/frontend/main_menu_gump.h"

#include <vector>

#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/acct_login_gump.h"
#include "client/gumps/frontend/front_end_screens.h"

namespace {

constexpr int kMenuArt = 1010;
constexpr int kBackgroundArt = 1000;

struct MenuButton {
    int x, y, art;
    bool login, quit;
};
// The four buttons without an operation stand for services this standalone client lacks.
constexpr MenuButton kButtons[] = {
    {147, 70, 1011, true, false},  {39, 82, 1014, false, false},  {151, 13, 1020, false, false},
    {159, 38, 1023, false, false}, {309, 82, 1017, false, false}, {175, 167, 1026, false, true},
};

}  // namespace

void DrawFrontEndBackground() {
    CGumpDesktop& desktop = TheGumpDesktop();
    u16* screen = desktop.Screen();
    if (screen == nullptr) return;
    std::vector<u16> picture(CGumpDesktop::kScreenPixels, 0);
    CopyGumpToBuf(SpanCopyKeyed, kBackgroundArt, 0, 0, picture.data(), kScreenWidth, kScreenHeight);
    const u32 ring = desktop.RingOffset();
    for (u32 i = 0; i < static_cast<u32>(CGumpDesktop::kScreenPixels); ++i)
        screen[(i + ring) % CGumpDesktop::kScreenPixels] = picture[i];
}

CMainMenuGump::CMainMenuGump() {
    kindLabel = "MainMenu gump";
    artId = kMenuArt;
    GetGumpArtSize(kMenuArt, width, height);
    pitch = width;
    PlaceAt(106, 117);
    Bitmap16& frame = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, kMenuArt, 0, 0, frame.Pixels(), width, height);
    for (const MenuButton& b : kButtons) {
        ButtonCallback callback;
        if (b.login) callback = &CMainMenuGump::OpenAccountLogin;
        if (b.quit) callback = &QuitClientButton;
        auto* button =
            new CButtonGump(b.x, b.y, this, CButtonGump::kPush, 0, callback, b.art, b.art + 1, 0);
        button->hoverArt = b.art + 2;
        button->AttachTo(this);
    }
    DrawFrontEndBackground();
}

void CMainMenuGump::OpenAccountLogin(CGump*) {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.mainMenuGump != nullptr) desktop.mainMenuGump->visible = false;
    auto* login = new CAcctLoginGump();
    if (LoginScreenActions* actions = TheLoginScreenActions()) {
        const ClientStateRecord& state = actions->State();
        if (!state.accountName.empty()) login->account->SetText(state.accountName);
        if (TheLoginChoices().rememberPassword) login->password->SetText(state.accountPassword);
        login->account->Redraw();
        login->password->Redraw();
    }
    login->AttachTo(nullptr);
    desktop.accountLoginGump = login;
}

bool CMainMenuGump::ContainsPoint(int px, int py) {
    return visible && px >= 0 && py >= 0 && px < width && py < height;
}

void CMainMenuGump::OnLeftDown(int, int) {
    BringToFront(false);
}

void CMainMenuGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CMainMenuGump::OnRightUp(int, int) {
    ReleaseCapture();
}

void CMainMenuGump::OnMouseOver(int, int) {
    TheCursorManager().SetShape(17);
}
