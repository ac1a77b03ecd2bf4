#include "client/gumps/ingame/stack_gump.h"

#include <string>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/ingame/ingame_requests.h"
#include "client/world/client_world.h"

namespace {

constexpr int kFont = 1;
constexpr int kHue = 902;
constexpr u32 kEnter = 13;
constexpr u32 kBackspace = 8;
constexpr int kStackArtId = 49;

int Baseline() {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(kFont, "Aq", w, h, baseline);
    return baseline;
}

CClientObject* ServerObject(u32 serial) {
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    return o != nullptr && o->IsServerObject() ? o : nullptr;
}

}  // namespace

CStackGump::CStackGump(int px, int py, u32 stack) {
    kindLabel = "stack gump";
    PlaceAt(px, py);
    object = stack;
    artId = kArt;
    int w = 0, h = 0;
    GetGumpArtSize(kArt, w, h);
    width = pitch = (w + 7) & ~7;
    height = h;
    const CClientObject* o = ServerObject(stack);
    maximum_ = amount_ = o != nullptr ? o->amount : 0;
    text_ = std::to_string(amount_);
    TheGumpDesktop().SetKeyboardFocus(this);
    Redraw();
    thumb_ = Add<CThumbGump>(28, 16, false, 136, this, kThumbArt);
    thumb_->hoverArt = kThumbHoverArt;
    thumb_->SetPosition(amount_, maximum_);
    auto* ok = Add<CButtonGump>(102, 37, this, CButtonGump::kPush, 0, &CStackGump::Confirm, kOkArt,
                                kOkPressedArt, 0);
    ok->hoverArt = kOkHoverArt;
}

void CStackGump::Redraw() {
    Bitmap16& frame = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, kArt, 0, 0, frame.Pixels(), width, height);
    if (text_.empty() && TheGumpDesktop().keyboardFocus != this) return;
    const int b = Baseline();
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    CFontTable& fonts = GetFontTable();
    if (!text_.empty()) fonts.DrawText(29, b + 42, kFont, kHue, text_.c_str(), target, all);
    if (TheGumpDesktop().keyboardFocus == this) {
        int w = 0, h = 0, baseline = 0;
        fonts.MeasureText(kFont, text_, w, h, baseline);
        fonts.DrawText(w + 30, b + 42, kFont, kHue, "_", target, all);
    }
}

void CStackGump::FollowPointer() {
    pressed_ = true;
    grabX = width / 2;
    grabY = height / 2;
    TheCursorManager().Capture(this);
}

void CStackGump::Confirm(CGump* gump) {
    CStackGump* chooser = gump != nullptr ? gump->As<CStackGump>() : nullptr;
    if (chooser == nullptr) return;
    const u32 stack = chooser->object;
    const int amount = chooser->amount_;
    chooser->OnRightUp(0, 0);
    CClientObject* o = ServerObject(stack);
    if (o == nullptr || amount == 0) return;
    CClientWorld& world = TheClientWorld();
    if (world.PickUpObject(o, static_cast<u16>(amount)))
        SendPickUpRequest(world.pickedSerial, world.pickedAmount);
}

bool CStackGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CStackGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    DrawFrame(clip, SpanCopyKeyed, 0);
    DrawChildren(clip);
}

void CStackGump::OnLeftDown(int px, int py) {
    pressed_ = true;
    grabX = px;
    grabY = py;
    BringToFront(false);
    TheGumpDesktop().SetKeyboardFocus(this);
    Redraw();
}

void CStackGump::OnDrag(int px, int py) {
    if (pressed_) MoveBy(px - grabX, py - grabY, true);
}

void CStackGump::OnLeftUp(int, int) {
    pressed_ = false;
    ReleaseCapture();
}

void CStackGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CStackGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CStackGump::OnSliderMoved(int position, int range, CGump*) {
    // A track without room keeps the amount.
    if (range <= 0) return;
    amount_ = position * maximum_ / range;
    text_ = std::to_string(amount_);
    Redraw();
}

void CStackGump::OnKey(u32 key) {
    if (key == kEnter) {
        Confirm(this);
        return;
    }
    const bool digit = key >= '0' && key <= '9';
    if (!digit && key != kBackspace) return;
    if (!typed_) {
        text_.clear();
        typed_ = true;
    }
    if (key == kBackspace) {
        if (!text_.empty()) text_.pop_back();
    } else if (!(key == '0' && text_.empty())) {
        text_.push_back(static_cast<char>(key));
        if (std::stol(text_) > maximum_) text_.pop_back();
    }
    amount_ = text_.empty() ? 0 : static_cast<int>(std::stol(text_));
    Redraw();
    thumb_->SetPosition(amount_, maximum_);
}

CStackGump* OpenAmountChooser(u32 stack) {
    CGump* g = TheGumpDesktop().OpenGump(stack, kStackArtId, nullptr, false);
    CStackGump* chooser = g != nullptr ? g->As<CStackGump>() : nullptr;
    if (chooser != nullptr) chooser->FollowPointer();
    return chooser;
}
