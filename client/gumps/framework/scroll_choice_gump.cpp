#include "client/gumps/framework/scroll_choice_gump.h"

#include <algorithm>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "platform/clock.h"

int CScrollChoiceGump::highlighted = -1;

std::vector<int> SortServerOrder(const std::vector<ServerChoiceEntry>& servers,
                                 const std::function<int(const ServerChoiceEntry&)>& key) {
    std::vector<int> order(servers.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    for (size_t i = 0; i < order.size(); ++i) {
        size_t best = order.size();
        for (size_t j = i; j < order.size(); ++j) {
            const ServerChoiceEntry& e = servers[static_cast<size_t>(order[j])];
            if (e.status == '2') continue;
            if (best == order.size() || key(e) < key(servers[static_cast<size_t>(order[best])]))
                best = j;
        }
        if (best == order.size()) break;
        std::swap(order[i], order[best]);
    }
    return order;
}

CScrollChoiceGump::CScrollChoiceGump(CGump* owner, CInputControlGump* field, int art)
    : targetGump(owner), targetField(field) {
    Build(art, false);
}

CScrollChoiceGump::CScrollChoiceGump(CGump* owner, int art) : targetGump(owner), cancelled(true) {
    Build(art, true);
}

void CScrollChoiceGump::Build(int art, bool serverList) {
    kindLabel = "scrollchoice gump";
    artId = art;
    GetGumpArtSize(static_cast<u32>(art), width, height);
    pitch = width;
    PlaceAt((kScreenWidth - width) / 2, (kScreenHeight - height) / 2);
    frames.resize(1);
    int thumbX = 198, upL = 185, upT = 2, upR = 210, upB = 20, dnL = 178, dnT = 264, dnR = 204,
        dnB = 284;
    listArea = {34, 34, 204, 253};
    if (art == 1228) {
        listArea = {serverList ? 74 : 34, 34, 360, 253};
        thumbX = 362;
        upL = 354, upT = 4, upR = 378, upB = 22, dnL = 350, dnT = 264, dnR = 372, dnB = 286;
    }
    thumb = Add<CThumbGump>(thumbX, 36, true, 248, this, 1227);
    Add<CButtonGump>(
        upL, upT, upR, upB, this, CButtonGump::kRepeat, 0, [this](CGump*) { ScrollUp(); }, 0);
    Add<CButtonGump>(
        dnL, dnT, dnR, dnB, this, CButtonGump::kRepeat, 0, [this](CGump*) { ScrollDown(); }, 0);
    if (serverList) {
        auto addSort = [this](int bx, int normal, std::function<void()> sort) {
            auto* b = Add<CButtonGump>(
                bx, 264, this, CButtonGump::kRepeat, 0, [sort](CGump*) { sort(); }, normal,
                normal + 1, 0);
            b->hoverArt = normal + 2;
        };
        addSort(108, kFirstSortArt, [this] { SortByFirstColumn(); });
        if (art == 1228) {
            addSort(185, 2366, [this] { SortBySecondColumn(); });
            addSort(250, 2369, [this] { SortByPing(); });
        }
    }
    Redraw();
}

CScrollChoiceGump::~CScrollChoiceGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.modalGump == this) desktop.modalGump = nullptr;
    if (targetGump != nullptr && targetField != nullptr) targetGump->OnChooserClosed();
    if (targetField == nullptr && onServerListClosed) onServerListClosed(cancelled);
}

void CScrollChoiceGump::AddItem(int id, const std::string& text, int hue) {
    // The list holds 100 items; further items are not stored.
    if (Count() >= kMaxItems) return;
    items_.push_back({id, static_cast<u16>(hue), text.substr(0, kMaxText)});
}

int CScrollChoiceGump::LineHeight() const {
    int w = 0, h = 0, b = 0;
    GetFontTable().MeasureText(5, "Aq", w, h, b);
    return std::max(h, 1);
}

void CScrollChoiceGump::Redraw() {
    Bitmap16& frame = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(artId), 0, 0, frame.Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, 2372, 57, 268, frame.Pixels(), width, height);
    CFontTable& fonts = GetFontTable();
    const TextTarget target{frame.Pixels(), width, height};
    if (!title.empty())
        fonts.DrawWrappedText(28, height - 88, 6, 0, title.c_str(), width - 40, target,
                              ClipRect{0, 0, width, height}, 0, 14);
    int w = 0, lineH = 0, baseline = 0;
    fonts.MeasureText(5, "Aq", w, lineH, baseline);
    lineH = std::max(lineH, 1);
    static constexpr int kMarkerX[3] = {26, 40, 54};
    for (int yy = listArea.top, i = first; yy <= listArea.bottom && i < Count(); yy += lineH, ++i) {
        const Item& item = items_[static_cast<size_t>(i)];
        for (int m = 0; m < 3; ++m)
            if (markers[static_cast<size_t>(m)] == item.id)
                CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(2360 + m), kMarkerX[m], yy + 10,
                              frame.Pixels(), width, height);
        const int hue = i == highlighted ? 33 : (item.hue != 0 ? item.hue : 902);
        fonts.DrawTextEllipsis(listArea.left, yy + baseline, 5, hue, item.text.c_str(), target,
                               listArea);
    }
}

void CScrollChoiceGump::ScrollUp() {
    if (first <= 0) return;
    --first;
    Redraw();
    thumb->SetPosition(first, Count());
}

void CScrollChoiceGump::ScrollDown() {
    if (first >= Count() - 1) return;
    ++first;
    Redraw();
    thumb->SetPosition(first, Count());
}

void CScrollChoiceGump::OnSliderMoved(int position, int range, CGump*) {
    first = range > 0 ? std::min(position * Count() / range, Count() - 1) : 0;
    first = std::max(first, 0);
    Redraw();
}

bool CScrollChoiceGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, 0);
}

void CScrollChoiceGump::OnMouseOver(int px, int py) {
    GetGumpHostServices().SetCursorMode(0);
    int now = -1;
    if (px >= listArea.left && px < listArea.right && py >= listArea.top && py < listArea.bottom) {
        now = (py - listArea.top) / LineHeight() + first;
        if (now >= Count()) now = -1;
    }
    if (now != highlighted) {
        highlighted = now;
        Redraw();
    }
}

void CScrollChoiceGump::OnMouseLeave() {
    if (highlighted != -1) {
        highlighted = -1;
        Redraw();
    }
}

void CScrollChoiceGump::OnDrag(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

void CScrollChoiceGump::OnLeftDown(int px, int py) {
    grabX = px;
    grabY = py;
    pressed = true;
    pressTicks = 1;
    BringToFront(false);
    if (clickState == 1) {
        clickState = 2;
    } else {
        clickState = 1;
        firstClickTime = platform::NowMs();
    }
}

void CScrollChoiceGump::OnHover() {
    if (clickState == 1 &&
        platform::NowMs() - firstClickTime > GetGumpHostServices().DoubleClickTimeMs()) {
        clickState = 0;
        if (pressed) held = true;
    }
    if (!pressed) return;
    if (++pressTicks >= 2) {
        pressTicks = 0;
        pressed = false;
        ChooseAt(grabX, grabY);  // may close this gump
    }
}

void CScrollChoiceGump::OnLeftUp(int, int) {
    // A click shorter than a tick ends before the tick that would choose: the release
    // chooses instead, so a press picks its row however quickly the button comes up.
    const bool choose = pressed;
    pressed = false;
    pressTicks = 0;
    if (held) {
        held = false;
        clickState = 0;
    }
    ReleaseCapture();
    if (choose) ChooseAt(grabX, grabY);  // may close this gump
}

void CScrollChoiceGump::OnRightUp(int, int) {
    ReleaseCapture();
    cancelled = true;
    TheGumpDesktop().Close(this);
}

void CScrollChoiceGump::ChooseAt(int px, int py) {
    if (px < listArea.left || px >= listArea.right || py < listArea.top || py >= listArea.bottom)
        return;
    const int row = (py - listArea.top) / LineHeight() + first;
    if (row < 0 || row >= Count()) return;
    const Item& item = items_[static_cast<size_t>(row)];
    if (targetField != nullptr) {
        targetField->number = item.id;
        targetField->SetText(item.text);
        if (targetGump != nullptr) targetGump->OnControlChanged(targetField);
    } else {
        cancelled = false;
        if (onServerChosen) onServerChosen(item.id, item.text);
    }
    TheGumpDesktop().Close(this);
}

void CScrollChoiceGump::SortBy(const std::function<int(const ServerChoiceEntry&)>& key,
                               int marker) {
    const std::vector<int> order = SortServerOrder(servers, key);
    items_.clear();
    for (int i : order) {
        const ServerChoiceEntry& e = servers[static_cast<size_t>(i)];
        AddItem(e.id, e.name, 0);
    }
    if (!items_.empty()) markers[static_cast<size_t>(marker)] = items_.front().id;
    Redraw();
}

void CScrollChoiceGump::SortByFirstColumn() {
    SortBy([](const ServerChoiceEntry& e) { return e.firstKey; }, 0);
}

void CScrollChoiceGump::SortBySecondColumn() {
    SortBy([](const ServerChoiceEntry& e) { return e.secondKey; }, 1);
}

void CScrollChoiceGump::SortByPing() {
    if (measurePings) measurePings();
    SortBy([](const ServerChoiceEntry& e) { return e.ping; }, 2);
}
