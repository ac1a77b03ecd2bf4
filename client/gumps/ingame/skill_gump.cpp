#include "client/gumps/ingame/skill_gump.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/data/client_log.h"
#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_art_strips.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/framework/two_frame_window.h"
#include "client/gumps/windows/waiting_gump.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/world/system_message.h"
#include "core/packet_writer.h"

namespace {

constexpr int kMinimiseArt = 2093;
constexpr int kUpArrowArt = 2084;
constexpr int kDownArrowArt = 2085;
constexpr int kNewGroupArt = 2106;
constexpr int kResizeArt = 2094;
constexpr int kResizeHoverArt = 2095;
constexpr int kThumbArt = 2088;
constexpr int kExpandedArt = 2086;
constexpr int kCollapsedArt = 2087;
constexpr int kLeaderArt = 2101;
constexpr int kUseArt = 2103;
constexpr int kUseHoverArt = 2104;
constexpr int kHeaderFont = 6;
constexpr int kSkillFont = 9;
constexpr int kSkillHue = 0x288;
constexpr int kNameLimit = 16;
constexpr u8 kUseSkillCommand = 0x24;
constexpr u32 kEndKey = 0xE023;
constexpr u32 kDeleteKey = 0xE02E;
constexpr int kDragSlop = 4;
constexpr u8 kSkillsPlacement = 4;

int TextWidth(int font, const char* text) {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(font, text, w, h, baseline);
    return w;
}

int Baseline(int font) {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(font, "Aq", w, h, baseline);
    return baseline;
}

u16 HighlightColour() {
    const u16 colour = RgbToPixel16(169, 152, 99);
    return Use565() ? Convert555To565(colour) : colour;
}

void SaveGroups() {
    // A file that cannot be written keeps the change for this run only.
    SaveSkillGroups(GetGumpHostServices().MakeHDPath(kSkillGroupFile));
}

}  // namespace

std::string SkillValueText(u16 value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", value / 10, value % 10);
    return text;
}

// --- Construction ------------------------------------------------------------------------------

CSkillGump::CSkillGump(int px, int py) {
    kindLabel = "Skill gump";
    LoadSkillTable();
    lineCount_ = TheSkillGroupTable().count;
    CGumpDesktop& desktop = TheGumpDesktop();
    PendingPlacement placement;
    const bool placed = desktop.restoring && desktop.TakePendingPlacement(kSkillsPlacement, placement);
    if (placed) {
        PlaceAt(placement.x, placement.y);
        // Restore brings the window back to the place it was opened at.
        normalX = px;
        normalY = py;
        minimised = placement.minimised == 1;
    } else {
        PlaceAt(px, py);
    }
    artId = kArt;
    width = pitch = GumpArtWidth(kArt);
    height = kStartHeight;
    MakeFrame(0);
    MakeMinimisedFrame(*this, kMinimisedArt);
    listBottom_ = height - GumpArtHeight(kResizeArt) - 70;

    Add<CButtonGump>(137, 0, this, CButtonGump::kPush, 0,
                     [](CGump* g) { g->Minimize(); }, kMinimiseArt, kMinimiseArt, 0);
    Add<CButtonGump>(249, 56, this, CButtonGump::kRepeat, 0, &CSkillGump::ScrollUp, kUpArrowArt,
                     kUpArrowArt, 0);
    auto* newGroup = Add<CButtonGump>(180, height - 56, this, CButtonGump::kPush, 0,
                                      &CSkillGump::NewGroup, kNewGroupArt, kNewGroupArt, 0);
    newGroup->pixelTest = false;
    Add<CButtonGump>(249, height - GumpArtHeight(kResizeArt) - 66, this, CButtonGump::kRepeat, 0,
                     &CSkillGump::ScrollDown, kDownArrowArt, kDownArrowArt, 0);
    auto* resize = Add<CButtonGump>(137, height - GumpArtHeight(kResizeArt) - 3, this,
                                    CButtonGump::kPush, 0, &CSkillGump::OpenResize, kResizeArt,
                                    kResizeArt, 0);
    resize->hoverArt = kResizeHoverArt;
    thumb_ = Add<CThumbGump>(256, 72, true, listBottom_, this, kThumbArt);
    thumb_->SetPosition(0, 1);

    Refresh(-1);
    if (placed) OnResized(placement.width, placement.height, 0);
}

CSkillGump::~CSkillGump() {
    // A name being typed is kept; the field goes with the window's other children.
    if (nameField_ != nullptr && TakeTypedName()) Save();
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.skillGump == this) desktop.skillGump = nullptr;
}

void CSkillGump::SetValue(int skill, u16 value) {
    if (skill < 0 || skill >= ClientSkillTable::kSlots) return;
    ownValues_[static_cast<size_t>(skill)] = value;
}

// --- The line sequence ---------------------------------------------------------------------

int CSkillGump::SkillAt(int position) {
    return TheClientSkillTable().sorted[position];
}

int CSkillGump::GroupOf(int position) const {
    return TheSkillGroupTable().groupOf[SkillAt(position)];
}

int CSkillGump::ShownGroupOf(int position) const {
    return position == draggedSkill_ ? dropGroup_ : GroupOf(position);
}

u16 CSkillGump::ValueOf(int skill) const {
    return showsOwnValues_ ? ownValues_[static_cast<size_t>(skill)]
                           : ThePlayerSkillValues().values[skill];
}

int CSkillGump::SkillsInGroup(int group) const {
    int n = 0;
    for (int p = 0; p < TheClientSkillTable().count; ++p)
        if (GroupOf(p) == group) ++n;
    return n;
}

bool CSkillGump::IsGroupEmpty(int group) const {
    return SkillsInGroup(group) == 0;
}

CSkillGump::Line CSkillGump::TopLine() const {
    Line top;
    top.header = topIsHeader_;
    if (topIsHeader_) {
        top.group = topLine_;
    } else {
        top.position = topLine_;
        top.group = ShownGroupOf(topLine_);
    }
    return top;
}

void CSkillGump::SetTopLine(const Line& line) {
    topIsHeader_ = line.header;
    topLine_ = line.header ? line.group : line.position;
}

bool CSkillGump::NextLine(const Line& line, Line& next) const {
    const int count = TheClientSkillTable().count;
    if (Expanded(line.group)) {
        for (int p = line.header ? 0 : line.position + 1; p < count; ++p) {
            if (ShownGroupOf(p) != line.group) continue;
            next = Line{false, line.group, p};
            return true;
        }
    }
    if (line.group + 1 >= TheSkillGroupTable().count) return false;
    next = Line{true, line.group + 1, -1};
    return true;
}

bool CSkillGump::PreviousLine(const Line& line, Line& previous) const {
    auto lastSkillBefore = [this](int group, int before, Line& out) {
        for (int p = before - 1; p >= 0; --p) {
            if (ShownGroupOf(p) != group) continue;
            out = Line{false, group, p};
            return true;
        }
        return false;
    };
    const int count = TheClientSkillTable().count;
    if (!line.header) {
        if (lastSkillBefore(line.group, line.position, previous)) return true;
        if (line.group < 0) return false;
        previous = Line{true, line.group, -1};
        return true;
    }
    if (line.group == 0) return lastSkillBefore(-1, count, previous);
    const int group = line.group - 1;
    if (Expanded(group) && lastSkillBefore(group, count, previous)) return true;
    previous = Line{true, group, -1};
    return true;
}

CSkillGump::Line CSkillGump::FirstLine() const {
    for (int p = 0; p < TheClientSkillTable().count; ++p)
        if (ShownGroupOf(p) == -1) return Line{false, -1, p};
    return Line{true, 0, -1};
}

template <typename Visit>
void CSkillGump::WalkLines(Visit visit) const {
    Line line = TopLine();
    if (line.header && line.group >= TheSkillGroupTable().count) return;
    for (int y = kListTop + 2; y + 15 <= listBottom_ - 2; y += kLineStep) {
        visit(line, y);
        if (!NextLine(line, line)) return;
    }
}

std::vector<CSkillGump::ShownLine> CSkillGump::ShownLines() const {
    std::vector<ShownLine> lines;
    WalkLines([&lines](const Line& line, int y) { lines.push_back({line, y}); });
    return lines;
}

bool CSkillGump::HitTestLine(int px, int py, Line& hit, int* lineY) const {
    if (px < kListLeft + 2 || px >= kListRight - 2 || py < kListTop + 2 || py >= listBottom_ - 2)
        return false;
    const ClientSkillTable& skills = TheClientSkillTable();
    const SkillGroupTable& groups = TheSkillGroupTable();
    bool found = false;
    int rowY = 0;
    WalkLines([&](const Line& line, int y) {
        if (found || py < y || py > y + 16) return;
        int left = 0, span = 0;
        if (line.header) {
            left = kListLeft + 2;
            span = 50 + TextWidth(kHeaderFont, groups.names[line.group]);
        } else {
            const int skill = SkillAt(line.position);
            char text[ClientSkillTable::kNameBytes + 16];
            std::snprintf(text, sizeof text, "%s - %d%%", skills.names[skill], ValueOf(skill));
            left = kListLeft + 22;
            span = TextWidth(kSkillFont, text) + ((skills.flags[skill] & 2) ? 30 : 0);
        }
        if (px < left || px >= left + span) return;
        hit = line;
        rowY = y;
        found = true;
    });
    if (found && lineY != nullptr) *lineY = rowY;
    return found;
}

// --- Drawing ---------------------------------------------------------------------------------

void CSkillGump::Refresh(int which) {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr) return;
    const TextTarget target{frame->Pixels(), frame->Width(), frame->Height()};
    const ClipRect list{kListLeft + 2, kListTop + 2, kListRight - 2, listBottom_ - 2};
    if (which >= 0) {
        // One skill line over a highlighted row, without the background.
        for (const ShownLine& shown : ShownLines()) {
            if (shown.line.header || shown.line.position != which) continue;
            FillBitmapRect(list.left, shown.y, list.right, shown.y + 16, HighlightColour(), *frame);
            const int skill = SkillAt(which);
            GetFontTable().DrawTextEllipsis(kListLeft + 22, shown.y + Baseline(kSkillFont),
                                            kSkillFont, kSkillHue,
                                            TheClientSkillTable().names[skill], target,
                                            {list.left, list.top, width - 90, list.bottom});
        }
        return;
    }
    DrawList();
    LayOutUseButtons();
}

void CSkillGump::DrawList() {
    Bitmap16& frame = *Frame(0);
    std::fill(frame.Pixels(), frame.Pixels() + static_cast<size_t>(frame.Width()) * frame.Height(),
              u16{0});
    const int top = GumpArtHeight(kMinimiseArt);
    const int bottom = GumpArtHeight(kResizeArt);
    DrawGumpArtColumn(kArt, 2, frame, top - 1, bottom);
    CopyGumpToBuf(SpanCopyKeyed, 2100, 118, top + 10, frame.Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, 2102, 30, height - bottom - 56, frame.Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, 2091, 30, top + 36, frame.Pixels(), width, height);
    CopyGumpToBuf(SpanCopyKeyed, 2091, 31, height - bottom - 70, frame.Pixels(), width, height);

    CFontTable& fonts = GetFontTable();
    const ClientSkillTable& skills = TheClientSkillTable();
    const SkillGroupTable& groups = TheSkillGroupTable();
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect list{kListLeft + 2, kListTop + 2, kListRight - 2, listBottom_ - 2};
    const int headerBaseline = Baseline(kHeaderFont);
    const int skillBaseline = Baseline(kSkillFont);
    const u16 highlight = HighlightColour();
    WalkLines([&](const Line& line, int y) {
        const int rowBottom = std::min(y + 16, list.bottom);
        if (line.header) {
            const int g = line.group;
            int w = TextWidth(kHeaderFont, groups.names[g]);
            if (w % 2 == 0) ++w;
            const bool dropTarget = draggedSkill_ >= 0 && dropGroup_ == g && !Expanded(g);
            if (g == selectedGroup_ || dropTarget) {
                const int right = nameField_ != nullptr ? list.right : kListLeft + 16 + w;
                FillBitmapRect(kListLeft + 16, y, right, rowBottom, highlight, frame);
            }
            if (!IsGroupEmpty(g))
                CopyGumpToBufClipped(SpanCopyKeyed,
                                     static_cast<u32>(Expanded(g) ? kExpandedArt : kCollapsedArt),
                                     {0, list.top, list.right, list.bottom}, kListLeft, y - 1,
                                     frame.Pixels(), width, height);
            if (nameField_ == nullptr || renamedGroup_ != g) {
                fonts.DrawTextEllipsis(kListLeft + 16, y + headerBaseline, kHeaderFont, 0,
                                       groups.names[g], target, list);
                DrawGumpArtRow(kListLeft + 2 + w + 18, y + 4, kLeaderArt, frame,
                               {list.left, list.top, list.right - 10, list.bottom});
            }
            return;
        }
        const int skill = SkillAt(line.position);
        if (line.position == draggedSkill_ && dropGroup_ != GroupOf(line.position)) {
            int right = width - 50;
            if (right % 2 == 0) --right;
            FillBitmapRect(kListLeft + 22, y, right, rowBottom, highlight, frame);
        }
        fonts.DrawTextEllipsis(kListLeft + 22, y + skillBaseline, kSkillFont, kSkillHue,
                               skills.names[skill], target,
                               {list.left, list.top, width - 90, list.bottom});
        const std::string value = SkillValueText(ValueOf(skill));
        fonts.DrawText(width - TextWidth(kSkillFont, value.c_str()) - 54, y + skillBaseline,
                       kSkillFont, kSkillHue, value.c_str(), target,
                       {list.left, list.top, width, list.bottom});
    });
}

void CSkillGump::LayOutUseButtons() {
    CGumpDesktop& desktop = TheGumpDesktop();
    for (CGump* c = firstChild; c != nullptr;) {
        CGump* next = c->nextSibling;
        if (CButtonGump* b = c->As<CButtonGump>(); b != nullptr && b->storeValue) desktop.Close(b);
        c = next;
    }
    const ClientSkillTable& skills = TheClientSkillTable();
    WalkLines([&](const Line& line, int y) {
        if (line.header) return;
        const int skill = SkillAt(line.position);
        if ((skills.flags[skill] & 1) == 0) return;
        auto* use = Add<CButtonGump>(kListLeft + 8, y + 1, this, CButtonGump::kPush, 0,
                                     &CSkillGump::UseSkill, kUseArt, kUseArt, 0);
        use->hoverArt = kUseHoverArt;
        use->value = skill;
        use->storeValue = true;
    });
}

void CSkillGump::PlaceThumb() {
    if (thumb_ != nullptr) thumb_->SetPosition(scrollPosition_, lineCount_);
}

void CSkillGump::Draw(const ClipRect& clip) {
    if (!visible || !ShownFrameMeets(*this, clip)) return;
    DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    for (CGump* c = lastChild; c != nullptr; c = c->prevSibling) {
        if (c->IsKind(GumpKind::kButton)) {
            if ((c->MinimisedStateTag() != 0) != minimised) continue;
        } else if (minimised) {
            continue;  // the thumb and the name field belong to the open list
        }
        c->Draw(clip);
    }
}

bool CSkillGump::ContainsPoint(int px, int py) {
    const int index = ShownFrameIndex(*this);
    const Bitmap16* frame = Frame(index);
    if (frame == nullptr || !frame->Contains(px, py)) return false;
    if (FramePixelSet(px, py, index)) return true;
    int sx = px, sy = py;
    LocalToScreen(sx, sy);
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling) {
        if (!c->visible) continue;
        int lx = sx, ly = sy;
        c->ScreenToLocal(lx, ly);
        if (c->ContainsPoint(lx, ly)) return true;
    }
    return false;
}

// --- Mouse -------------------------------------------------------------------------------------

void CSkillGump::OnLeftDown(int px, int py) {
    BringToFront(TheGumpDesktop().keyboardFocus == this);
    buttonHeld_ = true;
    pressX_ = px;
    pressY_ = py;
    click_.Press();
    Line hit;
    const bool onLine = !minimised && HitTestLine(px, py, hit);
    pressOnHeader_ = onLine && hit.header;
    pressOnSkill_ = onLine && !hit.header;
    hitLine_ = !onLine ? -1 : (hit.header ? hit.group : hit.position);
    // A header acts on its release at once: it never waits for a double click or drags.
    if (pressOnHeader_) click_.state = ClickState::kNone;
}

void CSkillGump::BeginSkillDrag() {
    dragging_ = true;
    if (nameField_ != nullptr) EndRename();
    pressOnHeader_ = false;
    if (pressOnSkill_ && hitLine_ >= 0) {
        draggedSkill_ = hitLine_;
        dropGroup_ = GroupOf(hitLine_);
        Refresh(-1);
    } else {
        draggedSkill_ = -1;
        dropGroup_ = -2;
    }
}

void CSkillGump::OnDrag(int px, int py) {
    if (!buttonHeld_) return;
    if (click_.state != ClickState::kNone &&
        (std::abs(px - pressX_) > kDragSlop || std::abs(py - pressY_) > kDragSlop)) {
        click_.state = ClickState::kNone;
        BeginSkillDrag();
    }
    if (!dragging_) return;
    if (!pressOnHeader_ && !pressOnSkill_) {
        MoveBy(px - pressX_, py - pressY_, true);
        return;
    }
    if (draggedSkill_ < 0) return;
    Line hit;
    int drop = GroupOf(draggedSkill_);
    if (HitTestLine(px, py, hit)) {
        if (!hit.header && hit.position == draggedSkill_) return;  // over its own line
        drop = hit.group;
    }
    if (drop == dropGroup_) return;
    dropGroup_ = drop;
    Refresh(-1);
}

void CSkillGump::OnHover() {
    if (click_.TimedOut()) {
        if (buttonHeld_) {
            BeginSkillDrag();
        } else {
            OnClick(pressX_, pressY_);
            if (!IsGumpAlive(this)) return;
        }
    }
    if (draggedSkill_ < 0 || !dragging_) return;
    int hx = 0, hy = 0;
    TheCursorManager().GetHotSpotPos(hx, hy);
    ScreenToLocal(hx, hy);
    if (hy < kListTop)
        ScrollUp(this);
    else if (hy > listBottom_)
        ScrollDown(this);
}

void CSkillGump::DropSkill(int s, int t) {
    // The top line counts in the group it belongs to, not where a drag shows it.
    const Line top = TopLine();
    const int tg = top.header ? top.group : GroupOf(top.position);
    const int tp = top.header ? -1 : top.position;
    const int g = GroupOf(s);
    if (t == g) return;
    const bool wasAfterTop = tg < g || (tg == g && tp < s);
    const bool landsBeforeTop = t < tg || (t == tg && s < tp);
    if (wasAfterTop && landsBeforeTop) ++scrollPosition_;
    if (!top.header && top.position == s) {
        // The top line itself leaves: the next skill of its group, else the next header.
        Line next;
        bool found = false;
        for (int p = s + 1; p < TheClientSkillTable().count && !found; ++p) {
            if (GroupOf(p) != tg) continue;
            next = Line{false, tg, p};
            found = true;
        }
        if (!found && tg + 1 < TheSkillGroupTable().count) {
            next = Line{true, tg + 1, -1};
            found = true;
        }
        if (found) SetTopLine(next);
    }
    TheSkillGroupTable().groupOf[SkillAt(s)] = t;
    if (!Expanded(t)) --lineCount_;
    Save();
}

void CSkillGump::OnLeftUp(int px, int py) {
    buttonHeld_ = false;
    if (dragging_) {
        dragging_ = false;
        click_.state = ClickState::kNone;
        const int dragged = draggedSkill_, drop = dropGroup_;
        if (dragged >= 0) DropSkill(dragged, drop);
        draggedSkill_ = -1;
        dropGroup_ = -2;
        Refresh(-1);
        PlaceThumb();
    } else if (click_.state == ClickState::kSecondPress) {
        click_.state = ClickState::kNone;
        OnDoubleClick(px, py);
    } else if (click_.state == ClickState::kNone) {
        OnClick(px, py);
    }
    if (IsGumpAlive(this)) ReleaseCapture();
}

void CSkillGump::OnRightUp(int, int) {
    TheGumpDesktop().Close(this);
}

void CSkillGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}

// --- Clicks ------------------------------------------------------------------------------------

void CSkillGump::OnClick(int px, int py) {
    Line hit;
    int headerY = 0;
    if (minimised || !HitTestLine(px, py, hit, &headerY) || !hit.header) {
        if (nameField_ != nullptr) EndRename();
        return;
    }
    const int g = hit.group;
    if (nameField_ != nullptr) EndRename();
    if (px > kListLeft + 20) {
        if (g == selectedGroup_) {
            StartRename(g, headerY);
            return;
        }
        selectedGroup_ = g;
        TheGumpDesktop().SetKeyboardFocus(this);
        Refresh(-1);
        return;
    }
    if (IsGroupEmpty(g)) return;
    const int n = SkillsInGroup(g);
    lineCount_ += Expanded(g) ? -n : n;
    expanded_[static_cast<size_t>(g)] = !expanded_[static_cast<size_t>(g)];
    Refresh(-1);
    PlaceThumb();
}

void CSkillGump::OnDoubleClick(int, int) {
    // Editing a group in a dialog of its own is never offered: a press on a header never
    // waits for a double click.
    if (minimised) Restore();
}

// --- Group names ---------------------------------------------------------------------------

void CSkillGump::StartRename(int group, int headerY) {
    int w = 0, h = 0, baseline = 0;
    GetFontTable().MeasureText(kHeaderFont, "Aq", w, h, baseline);
    nameField_ = Add<CInputControlGump>(kListLeft + 13, headerY - 8, this,
                                        kListRight - kListLeft + 1, h + 4,
                                        CInputControlGump::kText, kNameLimit, kHeaderFont, 0, true,
                                        false, false);
    renamedGroup_ = group;
    TheGumpDesktop().SetKeyboardFocus(nameField_);
    nameField_->SetText(TheSkillGroupTable().names[group]);
    nameField_->OnKey(kEndKey);
    Refresh(-1);
}

void CSkillGump::EndRename() {
    if (nameField_ == nullptr) {
        if (selectedGroup_ < 0) return;
        selectedGroup_ = -1;
        Refresh(-1);
        return;
    }
    CInputControlGump* field = nameField_;
    TakeTypedName();
    nameField_ = nullptr;
    renamedGroup_ = -1;
    TheGumpDesktop().Close(field);
    selectedGroup_ = -1;
    Refresh(-1);
    Save();
}

bool CSkillGump::TakeTypedName() {
    SkillGroupTable& groups = TheSkillGroupTable();
    const std::string& typed = nameField_->Text();
    if (typed.empty() || renamedGroup_ < 0 || renamedGroup_ >= groups.count) return false;
    char* name = groups.names[renamedGroup_];
    std::memset(name, 0, SkillGroupTable::kNameBytes);
    std::strncpy(name, typed.c_str(), SkillGroupTable::kNameBytes - 1);
    return true;
}

void CSkillGump::OnFieldEnter() {
    EndRename();
}

void CSkillGump::Save() {
    SaveGroups();
}

// --- Buttons -------------------------------------------------------------------------------

void CSkillGump::NewGroup(CGump* window) {
    CSkillGump* self = window != nullptr ? window->As<CSkillGump>() : nullptr;
    if (self == nullptr) return;
    if (self->nameField_ != nullptr) self->EndRename();
    SkillGroupTable& groups = TheSkillGroupTable();
    if (groups.count >= SkillGroupTable::kMaxGroups) {
        ShowWaitingGump("Too many skill groups.", nullptr, 0, false);
        return;
    }
    const int g = groups.count++;
    std::memset(groups.names[g], 0, SkillGroupTable::kNameBytes);
    std::strncpy(groups.names[g], "New Group", SkillGroupTable::kNameBytes - 1);
    self->expanded_[static_cast<size_t>(g)] = false;
    self->SetTopLine(Line{true, g, -1});
    ++self->lineCount_;
    self->scrollPosition_ = self->lineCount_ - 1;
    self->PlaceThumb();
    self->Refresh(-1);
    self->Save();
}

void CSkillGump::OpenResize(CGump* window) {
    // The resize frame is a window of its own that the gump framework does not hold yet.
    static bool said = false;
    if (window == nullptr || said) return;
    said = true;
    LogClientError("skill window", "resize frame: not built yet");
}

void CSkillGump::UseSkill(CGump* window) {
    if (window == nullptr) return;
    const int skill = window->resultValue;
    char text[32];
    std::snprintf(text, sizeof text, "%d %d", skill, 0);
    u8 buffer[64];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextCommandPacket(w, kUseSkillCommand, text);
    if (ClientLink* link = TheClientLink()) link->Send(w);
    LastUsedSkill() = skill;
}

// --- Scrolling -----------------------------------------------------------------------------

void CSkillGump::ScrollDown(CGump* window) {
    CSkillGump* self = window != nullptr ? window->As<CSkillGump>() : nullptr;
    Line next;
    if (self == nullptr || !self->NextLine(self->TopLine(), next)) return;
    self->SetTopLine(next);
    self->Refresh(-1);
    ++self->scrollPosition_;
    self->PlaceThumb();
}

void CSkillGump::ScrollUp(CGump* window) {
    CSkillGump* self = window != nullptr ? window->As<CSkillGump>() : nullptr;
    Line previous;
    if (self == nullptr || !self->PreviousLine(self->TopLine(), previous)) return;
    self->SetTopLine(previous);
    self->Refresh(-1);
    --self->scrollPosition_;
    self->PlaceThumb();
}

void CSkillGump::OnSliderMoved(int position, int range, CGump*) {
    if (nameField_ != nullptr) EndRename();
    scrollPosition_ = range > 0 ? position * lineCount_ / range : 0;
    SetTopLine(FirstLine());
    Line next;
    for (int i = 0; i < scrollPosition_ && NextLine(TopLine(), next); ++i)
        SetTopLine(next);
    Refresh(-1);
}

// --- Keys --------------------------------------------------------------------------------------

void CSkillGump::OnKey(u32 key) {
    if (key != kDeleteKey || selectedGroup_ < 0) return;
    if (selectedGroup_ == 0) {
        ShowWaitingGump("Cannot delete this group.", nullptr, 0, false);
        return;
    }
    DeleteGroup(selectedGroup_);
}

void CSkillGump::DeleteGroup(int g) {
    SkillGroupTable& groups = TheSkillGroupTable();
    const ClientSkillTable& skills = TheClientSkillTable();
    int moved = 0;
    for (int skill = 0; skill < skills.count; ++skill) {
        s32& group = groups.groupOf[skill];
        if (group == g) {
            group = 0;
            ++moved;
        } else if (group > g) {
            --group;
        }
    }
    const bool wasExpanded = Expanded(g);
    for (int k = g; k + 1 < groups.count; ++k) {
        std::memcpy(groups.names[k], groups.names[k + 1], SkillGroupTable::kNameBytes);
        expanded_[static_cast<size_t>(k)] = expanded_[static_cast<size_t>(k + 1)];
    }
    --groups.count;
    std::memset(groups.names[groups.count], 0, SkillGroupTable::kNameBytes);
    expanded_[static_cast<size_t>(groups.count)] = false;
    if (wasExpanded && !Expanded(0))
        lineCount_ -= moved + 1;
    else if (!wasExpanded && Expanded(0))
        lineCount_ += moved - 1;
    else
        lineCount_ -= 1;
    if (nameField_ != nullptr) EndRename();
    selectedGroup_ = -1;
    Refresh(-1);
    // The top line is worked out again from where the thumb stands.
    OnSliderMoved(thumb_->y - thumb_->minY, thumb_->maxY - thumb_->minY, thumb_);
    Save();
    if (moved > 0) ShowSystemMessage(0, 3, "Skills moved to Miscellaneous.");
}

// --- Size ----------------------------------------------------------------------------------

void CSkillGump::OnResized(int newWidth, int newHeight, int) {
    if (newWidth <= 0 || newHeight <= 0) return;
    newWidth = (newWidth + 7) / 8 * 8;
    const int oldWidth = width, oldHeight = height;
    for (CGump* c = firstChild; c != nullptr; c = c->nextSibling) {
        if (c == thumb_) continue;
        if (c->x > oldWidth / 2) c->x += newWidth - oldWidth;
        if (c->y > oldHeight / 2) c->y += newHeight - oldHeight;
        c->normalX = c->x;
        c->normalY = c->y;
    }
    if (thumb_ != nullptr) thumb_->maxY = std::max(thumb_->maxY + newHeight - oldHeight, thumb_->minY);
    width = pitch = newWidth;
    height = newHeight;
    MakeFrame(0);
    listBottom_ = height - GumpArtHeight(kResizeArt) - 70;
    Refresh(-1);
    PlaceThumb();
}

// --- Openers -------------------------------------------------------------------------------

CSkillGump* OpenPlayerSkillWindow() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.skillGump != nullptr) {
        CSkillGump* open = desktop.skillGump->As<CSkillGump>();
        desktop.skillGump->BringToFront(false);
        if (desktop.skillGump->minimised) desktop.skillGump->Restore();
        if (open != nullptr) open->Refresh(-1);
        return open;
    }
    auto* window = desktop.Open<CSkillGump>(100, 100);
    desktop.skillGump = window;
    return window;
}

CSkillGump* OpenSkillValuesWindow(const std::array<u16, ClientSkillTable::kSlots>& values) {
    auto* window = TheGumpDesktop().Open<CSkillGump>(100, 100);
    window->SetShowsOwnValues(true);
    for (int skill = 0; skill < ClientSkillTable::kSlots; ++skill)
        window->SetValue(skill, values[static_cast<size_t>(skill)]);
    window->Refresh(-1);
    return window;
}

void RefreshPlayerSkillWindow() {
    CGump* open = TheGumpDesktop().skillGump;
    if (CSkillGump* window = open != nullptr ? open->As<CSkillGump>() : nullptr)
        window->Refresh(-1);
}
