#pragma once
// The skill window under test: fixture art of its sizes, eight skills whose numbers differ
// from their sorted places (so a position used as a number shows), fresh skill groups in a
// scratch directory, a link whose sent bytes a test reads, a manual clock and recording world
// hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/skill_group_table.h"
#include "client/gumps/ingame/skill_gump.h"
#include "client/world/world_hooks.h"
#include "platform/clock.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/net/link_fixture.h"

// Skill numbers 0..7; sorted: Alchemy(1) Battle(6) Camping(5) Fishing(7) Hiding(3) Melee(4)
// Peek(0) Stealing(2). Camping and Hiding have use buttons; Fishing a wider line.
inline const std::vector<std::pair<u8, std::string>>& FixtureSkills() {
    static const std::vector<std::pair<u8, std::string>> skills = {
        {0, "Peek"},  {0, "Alchemy"}, {0, "Stealing"}, {1, "Hiding"},
        {0, "Melee"}, {1, "Camping"}, {0, "Battle"},   {2, "Fishing"}};
    return skills;
}

class SkillGumpTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        directory = std::filesystem::temp_directory_path() /
                    ("zq_skill_gump_" + std::to_string(::getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(directory);
        host.directory = directory.string();
        previousHooks = SetWorldHooks(&worldHooks);
        previousReader = SetSkillRecordReader([](int id, std::vector<u8>& record) {
            if (id >= static_cast<int>(FixtureSkills().size())) return false;
            const auto& [flag, name] = FixtureSkills()[static_cast<size_t>(id)];
            record.push_back(flag);
            record.insert(record.end(), name.begin(), name.end());
            return true;
        });
        ResetSkillGroups(TheSkillGroupTable());
        ThePlayerSkillValues() = PlayerSkillValues{};
        LastUsedSkill() = -1;
        // The window's art: a column of 280 x (40 + 20 + 20 + 30), buttons and arrows.
        art.Solid(2080, 280, 40, 0x2945);
        art.Solid(2081, 280, 20, 0x2946);
        art.Solid(2082, 280, 20, 0x2947);
        art.Solid(2083, 280, 30, 0x2948);
        art.Solid(2093, 16, 10, 0x7C00);
        art.Solid(2094, 20, 8, 0x03E0);
        art.Solid(2095, 20, 8, 0x03E1);
        art.Solid(2084, 8, 8, 0x001F);
        art.Solid(2085, 8, 8, 0x001E);
        art.Solid(2088, 8, 10, 0x7FE0);
        art.Solid(2086, 12, 12, 0x0010);
        art.Solid(2087, 12, 12, 0x0011);
        art.Solid(2101, 4, 2, 0x4210);
        art.Solid(2103, 10, 10, 0x7C1F);
        art.Solid(2104, 10, 10, 0x7C1E);
        art.Solid(2105, 60, 30, 0x3DEF);
        art.Solid(2106, 30, 12, 0x03FF);
        art.Solid(2100, 40, 4, 0x1234);
        art.Solid(2102, 40, 4, 0x1235);
        art.Solid(2091, 200, 2, 0x1236);
        // The notices' box.
        art.Solid(2070, 200, 100, 0x2108);
    }
    void TearDown() override {
        GumpDesktopTest::TearDown();
        SetTheClientLink(nullptr);
        SetSkillRecordReader(previousReader);
        SetWorldHooks(previousHooks);
        ResetSkillGroups(TheSkillGroupTable());
        std::filesystem::remove_all(directory);
    }

    CSkillGump* Open() {
        CSkillGump* window = OpenPlayerSkillWindow();
        window->BringToFront(false);
        return window;
    }
    // Groups: names and, by skill number, their members.
    static void MakeGroups(const std::vector<std::string>& names,
                           const std::vector<std::pair<int, int>>& skillGroups) {
        SkillGroupTable& t = TheSkillGroupTable();
        t.count = static_cast<int>(names.size());
        for (size_t g = 0; g < names.size(); ++g) {
            std::memset(t.names[g], 0, SkillGroupTable::kNameBytes);
            std::strncpy(t.names[g], names[g].c_str(), SkillGroupTable::kNameBytes - 1);
        }
        for (const auto& [skill, group] : skillGroups)
            t.groupOf[skill] = group;
    }

    // The screen point of a shown line's header name or skill text.
    static bool LineScreenPoint(CSkillGump* w, const CSkillGump::Line& line, bool arrow, int& sx,
                                int& sy) {
        for (const CSkillGump::ShownLine& s : w->ShownLines()) {
            if (s.line.header != line.header || s.line.group != line.group ||
                (!line.header && s.line.position != line.position))
                continue;
            sx = w->x + CSkillGump::kListLeft + (line.header ? (arrow ? 10 : 26) : 25);
            sy = w->y + s.y + 8;
            return true;
        }
        return false;
    }
    static CSkillGump::Line Header(int g) { return CSkillGump::Line{true, g, -1}; }
    static CSkillGump::Line Skill(int group, int position) {
        return CSkillGump::Line{false, group, position};
    }
    // A press at the point, then ticks (each advancing the clock) before the release.
    void Press(int sx, int sy) { TheCursorManager().OnLeftDown(sx, sy); }
    void Release(int sx, int sy) { TheCursorManager().OnLeftUp(sx, sy); }
    // One tick of the pointer at (sx, sy) after `ms` milliseconds.
    void TickAt(int sx, int sy, u32 ms) {
        clock.Advance(ms);
        Tick(sx, sy);
    }
    // A full single click that acts: press, release and a tick past the double-click time.
    void SingleClick(int sx, int sy) {
        Press(sx, sy);
        Release(sx, sy);
        TickAt(sx, sy, 600);
    }
    bool Said(const std::string& call) const {
        for (const std::string& c : worldHooks.calls)
            if (c == call) return true;
        return false;
    }
    CGump* Notice() const {
        for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
            if (g->IsKind(GumpKind::kWaiting)) return g;
        return nullptr;
    }

    platform::ManualClock clock{1000};
    std::filesystem::path directory;
    WorldHooks worldHooks;
    WorldHooks* previousHooks = nullptr;
    SkillRecordReader previousReader;
};
