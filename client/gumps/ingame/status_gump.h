#pragma once
// Status windows: a mobile's status as the server reports it, in a full form (name, sex,
// attributes, hits, mana, stamina, gold, armour, weight) and a small form, the health bar.
// The player's own window opens in the full form and can switch between the two; another
// mobile's opens as a bar, of which at most eight are open at a time (a ninth closes the
// oldest). Bars dragged against one another dock edge to edge into a group that raises,
// moves and closes as one; a double click takes a bar out of its group again. A pet's bar
// carries a field in which the player renames it.
//
// A window knows its mobile by serial only; the mobile leaving the world takes its windows
// with it (the world hooks close them), and until then nothing in a window points at it.
#include <vector>

#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"
#include "client/net/client_state_record.h"
#include "client/net/text_window_hooks.h"

class CInputControlGump;

// The filled width of a bar of 109 pixels: the share of the value in the maximum, truncated;
// a value above the maximum, or a maximum of 0, fills the whole bar.
int BarFillWidth(u16 value, u16 maximum);

class CStatusGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kStatus;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kArt = 2050;
    static constexpr int kPlayerBarArt = 2051;
    static constexpr int kOtherBarArt = 2052;
    static constexpr int kEmptyBarArt = 2053;
    static constexpr int kFillArt = 2054;
    static constexpr int kWarBarArt = 2055;
    static constexpr int kPoisonedFillArt = 2056;
    static constexpr int kYellowFillArt = 2057;
    static constexpr int kBarLength = 109;
    static constexpr size_t kMaxOtherWindows = 8;

    // Edges a bar docks at, seen from the bar it docks to.
    enum Side : int { kNone = 0, kRightOf = 1, kLeftOf = 2, kBelow = 4, kAbove = 8 };

    // A status window of the mobile centred on the pointer and kept on the screen, in its
    // small form when `small`; the caller links it.
    CStatusGump(u32 mobile, bool small);
    ~CStatusGump() override;

    // Both pictures drawn again from the record.
    void Refresh();
    // The rename field on the bar, once.
    void CreateNameField();
    // The edge at which this bar would dock to `other` where it stands now, or kNone.
    int SnapSideTo(const CStatusGump& other) const;
    // Takes the bar out of its docking group.
    void LeaveGroup();
    // The members of the bar's group from its head (the bar alone when it has none).
    std::vector<CStatusGump*> GroupMembers();

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    void OnFieldEnter() override;

    bool Own() const;
    CInputControlGump* NameField() const { return nameField_; }
    // Pressed at its centre with the mouse capture: it follows the pointer.
    void HangOnPointer();

    StatusRecord record;
    CStatusGump* groupHead = nullptr;
    CStatusGump* nextInGroup = nullptr;
    CStatusGump* snapTarget = nullptr;
    int snapSide = kNone;
    CStatusGump* left = nullptr;
    CStatusGump* right = nullptr;
    CStatusGump* upper = nullptr;
    CStatusGump* lower = nullptr;

private:
    void DrawBar(int frame, int bx, int by, u16 value, u16 maximum, int fillArt);
    void Snap();
    void Dock();
    void OnDoubleClick();
    void MoveGroupBy(int dx, int dy);
    // The rename field shows and takes clicks only on the bar.
    void SyncFieldVisibility();
    int BarFillArt() const;

    bool dragStarted_ = false;
    bool pressed_ = false;
    ClickState click_;
    CInputControlGump* nameField_ = nullptr;
};

// The status windows of mobiles other than the player, oldest first.
const std::vector<CStatusGump*>& OtherStatusWindows();

// The status button of a paperdoll: the mobile's open status window is raised (restored when
// it is the player's), or a new one opens, full for the player and a bar for any other; the
// server is asked for the mobile's status either way.
void OpenStatusWindowOf(u32 mobile);

// A mobile dragged out of the world view: its open status window, or a new bar, hangs on the
// pointer (grabbed at its centre) until the button is released. The caller asks the server for
// the status.
CStatusGump* TearOffStatusBar(u32 mobile);

// The status windows of a mobile take what the server reported.
void UpdateStatusWindowsOf(const StatusRecord& status, bool renamable);
void UpdateStatusBarsOf(u32 mobile, const StatBars& bars);
