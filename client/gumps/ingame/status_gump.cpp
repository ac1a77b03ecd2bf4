#include "client/gumps/ingame/status_gump.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/two_frame_window.h"
#include "client/gumps/frontend/character_name.h"
#include "client/gumps/ingame/ingame_requests.h"
#include "client/gumps/windows/waiting_gump.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"

namespace {

constexpr int kFont = 1;
constexpr int kHue = 902;
constexpr int kDragSlop = 4;
constexpr int kNameLimit = 29;
constexpr int kFieldHue = 14;
constexpr u8 kPoisonedFlag = 0x04;
constexpr u8 kYellowFlag = 0x08;
constexpr u8 kStatusRequest = 4;

std::vector<CStatusGump*> g_others;

int Baseline() {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(kFont, "Aq", w, h, baseline);
    return baseline;
}

int RoundUpTo8(int value) {
    return (value + 7) & ~7;
}

u32 PlayerSerial() {
    const CClientPlayer* player = ThePlayer();
    return player != nullptr ? player->serial : 0;
}

// Every top-level status window of a mobile.
template <typename Visit>
void ForEachStatusWindowOf(u32 mobile, Visit visit) {
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (CStatusGump* s = g->As<CStatusGump>(); s != nullptr && s->object == mobile) visit(*s);
}

CStatusGump* FirstStatusWindowOf(u32 mobile) {
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (CStatusGump* s = g->As<CStatusGump>(); s != nullptr && s->object == mobile) return s;
    return nullptr;
}

}  // namespace

int BarFillWidth(u16 value, u16 maximum) {
    if (maximum == 0 || value > maximum) return CStatusGump::kBarLength;
    return static_cast<int>(static_cast<float>(CStatusGump::kBarLength) *
                            (static_cast<float>(value) / static_cast<float>(maximum)));
}

const std::vector<CStatusGump*>& OtherStatusWindows() {
    return g_others;
}

// --- Construction ------------------------------------------------------------------------------

CStatusGump::CStatusGump(u32 mobile, bool small) {
    kindLabel = "status gump";
    object = mobile;
    const bool own = Own();
    if (!own) {
        if (g_others.size() >= kMaxOtherWindows) TheGumpDesktop().Close(g_others.front());
        g_others.push_back(this);
    }
    artId = kArt;
    int w = 0, h = 0;
    GetGumpArtSize(kArt, w, h);
    width = pitch = RoundUpTo8(w);
    height = h;
    GetGumpArtSize(own ? kPlayerBarArt : kOtherBarArt, minimisedWidth, minimisedHeight);
    int hx = 0, hy = 0;
    TheCursorManager().GetHotSpotPos(hx, hy);
    const int shownW = small ? minimisedWidth : width;
    const int shownH = small ? minimisedHeight : height;
    int px = std::max(0, hx - minimisedWidth / 2);
    int py = std::max(0, hy - minimisedHeight / 2);
    if (px + shownW >= kScreenWidth - 1) px = kScreenWidth - 1 - shownW;
    if (py + shownH >= kScreenHeight - 1) py = kScreenHeight - 1 - shownH;
    PlaceAt(px, py);
    minimised = small;
    Refresh();
    Add<CButtonGump>(240, 112, 263, 136, this, CButtonGump::kPush, 0,
                     [](CGump* g) { g->Minimize(); }, 0);
}

CStatusGump::~CStatusGump() {
    g_others.erase(std::remove(g_others.begin(), g_others.end(), this), g_others.end());
    if (groupHead != nullptr) LeaveGroup();
    // A bar being dragged against this one forgets it.
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (CStatusGump* s = g->As<CStatusGump>(); s != nullptr && s->snapTarget == this)
            s->snapTarget = nullptr;
}

bool CStatusGump::Own() const {
    return object != 0 && object == PlayerSerial();
}

// --- Pictures ----------------------------------------------------------------------------------

int CStatusGump::BarFillArt() const {
    const CClientPlayer* player = ThePlayer();
    const u8 flags = player != nullptr ? player->statusFlags : 0;
    if (flags & kPoisonedFlag) return kPoisonedFillArt;
    if (flags & kYellowFlag) return kYellowFillArt;
    return kFillArt;
}

void CStatusGump::DrawBar(int frame, int bx, int by, u16 value, u16 maximum, int fillArt) {
    Bitmap16& f = *Frame(frame);
    CopyGumpToBuf(SpanCopyKeyed, kEmptyBarArt, bx, by, f.Pixels(), f.Width(), f.Height());
    const int filled = BarFillWidth(value, maximum);
    CopyGumpToBufClipped(SpanCopyKeyed, static_cast<u32>(fillArt),
                         ClipRect{bx, by, bx + filled - 1, by + 10}, bx, by, f.Pixels(),
                         f.Width(), f.Height());
}

void CStatusGump::Refresh() {
    Bitmap16& full = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, kArt, 0, 0, full.Pixels(), width, height);
    const bool own = Own();
    const CClientPlayer* player = ThePlayer();
    const int barArt = !own ? kOtherBarArt
                            : (player != nullptr && player->warMode ? kWarBarArt : kPlayerBarArt);
    const int shownW = minimisedWidth, shownH = minimisedHeight;
    MakeMinimisedFrame(*this, barArt);
    // The war picture must not change the bar's size while it is docked or shown.
    minimisedWidth = shownW;
    minimisedHeight = shownH;
    if (record.name.empty() && nameField_ == nullptr) return;

    const StatusRecord& r = record;
    if (own) {
        DrawBar(1, 34, 12, r.hits, r.maxHits, BarFillArt());
        DrawBar(1, 34, 25, r.mana, r.maxMana, kFillArt);
        DrawBar(1, 34, 38, r.stamina, r.maxStamina, kFillArt);
    } else {
        DrawBar(1, 34, 38, r.hits, r.maxHits, kFillArt);
    }
    const int b = Baseline();
    const TextTarget target{full.Pixels(), width, height};
    const ClipRect all{0, 0, width, height};
    CFontTable& fonts = GetFontTable();
    auto text = [&](int tx, int ty, const char* format, unsigned first, unsigned second) {
        char line[32];
        std::snprintf(line, sizeof line, format, first, second);
        fonts.DrawText(tx, ty, kFont, kHue, line, target, all);
    };
    fonts.DrawText(86, b + 43, kFont, kHue, r.name.c_str(), target, ClipRect{0, 0, 260, height});
    fonts.DrawText(86, b + 98, kFont, kHue, r.sex == 0 ? "M" : "F", target, all);
    text(86, b + 62, "%u", r.strength, 0);
    text(86, b + 74, "%u", r.dexterity, 0);
    text(86, b + 86, "%u", r.intelligence, 0);
    text(173, b + 62, "%u/%u", r.hits, r.maxHits);
    text(173, b + 74, "%u/%u", r.mana, r.maxMana);
    text(173, b + 86, "%u/%u", r.stamina, r.maxStamina);
    text(173, b + 98, "%u", r.gold, 0);
    text(86, b + 110, "%u", r.armour, 0);
    text(173, b + 110, "%u", r.weight, 0);
    if (!own && nameField_ == nullptr) {
        Bitmap16& bar = *Frame(1);
        fonts.DrawText(16, b + 14, kFont, kHue, r.name.c_str(),
                       {bar.Pixels(), bar.Width(), bar.Height()},
                       ClipRect{0, 0, 138, bar.Height()});
    }
}

void CStatusGump::CreateNameField() {
    if (nameField_ != nullptr) return;
    nameField_ = Add<CInputControlGump>(13, 12, this, minimisedWidth - 32, 16,
                                        CInputControlGump::kText, kNameLimit, kFont, kFieldHue,
                                        true, false, false);
    nameField_->SetText(record.name);
    nameField_->selectedLook = true;
    nameField_->Redraw();
    record.name.clear();
    SyncFieldVisibility();
}

void CStatusGump::OnFieldEnter() {
    if (nameField_ == nullptr) return;
    const std::string name = nameField_->Text();
    if (IsUnacceptableName(name)) {
        ShowWaitingGump("Unacceptable name.", nullptr, 0, false);
        return;
    }
    SendRenameRequest(object, name);
    TheGumpDesktop().ClearKeyboardFocus();
}

void CStatusGump::SyncFieldVisibility() {
    if (nameField_ != nullptr) nameField_->visible = minimised;
}

void CStatusGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    SyncFieldVisibility();
    if (ShownFrameMeets(*this, clip)) DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    for (CGump* c = lastChild; c != nullptr; c = c->prevSibling) {
        const bool shown = c->IsKind(GumpKind::kButton)
                               ? (c->MinimisedStateTag() != 0) == minimised
                               : minimised;
        if (shown) c->Draw(clip);
    }
}

bool CStatusGump::ContainsPoint(int px, int py) {
    SyncFieldVisibility();
    return FramePixelSet(px, py, ShownFrameIndex(*this));
}

// --- Docking -----------------------------------------------------------------------------------

std::vector<CStatusGump*> CStatusGump::GroupMembers() {
    std::vector<CStatusGump*> members;
    if (groupHead == nullptr) {
        members.push_back(this);
        return members;
    }
    for (CStatusGump* m = groupHead; m != nullptr; m = m->nextInGroup)
        members.push_back(m);
    return members;
}

int CStatusGump::SnapSideTo(const CStatusGump& other) const {
    const int dx = x - other.x, dy = y - other.y;
    if (std::abs(dx) >= minimisedWidth || std::abs(dy) >= minimisedHeight) return kNone;
    if (std::abs(dy) < std::abs(dx)) {
        if (dx >= 0) return other.right == nullptr ? kRightOf : kNone;
        return other.left == nullptr ? kLeftOf : kNone;
    }
    if (dy >= 0) return other.lower == nullptr ? kBelow : kNone;
    return other.upper == nullptr ? kAbove : kNone;
}

void CStatusGump::Snap() {
    snapTarget = nullptr;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling) {
        CStatusGump* other = g->As<CStatusGump>();
        if (other == nullptr || other == this || !other->minimised) continue;
        const int side = SnapSideTo(*other);
        if (side == kNone) continue;
        snapTarget = other;
        snapSide = side;
        switch (side) {
            case kRightOf:
                x = other->x + other->minimisedWidth;
                y = other->y;
                break;
            case kLeftOf:
                x = other->x - minimisedWidth;
                y = other->y;
                break;
            case kBelow:
                x = other->x;
                y = other->y + other->minimisedHeight;
                break;
            default:
                x = other->x;
                y = other->y - minimisedHeight;
                break;
        }
        return;
    }
}

void CStatusGump::Dock() {
    CStatusGump* t = snapTarget;
    snapTarget = nullptr;
    // The bars beside the target along the docked edge become this bar's neighbours too.
    auto link = [this](CStatusGump* via, CStatusGump* CStatusGump::*toward,
                       CStatusGump* CStatusGump::*mine, CStatusGump* CStatusGump::*theirs) {
        if (via == nullptr || via->*toward == nullptr) return;
        this->*mine = via->*toward;
        (via->*toward)->*theirs = this;
    };
    switch (snapSide) {
        case kRightOf:
            t->right = this;
            left = t;
            link(t->upper, &CStatusGump::right, &CStatusGump::upper, &CStatusGump::lower);
            link(t->lower, &CStatusGump::right, &CStatusGump::lower, &CStatusGump::upper);
            break;
        case kLeftOf:
            t->left = this;
            right = t;
            link(t->upper, &CStatusGump::left, &CStatusGump::upper, &CStatusGump::lower);
            link(t->lower, &CStatusGump::left, &CStatusGump::lower, &CStatusGump::upper);
            break;
        case kBelow:
            t->lower = this;
            upper = t;
            link(t->left, &CStatusGump::lower, &CStatusGump::left, &CStatusGump::right);
            link(t->right, &CStatusGump::lower, &CStatusGump::right, &CStatusGump::left);
            break;
        case kAbove:
            t->upper = this;
            lower = t;
            link(t->left, &CStatusGump::upper, &CStatusGump::left, &CStatusGump::right);
            link(t->right, &CStatusGump::upper, &CStatusGump::right, &CStatusGump::left);
            break;
        default:
            return;
    }
    if (t->groupHead == nullptr) t->groupHead = t;
    groupHead = t->groupHead;
    CStatusGump* last = groupHead;
    while (last->nextInGroup != nullptr)
        last = last->nextInGroup;
    last->nextInGroup = this;
    nextInGroup = nullptr;
}

void CStatusGump::LeaveGroup() {
    if (groupHead == nullptr) return;
    CStatusGump* head = groupHead;
    if (head == this) {
        for (CStatusGump* m = nextInGroup; m != nullptr; m = m->nextInGroup)
            m->groupHead = nextInGroup;
        head = nextInGroup;
    } else {
        for (CStatusGump* m = head; m != nullptr; m = m->nextInGroup)
            if (m->nextInGroup == this) {
                m->nextInGroup = nextInGroup;
                break;
            }
    }
    if (left != nullptr) left->right = nullptr;
    if (right != nullptr) right->left = nullptr;
    if (upper != nullptr) upper->lower = nullptr;
    if (lower != nullptr) lower->upper = nullptr;
    // A group of one is no group.
    if (head != nullptr && head->nextInGroup == nullptr) {
        head->groupHead = nullptr;
        head->left = head->right = head->upper = head->lower = nullptr;
    }
    groupHead = nextInGroup = nullptr;
    left = right = upper = lower = nullptr;
}

void CStatusGump::MoveGroupBy(int dx, int dy) {
    // The group stays on the screen by its outermost members.
    const int w = minimised ? minimisedWidth : width;
    const int h = minimised ? minimisedHeight : height;
    const std::vector<CStatusGump*> members = GroupMembers();
    int leftX = x, rightX = x, topY = y, bottomY = y;
    for (const CStatusGump* m : members) {
        leftX = std::min(leftX, m->x);
        rightX = std::max(rightX, m->x);
        topY = std::min(topY, m->y);
        bottomY = std::max(bottomY, m->y);
    }
    if (rightX + dx > 589) dx -= rightX + dx - 589;
    if (leftX + dx < 50 - w) dx += (50 - w) - (leftX + dx);
    if (bottomY + dy > 429) dy -= bottomY + dy - 429;
    if (topY + dy < 50 - h) dy += (50 - h) - (topY + dy);
    const int oldX = x, oldY = y;
    MoveBy(dx, dy, true);
    for (CStatusGump* m : members)
        if (m != this) m->MoveBy(x - oldX, y - oldY, false);
}

// --- Mouse -------------------------------------------------------------------------------------

void CStatusGump::OnLeftDown(int px, int py) {
    pressed_ = true;
    grabX = px;
    grabY = py;
    for (CStatusGump* m : GroupMembers())
        m->BringToFront(false);
    click_.Press();
}

void CStatusGump::OnHover() {
    if (click_.TimedOut() && pressed_) dragStarted_ = true;
}

void CStatusGump::OnDrag(int px, int py) {
    if (pressed_ && click_.state != ClickState::kNone &&
        (std::abs(px - grabX) > kDragSlop || std::abs(py - grabY) > kDragSlop)) {
        dragStarted_ = true;
        click_.state = ClickState::kNone;
    }
    if (!pressed_) return;
    if (groupHead != nullptr) {
        MoveGroupBy(px - grabX, py - grabY);
        return;
    }
    MoveBy(px - grabX, py - grabY, true);
    if (minimised) Snap();
}

void CStatusGump::OnLeftUp(int, int) {
    if (snapTarget != nullptr) Dock();
    ReleaseCapture();
    pressed_ = false;
    if (dragStarted_) {
        dragStarted_ = false;
        click_.state = ClickState::kNone;
    } else if (click_.state == ClickState::kSecondPress) {
        click_.state = ClickState::kNone;
        OnDoubleClick();
    }
}

void CStatusGump::OnDoubleClick() {
    if (minimised && Own()) Restore();
    if (minimised && groupHead != nullptr) {
        // Out of the group and onto the pointer.
        BringToFront(false);
        HangOnPointer();
    }
    if (groupHead != nullptr) LeaveGroup();
}

void CStatusGump::HangOnPointer() {
    pressed_ = true;
    grabX = (minimised ? minimisedWidth : width) / 2;
    grabY = (minimised ? minimisedHeight : height) / 2;
    TheCursorManager().Capture(this);
}

void CStatusGump::OnRightUp(int, int) {
    ReleaseCapture();
    for (CStatusGump* m : GroupMembers())
        TheGumpDesktop().Close(m);
}

void CStatusGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

// --- The windows of a mobile -------------------------------------------------------------------

void OpenStatusWindowOf(u32 mobile) {
    if (mobile == 0) return;
    CGumpDesktop& desktop = TheGumpDesktop();
    CStatusGump* status = FirstStatusWindowOf(mobile);
    if (status != nullptr) {
        if (status->minimised && status->Own()) status->Restore();
        status->BringToFront(false);
    } else {
        desktop.Open<CStatusGump>(mobile, mobile != PlayerSerial());
    }
    SendStatusRequest(kStatusRequest, mobile);
}

CStatusGump* TearOffStatusBar(u32 mobile) {
    if (mobile == 0) return nullptr;
    CStatusGump* status = FirstStatusWindowOf(mobile);
    if (status == nullptr) status = TheGumpDesktop().Open<CStatusGump>(mobile, true);
    status->HangOnPointer();
    return status;
}

void UpdateStatusWindowsOf(const StatusRecord& status, bool renamable) {
    ForEachStatusWindowOf(status.serial, [&](CStatusGump& window) {
        window.record = status;
        if (renamable) window.CreateNameField();
        window.Refresh();
    });
}

void UpdateStatusBarsOf(u32 mobile, const StatBars& bars) {
    ForEachStatusWindowOf(mobile, [&](CStatusGump& window) {
        CopyStatBars(bars, window.record);
        window.Refresh();
    });
}
