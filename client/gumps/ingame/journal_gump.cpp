#include "client/gumps/ingame/journal_gump.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/data/pixel_spans.h"
#include "client/data/unicode_fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/ingame/bark_gump.h"

namespace {

constexpr int kTitleArt = 2090;
constexpr int kLockArt = 2092;
constexpr int kMinimiseArt = 2093;
constexpr int kResizeArt = 2094;
constexpr int kMinimisedArt = 2096;

CTextGump* Journal(CGump* g) {
    return g != nullptr ? g->As<CTextGump>() : nullptr;
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
    MakeScroll(kMinimisedArt);
    const std::vector<const JournalEntry*> all = Entries();
    topEntry = all.empty() ? nullptr : all.front();
    ScrollToEnd();
    DrawText();
    AddScrollControls(
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->ScrollUp();
        },
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->ScrollDown();
        });
    SyncThumb();
    lockButton = Add<CButtonGump>(
        233, height - GumpArtHeight(kResizeArt) - 52, this, CButtonGump::kToggle, 0,
        [](CGump* g) {
            if (CTextGump* j = Journal(g)) j->Unlock();
        },
        0, kLockArt, 0);
    TheJournal().AddWindow(this);
}

CTextGump::~CTextGump() {
    TheJournal().RemoveWindow(this);
}

int CTextGump::EntryHeight(const JournalEntry& entry) const {
    const int w = TextWidth();
    if (entry.wrapWidth == w) return entry.wrappedHeight;
    int widest = 0, h = 0, baseline = 0;
    if (entry.unicode) {
        UnicodeMeasureWrappedText(entry.wideText.c_str(), w, widest, h, baseline);
    } else {
        GetFontTable().MeasureWrappedText(kFont, entry.text.c_str(), w, widest, h, baseline, 2);
    }
    entry.wrapWidth = w;
    entry.wrappedHeight = h;
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
    DrawBackground(kTitleArt, 111, GumpArtHeight(kMinimiseArt) + 10);
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
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
    if (!InTrack(px, py) || topEntry == nullptr || thumb == nullptr) return;
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

void CTextGump::OnResized(int newWidth, int newHeight, int) {
    // Only the height changes, between the least height and the screen's bottom limit.
    newWidth = width;
    newHeight = std::max(kMinHeight, std::min(newHeight, kScreenLimit - y));
    const int newPitch = (newWidth + 7) / 8 * 8;
    MoveChildrenForSize(newPitch - width, newHeight - height, lockButton);
    width = pitch = newPitch;
    height = newHeight;
    frames[0] = std::make_unique<Bitmap16>(width, height);
    SetArea();
    if (!Locked()) ScrollToEnd();
    SyncThumb();
    DrawText();
}
