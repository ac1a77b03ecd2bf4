#include "client/gumps/windows/waiting_gump.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"

CWaitingGump::CWaitingGump(int wx, int wy, const std::string& text, CGump* targetGump, bool cancel,
                           int boxStyle, bool quitOnButton)
    : style(boxStyle),
      quit(quitOnButton),
      message(text.substr(0, kMaxMessage)),
      target(targetGump) {
    kindLabel = "waiting gump";
    artId = style == 1 ? 1140 : 2070;
    CGumpDesktop& desktop = TheGumpDesktop();
    previousFocus = desktop.keyboardFocus;
    desktop.SetKeyboardFocus(this);
    GetGumpArtSize(static_cast<u32>(artId), width, height);
    pitch = width;
    if (style == 1)
        PlaceAt(121, 102);
    else if (wx == -1)
        PlaceAt(320 - width / 2, 240 - height / 2);
    else
        PlaceAt(wx, wy);
    Bitmap16& bare = MakeFrame(1);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(artId), 0, 0, bare.Pixels(), width, height);
    DrawMessage();
    if (style == 1 && cancel) {
        waitCursor = true;
        TheCursorManager().BeginWait();
        TheCursorManager().SetShape(17, true);
    }
    int bx = 65, by = 75, normal = cancel ? 2071 : 2074;
    if (style == 1) {
        bx = 282 - x;
        by = 292 - y;
        normal = cancel ? 1144 : 1147;
    }
    auto* button = Add<CButtonGump>(
        bx, by, this, CButtonGump::kPush, 0, [this](CGump*) { OnButton(); }, normal, normal + 1, 0);
    button->hoverArt = normal + 2;
}

CWaitingGump* ShowWaitingGump(const std::string& message, CGump* target, int style, bool quit) {
    CGumpDesktop& desktop = TheGumpDesktop();
    CWaitingGump* gump = desktop.Open<CWaitingGump>(-1, -1, message, target, false, style, quit);
    desktop.modalGump = gump;
    return gump;
}

CWaitingGump::~CWaitingGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (waitCursor) {
        TheCursorManager().EndWait();
        TheCursorManager().SetShape(17, true);
    }
    if (desktop.modalGump == this) desktop.modalGump = nullptr;
    if (desktop.noticeGump == this) desktop.noticeGump = nullptr;
    // The focus goes back only to a gump that still exists (ForgetGump cleared it otherwise).
    if (previousFocus != nullptr) {
        desktop.SetKeyboardFocus(previousFocus);
        if (auto* field = previousFocus->As<CInputControlGump>()) field->Redraw();
    } else if (desktop.keyboardFocus == this) {
        desktop.ClearKeyboardFocus();
    }
}

void CWaitingGump::ForgetGump(CGump* gump) {
    if (target == gump) target = nullptr;
    if (previousFocus == gump) previousFocus = nullptr;
}

void CWaitingGump::DrawMessage() {
    Bitmap16& frame = MakeFrame(0);
    if (const Bitmap16* bare = Frame(1)) frame = *bare;
    const TextTarget target0{frame.Pixels(), width, height};
    if (style == 1)
        GetFontTable().DrawWrappedText(62, 46, 2, 902, message.c_str(), 268, target0,
                                       ClipRect{62, 46, 330, 170}, 0, 0);
    else
        GetFontTable().DrawWrappedText(33, 30, 1, 902, message.c_str(), 115, target0,
                                       ClipRect{33, 30, 148, 63}, 0, 0);
}

void CWaitingGump::SetMessage(const std::string& text) {
    message = text.substr(0, kMaxMessage);
    DrawMessage();
}

void CWaitingGump::OnButton() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (target != nullptr) target->visible = true;
    if (desktop.connectionGump == this) desktop.connectionGump = nullptr;
    if (quit)
        GetGumpHostServices().PostQuit();
    else
        desktop.Close(this);
}

bool CWaitingGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, 0);
}

void CWaitingGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    DrawFrame(clip, SpanCopy, 0);
    DrawChildren(clip);
}

void CWaitingGump::OnLeftDown(int px, int py) {
    if (TheGumpDesktop().modalGump != this) BringToFront(false);
    dragging = true;
    grabX = px;
    grabY = py;
}

void CWaitingGump::OnDrag(int px, int py) {
    if (dragging && style == 0) MoveBy(px - grabX, py - grabY, true);
}

void CWaitingGump::OnLeftUp(int, int) {
    dragging = false;
    ReleaseCapture();
}

void CWaitingGump::OnKey(u32 key) {
    if (key == 13) OnButton();
}
