// Golden frames of figures drawn through the world walk from the generated animations: the
// player in all eight facings (bare, equipped, riding, as a ghost), creatures standing and
// walking, corpses in both death poses, and the ghost's grey view of the others. Each figure
// stands in a tile of its own (8 x 4 tiles of 80 x 115 pixels), its feet 95 pixels down.
#include <gtest/gtest.h>

#include "client/world/world_draw.h"
#include "tests/client/world/figure_fixture.h"
#include "tests/golden_frame.h"

namespace {

using namespace demo_tiles;

constexpr int kTileW = 80, kTileH = 115;
constexpr u16 kSkin = 1002, kHair = 1102, kCloth = 20, kLeather = 35, kSteel = 60;

class MobileGoldenTest : public FigureFixture {
protected:
    // Draws what stands at the figure's place into tile (column, row) through the world walk.
    void DrawInTile(const CDisplayObject& figure, int column, int row) {
        const int left = column * kTileW, top = row * kTileH;
        ScrollTo(figure.columnKey * 22 + 1, figure.rowKey * 22 + 20, left + kTileW / 2, top + 95);
        DrawWorldRect(screen.data(), ScreenRect{left, top, left + kTileW, top + kTileH});
    }
    void Turn(CClientMobile* m, int facing) {
        m->RemoveFromCell();
        m->direction = u8(facing);
        m->PlaceInCell();
    }
    void Dress(CClientMobile* m, u32 serial) {
        Wear(m, serial, kTunic, kCloth);
        Wear(m, serial + 1, kPants, kLeather);
        Wear(m, serial + 2, kBoots, kLeather);
        Wear(m, serial + 3, kLongSword, kSteel);
        Wear(m, serial + 4, kLongHair, kHair);
        Wear(m, serial + 5, kBeard, kHair);
    }
};

TEST_F(MobileGoldenTest, ThePlayerInEveryFacing) {
    CClientMobile* p = NewMobile(1, 400, 40, 40, 0, kSkin, true);
    for (int f = 0; f < 8; ++f) {
        Turn(p, f);
        DrawInTile(*p, f, 0);
    }
    Dress(p, 0x40000010);
    for (int f = 0; f < 8; ++f) {
        Turn(p, f);
        DrawInTile(*p, f, 1);
    }
    Wear(p, 0x40000020, kMountItems);
    for (int f = 0; f < 8; ++f) {
        Turn(p, f);
        DrawInTile(*p, f, 2);
    }
    // The ghost keeps only its hair.
    p->RemoveFromCell();
    for (int layer : {1, 3, 4, 13, 16, kMountLayer}) {
        CClientItem* item = p->layers[layer];
        p->layers[layer] = nullptr;
        item->Destroy();
    }
    p->graphic = 402;
    p->hue = 0;
    p->PlaceInCell();
    for (int f = 0; f < 8; ++f) {
        Turn(p, f);
        DrawInTile(*p, f, 3);
    }
    EXPECT_TRUE(
        MatchesGolden("mobiles_player", screen.data(), kBackBufferWidth, kBackBufferHeight));
}

TEST_F(MobileGoldenTest, CreaturesAndCorpses) {
    NewMobile(1, 400, 80, 0, 0, kSkin, true);  // far off to the right
    int column = 0;
    // Creatures of both body ranges, standing and walking, in two facings.
    for (int body : {6, 225}) {
        for (int facing : {2, 5}) {
            for (int walking : {0, 1}) {
                CClientMobile* m = NewMobile(0x100 + u32(column), body, 40, 40, u8(facing), 0);
                m->RemoveFromCell();
                m->idle = !walking;
                m->animCounter = 3;
                m->PlaceInCell();
                DrawInTile(*m, column % 8, column / 8);
                m->Destroy();
                ++column;
            }
        }
    }
    // Corpses: both falls of a dressed human, mirrored and not, and of the creatures.
    struct Corpse {
        int body;
        u8 direction;
    } corpses[] = {{400, 0x03}, {400, 0x83}, {400, 0x01}, {400, 0x86},
                   {6, 0x03},   {6, 0x83},   {225, 0x04}, {225, 0x82}};
    u32 serial = 0x40000100;
    for (const Corpse& c : corpses) {
        CClientCorpse* corpse =
            NewCorpse(serial++, c.body, 40, 40, c.direction, c.body == 400 ? kSkin : 0);
        if (c.body == 400) {
            CorpseWears(corpse, serial++, kTunic, kCloth);
            CorpseWears(corpse, serial++, kPants, kLeather);
            CorpseWears(corpse, serial++, kBoots, kLeather);
            CorpseWears(corpse, serial++, kLongHair, kHair);
        }
        DrawInTile(*corpse, column % 8, column / 8);
        corpse->Destroy();
        ++column;
    }
    EXPECT_TRUE(MatchesGolden("mobiles_creatures_corpses", screen.data(), kBackBufferWidth,
                              kBackBufferHeight));
}

TEST_F(MobileGoldenTest, TheGhostsGreyViewOfOthers) {
    CClientMobile* p = NewMobile(1, 402, 40, 40, 4, kSkin, true);
    Wear(p, 0x40000001, kLongHair, kHair);
    DrawInTile(*p, 0, 0);
    p->RemoveFromCell();
    p->loc.Set(80, 0, 0);  // out of the way
    p->PlaceInCell();
    CClientMobile* m = NewMobile(0x20, 400, 40, 40, 4, kSkin);
    Dress(m, 0x40000010);
    DrawInTile(*m, 1, 0);
    m->Destroy();
    CClientMobile* creature = NewMobile(0x21, 225, 40, 40, 4);
    DrawInTile(*creature, 2, 0);
    creature->Destroy();
    CClientCorpse* corpse = NewCorpse(0x40000030, 400, 40, 40, 0x83, kSkin);
    CorpseWears(corpse, 0x40000031, kTunic, kCloth);
    DrawInTile(*corpse, 3, 0);
    EXPECT_TRUE(
        MatchesGolden("mobiles_ghost_view", screen.data(), kBackBufferWidth, kBackBufferHeight));
}

}  // namespace
