// The demo's art of the paperdoll, the status windows and the amount chooser: every id is in
// the built files and none is one another builder already paints (a later picture would
// silently replace it), every wearable of the demo has its paperdoll picture and some a
// female cut, the bar fills are wide enough for 109 columns, and the windows open and draw
// with their controls on their panels.
#include "tools/content_builder/player_window_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "client/data/gump_art.h"
#include "client/data/gump_art_fixture.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/stack_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/tools/content_builder/built_font_and_gump_files.h"
#include "tools/content_builder/screen_manifest.h"
#include "tools/content_builder/skill_and_fighting_art.h"
#include "tools/content_builder/tile_set.h"

namespace {

class BuiltArt : public GumpFilesSource {
public:
    BuiltArt()
        : GumpFilesSource(BuiltFontAndGumpFiles().at("gumpidx.mul"),
                          BuiltFontAndGumpFiles().at("gumpart.mul")) {}
};

TEST(PlayerWindowArt, EveryIdIsInTheFilesAndPaintedByThisBuilderAlone) {
    BuiltArt art;
    std::set<u32> others;
    for (u32 id : ManifestGumpIds())
        others.insert(id);
    for (u32 id : SkillFightingDeathGumpIds())
        others.insert(id);
    for (u32 id : PlayerWindowGumpIds()) {
        int w = 0, h = 0;
        EXPECT_TRUE(GetGumpArtSize(id, w, h)) << id;
        EXPECT_EQ(others.count(id), 0u) << id << " is painted by another builder too";
    }
}

TEST(PlayerWindowArt, EveryWearableHasItsPaperdollPictureAndSomeAFemaleCut) {
    BuiltArt art;
    int femaleCuts = 0;
    for (const WornAnimation& w : DemoWornAnimations()) {
        EXPECT_GT(GumpArtWidth(50000 + w.animation), 0) << w.graphic;
        if (GumpArtWidth(60000 + w.animation) > 0) ++femaleCuts;
    }
    EXPECT_GT(femaleCuts, 0);
    // The bars the status windows fill, and the empty bar under them.
    for (int id : {CStatusGump::kEmptyBarArt, CStatusGump::kFillArt,
                   CStatusGump::kPoisonedFillArt, CStatusGump::kYellowFillArt}) {
        EXPECT_GE(GumpArtWidth(id), CStatusGump::kBarLength) << id;
        EXPECT_GE(GumpArtHeight(id), 10) << id;
    }
}

class PlayerWindowArtWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        const std::vector<u8>& fonts = BuiltFontAndGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        screen.resize(CGumpDesktop::kScreenPixels);
        TheGumpDesktop().SetScreen(screen.data(), 0);
    }
    void TearDown() override {
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        GetFontTable().Clear();
    }
    // Every child's rectangle lies inside the window's.
    static void ExpectChildrenInside(const CGump* window, int w, int h) {
        for (const CGump* c = window->firstChild; c != nullptr; c = c->nextSibling) {
            EXPECT_GE(c->x, 0) << c->kindLabel;
            EXPECT_GE(c->y, 0) << c->kindLabel;
            EXPECT_LE(c->x + c->width, w) << c->kindLabel << " at " << c->x;
            EXPECT_LE(c->y + c->height, h) << c->kindLabel << " at " << c->y;
        }
    }

    RecordingGumpHost host;
    BuiltArt art;
    std::vector<u16> screen;
};

TEST_F(PlayerWindowArtWindowsTest, TheWindowsPlaceTheirControlsOnTheirPanels) {
    CPaperdollGump* doll = TheGumpDesktop().Open<CPaperdollGump>(0, 0, 0u, "Varnok", 0);
    ExpectChildrenInside(doll, doll->width, doll->height);
    // The name line and the body fit the panel.
    EXPECT_GE(doll->height - 22, 264 + 12);
    EXPECT_GE(doll->width, 8 + GumpArtWidth(12));
    CStatusGump* status = TheGumpDesktop().Open<CStatusGump>(1u, false);
    EXPECT_GE(status->width, 264) << "the minimise corner reaches x = 263";
    EXPECT_GE(status->height, 137);
    EXPECT_GE(status->minimisedWidth, 34 + CStatusGump::kBarLength);
    EXPECT_GE(status->minimisedHeight, 38 + 11);
    CStackGump* chooser = TheGumpDesktop().Open<CStackGump>(10, 10, 0u);
    ExpectChildrenInside(chooser, chooser->width, chooser->height);
    TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true);
}

}  // namespace
