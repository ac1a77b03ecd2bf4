#include "client/gumps/framework/button_gump.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"
#include "client/gumps/framework/gump_host_services.h"

CButtonGump::CButtonGump(int bx, int by, CGump*, int buttonMode, int frame, ButtonCallback cb,
                         int normalArt, int pressed_, int tag)
    : mode(buttonMode), pressedArt(pressed_), minimisedTag(tag), callback(std::move(cb)) {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(normalArt != 0 ? normalArt : pressed_), w, h);
    Setup(bx, by, normalArt, frame, w, h);
}

CButtonGump::CButtonGump(int left, int top, int right, int bottom, CGump*, int buttonMode,
                         int frame, ButtonCallback cb, int tag)
    : mode(buttonMode), minimisedTag(tag), callback(std::move(cb)) {
    const int w = right - left + 1;
    Setup(left, top, 0, frame, w + w % 2, bottom - top + 1);
}

CButtonGump::CButtonGump(int bx, int by, int w, CGump*, int buttonMode, int frame,
                         ButtonCallback cb, int barArt, int pressedBarArt, const std::string& label,
                         int tag)
    : mode(buttonMode), minimisedTag(tag), plainFrame(true), callback(std::move(cb)) {
    int aw = 0, ah = 0;
    GetGumpArtSize(static_cast<u32>(barArt), aw, ah);
    Setup(bx, by, barArt, frame, w, ah);
    CFontTable& fonts = GetFontTable();
    int tw = 0, th = 0, baseline = 0;
    fonts.MeasureText(1, label, tw, th, baseline);
    const int bars[2] = {barArt, pressedBarArt};
    for (int i = 0; i < 2; ++i) {
        Bitmap16& frameBitmap = MakeFrame(i);
        DrawGumpArtBar(bars[i], frameBitmap);
        const TextTarget target{frameBitmap.Pixels(), width, height};
        fonts.DrawText((width - tw) / 2, (height - th) / 2 + baseline + 2, 1, 902, label.c_str(),
                       target, ClipRect{0, 0, width, height});
    }
}

void CButtonGump::Setup(int bx, int by, int art, int frame, int w, int h) {
    kindLabel = "Button gump";
    PlaceAt(bx, by);
    artId = art;
    frameIndex = frame;
    width = pitch = w;
    height = h;
    frames.resize(2);
}

void CButtonGump::Fire() {
    if (storeValue && parent != nullptr) parent->resultValue = value;
    if (callback) callback(parent);
}

void CButtonGump::OnLeftDown(int, int) {
    if (parent != nullptr) parent->BringToFront(false);
    pressed = true;
    if (disabled) return;
    if (mode == kPush) frameIndex = 1;
    if (mode == kRepeat) {
        frameIndex = 1;
        repeatCountdown = 5;
        Fire();
    }
}

void CButtonGump::OnLeftUp(int, int) {
    pressed = false;
    ReleaseCapture();
    if (disabled) return;
    if (mode == kPush) {
        frameIndex = 0;
        Fire();
    } else if (mode == kToggle) {
        frameIndex = frameIndex == 0 ? 1 : 0;
        CGump* const owner = parent;
        Fire();
        // The callback may have closed the window, and this button with it.
        if (IsGumpAlive(this) && IsGumpAlive(owner)) owner->OnControlChanged(this);
    } else {
        frameIndex = 0;
    }
}

void CButtonGump::OnHover() {
    if (mode != kRepeat || !pressed || disabled) return;
    if (repeatCountdown > 0) {
        --repeatCountdown;
        return;
    }
    Fire();
}

void CButtonGump::OnRightDown(int px, int py) {
    if (parent != nullptr) parent->OnRightDown(px, py);
}

void CButtonGump::OnRightUp(int px, int py) {
    if (parent != nullptr) parent->OnRightUp(px, py);
}

void CButtonGump::OnMouseOver(int, int) {
    hovered = true;
    GetGumpHostServices().SetCursorMode(0);
}

void CButtonGump::OnMouseLeave() {
    hovered = false;
}

bool CButtonGump::ContainsPoint(int px, int py) {
    if (!visible || px < 0 || py < 0 || px >= width || py >= height) return false;
    if (!pixelTest || plainFrame || artId <= 0) return true;
    return GetGumpArtPixel(static_cast<u32>(artId), px, py) != 0;
}

void CButtonGump::DrawArt(const ClipRect& clip, int art, bool hued) {
    if (art == 0) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    const BlitSpan span = hued ? BlitSpan(SpanHueKeyed, kDisabledHue - 1) : BlitSpan(SpanCopyKeyed);
    CopyGumpToBufClipped(span, static_cast<u32>(art), clip, sx, sy, TheGumpDesktop().DrawBase(),
                         kScreenWidth, kScreenHeight);
}

void CButtonGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    if (!CGumpDesktop::RectsOverlap({sx, sy, sx + width, sy + height}, clip)) return;
    if (plainFrame) {
        DrawFrame(clip, SpanCopyKeyed, frameIndex);
    } else if (frameIndex == 1) {
        DrawArt(clip, pressedArt, disabled);
    } else if (hovered && hoverArt != 0 && !disabled) {
        DrawArt(clip, hoverArt, false);
    } else {
        DrawArt(clip, artId, disabled);
    }
    DrawChildren(clip);
}

void CloseParentGump(CGump* gump) {
    TheGumpDesktop().Close(gump);
}
