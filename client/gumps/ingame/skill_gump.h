#pragma once
// The skill window: a scroll listing every skill with its value under the player's own skill
// groups (client/data/skill_group_table.h). Groups expand and collapse, are added, renamed
// and deleted; a skill is dragged from one group into another; a usable skill has a use button
// that tells the server to use it. The list scrolls by its arrows, its thumb and by itself
// while a skill is dragged past its edges; the window grows only in height and minimises.
//
// Clicks wait one double-click time before they act (a press held that long starts a drag),
// except presses on a group header, which act at once and never drag.
#include <array>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/skill_group_table.h"
#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"

class CInputControlGump;
class CThumbGump;

class CSkillGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kSkill;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kArt = 2080;
    static constexpr int kMinimisedArt = 2105;
    static constexpr int kStartHeight = 300;
    static constexpr int kLineStep = 17;
    static constexpr int kListLeft = 28;
    static constexpr int kListTop = 74;
    static constexpr int kListRight = 255;
    static constexpr int kMinHeight = 220;
    static constexpr int kResizeBottom = 460;

    // One line of the list: a group header, or a skill (sorted position) of a group.
    struct Line {
        bool header = true;
        int group = 0;
        int position = -1;
    };

    // At (x, y), or where a desktop restore placed the skill window last time.
    CSkillGump(int x, int y);
    ~CSkillGump() override;

    // Redraws the whole list (-1) or only the line of one sorted position.
    void Refresh(int which = -1);
    // A window of another mobile's skills shows values of its own.
    void SetShowsOwnValues(bool on) { showsOwnValues_ = on; }
    // Stores a value (tenths) of a skill number 0..49 in the window's own values.
    void SetValue(int skill, u16 value);

    // Button operations (each given the window).
    static void ScrollDown(CGump* window);
    static void ScrollUp(CGump* window);
    static void NewGroup(CGump* window);
    static void OpenResize(CGump* window);
    static void UseSkill(CGump* window);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnResized(int width, int height, int) override;
    void OnKey(u32 key) override;
    void OnFieldEnter() override;
    bool AcceptsDrop() override { return true; }

    // --- State, for the window's own tests and the desktop ------------------------------------
    int LineCount() const { return lineCount_; }
    int ScrollPosition() const { return scrollPosition_; }
    Line TopLine() const;
    bool Expanded(int group) const { return group < 0 || expanded_[static_cast<size_t>(group)]; }
    int SelectedGroup() const { return selectedGroup_; }
    bool Renaming() const { return nameField_ != nullptr; }
    CInputControlGump* NameField() const { return nameField_; }
    CThumbGump* Thumb() const { return thumb_; }
    int DraggedSkill() const { return draggedSkill_; }
    int DropGroup() const { return dropGroup_; }
    int ListBottom() const { return listBottom_; }
    // The lines shown, top to bottom, with the y of each.
    struct ShownLine {
        Line line;
        int y;
    };
    std::vector<ShownLine> ShownLines() const;
    // The line under a window point (and the top y of its row), false when none.
    bool HitTestLine(int x, int y, Line& hit, int* lineY = nullptr) const;

private:
    // The skill number of a sorted position.
    static int SkillAt(int position);
    // The group a sorted position shows in: the drop group for the dragged skill.
    int ShownGroupOf(int position) const;
    int GroupOf(int position) const;
    u16 ValueOf(int skill) const;
    bool IsGroupEmpty(int group) const;
    int SkillsInGroup(int group) const;
    // The line after / before a line of the sequence; false at the end / the start.
    bool NextLine(const Line& line, Line& next) const;
    bool PreviousLine(const Line& line, Line& previous) const;
    Line FirstLine() const;
    void SetTopLine(const Line& line);
    template <typename Visit>
    void WalkLines(Visit visit) const;

    void DrawList();
    void LayOutUseButtons();
    void PlaceThumb();
    void Save();

    void OnClick(int x, int y);
    void OnDoubleClick(int x, int y);
    void BeginSkillDrag();
    void DropSkill(int position, int group);
    void StartRename(int group, int headerY);
    void EndRename();
    // A non-empty typed name becomes the renamed group's name; false when nothing changed.
    bool TakeTypedName();
    void DeleteGroup(int group);

    CThumbGump* thumb_ = nullptr;
    CInputControlGump* nameField_ = nullptr;
    int renamedGroup_ = -1;
    int nameFieldY_ = 0;
    int listBottom_ = 0;
    bool topIsHeader_ = true;
    std::array<bool, SkillGroupTable::kMaxGroups> expanded_{};
    bool pressOnHeader_ = false;
    bool pressOnSkill_ = false;
    int topLine_ = 0;
    int hitLine_ = -1;
    int draggedSkill_ = -1;
    int dropGroup_ = -2;
    int scrollPosition_ = 0;
    int lineCount_ = 0;
    int selectedGroup_ = -1;
    bool dragging_ = false;
    bool buttonHeld_ = false;
    ClickState click_;
    int pressX_ = 0;
    int pressY_ = 0;
    std::array<u16, ClientSkillTable::kSlots> ownValues_{};
    bool showsOwnValues_ = false;
};

// A skill value in tenths as the window shows it, one decimal: 505 is "50.5".
std::string SkillValueText(u16 value);

// The player's skill window at (100, 100) (or its restored place), kept as the desktop's skill
// window; an open one comes to the front, restored when minimised, and is redrawn.
CSkillGump* OpenPlayerSkillWindow();
// A separate window at (100, 100) with another mobile's values; not the desktop's.
CSkillGump* OpenSkillValuesWindow(const std::array<u16, ClientSkillTable::kSlots>& values);
// The desktop's skill window redrawn, when open.
void RefreshPlayerSkillWindow();
