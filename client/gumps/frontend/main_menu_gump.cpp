#include "client/gumps/frontend/main_menu_gump.h"

#include <algorithm>
#include <vector>

#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/frontend/front_end_screens.h"

namespace {

constexpr int kMenuArt = 1010;
constexpr int kBackgroundArt = 1000;
constexpr int kChestClosedArt = 1400;
// The chest's last picture; the pictures before it count down to 1401.
constexpr int kChestOpenArt = 1415;

// Draws gump art over the whole ring-addressed screen buffer (nothing without one).
void DrawOverScreen(int art) {
    CGumpDesktop& desktop = TheGumpDesktop();
    u16* screen = desktop.Screen();
    if (screen == nullptr) return;
    std::vector<u16> picture(CGumpDesktop::kScreenPixels, 0);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), 0, 0, picture.data(), kScreenWidth,
                  kScreenHeight);
    const u32 ring = desktop.RingOffset();
    for (u32 i = 0; i < static_cast<u32>(CGumpDesktop::kScreenPixels); ++i)
        screen[(i + ring) % CGumpDesktop::kScreenPixels] = picture[i];
}

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
    DrawOverScreen(kBackgroundArt);
}

CMainMenuGump::CMainMenuGump(bool chestOpening) {
    SetUpScreenArt(*this, "MainMenu gump", kMenuArt, 106, 117);
    for (const MenuButton& b : kButtons) {
        ButtonCallback callback;
        if (b.login) callback = &CMainMenuGump::OpenAccountLogin;
        if (b.quit) callback = &QuitClientButton;
        auto* button =
            Add<CButtonGump>(b.x, b.y, this, CButtonGump::kPush, 0, callback, b.art, b.art + 1, 0);
        button->hoverArt = b.art + 2;
    }
    if (!chestOpening) {
        DrawFrontEndBackground();
        return;
    }
    DrawOverScreen(kChestOpenArt);
    overlay = TheGumpDesktop().Open<CDumbGump>(0, 0, nullptr, kScreenWidth, kScreenHeight, 0,
                                               nullptr, kChestClosedArt);
    countdown = kChestTicks;
}

CMainMenuGump::~CMainMenuGump() {
    // The overlay may have gone already when the whole desktop is emptied.
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling) {
        if (g == overlay) {
            TheGumpDesktop().Close(overlay);
            break;
        }
    }
}

void CMainMenuGump::Tick() {
    if (countdown > 0) {
        overlay->BringToFront(false);
        if (countdown < 15) {
            Bitmap16& frame = overlay->MakeFrame(0);
            std::fill(frame.Pixels(), frame.Pixels() + kScreenWidth * kScreenHeight, u16{0});
            CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(kChestOpenArt - countdown), 0, 0,
                          frame.Pixels(), kScreenWidth, kScreenHeight);
        }
        --countdown;
        return;
    }
    if (overlay == nullptr) return;
    DrawFrontEndBackground();
    TheGumpDesktop().Close(overlay);
    overlay = nullptr;
    Report(ScreenOutcome::kChestOpened);
}

void CMainMenuGump::OpenAccountLogin(CGump*) {
    if (auto* menu = static_cast<CMainMenuGump*>(TheGumpDesktop().mainMenuGump))
        menu->Report(ScreenOutcome::kLogin);
}

bool CMainMenuGump::ContainsPoint(int px, int py) {
    return visible && countdown == 0 && px >= 0 && py >= 0 && px < width && py < height;
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
