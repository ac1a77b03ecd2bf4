// The front-end screens' gump art: every id of the manifest is in the files, children fit
// their panels, hit areas are solid, and a few screens put together match their goldens.
#include "tools/content_builder/screen_gump_art.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "client/data/gump_art.h"
#include "client/data/gump_art_fixture.h"
#include "client/render/bitmap16.h"
#include "golden_frame.h"
#include "screen_rects.h"
#include "tools/content_builder/built_font_and_gump_files.h"

namespace {

using Files = FontAndGumpFiles;

const Files& BuiltFiles() {
    return BuiltFontAndGumpFiles();
}

const CFontTable& Fonts() {
    static const CFontTable fonts = [] {
        CFontTable t;
        t.LoadBytes(BuiltFiles().at("fonts.mul").data(), BuiltFiles().at("fonts.mul").size());
        return t;
    }();
    return fonts;
}

// The room a child takes in its panel: its art's size, a well's own size.
void ChildExtent(const ManifestChild& child, int& w, int& h) {
    ManifestChildSize(child, Fonts(), w, h);
    if (child.kind == ManifestKind::kWell) {
        w = child.width;
        h = child.height;
    }
}

// The generated gump files as the art source; a lookup of an id without art fails the test
// that made it, so a screen that asks for art nobody generated cannot pass.
class StrictGumpArt : public GumpFilesSource {
public:
    StrictGumpArt()
        : GumpFilesSource(BuiltFiles().at("gumpidx.mul"), BuiltFiles().at("gumpart.mul")) {}
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        if (GumpFilesSource::FindGumpArt(id, out)) return true;
        ADD_FAILURE() << "gump art " << id << " is missing";
        return false;
    }
};

TEST(ScreenGumpArt, ALookupOfAMissingIdFails) {
    StrictGumpArt art;
    int w = 0, h = 0;
    EXPECT_NONFATAL_FAILURE(GetGumpArtSize(1029, w, h), "gump art 1029 is missing");
    EXPECT_TRUE(GetGumpArtSize(1010, w, h));
}

TEST(ScreenGumpArt, EveryManifestIdIsInTheFiles) {
    StrictGumpArt art;
    const std::vector<u32> ids = ManifestGumpIds();
    EXPECT_GT(ids.size(), 150u);
    for (u32 id : ids) {
        int w = 0, h = 0;
        EXPECT_TRUE(GetGumpArtSize(id, w, h)) << id;
    }
    // The ids the screens name, sampled from each group.
    for (u32 id :
         {1000u, 1010u, 1028u, 1040u, 1058u, 1100u, 1130u, 1140u, 1149u, 1200u, 1226u, 1228u,
          1246u, 1260u, 1279u, 1300u, 1312u, 1400u, 1414u, 1415u, 2053u, 2060u, 2070u, 2076u}) {
        EXPECT_TRUE(std::binary_search(ids.begin(), ids.end(), id)) << id;
    }
}

TEST(ScreenGumpArt, ChildrenFitTheirPanelsAndHitAreasAreSolid) {
    StrictGumpArt art;
    auto solid = [](u32 id) {
        GumpArtRecord record;
        GumpArtImage image;
        if (!GetGumpArtServices().FindGumpArt(id, record) || !image.Open(record)) return false;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                if (image.PixelAt(x, y) == 0) return false;
        return true;
    };
    for (const ScreenManifest& screen : FrontEndScreenManifest()) {
        SCOPED_TRACE(screen.name);
        int pw = 0, ph = 0;
        ASSERT_TRUE(GetGumpArtSize(screen.panel, pw, ph));
        EXPECT_TRUE(solid(screen.panel));
        for (const ManifestChild& child : screen.children) {
            int w = 0, h = 0;
            ChildExtent(child, w, h);
            const int right = child.kind == ManifestKind::kThumb ? child.trackEnd : child.x + w;
            EXPECT_LE(right, pw) << child.x << "," << child.y;
            EXPECT_LE(child.y + h, ph) << child.x << "," << child.y;
            for (u32 id : child.ids) {
                int aw = 0, ah = 0;
                ASSERT_TRUE(GetGumpArtSize(id, aw, ah)) << id;
                EXPECT_EQ(aw, w) << id;
                EXPECT_EQ(ah, h) << id;
                EXPECT_TRUE(solid(id)) << id;
            }
            // A button's pressed art differs from its normal one.
            if (child.kind == ManifestKind::kButton) {
                EXPECT_NE(GetGumpArtPixel(child.ids[0], 0, 0), GetGumpArtPixel(child.ids[1], 0, 0));
            }
        }
    }
}

// On the login and creation screens no caption, field, button or slider track lies over
// another, so every caption can be read and every control clicked.
TEST(ScreenGumpArt, NoChildOfAScreenLiesOverAnother) {
    for (const ScreenManifest& screen : FrontEndScreenManifest()) {
        if (screen.name != "AcctLogin gump" && screen.name != "Login gump" &&
            screen.name != "CharStat gump" && screen.name != "InitSkill gump" &&
            screen.name != "CharCreation gump" && screen.name != "CityChoice gump")
            continue;
        SCOPED_TRACE(screen.name);
        std::vector<screen_rects::Rect> rects;
        for (const ManifestChild& child : screen.children) {
            int w = 0, h = 0;
            ChildExtent(child, w, h);
            // A slider: its drawn track from end to end.
            if (child.kind == ManifestKind::kThumb)
                rects.push_back({child.x - 1, child.y + 3, child.trackEnd + 1, child.y + 9});
            else
                rects.push_back({child.x, child.y, child.x + w, child.y + h});
        }
        EXPECT_EQ(screen_rects::Overlapping(rects), "");
    }
}

// The captions the screens carry are written into their panels in light ink.
TEST(ScreenGumpArt, ScreensCarryTheirCaptions) {
    StrictGumpArt art;
    const struct {
        const char* screen;
        std::vector<std::string> captions;
    } expected[] = {
        {"AcctLogin gump", {"Account", "Password"}},
        {"CharStat gump", {"Name", "Password", "Strength", "Dexterity", "Intelligence"}},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.screen);
        const auto& screens = FrontEndScreenManifest();
        auto it = std::find_if(screens.begin(), screens.end(),
                               [&](const ScreenManifest& s) { return s.name == e.screen; });
        ASSERT_NE(it, screens.end());
        for (const std::string& caption : e.captions) {
            SCOPED_TRACE(caption);
            auto child = std::find_if(it->children.begin(), it->children.end(),
                                      [&](const ManifestChild& c) {
                                          return c.kind == ManifestKind::kLabel &&
                                                 c.label == caption;
                                      });
            ASSERT_NE(child, it->children.end());
            int w = 0, h = 0;
            ManifestChildSize(*child, Fonts(), w, h);
            ASSERT_GT(w, 0);
            // Light ink on the dark stone: pixels far brighter than any stone pixel.
            int inked = 0;
            for (int y = child->y; y < child->y + h; ++y)
                for (int x = child->x; x < child->x + w; ++x) {
                    const u16 p = GetGumpArtPixel(it->panel, x, y);
                    inked += ((p >> 10) & 31) + ((p >> 5) & 31) + (p & 31) >= 60;
                }
            EXPECT_GT(inked, w) << "no caption written";
        }
    }
}

// A screen as its window would first show it: the panel, every child in its first art.
void ExpectScreenGolden(const char* screenName, const char* golden) {
    StrictGumpArt art;
    const auto& screens = FrontEndScreenManifest();
    auto it = std::find_if(screens.begin(), screens.end(),
                           [&](const ScreenManifest& s) { return s.name == screenName; });
    ASSERT_NE(it, screens.end());
    int w = 0, h = 0;
    ASSERT_TRUE(GetGumpArtSize(it->panel, w, h));
    Bitmap16 frame(w, h);
    u16* px = frame.Pixels();
    CopyGumpToBuf(SpanCopyKeyed, it->panel, 0, 0, px, w, h);
    for (const ManifestChild& child : it->children) {
        if (!child.ids.empty())
            CopyGumpToBuf(SpanCopyKeyed, child.ids[0], child.x, child.y, px, w, h);
    }
    EXPECT_TRUE(MatchesGolden(golden, px, w, h));
}

TEST(ScreenGumpArt, GoldenScreens) {
    ExpectScreenGolden("MainMenu gump", "screen_main_menu");
    ExpectScreenGolden("AcctLogin gump", "screen_acct_login");
    ExpectScreenGolden("Login gump", "screen_login");
    ExpectScreenGolden("CharStat gump", "screen_char_stat");
    ExpectScreenGolden("CharCreation gump", "screen_char_creation");
}

// The appearance screen's preview of a man with short hair and a beard, its pieces in the
// order the screen draws them (the hues left out).
TEST(ScreenGumpArt, GoldenFigurePreview) {
    StrictGumpArt art;
    int w = 0, h = 0;
    ASSERT_TRUE(GetGumpArtSize(1260, w, h));
    Bitmap16 frame(w, h);
    u16* px = frame.Pixels();
    CopyGumpToBuf(SpanCopyKeyed, 1260, 0, 0, px, w, h);
    CopyGumpToBuf(SpanCopyKeyed, 1263, kSexCaptionX, kSexCaptionY, px, w, h);
    for (u32 id : {12u, 50434u, 50600u, 50661u, 50622u, 50431u, 50480u})
        CopyGumpToBuf(SpanCopyKeyed, id, kFigurePreviewX, kFigurePreviewY, px, w, h);
    EXPECT_TRUE(MatchesGolden("screen_figure_preview", px, w, h));
}

}  // namespace
