#pragma once
// A world-view scene from the generated install: the real tile data, hues and map, the cell
// grid recentred on a place of the demo world, the running client's world hooks (so changes
// reach the dirty rectangles), and a 640 x 480 ring-addressed screen. The player is kept out
// of the cells, so the scenes show only land, statics and the items a test places.
#include <fstream>
#include <iterator>
#include <vector>

#include "client/data/client_data_start.h"
#include "client/data/pixel_format.h"
#include "client/render/dirty_rects.h"
#include "client/world/world_view_frame.h"
#include "client/render/span_blit.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tools/content_builder/terrain.h"

class WorldViewScene : public InstalledWorldFixture {
protected:
    static constexpr u16 kUnpainted = 0x1234;

    static const DemoPlaces& Places() {
        static const DemoPlaces places = BuildDemoWorld(0, 0, 1024, 1024).places;
        return places;
    }

    void SetUp() override {
        InstalledWorldFixture::SetUp();
        // The running client's hooks: the world model's requests reach the renderer.
        SetWorldHooks(nullptr);
        LoadClientDataTablesFrom(env_->InstallDir());
        std::ifstream in(env_->InstallDir() + "tiledata.mul", std::ios::binary);
        tiles_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ResetDirtyRects();
        SetWorldViewScreen(screen.data());
    }
    void TearDown() override {
        SetWorldViewScreen(nullptr);
        ResetDirtyRects();
        SetBlitHueTable(nullptr, 0, 32);
        SetPixelFormat565(false);
        SetWorldHooks(&hooks);
        InstalledWorldFixture::TearDown();
    }

    // Adds tile flags to a static graphic of the installed tile data.
    void AddStaticFlags(int graphic, u32 flags) {
        const size_t at = size_t(kStaticBlocksStart) + size_t(graphic / 32) * kStaticBlockBytes +
                          4 + size_t(graphic % 32) * kStaticRecordSize;
        for (int i = 0; i < 4; ++i)
            tiles_[at + i] |= u8(flags >> (8 * i));
        TheClientTileData().ReadImage(tiles_.data(), tiles_.size());
    }

    // The view centred on (x, y, z) as the player's step puts it, with its land and statics.
    void CentreOn(int x, int y, int z) {
        // The player stands there but out of the cells: objects are shown for a player, and
        // figures are not this scene's subject.
        if (ThePlayer() == nullptr) MakePlayer(1, 400);
        ThePlayer()->loc = ClientLocation{s16(x), s16(y), s16(z)};
        TheClientMap().Recenter(x, y, z, 0);
        ViewScrollX = (x + 6144 - y) * 22 - 319;
        ViewScrollY = (x + y) * 22 - z * 4 - 217;
    }

    // An item of `graphic` lying at (x, y, z).
    CClientItem* PlaceItem(u32 serial, int graphic, int x, int y, int z, u16 hue = 0,
                           u16 amount = 1) {
        CClientItem* item = CClientItem::Allocate(serial, graphic, 0);
        item->hue = hue;
        item->amount = amount;
        item->PlaceInWorld(ClientLocation{s16(x), s16(y), s16(z)});
        return item;
    }

    // Static graphics with art that fits in a 60-pixel square, in id order.
    static std::vector<int> SmallStaticGraphics(size_t count) {
        std::vector<int> out;
        for (int g = 2; g < 0x4000 && out.size() < count; ++g) {
            s32 length = 0;
            const u8* r = GetArtRecord(0x4000 + g, &length);
            if (r == nullptr || length < 8) continue;
            const int w = r[4] | r[5] << 8, h = r[6] | r[7] << 8;
            if (w > 8 && h > 8 && w < 60 && h < 60) out.push_back(g);
        }
        return out;
    }

    // The screen as the window shows it: logical pixel p from buffer index p + RingOffset.
    std::vector<u16> Unrolled() const {
        std::vector<u16> out(kWorldViewPixels);
        for (s32 p = 0; p < kWorldViewPixels; ++p)
            out[p] = screen[(p + RingOffset) % kWorldViewPixels];
        return out;
    }

    // The whole view drawn afresh into `into` (ring at 0), the screen left as it was.
    std::vector<u16> FullRedraw() {
        std::vector<u16> fresh(kWorldViewPixels, kUnpainted);
        const s32 ring = RingOffset;
        std::vector<u16> keep = screen;
        SetWorldViewScreen(fresh.data());
        ResetDirtyRects();
        ::InvalidateWorldView();
        RefreshDirtyRects();
        SetWorldViewScreen(screen.data());
        SetRingOffset(ring);
        screen = keep;
        return fresh;
    }

    std::vector<u16> screen = std::vector<u16>(kWorldViewPixels, kUnpainted);

private:
    std::vector<u8> tiles_;  // the installed tile data, for flags a scene adds
};
