#include "client/gumps/ingame/fighting_gump.h"

#include <algorithm>
#include <cstdlib>

#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/two_frame_window.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/world_packet_handlers.h"
#include "client/world/client_mobile.h"
#include "core/packet_writer.h"

namespace {

constexpr int kSliderArt = 2117;
constexpr int kSliderHoverArt = 2118;
constexpr int kSliderX = 92;
constexpr int kSliderY[2] = {107, 150};
constexpr int kTrackEnd = 197;
constexpr int kMoveSlop = 5;

}  // namespace

FightingStyle CurrentFightingStyle() {
    FightingStyle style;
    if (ClientLink* link = TheClientLink()) {
        const u8* bytes = link->WorldHandlers().warModeBytes;
        style.style = bytes[0];
        style.settings[0] = bytes[1];
        style.settings[1] = bytes[2];
    }
    return style;
}

void SendFightingStyle(const FightingStyle& style) {
    ClientLink* link = TheClientLink();
    if (link == nullptr) return;
    u8* bytes = link->WorldHandlers().warModeBytes;
    bytes[0] = style.style;
    bytes[1] = style.settings[0];
    bytes[2] = style.settings[1];
    const CClientPlayer* player = ThePlayer();
    u8 buffer[8];
    PacketWriter w(buffer, sizeof buffer);
    BuildWarModeRequestPacket(w, player != nullptr && player->warMode ? 1 : 0, bytes);
    link->Send(w);
}

CFightingGump::CFightingGump(int px, int py) {
    kindLabel = "Fighting gump";
    PlaceAt(px, py);
    TheGumpDesktop().fightingGump = this;
    artId = kArt;
    GetGumpArtSize(kArt, width, height);
    pitch = width;
    Bitmap16& open = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, kArt, 0, 0, open.Pixels(), width, height);
    MakeMinimisedFrame(*this, kMinimisedArt);

    const FightingStyle style = CurrentFightingStyle();
    for (int i = 0; i < 2; ++i) {
        CThumbGump* slider =
            Add<CThumbGump>(kSliderX, kSliderY[i], false, kTrackEnd, this, kSliderArt);
        slider->hoverArt = kSliderHoverArt;
        slider->visible = style.style == 1;
        slider->SetPosition(style.settings[i], 100);
        sliders_[i] = slider;
    }
    struct Step {
        int left, top, right, bottom, slider, by;
    };
    static constexpr Step kSteps[] = {{81, 108, 91, 121, 0, -1},
                                      {198, 108, 206, 121, 0, 1},
                                      {81, 150, 91, 164, 1, -1},
                                      {198, 150, 206, 164, 1, 1}};
    for (const Step& s : kSteps)
        Add<CButtonGump>(s.left, s.top, s.right, s.bottom, this, CButtonGump::kRepeat, 0,
                         [s](CGump* g) {
                             if (CFightingGump* bar = g != nullptr ? g->As<CFightingGump>() : nullptr)
                                 bar->StepSlider(s.slider, s.by);
                         },
                         0);
    style1_ = Add<CButtonGump>(151, 64, this, CButtonGump::kToggle, style.style == 1 ? 1 : 0,
                               nullptr, 2111, 2112, 0);
    style1_->hoverArt = 2113;
    style0_ = Add<CButtonGump>(85, 64, this, CButtonGump::kToggle, style.style == 1 ? 0 : 1,
                               nullptr, 2114, 2115, 0);
    style0_->hoverArt = 2116;
    Add<CButtonGump>(254, 20, 277, 44, this, CButtonGump::kPush, 0,
                     [](CGump* g) { g->Minimize(); }, 0);
    struct Bottom {
        int x, y, art;
        void (*action)(CGump*);
    };
    static constexpr Bottom kBottom[] = {{25, 177, 2119, &CloseParentGump},
                                         {88, 178, 2122, &CFightingGump::Apply},
                                         {151, 177, 2125, &CFightingGump::Reset},
                                         {213, 177, 2128, &CFightingGump::ApplyAndClose}};
    for (const Bottom& b : kBottom) {
        auto* button = Add<CButtonGump>(b.x, b.y, this, CButtonGump::kPush, 0, b.action, b.art,
                                        b.art + 1, 0);
        button->hoverArt = b.art + 2;
    }
}

CFightingGump::~CFightingGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.fightingGump == this) desktop.fightingGump = nullptr;
}

FightingStyle CFightingGump::Shown() const {
    FightingStyle style;
    style.style = style1_->frameIndex == 1 ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        const CThumbGump& s = *sliders_[i];
        const int travel = s.maxX - s.minX, offset = s.x - s.minX;
        // The smallest setting that places the thumb here (the thumb stands at offset
        // setting x (travel + 1) / 100): an untouched bar applies the settings it was opened
        // with instead of creeping down one step on every Apply. The track's end is 100.
        int setting = 0;
        if (travel > 0 && offset >= travel)
            setting = 100;
        else if (travel > 0 && offset > 0)
            setting = (offset * 100 + travel) / (travel + 1);
        style.settings[i] = static_cast<u8>(setting);
    }
    return style;
}

void CFightingGump::StepSlider(int index, int by) {
    CThumbGump& s = *sliders_[index];
    if (!s.visible) return;
    s.x = std::clamp(s.x + by, s.minX, s.maxX);
}

void CFightingGump::OnControlChanged(CGump* child) {
    CButtonGump* changed = child != nullptr ? child->As<CButtonGump>() : nullptr;
    if (changed != nullptr && changed->frameIndex == 0) {
        // One style is always chosen: a style switched off goes back on.
        changed->frameIndex = 1;
        return;
    }
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling)
        if (c != child && c->IsKind(GumpKind::kButton)) c->frameIndex = 0;
    const bool second = style1_->frameIndex == 1;
    sliders_[0]->visible = sliders_[1]->visible = second;
}

void CFightingGump::Apply(CGump* gump) {
    CFightingGump* bar = gump != nullptr ? gump->As<CFightingGump>() : nullptr;
    if (bar != nullptr) SendFightingStyle(bar->Shown());
}

void CFightingGump::Reset(CGump* gump) {
    CFightingGump* bar = gump != nullptr ? gump->As<CFightingGump>() : nullptr;
    if (bar == nullptr) return;
    bar->style0_->frameIndex = 1;
    bar->OnControlChanged(bar->style0_);
}

void CFightingGump::ApplyAndClose(CGump* gump) {
    CFightingGump* bar = gump != nullptr ? gump->As<CFightingGump>() : nullptr;
    if (bar == nullptr) return;
    Apply(bar);
    TheGumpDesktop().Close(bar);
}

void CFightingGump::Draw(const ClipRect& clip) {
    if (!visible || !ShownFrameMeets(*this, clip)) return;
    DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    if (!minimised) DrawChildren(clip);
}

bool CFightingGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, ShownFrameIndex(*this));
}

void CFightingGump::OnLeftDown(int px, int py) {
    BringToFront(false);
    buttonHeld_ = true;
    pressX_ = px;
    pressY_ = py;
    click_.Press();
}

void CFightingGump::OnDrag(int px, int py) {
    GetGumpHostServices().SetCursorMode(0);
    if (!buttonHeld_) return;
    if (click_.state != ClickState::kNone &&
        (std::abs(px - pressX_) >= kMoveSlop || std::abs(py - pressY_) >= kMoveSlop)) {
        moved_ = true;
        click_.state = ClickState::kNone;
    }
    MoveBy(px - pressX_, py - pressY_, true);
}

void CFightingGump::OnHover() {
    if (click_.TimedOut() && buttonHeld_) moved_ = true;
}

void CFightingGump::OnLeftUp(int, int) {
    buttonHeld_ = false;
    if (moved_) {
        moved_ = false;
    } else if (click_.state == ClickState::kSecondPress) {
        click_.state = ClickState::kNone;
        if (minimised) Restore();
    }
    ReleaseCapture();
}

void CFightingGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CFightingGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
