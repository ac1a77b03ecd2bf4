#include "client/gumps/windows/progress_gump.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"

namespace {
constexpr int kArt = 2060;
constexpr int kEmptyBar = 2053;
constexpr int kFullBar = 2054;
}  // namespace

CProgressGump::CProgressGump(int px, int py, const std::string& text, int start)
    : percent(start), message(text.substr(0, 512)) {
    kindLabel = "progress gump";
    artId = kArt;
    GetGumpArtSize(kArt, width, height);
    pitch = width;
    PlaceAt(px, py);
    Bitmap16& bare = MakeFrame(1);
    CopyGumpToBuf(SpanCopyKeyed, kArt, 0, 0, bare.Pixels(), width, height);
    Redraw();
    TheGumpDesktop().progressGump = this;
}

CProgressGump::~CProgressGump() {
    if (TheGumpDesktop().progressGump == this) TheGumpDesktop().progressGump = nullptr;
}

void CProgressGump::Redraw() {
    Bitmap16& frame = MakeFrame(0);
    if (const Bitmap16* bare = Frame(1)) frame = *bare;
    CFontTable& fonts = GetFontTable();
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(1, message, w, h, baseline);
    if (w < 106)
        fonts.DrawText(36 + (106 - w) / 2, 35 + baseline, 1, 902, message.c_str(), target, all);
    else
        fonts.DrawWrappedText(36, 35, 1, 902, message.c_str(), 106, target, all, 0, 0);
    CopyGumpToBuf(SpanCopyKeyed, kEmptyBar, 34, 59, frame.Pixels(), width, height);
    const double fraction = percent < 100 ? std::max(percent, 0) / 100.0 : 1.0;
    CopyGumpToBufClipped(SpanCopyKeyed, kFullBar,
                         ClipRect{34, 59, 34 + static_cast<int>(110 * fraction), 76}, 34, 59,
                         frame.Pixels(), width, height);
}

void CProgressGump::SetPercent(int value) {
    percent = value;
    Redraw();
}

void CProgressGump::SetMessage(const std::string& text) {
    message = text.substr(0, 512);
    Redraw();
}

bool CProgressGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, 0);
}

void CProgressGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}
