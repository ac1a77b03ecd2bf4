#pragma once
// A client world over the generated client install whose figures take their real boxes: the
// generated tile data (worn items know their animation bodies), the generated hues installed
// for the blitters, and a 640 x 480 screen to draw into.
#include <vector>

#include "client/data/back_buffer.h"
#include "client/data/hue_table.h"
#include "client/render/span_blit.h"
#include "client/world/mobile_draw.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tools/content_builder/tile_set.h"

// Recording hooks whose figure boxes are the drawing's.
class FigureHooks : public WorldHooks {
public:
    bool FigureBox(const CClientContainer& figure, ScreenRect& box) override {
        return FigureScreenBox(figure, box);
    }
};

class FigureFixture : public InstalledWorldFixture {
protected:
    static constexpr u16 kBackground = 0x1084;

    void SetUp() override {
        InstalledWorldFixture::SetUp();
        SetWorldHooks(&figureHooks);
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
        LoadHues(TheHueTable(), env_->InstallDir());
        SetBlitHueTable(TheHueTable().entries[0].colours, kClientHueCount,
                        int(sizeof(HueEntry) / sizeof(u16)));
        screen.assign(size_t(kBackBufferWidth) * kBackBufferHeight, kBackground);
    }
    void TearDown() override {
        SetBlitHueTable(nullptr, 0, 32);
        InstalledWorldFixture::TearDown();
        SetWorldHooks(&hooks);
    }

    void ClearScreen() { std::fill(screen.begin(), screen.end(), kBackground); }
    BlitTarget ScreenTarget() {
        return BlitTarget{screen.data(), kBackBufferWidth, kBackBufferHeight};
    }

    // A mobile standing at (x, y, 0); `player` makes it the player.
    CClientMobile* NewMobile(u32 serial, int body, int x, int y, u8 direction, u16 hue = 0,
                             bool player = false) {
        CClientMobile* m = player ? MakePlayer(serial, body) : new CClientMobile(serial, body, 0);
        m->direction = direction;
        m->hue = hue;
        m->idle = 1;
        m->PlaceInWorld(ClientLocation{s16(x), s16(y), 0});
        return m;
    }
    // A corpse of `body` at (x, y, 0).
    CClientCorpse* NewCorpse(u32 serial, int body, int x, int y, u8 direction, u16 hue = 0) {
        auto* c = new CClientCorpse(serial, 8198);
        c->amount = u16(body);
        c->direction = direction;
        c->hue = hue;
        c->PlaceInWorld(ClientLocation{s16(x), s16(y), 0});
        return c;
    }
    // An item the corpse holds in its tile layer.
    CClientItem* CorpseWears(CClientCorpse* c, u32 serial, int graphic, u16 hue = 0) {
        CClientItem* item = CClientItem::Allocate(serial, graphic, 0);
        item->hue = hue;
        item->AddToContainer(c, c->loc);
        c->layerSerials[StaticTileOf(graphic).layer] = serial;
        c->RemoveFromCell();
        c->PlaceInCell();
        return item;
    }
    // A worn item in its tile layer (the layer of the graphic's tile record).
    CClientItem* Wear(CClientMobile* m, u32 serial, int graphic, u16 hue = 0) {
        CClientItem* item = CClientItem::Allocate(serial, graphic, 0);
        item->hue = hue;
        const bool was = m->inCell != 0;
        if (was) m->RemoveFromCell();
        item->EquipOn(m, StaticTileOf(graphic).layer);
        if (was) m->PlaceInCell();
        return item;
    }
    // The figure drawn alone on a clear screen, clipped to the whole screen.
    std::vector<u16> DrawAlone(CDisplayObject& o) {
        ClearScreen();
        o.Draw(ScreenTarget(), ScreenRect{0, 0, kBackBufferWidth, kBackBufferHeight});
        return screen;
    }
    // Scrolls the view so that world-screen point (sx, sy) lands at window (x, y).
    static void ScrollTo(int sx, int sy, int x, int y) {
        ViewScrollX = sx - x;
        ViewScrollY = sy - y;
    }

    FigureHooks figureHooks;
    std::vector<u16> screen;
};
