#pragma once
// The player's own windows under test: a clean client world with the player standing still
// at (10, 10), a desktop over a 640 x 480 picture, a recording gump host, a link whose sent
// bytes a test reads, and fixture art: solid pictures of distinct colours for every window
// piece and, for the worn items, rectangles at known places of the figure so that the layer
// drawn at a point shows by its colour.
#include <gtest/gtest.h>

#include <vector>

#include "client/data/tile_data.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/player_windows.h"
#include "client/net/client_link.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/net/link_fixture.h"
#include "tests/client/world/world_fixture.h"
#include "tools/content_builder/gump_art_writer.h"

// A worn item of the fixture: its graphic, the layer it goes on, its paperdoll number, and the
// rectangle (figure coordinates) its picture covers in its colour.
struct FixtureWear {
    u16 graphic;
    int layer;
    u16 number;
    int x0, y0, x1, y1;
    u16 colour;
};

namespace fixture_wear {
constexpr FixtureWear kShirt{0x0100, 5, 510, 40, 90, 120, 170, 0x7C00};
constexpr FixtureWear kRobe{0x0101, 22, 512, 30, 80, 130, 290, 0x03E0};
constexpr FixtureWear kBelt{0x0102, 13, 513, 10, 160, 150, 176, 0x001F};
constexpr FixtureWear kHair{0x0103, 11, 600, 60, 40, 100, 60, 0x7FE0};
constexpr FixtureWear kShroud{0x204E, 22, 514, 30, 30, 130, 290, 0x03FF};
constexpr FixtureWear kBackpack{0x0104, 21, 515, 122, 100, 150, 150, 0x7C1F};
constexpr FixtureWear kBoots{0x0105, 3, 540, 50, 270, 110, 298, 0x2108};
constexpr FixtureWear kCloak{0x0106, 24, 516, 30, 90, 130, 200, 0x4000};
constexpr FixtureWear kTunic{0x0107, 5, 500, 40, 90, 120, 170, 0x0200};
constexpr FixtureWear kTorch{0x0033, 2, 517, 0, 0, 20, 20, 0x5000};
constexpr FixtureWear kAll[] = {kShirt, kRobe, kBelt,  kHair,  kShroud,
                                kBackpack, kBoots, kCloak, kTunic, kTorch};
// The female cut of the tunic (the shirt has none).
constexpr u16 kFemaleTunicColour = 0x0010;
}  // namespace fixture_wear

constexpr u16 kMaleBodyColour = 0x4210;    // a grey
constexpr u16 kFemaleBodyColour = 0x318C;  // another grey
constexpr u16 kOwnDollColour = 0x1084;
constexpr u16 kOtherDollColour = 0x14A5;
constexpr u16 kProfileColour = 0x2D6B;

// The recording host that knows the client world's mobiles and makes the player's windows, as
// the running one does.
class WorldGumpHost : public RecordingGumpHost {
public:
    CGump* MakeWindow(int artId, u32 object, int w, int h, bool container) override {
        if (!container)
            if (CGump* made = MakePlayerWindow(artId, object)) return made;
        return RecordingGumpHost::MakeWindow(artId, object, w, h, container);
    }
    bool ObjectIsMobile(u32 serial) override {
        const CClientObject* o = TheClientWorld().FindBySerial(serial);
        return o != nullptr && o->IsMobile();
    }
};

class PlayerWindowsTest : public WorldFixture {
protected:
    PlayerWindowsTest() {
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        ResetMinimizedSlots();
        LoadFixtureFontsEverywhere();
        screen.assign(CGumpDesktop::kScreenPixels, 0x0421);
        TheGumpDesktop().SetScreen(screen.data(), 0);
        net.link.OpenLocalConnection();
        SetTheClientLink(&net.link);
        for (const FixtureWear& w : fixture_wear::kAll) {
            SetStatic(w.graphic, kClientTileWearable, 1);
            statics[w.graphic].animation = w.number;
            statics[w.graphic].layer = static_cast<u8>(w.layer);
            WornArt(50000 + w.number, w);
        }
        LoadTiles();
        WornArt(60500, {0, 5, 500, 40, 90, 120, 170, fixture_wear::kFemaleTunicColour});
        art.Solid(12, 160, 300, kMaleBodyColour);
        art.Solid(13, 160, 300, kFemaleBodyColour);
        art.Solid(10, 262, 1, 0x0842);
        art.Solid(11, 262, 1, 0x0842);
        art.Solid(2000, 262, 310, kOwnDollColour);
        art.Solid(2001, 262, 310, kOtherDollColour);
        art.Solid(2002, 24, 56, kProfileColour);
        art.Solid(2030, 90, 24, 0x2529);
        for (u32 id = 2006; id <= 2033; ++id)
            art.Solid(id, 70, 22, static_cast<u16>(0x0800 + id));
        art.Solid(2050, 264, 140, 0x2108);
        art.Solid(2051, 150, 58, 0x1CE7);
        art.Solid(2052, 150, 58, 0x18C6);
        art.Solid(2055, 150, 58, 0x4C63);
        art.Solid(2053, 110, 17, 0x0C63);
        art.Solid(2054, 110, 17, 0x0260);
        art.Solid(2056, 110, 17, 0x03E0);
        art.Solid(2057, 110, 17, 0x7FE0);
        art.Solid(2140, 160, 64, 0x2D6B);
        art.Solid(2141, 40, 20, 0x3DEF);
        art.Solid(2142, 40, 20, 0x3DEE);
        art.Solid(2076, 40, 20, 0x3DED);
        art.Solid(2117, 12, 16, 0x7FE0);
        art.Solid(2118, 12, 16, 0x7FE1);
        art.Solid(2070, 180, 110, 0x2945);
        for (u32 id = 2071; id <= 2076; ++id)
            art.Solid(id, 30, 20, static_cast<u16>(0x1000 + id));
        player = PlayerInStillWorld();
        Clock().Advance(10000);
        net.ClientSent();
    }
    ~PlayerWindowsTest() override {
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        ResetMinimizedSlots();
        GetFontTable().Clear();
        SetTheClientLink(nullptr);
    }

    // A picture of the figure's size with the item's rectangle filled.
    void WornArt(u32 id, const FixtureWear& w) {
        std::vector<u16> pixels(160 * 300, 0);
        for (int y = w.y0; y < w.y1; ++y)
            for (int x = w.x0; x < w.x1; ++x)
                pixels[static_cast<size_t>(y) * 160 + x] = w.colour;
        art.Put(id, EncodeGumpArt(pixels.data(), 160, 300), 160, 300);
    }
    // The item put on the mobile in its layer, as the equip packet does.
    CClientItem* Wear(CClientMobile* m, const FixtureWear& w, u32 serial, u16 hue = 0) {
        CClientItem* item = CClientItem::Allocate(serial, w.graphic, 0);
        item->hue = hue;
        item->amount = 1;
        item->EquipOn(m, w.layer);
        return item;
    }
    // A point of the item's rectangle (figure coordinates) in window coordinates.
    static int WindowX(int figureX) { return 8 + figureX; }
    static int WindowY(int figureY) { return 19 + figureY; }

    // Mouse input as the window procedure and the frame tick deliver it.
    static void LeftDown(int x, int y) { TheCursorManager().OnLeftDown(x, y); }
    static void LeftUp(int x, int y) { TheCursorManager().OnLeftUp(x, y); }
    static void RightClick(int x, int y) {
        TheCursorManager().OnRightDown(x, y);
        TheCursorManager().OnRightUp(x, y);
    }
    static void MoveTo(int x, int y) { TheCursorManager().MoveTo(x, y); }
    static void Tick(int x, int y) {
        TheCursorManager().MoveTo(x, y);
        TheCursorManager().TickHover();
    }
    // A click whose single-click action runs: press, release, then the double-click time
    // passes.
    void SingleClick(int x, int y) {
        LeftDown(x, y);
        LeftUp(x, y);
        Clock().Advance(600);
        Tick(x, y);
    }
    void DoubleClick(int x, int y) {
        LeftDown(x, y);
        LeftUp(x, y);
        Clock().Advance(100);
        LeftDown(x, y);
        LeftUp(x, y);
    }
    void DrawFrame() { TheGumpDesktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true); }

    WorldGumpHost host;
    FixtureGumpArt art;
    LinkFixture net;
    std::vector<u16> screen;
    CClientPlayer* player = nullptr;
};
