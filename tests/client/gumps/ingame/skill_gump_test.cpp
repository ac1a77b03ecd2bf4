// The skill window: its line sequence and scrolling, new and deleted groups with their line
// counts, header presses that act at once and never drag, skill drags and drops, renaming, the
// use button's packet, the resize rules and the restored placement.
#include "client/gumps/ingame/skill_gump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "tests/client/gumps/ingame/skill_gump_fixture.h"

namespace {

// Every line of the whole sequence: the headers and the skills of expanded groups.
int WholeLineCount(const CSkillGump& w) {
    const SkillGroupTable& t = TheSkillGroupTable();
    int lines = t.count;
    for (int g = 0; g < t.count; ++g)
        if (w.Expanded(g))
            for (int skill = 0; skill < TheClientSkillTable().count; ++skill)
                lines += t.groupOf[skill] == g ? 1 : 0;
    return lines;
}

std::string Describe(const CSkillGump::Line& l) {
    return l.header ? "H" + std::to_string(l.group)
                    : "S" + std::to_string(l.group) + ":" + std::to_string(l.position);
}

std::vector<std::string> ShownList(const CSkillGump& w) {
    std::vector<std::string> lines;
    for (const CSkillGump::ShownLine& s : w.ShownLines())
        lines.push_back(Describe(s.line));
    return lines;
}

size_t FileSize(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? static_cast<size_t>(std::distance(std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()))
              : 0;
}

TEST_F(SkillGumpTest, ANewGroupIsAddedAndSavedUntilTwelveThenRefused) {
    CSkillGump* w = Open();
    EXPECT_EQ(Desktop().skillGump, w);
    EXPECT_EQ(ShownList(*w), (std::vector<std::string>{"H0"}));
    EXPECT_EQ(w->LineCount(), 1);
    CSkillGump::NewGroup(w);
    EXPECT_EQ(TheSkillGroupTable().count, 2);
    EXPECT_STREQ(TheSkillGroupTable().names[1], "New Group");
    EXPECT_EQ(w->LineCount(), 2);
    EXPECT_EQ(w->ScrollPosition(), 1);
    EXPECT_EQ(Describe(w->TopLine()), "H1");
    EXPECT_EQ(FileSize(directory / "skillgrp.mul"), 4u + 17u + 200u);

    while (TheSkillGroupTable().count < SkillGroupTable::kMaxGroups)
        CSkillGump::NewGroup(w);
    const int lines = w->LineCount();
    EXPECT_EQ(Notice(), nullptr);
    CSkillGump::NewGroup(w);
    EXPECT_EQ(TheSkillGroupTable().count, 12);
    EXPECT_EQ(w->LineCount(), lines);
    ASSERT_NE(Notice(), nullptr);
}

TEST_F(SkillGumpTest, DeletingAGroupMovesItsSkillsAndKeepsTheLineCountTrue) {
    struct Case {
        const char* name;
        int deleted;        // 1 "Fighting" (3 skills) or 3 "Empty"
        bool expandMisc;    // group 0
        bool expandGroup;   // the deleted one
        int lineDelta;
        bool message;
    };
    const Case cases[] = {
        {"collapsed group of 3, misc expanded", 1, true, false, +2, true},
        {"expanded group of 3, misc collapsed", 1, false, true, -4, true},
        {"expanded group of 3, misc expanded", 1, true, true, -1, true},
        {"collapsed group of 3, misc collapsed", 1, false, false, -1, true},
        {"empty group", 3, true, false, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desktop().DeleteAllGumps();
        worldHooks.calls.clear();
        ResetSkillGroups(TheSkillGroupTable());
        // Misc: Peek, Alchemy; Fighting: Melee, Battle, Fishing; Thieving: Stealing, Hiding,
        // Camping; Empty.
        MakeGroups({"Miscellaneous", "Fighting", "Thieving", "Empty"},
                   {{0, 0}, {1, 0}, {4, 1}, {6, 1}, {7, 1}, {2, 2}, {3, 2}, {5, 2}});
        CSkillGump* w = Open();
        int sx = 0, sy = 0;
        if (c.expandMisc) {
            ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
            SingleClick(sx, sy);
        }
        if (c.expandGroup) {
            ASSERT_TRUE(LineScreenPoint(w, Header(c.deleted), true, sx, sy));
            SingleClick(sx, sy);
        }
        ASSERT_EQ(w->LineCount(), WholeLineCount(*w));
        const int before = w->LineCount();
        ASSERT_TRUE(LineScreenPoint(w, Header(c.deleted), false, sx, sy));
        SingleClick(sx, sy);
        ASSERT_EQ(w->SelectedGroup(), c.deleted);
        EXPECT_EQ(Desktop().keyboardFocus, w);
        w->OnKey(0xE02E);  // the Delete key as the focused window receives it
        EXPECT_EQ(w->LineCount(), before + c.lineDelta);
        EXPECT_EQ(w->LineCount(), WholeLineCount(*w));
        EXPECT_EQ(TheSkillGroupTable().count, 3);
        EXPECT_EQ(w->SelectedGroup(), -1);
        EXPECT_EQ(Said("SystemMessage Skills moved to Miscellaneous."), c.message);
        if (c.deleted == 1) {
            EXPECT_STREQ(TheSkillGroupTable().names[1], "Thieving");
            EXPECT_EQ(TheSkillGroupTable().groupOf[4], 0);
            EXPECT_EQ(TheSkillGroupTable().groupOf[7], 0);
            EXPECT_EQ(TheSkillGroupTable().groupOf[5], 1);  // Thieving moved down
        }
    }
}

TEST_F(SkillGumpTest, MiscellaneousCannotBeDeleted) {
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), false, sx, sy));
    SingleClick(sx, sy);
    w->OnKey(0xE02E);
    EXPECT_EQ(TheSkillGroupTable().count, 1);
    EXPECT_NE(Notice(), nullptr);
}

TEST_F(SkillGumpTest, AHeaderPressNeverDragsNorMovesTheWindowAPressBesideTheLinesMovesIt) {
    MakeGroups({"Miscellaneous", "Fighting"}, {{4, 1}});
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(1), false, sx, sy));
    Press(sx, sy);
    TickAt(sx + 10, sy + 20, 100);
    TickAt(sx + 30, sy + 40, 600);  // past the double-click time while held
    Release(sx + 30, sy + 40);
    EXPECT_EQ(w->x, 100);
    EXPECT_EQ(w->y, 100);
    EXPECT_EQ(w->DraggedSkill(), -1);
    EXPECT_EQ(w->SelectedGroup(), -1);  // released elsewhere: no header there

    // Beside every line (left of the list): the window follows the pointer.
    const int bx = w->x + 10, by = w->y + 150;
    Press(bx, by);
    TickAt(bx + 20, by + 7, 50);
    Release(bx + 20, by + 7);
    EXPECT_EQ(w->x, 120);
    EXPECT_EQ(w->y, 107);
    EXPECT_EQ(w->DraggedSkill(), -1);
}

TEST_F(SkillGumpTest, ASkillHeldPastTheDoubleClickTimeStartsADragOnTheNextTick) {
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
    SingleClick(sx, sy);  // Miscellaneous expanded
    ASSERT_TRUE(LineScreenPoint(w, Skill(0, 2), false, sx, sy));  // Camping
    Press(sx, sy);
    TickAt(sx, sy, 400);
    EXPECT_EQ(w->DraggedSkill(), -1);
    TickAt(sx, sy, 200);
    EXPECT_EQ(w->DraggedSkill(), 2);
    EXPECT_EQ(w->DropGroup(), 0);
    Release(sx, sy);
    EXPECT_EQ(w->DraggedSkill(), -1);
    EXPECT_EQ(TheSkillGroupTable().groupOf[5], 0);
}

TEST_F(SkillGumpTest, ASkillDroppedOnACollapsedGroupLeavesTheListAndBackHomeChangesNothing) {
    // Melee and Fishing in Fighting, so that its header shows below Miscellaneous's six.
    MakeGroups({"Miscellaneous", "Fighting"}, {{4, 1}, {7, 1}});
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
    SingleClick(sx, sy);
    ASSERT_EQ(w->LineCount(), 2 + 6);
    // Camping (position 2) dragged onto the collapsed Fighting header.
    ASSERT_TRUE(LineScreenPoint(w, Skill(0, 2), false, sx, sy));
    int hx = 0, hy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(1), false, hx, hy));
    Press(sx, sy);
    TickAt(sx, sy + 6, 20);
    TickAt(hx, hy, 20);
    EXPECT_EQ(w->DropGroup(), 1);
    // Shown in its drop group, which is collapsed: its own line is left out.
    for (const CSkillGump::ShownLine& s : w->ShownLines())
        EXPECT_FALSE(!s.line.header && s.line.position == 2);
    Release(hx, hy);
    EXPECT_EQ(TheSkillGroupTable().groupOf[5], 1);
    EXPECT_EQ(w->LineCount(), 2 + 5);
    EXPECT_EQ(w->LineCount(), WholeLineCount(*w));

    // Hiding (position 4) dragged about and dropped on its own group.
    ASSERT_TRUE(LineScreenPoint(w, Skill(0, 4), false, sx, sy));
    ASSERT_TRUE(LineScreenPoint(w, Header(0), false, hx, hy));
    Press(sx, sy);
    TickAt(sx, sy + 6, 20);
    TickAt(hx, hy, 20);
    Release(hx, hy);
    EXPECT_EQ(TheSkillGroupTable().groupOf[3], 0);
    EXPECT_EQ(w->LineCount(), 2 + 5);
}

TEST_F(SkillGumpTest, ASecondClickOnTheSelectedNameRenamesEnterKeepsATypedNameOnly) {
    MakeGroups({"Miscellaneous", "Fighting"}, {});
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(1), false, sx, sy));
    SingleClick(sx, sy);
    EXPECT_EQ(w->SelectedGroup(), 1);
    EXPECT_FALSE(w->Renaming());
    SingleClick(sx, sy);
    ASSERT_TRUE(w->Renaming());
    EXPECT_EQ(Desktop().keyboardFocus, w->NameField());
    EXPECT_EQ(w->NameField()->Text(), "Fighting");
    for (int i = 0; i < 8; ++i)
        Desktop().TypedCharacter(8);
    for (char ch : std::string("Mages"))
        Desktop().TypedCharacter(static_cast<u8>(ch));
    Desktop().TypedCharacter(13);
    EXPECT_FALSE(w->Renaming());
    EXPECT_STREQ(TheSkillGroupTable().names[1], "Mages");
    EXPECT_EQ(FileSize(directory / "skillgrp.mul"), 4u + 17u + 200u);

    // An emptied field keeps the old name.
    SingleClick(sx, sy);
    SingleClick(sx, sy);
    ASSERT_TRUE(w->Renaming());
    for (int i = 0; i < 8; ++i)
        Desktop().TypedCharacter(8);
    Desktop().TypedCharacter(13);
    EXPECT_FALSE(w->Renaming());
    EXPECT_STREQ(TheSkillGroupTable().names[1], "Mages");
}

TEST_F(SkillGumpTest, ANameBeingTypedIsKeptWhenTheWindowCloses) {
    MakeGroups({"Miscellaneous", "Fighting"}, {});
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(1), false, sx, sy));
    SingleClick(sx, sy);
    SingleClick(sx, sy);
    ASSERT_TRUE(w->Renaming());
    Desktop().TypedCharacter('s');
    TheCursorManager().OnRightDown(w->x + 10, w->y + 150);
    TheCursorManager().OnRightUp(w->x + 10, w->y + 150);
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_EQ(Desktop().skillGump, nullptr);
    EXPECT_EQ(Desktop().keyboardFocus, nullptr);
    EXPECT_STREQ(TheSkillGroupTable().names[1], "Fightings");
    std::vector<u8> saved(221);
    std::ifstream in(directory / "skillgrp.mul", std::ios::binary);
    in.read(reinterpret_cast<char*>(saved.data()), 221);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.data()) + 4), "Fightings");
}

TEST_F(SkillGumpTest, ADraggedSkillScrollsTheListPastItsEdgesOneLinePerTick) {
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
    SingleClick(sx, sy);
    ASSERT_TRUE(LineScreenPoint(w, Skill(0, 0), false, sx, sy));
    Press(sx, sy);
    TickAt(sx, sy + 6, 20);
    ASSERT_EQ(w->DraggedSkill(), 0);
    // Below and above the window: only the captured window hears the tick.
    const int below = w->y + w->height + 5, above = w->y - 5;
    TickAt(sx, below, 20);
    TickAt(sx, below, 20);
    EXPECT_EQ(w->ScrollPosition(), 2);
    TickAt(sx, above, 20);
    EXPECT_EQ(w->ScrollPosition(), 1);
    Release(sx, above);
    EXPECT_EQ(w->DraggedSkill(), -1);
}

TEST_F(SkillGumpTest, TheUseButtonSendsTheSkillNumberNotItsPlace) {
    LinkFixture net;
    net.link.OpenLocalConnection();
    SetTheClientLink(&net.link);
    net.ClientSent();
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
    SingleClick(sx, sy);
    // Use buttons stand on the usable skills' lines only: Camping (5) and Hiding (3).
    std::vector<int> used;
    CButtonGump* camping = nullptr;
    for (CGump* c = w->firstChild; c != nullptr; c = c->nextSibling)
        if (auto* b = c->As<CButtonGump>(); b != nullptr && b->storeValue) {
            used.push_back(b->value);
            if (b->value == 5) camping = b;
        }
    EXPECT_EQ(used, (std::vector<int>{3, 5}));
    ASSERT_NE(camping, nullptr);
    Click(w->x + camping->x + 2, w->y + camping->y + 2);
    EXPECT_EQ(net.ClientSent(), (Bytes{0x12, 0x00, 0x08, 0x24, 0x35, 0x20, 0x30, 0x00}));
    EXPECT_EQ(LastUsedSkill(), 5);
}

TEST_F(SkillGumpTest, ScrollingWalksSkillsWithoutAGroupThenHeadersAndExpandedSkills) {
    // Peek (position 6) has no group; Misc holds Alchemy and Battle; the rest in Fighting.
    MakeGroups({"Miscellaneous", "Fighting"},
               {{0, -1}, {1, 0}, {6, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {7, 1}});
    CSkillGump* w = Open();
    int sx = 0, sy = 0;
    ASSERT_TRUE(LineScreenPoint(w, Header(0), true, sx, sy));
    SingleClick(sx, sy);
    w->OnSliderMoved(0, 100, w->Thumb());
    std::vector<std::string> tops{Describe(w->TopLine())};
    for (int i = 0; i < 6; ++i) {
        CSkillGump::ScrollDown(w);
        tops.push_back(Describe(w->TopLine()));
    }
    EXPECT_EQ(tops, (std::vector<std::string>{"S-1:6", "H0", "S0:0", "S0:1", "H1", "H1", "H1"}));
    EXPECT_EQ(w->ScrollPosition(), 4);
    std::vector<std::string> back;
    for (int i = 0; i < 6; ++i) {
        CSkillGump::ScrollUp(w);
        back.push_back(Describe(w->TopLine()));
    }
    EXPECT_EQ(back, (std::vector<std::string>{"S0:1", "S0:0", "H0", "S-1:6", "S-1:6", "S-1:6"}));
    EXPECT_EQ(w->ScrollPosition(), 0);
}

TEST_F(SkillGumpTest, AWindowMade220HighKeepsItsButtonsToTheBottomAndItsWidth) {
    CSkillGump* w = Open();
    std::vector<std::pair<CGump*, int>> fromBottom;
    for (CGump* c = w->firstChild; c != nullptr; c = c->nextSibling)
        if (c->y > w->height / 2 && c != w->Thumb()) fromBottom.emplace_back(c, w->height - c->y);
    ASSERT_EQ(fromBottom.size(), 3u);  // new group, down arrow, resize handle
    const int width = w->width, trackEnd = w->Thumb()->maxY;
    w->OnResized(width, 220, 0);
    EXPECT_EQ(w->width, width);
    EXPECT_EQ(w->height, 220);
    for (const auto& [child, distance] : fromBottom)
        EXPECT_EQ(w->height - child->y, distance);
    EXPECT_EQ(w->Thumb()->maxY, trackEnd - 80);
    EXPECT_EQ(w->ListBottom(), 220 - 8 - 70);
}

TEST_F(SkillGumpTest, ARestoreUsesTheSavedPlacementOrElseTheGivenPosition) {
    Desktop().restoring = true;
    Desktop().pending = {{0, 0, 0, 0, 5, 5}, {4, 0, 280, 260, 300, 50}};
    CSkillGump* w = Open();
    EXPECT_EQ(w->x, 300);
    EXPECT_EQ(w->y, 50);
    EXPECT_EQ(w->height, 260);
    EXPECT_EQ(Desktop().pending.size(), 1u);
    Desktop().Close(w);

    // A restore still in progress without a skill placement: the given position.
    CSkillGump* again = Open();
    EXPECT_EQ(again->x, 100);
    EXPECT_EQ(again->y, 100);
    EXPECT_EQ(again->height, CSkillGump::kStartHeight);
}

TEST_F(SkillGumpTest, ValuesShowOneDecimalAnotherMobilesWindowIsNotThePlayers) {
    EXPECT_EQ(SkillValueText(0), "0.0");
    EXPECT_EQ(SkillValueText(1000), "100.0");
    EXPECT_EQ(SkillValueText(505), "50.5");
    std::array<u16, ClientSkillTable::kSlots> values{};
    values[5] = 777;
    CSkillGump* others = OpenSkillValuesWindow(values);
    EXPECT_NE(Desktop().skillGump, others);
    EXPECT_EQ(Desktop().skillGump, nullptr);
}

TEST_F(SkillGumpTest, AMinimisedWindowShowsOnlyItsPictureAndADoubleClickRestoresIt) {
    CSkillGump* w = Open();
    w->Minimize();
    DrawFrame();
    const int mx = w->x, my = w->y;
    EXPECT_EQ(Shown(mx + 5, my + 5), 0x3DEF);
    EXPECT_EQ(Shown(mx + 100, my + 100), world[static_cast<size_t>((my + 100) * 640 + mx + 100)]);
    Press(mx + 5, my + 5);
    Release(mx + 5, my + 5);
    Press(mx + 5, my + 5);
    Release(mx + 5, my + 5);
    EXPECT_FALSE(w->minimised);
    EXPECT_EQ(w->x, 100);
}

}  // namespace
