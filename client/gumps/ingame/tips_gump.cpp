#include "client/gumps/ingame/tips_gump.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"

namespace {

constexpr int kMinimiseArt = 2093;
constexpr int kResizeArt = 2094;
constexpr int kTipTitleArt = 2506, kNoticeTitleArt = 2514;
constexpr int kTipMinimisedArt = 2507, kNoticeMinimisedArt = 2515;
constexpr int kPreviousArt = 2508, kNextArt = 2509;
constexpr int kBoxOffArt = 2510, kBoxOnArt = 2511;
constexpr int kBoxHue = 648;

CTipsGump* Tips(CGump* g) {
    return g != nullptr ? g->As<CTipsGump>() : nullptr;
}

}  // namespace

std::vector<std::string> CTipsGump::LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    CFontTable& fonts = GetFontTable();
    size_t start = 0;
    while (start <= text.size() && lines.size() < kMaxLines) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string rest = text.substr(start, end - start);
        do {
            int cut = fonts.FindLineBreak(kFont, rest, kWrapWidth);
            size_t take = cut < 0 ? rest.size() : size_t(cut) + 1;
            take = std::min(take, kLineLength);
            lines.push_back(rest.substr(0, take));
            rest.erase(0, take);
            if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        } while (!rest.empty() && lines.size() < kMaxLines);
        // A CR LF pair is one line break, as either alone is.
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

CTipsGump::CTipsGump(std::vector<std::string> lines, bool tipMode, bool showTips, TipsLink link)
    : lines_(std::move(lines)), tipMode_(tipMode), link_(std::move(link)) {
    kindLabel = "tips gump";
    if (lines_.size() > kMaxLines) lines_.resize(kMaxLines);
    for (std::string& line : lines_)
        if (line.size() > kLineLength) line.resize(kLineLength);
    PlaceAt(tipMode ? 320 : 20, tipMode ? 180 : 20);
    MakeScroll(tipMode ? kTipMinimisedArt : kNoticeMinimisedArt);
    DrawText();
    // The arrows scroll by lines, as the track does.
    AddScrollControls(
        [](CGump* g) {
            if (CTipsGump* t = Tips(g)) t->ScrollLines(-1);
        },
        [](CGump* g) {
            if (CTipsGump* t = Tips(g)) t->ScrollLines(1);
        });
    thumb->SetPosition(0, LineCount());
    if (!tipMode) return;
    const int h2094 = GumpArtHeight(kResizeArt);
    auto* next = Add<CButtonGump>(
        251, height - h2094 - 24, this, CButtonGump::kPush, 0,
        [](CGump* g) {
            if (CTipsGump* t = Tips(g)) t->Ask(1);
        },
        kNextArt, kNextArt, 0);
    auto* previous = Add<CButtonGump>(
        35, height - h2094 - 24, this, CButtonGump::kPush, 0,
        [](CGump* g) {
            if (CTipsGump* t = Tips(g)) t->Ask(0);
        },
        kPreviousArt, kPreviousArt, 0);
    next->pixelTest = previous->pixelTest = false;
    dontShow = Add<CToggleControlGump>(96, height - h2094 - 27, this, kBoxOffArt, kBoxOnArt, kFont,
                                       kBoxHue, "Don't show again", showTips ? 0 : 1, 0, 0);
}

CTipsGump::~CTipsGump() {
    // The setting lasts until the client ends: nothing stores it.
    if (tipMode_ && dontShow != nullptr && link_.setShowTips)
        link_.setShowTips(dontShow->state == 0);
}

void CTipsGump::Ask(u8 direction) {
    if (link_.requestTip) link_.requestTip(direction);
    TheGumpDesktop().Close(this);
}

void CTipsGump::DrawText() {
    const int h2093 = GumpArtHeight(kMinimiseArt);
    if (tipMode_)
        DrawBackground(kTipTitleArt, 127, h2093 + 9);
    else
        DrawBackground(kNoticeTitleArt, 112, h2093 + 11);
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
    const TextTarget target{frame->Pixels(), width, height};
    const ClipRect area{areaLeft, areaTop, areaRight + 1, areaBottom + 1};
    for (int i = topLine, y = areaTop; i < LineCount() && y <= areaBottom; ++i, y += kLineStep)
        GetFontTable().DrawWrappedText(areaLeft, y, kFont, 0, lines_[size_t(i)].c_str(),
                                       areaRight - areaLeft + 1, target, area, 2, 0);
}

int CTipsGump::LineAt(int position, int range) const {
    const int last = std::max(0, LineCount() - 1);
    if (position <= 1) return 0;
    if (position == range) return last;
    return range > 0 ? std::clamp(position * LineCount() / range, 0, last) : 0;
}

void CTipsGump::OnSliderMoved(int position, int range, CGump*) {
    topLine = LineAt(position, range);
    DrawText();
}

void CTipsGump::ScrollLines(int delta) {
    topLine = std::clamp(topLine + delta, 0, std::max(0, LineCount() - 1));
    if (thumb != nullptr) thumb->SetPosition(topLine, LineCount());
    DrawText();
}

void CTipsGump::ClickTrack(int px, int py) {
    if (!InTrack(px, py) || thumb == nullptr || LineCount() == 0) return;
    py -= 8;
    const int last = LineCount() - 1;
    const bool up = py < thumb->y;
    topLine = up ? std::max(0, topLine - kTrackPage) : std::min(last, topLine + kTrackPage);
    thumb->SetPosition(topLine, LineCount());
    const int trackStart = thumb->minY, trackEnd = thumb->maxY;
    if (up ? thumb->y < py : thumb->y > py) {
        thumb->y = up ? std::max(py, trackStart) : std::min(py, trackEnd);
        topLine = LineAt(thumb->y - trackStart, trackEnd - trackStart);
    }
    DrawText();
}
