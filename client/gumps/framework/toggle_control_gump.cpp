#include "client/gumps/framework/toggle_control_gump.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_host_services.h"

CToggleControlGump::CToggleControlGump(int tx, int ty, CGump*, int off, int on, int textFont,
                                       int textHue, const std::string& label, int initial,
                                       int disabledOff, int disabledOn)
    : artOn(on), disabledArtOff(disabledOff), disabledArtOn(disabledOn), state(initial) {
    kindLabel = "ToggleControl gump";
    PlaceAt(tx, ty);
    artId = off;
    GetGumpArtSize(static_cast<u32>(off), artWidth_, artHeight_);
    CFontTable& fonts = GetFontTable();
    int tw = 0, th = 0, baseline = 0;
    fonts.MeasureText(textFont, label, tw, th, baseline);
    width = artWidth_ + tw + 4;
    if (width % 2 != 0) ++width;
    height = artHeight_;
    pitch = width;
    Bitmap16& frame = MakeFrame(0);
    fonts.DrawText(artWidth_ + 4, (artHeight_ - th) / 2 + baseline + 2, textFont, textHue,
                   label.c_str(), {frame.Pixels(), width, height}, ClipRect{0, 0, width, height});
    Redraw();
}

void CToggleControlGump::Redraw() {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
    const int evenWidth = artWidth_ + (artWidth_ % 2);
    if (evenWidth > 0 && artHeight_ > 0)
        FillBitmapRect(0, 0, evenWidth - 1, artHeight_ - 1, 0, *frame);
    int off = artId, on = artOn;
    if (hoverArtOff != 0 && hovered) {
        off = hoverArtOff;
        on = hoverArtOn;
    } else if (disabled) {
        off = disabledArtOff;
        on = disabledArtOn;
    }
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(state != 0 ? on : off), 0, 0, frame->Pixels(),
                  width, height);
}

bool CToggleControlGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CToggleControlGump::OnLeftDown(int px, int py) {
    if (parent != nullptr) parent->BringToFront(false);
    grabX = px;
    grabY = py;
}

void CToggleControlGump::OnLeftUp(int, int) {
    ReleaseCapture();
    if (disabled) return;
    state = state != 0 ? 0 : 1;
    Redraw();
    if (parent != nullptr) parent->OnControlChanged(this);
}

void CToggleControlGump::OnMouseOver(int, int) {
    if (!hovered) {
        hovered = true;
        if (hoverArtOff != 0) Redraw();
    }
    if (!disabled) GetGumpHostServices().SetCursorMode(0);
}

void CToggleControlGump::OnMouseLeave() {
    if (hovered) {
        hovered = false;
        if (hoverArtOff != 0) Redraw();
    }
}

void CToggleControlGump::OnRightUp(int px, int py) {
    ReleaseCapture();
    if (parent != nullptr) parent->OnRightUp(px, py);
}
