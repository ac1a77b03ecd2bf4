// The demo's art of the skill window, the fighting bar and the death menu: every id is in the
// built files, the windows open and draw asking for no missing art, and what they place on
// their panels lies on them.
#include "tools/content_builder/skill_and_fighting_art.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "client/data/client_skill_table.h"
#include "client/data/skill_group_table.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/data/gump_art.h"
#include "client/data/gump_art_fixture.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/death_menu_gump.h"
#include "client/gumps/ingame/fighting_gump.h"
#include "client/gumps/ingame/skill_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tools/content_builder/built_font_and_gump_files.h"

namespace {

// The built gump files as the art source; a lookup of an id without art fails the test.
class StrictBuiltArt : public GumpFilesSource {
public:
    StrictBuiltArt()
        : GumpFilesSource(BuiltFontAndGumpFiles().at("gumpidx.mul"),
                          BuiltFontAndGumpFiles().at("gumpart.mul")) {}
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        if (GumpFilesSource::FindGumpArt(id, out)) return true;
        ADD_FAILURE() << "gump art " << id << " is missing";
        return false;
    }
};

TEST(SkillFightingDeathArt, EveryIdIsInTheFiles) {
    StrictBuiltArt art;
    for (u32 id : SkillFightingDeathGumpIds()) {
        int w = 0, h = 0;
        EXPECT_TRUE(GetGumpArtSize(id, w, h)) << id;
    }
}

class SkillFightingDeathWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        const std::vector<u8>& fonts = BuiltFontAndGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        screen.resize(CGumpDesktop::kScreenPixels);
        TheGumpDesktop().SetScreen(screen.data(), 0);
        previousReader = SetSkillRecordReader([](int id, std::vector<u8>& record) {
            if (id > 3) return false;
            record = {1, 'S', 'k', 'i', 'l', 'l', static_cast<u8>('A' + id)};
            return true;
        });
    }
    void TearDown() override {
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        GetFontTable().Clear();
        SetSkillRecordReader(previousReader);
    }
    // Every child's rectangle lies inside the window's.
    static void ExpectChildrenInside(const CGump* window) {
        for (const CGump* c = window->firstChild; c != nullptr; c = c->nextSibling) {
            EXPECT_GE(c->x, 0) << c->kindLabel;
            EXPECT_GE(c->y, 0) << c->kindLabel;
            EXPECT_LE(c->x + c->width, window->width) << c->kindLabel << " at " << c->x;
            EXPECT_LE(c->y + c->height, window->height) << c->kindLabel << " at " << c->y;
        }
    }

    RecordingGumpHost host;
    StrictBuiltArt art;
    std::vector<u16> screen;
    SkillRecordReader previousReader;
};

TEST_F(SkillFightingDeathWindowsTest, TheWindowsOpenAndDrawOnTheirOwnArt) {
    ResetSkillGroups(TheSkillGroupTable());
    CSkillGump* skills = OpenPlayerSkillWindow();
    // Miscellaneous expanded by its arrow: every line with its use button.
    const int ax = skills->x + CSkillGump::kListLeft + 10, ay = skills->y + CSkillGump::kListTop + 10;
    TheCursorManager().OnLeftDown(ax, ay);
    TheCursorManager().OnLeftUp(ax, ay);
    ASSERT_TRUE(skills->Expanded(0));
    ExpectChildrenInside(skills);
    // The list and its thumb lie on the scroll.
    EXPECT_LE(CSkillGump::kListRight, skills->width);
    EXPECT_GT(skills->ListBottom(), CSkillGump::kListTop + 17);
    CFightingGump* bar = TheGumpDesktop().Open<CFightingGump>(10, 10);
    ExpectChildrenInside(bar);
    CDeathMenuGump* menu = OpenDeathMenuGump([](u8) {});
    ExpectChildrenInside(menu);
    TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
    skills->Minimize();
    bar->Minimize();
    TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
}

}  // namespace
