// Golden frames of the player's own windows on the demo's art and fonts: the player's
// paperdoll dressed, a woman's paperdoll, the paperdoll with a robe held over it (the wear
// preview), the full status window, another mobile's health bar, docked bars and the amount
// chooser, each in the 555 and the 565 layout.
#include <gtest/gtest.h>

#include "client/data/pixel_format.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/stack_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "tests/client/gumps/ingame/player_windows_fixture.h"
#include "tests/golden_frame.h"
#include "tests/tools/content_builder/built_font_and_gump_files.h"
#include "tools/content_builder/tile_set.h"

namespace {

using namespace demo_tiles;

class BuiltArt : public GumpFilesSource {
public:
    BuiltArt()
        : GumpFilesSource(BuiltFontAndGumpFiles().at("gumpidx.mul"),
                          BuiltFontAndGumpFiles().at("gumpart.mul")) {}
};

constexpr u32 kWoman = 0x40;
constexpr u32 kRat = 0x41;
constexpr u32 kWolf = 0x42;

class PlayerWindowsGoldenTest : public PlayerWindowsTest {
protected:
    PlayerWindowsGoldenTest() {
        const std::vector<u8>& fonts = BuiltFontAndGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        for (const WornAnimation& w : DemoWornAnimations()) {
            SetStatic(w.graphic, kClientTileWearable, 1);
            statics[w.graphic].animation = w.animation;
        }
        LoadTiles();
    }
    ~PlayerWindowsGoldenTest() override { SetPixelFormat565(false); }

    CClientItem* Dress(CClientMobile* m, u16 graphic, int layer) {
        return Wear(m, {graphic, layer, 0, 0, 0, 0, 0, 0}, serial_++);
    }
    std::vector<u16> Crop(int x, int y, int w, int h) const {
        std::vector<u16> out;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                out.push_back(host.presented[static_cast<size_t>(row) * kScreenWidth + col]);
        return out;
    }
    ::testing::AssertionResult Matches(const std::string& name, bool use565, const CGump* g,
                                       int w, int h) {
        const std::vector<u16> pixels = Crop(g->x, g->y, w, h);
        return use565 ? MatchesGolden565(name, pixels.data(), w, h)
                      : MatchesGolden(name, pixels.data(), w, h);
    }
    // Each layout in turn on a black screen with no window open.
    template <typename Body>
    void InBothLayouts(Body body) {
        for (bool use565 : {false, true}) {
            SCOPED_TRACE(use565 ? "565" : "555");
            SetPixelFormat565(use565);
            TheGumpDesktop().DeleteAllGumps();
            std::fill(screen.begin(), screen.end(), u16{0});
            body(use565);
        }
    }

    BuiltArt built;

private:
    u32 serial_ = 0x40000300;
};

TEST_F(PlayerWindowsGoldenTest, Paperdolls) {
    Dress(player, kShirt, 5);
    Dress(player, kPants, 4);
    Dress(player, kBoots, 3);
    Dress(player, kLongSword, 1);
    Dress(player, kLeatherCap, 6);
    Dress(player, kShortHair, 11);
    CClientMobile* woman = Mobile(kWoman, 401);
    Dress(woman, kTunic, 13);
    Dress(woman, kSkirt, 23);
    Dress(woman, kLongHair, 11);
    InBothLayouts([&](bool use565) {
        CPaperdollGump* own =
            TheGumpDesktop().Open<CPaperdollGump>(10, 10, player->serial, "Varnok the Brave", 0);
        CPaperdollGump* her =
            TheGumpDesktop().Open<CPaperdollGump>(330, 10, kWoman, "Lady Ysolde", 0);
        DrawFrame();
        EXPECT_TRUE(Matches("paperdoll_male", use565, own, own->width, own->height));
        EXPECT_TRUE(Matches("paperdoll_female", use565, her, her->width, her->height));

        // A robe held over the player's paperdoll shows where it would be worn.
        CClientWorld& world = TheClientWorld();
        world.dragging = 1;
        world.drag = DragRecord{};
        world.drag.graphic = kRobe;
        own->wearPreviewLayer = 22;
        own->Redraw();
        DrawFrame();
        // The blend rounds each layout's channels: a picture of its own for each.
        EXPECT_TRUE(Matches(use565 ? "paperdoll_wear_preview_565" : "paperdoll_wear_preview",
                            use565, own, own->width, own->height));
        world.dragging = 0;
        own->wearPreviewLayer = -1;
    });
}

TEST_F(PlayerWindowsGoldenTest, StatusWindowsAndBars) {
    Mobile(kRat, 400);
    Mobile(kWolf, 400);
    StatusRecord own;
    own.serial = player->serial;
    own.name = "Varnok";
    own.strength = 45;
    own.dexterity = 35;
    own.intelligence = 10;
    own.hits = 40;
    own.maxHits = 45;
    own.mana = 5;
    own.maxMana = 10;
    own.stamina = 35;
    own.maxStamina = 35;
    own.gold = 1234;
    own.armour = 6;
    own.weight = 41;
    StatusRecord rat;
    rat.serial = kRat;
    rat.name = "a giant rat";
    rat.hits = 5;
    rat.maxHits = 10;
    StatusRecord wolf = rat;
    wolf.serial = kWolf;
    wolf.name = "a grey wolf";
    wolf.hits = 12;
    wolf.maxHits = 40;
    InBothLayouts([&](bool use565) {
        MoveTo(150, 90);
        CStatusGump* full = TheGumpDesktop().Open<CStatusGump>(player->serial, false);
        UpdateStatusWindowsOf(own, false);
        MoveTo(100, 300);
        CStatusGump* bar = TheGumpDesktop().Open<CStatusGump>(kRat, true);
        UpdateStatusWindowsOf(rat, false);
        DrawFrame();
        EXPECT_TRUE(Matches("status_full", use565, full, full->width, full->height));
        EXPECT_TRUE(Matches("status_bar", use565, bar, bar->minimisedWidth, bar->minimisedHeight));

        // The wolf's bar docked at the rat's right edge, the player's bar under the rat's.
        MoveTo(400, 420);
        CStatusGump* wolfBar = TheGumpDesktop().Open<CStatusGump>(kWolf, true);
        UpdateStatusWindowsOf(wolf, false);
        full->Minimize();
        full->x = bar->x + 10;
        full->y = bar->y + 40;
        for (CStatusGump* moved : {wolfBar, full}) {
            const int gx = moved->x + 20, gy = moved->y + 20;
            const int tx = moved == wolfBar ? bar->x + bar->minimisedWidth - 20 : bar->x + 5;
            const int ty = moved == wolfBar ? bar->y + 4 : bar->y + bar->minimisedHeight - 10;
            LeftDown(gx, gy);
            Tick(gx + 8, gy + 8);
            Tick(tx + 20, ty + 20);
            LeftUp(tx + 20, ty + 20);
            Clock().Advance(1000);
        }
        ASSERT_EQ(wolfBar->groupHead, bar);
        ASSERT_EQ(full->groupHead, bar);
        DrawFrame();
        EXPECT_TRUE(Matches("status_docked", use565, bar, 2 * bar->minimisedWidth,
                            2 * bar->minimisedHeight));
    });
}

TEST_F(PlayerWindowsGoldenTest, AmountChooser) {
    constexpr u32 kStack = 0x40000400;
    SetStatic(0x0EED, kClientTileStackable, 0, "coin");
    TheClientWorld().UpdateObject(kStack, 0x0EED, 0, 250, 11, 10, 0, 0, 0, 0);
    InBothLayouts([&](bool use565) {
        CStackGump* chooser = TheGumpDesktop().Open<CStackGump>(200, 200, kStack);
        chooser->OnKey('7');
        chooser->OnKey('5');
        DrawFrame();
        EXPECT_TRUE(Matches("amount_chooser", use565, chooser, chooser->width, chooser->height));
    });
}

}  // namespace
