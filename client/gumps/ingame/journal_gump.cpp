#include "client/gumps/ingame/journal_gump.h"

#include <algorithm>
#include <cstdlib>

#include "client/data/client_log.h"
#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/data/pixel_spans.h"
#include "client/data/unicode_fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump_art_strips.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/two_frame_window.h"
#include "client/gumps/ingame/bark_gump.h"

namespace {

constexpr int kArt = 2080;
constexpr int kTitleArt = 2090;
constexpr int kRuleArt = 2091;
constexpr int kLockArt = 2092;
constexpr int kMinimiseArt = 2093;
constexpr int kResizeArt = 2094;
constexpr int kResizeHoverArt = 2095;
constexpr int kMinimisedArt = 2096;
constexpr int kUpArrowArt = 2084;
constexpr int kDownArrowArt = 2085;
constexpr int kThumbArt = 31;
constexpr int kDragSlop = 4;

CTextGump* Journal(CGump* g) {
    return g != nullptr ? g->As<CTextGump>() : nullptr;
}

// Resizing windows by a rubber band is not built: the button says so once.
void OpenResize(CGump*) {
    static bool said = false;
    if (said) return;
    said = true;
    LogClientError("journal", "window resizing: not built yet");
}

}  // namespace

std::vector<const JournalEntry*> CTextGump::Entries() {
    std::vector<const JournalEntry*> all;
    for (const JournalEntry& e : TheJournal().Entries())
        all.push_back(&e);
    return all;
}

CTextGump::CTextGump(int px, int py) {
    kindLabel = "text gump";
    PlaceAt(px, py);
    width = pitch = (GumpArtWidth(kArt) + 7) / 8 * 8;
    height = kHeight;
    MakeFrame(0);
    MakeMinimisedFrame(*this, kMinimisedArt);
    SetArea();
    const std::vector<const JournalEntry*> all = Entries();
    topEntry = all.empty() ? nullptr : all.front();
    ScrollToEnd();
    DrawText();

    const int h2094 = GumpArtHeight(kResizeArt);
    thumb = Add<CThumbGump>(256, 72, true, height - h2094 - 56, this, kThumbArt);
    SyncThumb();
    Add<CButtonGump>(
        137, 0, this, CButtonGump::kPush, 0, [](CGump* g) { g->Minimize(); }, kMinimiseArt,
        kMinimiseArt, 0);
    auto* resize = Add<CButtonGump>(137, height - h2094 - 3, this, CButtonGump::kPush, 0,
                                    &OpenResize, kResizeArt, kResizeArt, 0);
    resize->hoverArt = kResizeHoverArt;
    lockButton = Add<CButtonGump>(
        233, height - h2094 - 52, this, CButtonGump::kToggle, 0,
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->Unlock();
        },
        0, kLockArt, 0);
    Add<CButtonGump>(
        249, 56, this, CButtonGump::kRepeat, 0,
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->ScrollUp();
        },
        kUpArrowArt, kUpArrowArt, 0);
    Add<CButtonGump>(
        249, height - h2094 - 52, this, CButtonGump::kRepeat, 0,
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->ScrollDown();
        },
        kDownArrowArt, kDownArrowArt, 0);
    TheJournal().AddWindow(this);
}

CTextGump::~CTextGump() {
    TheJournal().RemoveWindow(this);
}

void CTextGump::SetArea() {
    areaRight = width - 49;
    if (areaRight % 2 == 0) --areaRight;
    areaBottom = height - 78;
}

int CTextGump::EntryHeight(const JournalEntry& entry) const {
    int widest = 0, h = 0, baseline = 0;
    if (entry.unicode) {
        UnicodeMeasureWrappedText(entry.wideText.c_str(), TextWidth(), widest, h, baseline);
    } else {
        GetFontTable().MeasureWrappedText(kFont, entry.text.c_str(), TextWidth(), widest, h,
                                          baseline, 2);
    }
    return h;
}

bool CTextGump::Locked() const {
    return lockButton != nullptr && lockButton->frameIndex == 1;
}

void CTextGump::Lock() {
    if (lockButton != nullptr) lockButton->frameIndex = 1;
    held = true;
}

void CTextGump::ScrollToEnd() {
    const std::vector<const JournalEntry*> all = Entries();
    if (all.empty()) {
        topEntry = nullptr;
        topOffset = 0;
        return;
    }
    size_t i = all.size() - 1;
    topOffset = EntryHeight(*all[i]) - 1;
    int room = (areaBottom - areaTop) - 4;
    while (room > 0) {
        if (room >= topOffset + 1) {
            if (i > 0) {
                room -= topOffset + 1;
                --i;
                topOffset = EntryHeight(*all[i]) - 1;
            } else {
                topOffset = 0;
                room = 0;
            }
        } else {
            topOffset = room < topOffset ? topOffset - room : 0;
            room = 0;
        }
    }
    topEntry = all[i];
}

void CTextGump::SyncThumb() {
    if (thumb == nullptr) return;
    int above = 0, total = 0;
    bool reached = false;
    for (const JournalEntry* e : Entries()) {
        const int h = EntryHeight(*e);
        if (e == topEntry) {
            reached = true;
            above += topOffset;
        }
        if (!reached) above += h;
        total += h;
    }
    thumb->SyncToTextGump(above, total);
}

void CTextGump::DrawText() {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
    std::fill(frame->Pixels(), frame->Pixels() + size_t(frame->Width()) * frame->Height(), u16(0));
    const int h2093 = GumpArtHeight(kMinimiseArt), h2094 = GumpArtHeight(kResizeArt);
    DrawGumpArtColumn(kArt, 2, *frame, h2093 - 1, h2094);
    CopyGumpToBuf(SpanCopyKeyed, kTitleArt, 111, h2093 + 10, frame->Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, kRuleArt, 30, h2093 + 34, frame->Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, kRuleArt, 31, height - h2094 - 48, frame->Pixels(), width, height);
    if (topEntry == nullptr) return;
    const std::vector<const JournalEntry*> all = Entries();
    auto it = std::find(all.begin(), all.end(), topEntry);
    if (it == all.end()) return;
    const TextTarget target{frame->Pixels(), width, height};
    const ClipRect area{areaLeft, areaTop, areaRight + 1, areaBottom + 1};
    const int w = TextWidth();
    int y = areaTop - std::clamp(topOffset, 0, std::max(0, EntryHeight(**it) - 1));
    for (; it != all.end() && y <= areaBottom; ++it) {
        const JournalEntry& e = **it;
        if (e.unicode) {
            UnicodeDrawWrappedText(target, w, e.wideText.c_str(), areaLeft, y,
                                   UnicodeTextColour(e.hue), area);
        } else {
            GetFontTable().DrawWrappedText(areaLeft, y, kFont, e.hue, e.text.c_str(), w, target,
                                           area, 2, 0);
        }
        y += EntryHeight(e);
    }
}

void CTextGump::ScrollUp() {
    Lock();
    topOffset -= kArrowStep;
    if (topOffset < 0) {
        const std::vector<const JournalEntry*> all = Entries();
        auto it = std::find(all.begin(), all.end(), topEntry);
        if (it != all.end() && it != all.begin()) {
            topEntry = *(it - 1);
            topOffset += EntryHeight(*topEntry);
        } else {
            topOffset = 0;
        }
    }
    SyncThumb();
    DrawText();
}

void CTextGump::ScrollDown() {
    Lock();
    if (topEntry == nullptr) return;
    topOffset += kArrowStep;
    const int h = EntryHeight(*topEntry);
    if (topOffset >= h) {
        if (const JournalEntry* newer = TheJournal().Newer(topEntry)) {
            topOffset -= h;
            topEntry = newer;
        } else {
            topOffset = h - 1;
        }
    }
    SyncThumb();
    DrawText();
}

void CTextGump::Unlock() {
    if (Locked()) return;
    held = false;
    ScrollToEnd();
    SyncThumb();
    DrawText();
}

void CTextGump::OnSliderMoved(int position, int range, CGump*) {
    Lock();
    const std::vector<const JournalEntry*> all = Entries();
    if (all.empty()) return;
    if (position <= 1) {
        topEntry = all.front();
        topOffset = 0;
    } else if (position == range) {
        topEntry = all.back();
        topOffset = EntryHeight(*topEntry) - 1;
    } else {
        int total = 0;
        for (const JournalEntry* e : all)
            total += EntryHeight(*e);
        int rest = range > 0 ? int(s64(position) * total / range) : 0;
        topEntry = all.back();
        topOffset = EntryHeight(*topEntry) - 1;
        for (const JournalEntry* e : all) {
            const int h = EntryHeight(*e);
            if (rest < h) {
                topEntry = e;
                topOffset = rest;
                break;
            }
            rest -= h;
        }
    }
    DrawText();
}

void CTextGump::ClickTrack(int px, int py) {
    if (px < width - 48 || px > width - 25 || py < areaTop || py > areaBottom) return;
    if (topEntry == nullptr || thumb == nullptr) return;
    Lock();
    py -= 8;
    const std::vector<const JournalEntry*> all = Entries();
    auto it = std::find(all.begin(), all.end(), topEntry);
    if (it == all.end()) return;
    const int index = int(it - all.begin());
    const int trackStart = thumb->minY, trackEnd = thumb->maxY;
    if (py < thumb->y) {
        const int to = std::max(0, index - kTrackPage);
        topEntry = all[size_t(to)];
        if (to == 0) topOffset = 0;
        SyncThumb();
        if (thumb->y < py || thumb->y < trackStart) {
            thumb->y = std::max(py, trackStart);
            OnSliderMoved(thumb->y - trackStart, trackEnd - trackStart, thumb);
        }
    } else {
        const int last = int(all.size()) - 1;
        const int to = std::min(last, index + kTrackPage);
        topEntry = all[size_t(to)];
        if (to == last) topOffset = EntryHeight(*topEntry) - 1;
        SyncThumb();
        if (thumb->y > py) {
            thumb->y = std::min(py, trackEnd);
            OnSliderMoved(thumb->y - trackStart, trackEnd - trackStart, thumb);
        }
    }
    DrawText();
}

// --- Mouse and drawing ---------------------------------------------------------------------------

void CTextGump::OnLeftDown(int px, int py) {
    grabX = px;
    grabY = py;
    pressed = true;
    trackCounter = 1;
    BringToFront(false);
    click.Press();
}

void CTextGump::OnHover() {
    if (pressed && !minimised) {
        if (++trackCounter >= 2) {
            trackCounter = 0;
            ClickTrack(grabX, grabY);
        }
    }
    if (click.TimedOut() && pressed) dragStarted = true;
}

void CTextGump::OnDrag(int px, int py) {
    GetGumpHostServices().SetCursorMode(0);
    if (pressed && click.state != ClickState::kNone &&
        (std::abs(px - grabX) > kDragSlop || std::abs(py - grabY) > kDragSlop)) {
        dragStarted = true;
        click.state = ClickState::kNone;
    }
    if (pressed && dragStarted) MoveBy(px - grabX, py - grabY, true);
}

void CTextGump::OnLeftUp(int, int) {
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

void CTextGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CTextGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CTextGump::Draw(const ClipRect& clip) {
    if (!visible || !ShownFrameMeets(*this, clip)) return;
    DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    if (!minimised) DrawChildren(clip);
}

bool CTextGump::ContainsPoint(int px, int py) {
    if (FramePixelSet(px, py, ShownFrameIndex(*this))) return true;
    return !minimised && AnyChildContains(*this, px, py);
}

void CTextGump::OnResized(int newWidth, int newHeight, int) {
    // Only the height changes, between the least height and the screen's bottom limit.
    newWidth = width;
    newHeight = std::max(kMinHeight, std::min(newHeight, kScreenLimit - y));
    const int newPitch = (newWidth + 7) / 8 * 8;
    const int dx = newPitch - width, dy = newHeight - height;
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling) {
        if (c == thumb) {
            thumb->x += dx;
            thumb->maxY += dy;
        } else if (c == lockButton) {
            c->x += dx;
            c->y += dy;
        } else {
            if (c->x > width / 2) c->x += dx;
            if (c->y > height / 2) c->y += dy;
        }
    }
    width = pitch = newPitch;
    height = newHeight;
    frames[0] = std::make_unique<Bitmap16>(width, height);
    SetArea();
    if (!Locked()) ScrollToEnd();
    SyncThumb();
    DrawText();
}
