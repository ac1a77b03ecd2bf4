#include "client/gumps/ingame/death_menu_gump.h"

#include <utility>

#include "client/data/fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"

namespace {

constexpr int kPanelArt = 5100;
constexpr int kButtonArt = 5050;
constexpr int kPressedButtonArt = 5051;
constexpr int kFont = 1;
constexpr int kHue = 902;

}  // namespace

CDeathMenuGump* OpenDeathMenuGump(std::function<void(u8 choice)> sendChoice) {
    CGumpDesktop& desktop = TheGumpDesktop();
    auto* menu = desktop.Open<CDeathMenuGump>(std::move(sendChoice));
    desktop.modalGump = menu;
    return menu;
}

CDeathMenuGump::CDeathMenuGump(std::function<void(u8 choice)> sendChoice)
    : sendChoice_(std::move(sendChoice)) {
    kindLabel = "DeathMenu gump";
    artId = kPanelArt;
    width = pitch = kWidth;
    height = kHeight;
    PlaceAt(kScreenWidth / 2 - kWidth / 2, kScreenHeight / 2 - kHeight / 2);
    Bitmap16& frame = MakeFrame(0);
    DrawGumpArtPanel(kPanelArt, frame, false);
    CFontTable& fonts = GetFontTable();
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(kFont, "Aq", w, h, baseline);
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    fonts.DrawText(60, baseline + 20, kFont, kHue, "Play As Ghost", target, all);
    fonts.DrawText(60, baseline + 60, kFont, kHue, "Resurrect With Penalties", target, all);
    Add<CButtonGump>(20, 20, this, CButtonGump::kPush, 0, &CDeathMenuGump::ChoosePlayAsGhost,
                     kButtonArt, kPressedButtonArt, 0);
    Add<CButtonGump>(20, 60, this, CButtonGump::kPush, 0, &CDeathMenuGump::ChooseResurrect,
                     kButtonArt, kPressedButtonArt, 0);
}

CDeathMenuGump::~CDeathMenuGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.modalGump == this) desktop.modalGump = nullptr;
}

void CDeathMenuGump::ChoosePlayAsGhost(CGump* gump) {
    CDeathMenuGump* menu = gump != nullptr ? gump->As<CDeathMenuGump>() : nullptr;
    if (menu == nullptr) return;
    if (menu->sendChoice_) menu->sendChoice_(kPlayAsGhostChoice);
    TheGumpDesktop().Close(menu);
}

void CDeathMenuGump::ChooseResurrect(CGump* gump) {
    CDeathMenuGump* menu = gump != nullptr ? gump->As<CDeathMenuGump>() : nullptr;
    if (menu != nullptr && menu->sendChoice_) menu->sendChoice_(kResurrectChoice);
}

void CDeathMenuGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    const ClipRect own{sx, sy, sx + width, sy + height};
    if (!CGumpDesktop::RectsOverlap(own, clip)) return;
    DrawFrame(clip, SpanCopyKeyed, 0);
    // The buttons draw only within the menu.
    ClipRect inside;
    IntersectRects(own, clip, inside);
    DrawChildren(inside);
}

bool CDeathMenuGump::ContainsPoint(int px, int py) {
    return visible && px >= 0 && py >= 0 && px < width && py < height;
}

void CDeathMenuGump::OnLeftDown(int, int) {
    BringToFront(false);
}

void CDeathMenuGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CDeathMenuGump::OnRightUp(int, int) {
    ReleaseCapture();
}

void CDeathMenuGump::OnMouseOver(int, int) {
    TheCursorManager().SetShape(17);
}
