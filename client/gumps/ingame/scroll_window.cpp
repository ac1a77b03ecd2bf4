#include "client/gumps/ingame/scroll_window.h"

#include <algorithm>
#include <cstdlib>

#include "client/data/client_log.h"
#include "client/data/gump_art.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_art_strips.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/two_frame_window.h"

namespace {

constexpr int kArt = 2080;
constexpr int kRuleArt = 2091;
constexpr int kMinimiseArt = 2093;
constexpr int kResizeArt = 2094;
constexpr int kResizeHoverArt = 2095;
constexpr int kUpArrowArt = 2084;
constexpr int kDownArrowArt = 2085;
constexpr int kThumbArt = 31;
constexpr int kDragSlop = 4;

// Resizing windows by a rubber band is not built: the button says so once.
void OpenResize(CGump*) {
    static bool said = false;
    if (said) return;
    said = true;
    LogClientError("scroll window", "window resizing: not built yet");
}

}  // namespace

void CScrollWindow::MakeScroll(int minimisedArt) {
    width = pitch = (GumpArtWidth(kArt) + 7) / 8 * 8;
    height = kHeight;
    MakeFrame(0);
    MakeMinimisedFrame(*this, minimisedArt);
    SetArea();
}

void CScrollWindow::SetArea() {
    areaRight = width - 49;
    if (areaRight % 2 == 0) --areaRight;
    areaBottom = height - 78;
}

bool CScrollWindow::InTrack(int px, int py) const {
    return px >= width - 48 && px <= width - 25 && py >= areaTop && py <= areaBottom;
}

void CScrollWindow::DrawBackground(int titleArt, int titleX, int titleY) {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
    const size_t pixels = size_t(frame->Width()) * frame->Height();
    const BackgroundKey key{frame->Width(), frame->Height(), titleArt, titleX, titleY, Use565()};
    if (key == backgroundKey_ && background_.size() == pixels) {
        std::copy(background_.begin(), background_.end(), frame->Pixels());
        return;
    }
    std::fill(frame->Pixels(), frame->Pixels() + pixels, u16(0));
    const int h2093 = GumpArtHeight(kMinimiseArt), h2094 = GumpArtHeight(kResizeArt);
    DrawGumpArtColumn(kArt, 2, *frame, h2093 - 1, h2094);
    CopyGumpToBuf(SpanCopyKeyed, u32(titleArt), titleX, titleY, frame->Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, kRuleArt, 30, h2093 + 34, frame->Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, kRuleArt, 31, height - h2094 - 48, frame->Pixels(), width, height);
    background_.assign(frame->Pixels(), frame->Pixels() + pixels);
    backgroundKey_ = key;
}

void CScrollWindow::AddScrollControls(void (*up)(CGump*), void (*down)(CGump*)) {
    const int h2094 = GumpArtHeight(kResizeArt);
    thumb = Add<CThumbGump>(256, 72, true, height - h2094 - 56, this, kThumbArt);
    Add<CButtonGump>(
        137, 0, this, CButtonGump::kPush, 0, [](CGump* g) { g->Minimize(); }, kMinimiseArt,
        kMinimiseArt, 0);
    auto* resize = Add<CButtonGump>(137, height - h2094 - 3, this, CButtonGump::kPush, 0,
                                    &OpenResize, kResizeArt, kResizeArt, 0);
    resize->hoverArt = kResizeHoverArt;
    Add<CButtonGump>(249, 56, this, CButtonGump::kRepeat, 0, up, kUpArrowArt, kUpArrowArt, 0);
    Add<CButtonGump>(249, height - h2094 - 52, this, CButtonGump::kRepeat, 0, down, kDownArrowArt,
                     kDownArrowArt, 0);
}

void CScrollWindow::MoveChildrenForSize(int dx, int dy, CGump* keepAtCorner) {
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling) {
        if (c == thumb) {
            thumb->x += dx;
            thumb->maxY += dy;
        } else if (c == keepAtCorner) {
            c->x += dx;
            c->y += dy;
        } else {
            if (c->x > width / 2) c->x += dx;
            if (c->y > height / 2) c->y += dy;
        }
    }
}

void CScrollWindow::OnLeftDown(int px, int py) {
    grabX = px;
    grabY = py;
    pressed = true;
    trackCounter = 1;
    BringToFront(false);
    click.Press();
}

void CScrollWindow::OnHover() {
    if (pressed && !minimised && ++trackCounter >= 2) {
        trackCounter = 0;
        ClickTrack(grabX, grabY);
    }
    if (click.TimedOut() && pressed) dragStarted = true;
}

void CScrollWindow::OnDrag(int px, int py) {
    GetGumpHostServices().SetCursorMode(0);
    if (pressed && click.state != ClickState::kNone &&
        (std::abs(px - grabX) > kDragSlop || std::abs(py - grabY) > kDragSlop)) {
        dragStarted = true;
        click.state = ClickState::kNone;
    }
    if (pressed && dragStarted) MoveBy(px - grabX, py - grabY, true);
}

void CScrollWindow::OnLeftUp(int, int) {
    pressed = false;
    if (dragStarted) {
        dragStarted = false;
        click.state = ClickState::kNone;
    }
    if (click.state == ClickState::kSecondPress) {
        click.state = ClickState::kNone;
        if (minimised) Restore();
    }
    ReleaseCapture();
}

void CScrollWindow::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CScrollWindow::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CScrollWindow::Draw(const ClipRect& clip) {
    if (!visible || !ShownFrameMeets(*this, clip)) return;
    DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    if (!minimised) DrawChildren(clip);
}

bool CScrollWindow::ContainsPoint(int px, int py) {
    if (FramePixelSet(px, py, ShownFrameIndex(*this))) return true;
    return !minimised && AnyChildContains(*this, px, py);
}
