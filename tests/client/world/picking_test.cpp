// Picking: what lies under a point is tested against its real picture, front to back: the
// land diamond's edges, a see-through pixel of art falling through to the land below, the
// runs of a figure, box edges, hidden mobiles and skipping land.
#include "client/world/picking.h"

#include <gtest/gtest.h>

#include "client/data/client_utils.h"
#include "tests/client/world/figure_fixture.h"

namespace {

using namespace demo_tiles;

TEST(LandDiamondTest, Edges) {
    struct Case {
        int px, py;
        bool on;
    } cases[] = {
        {21, 0, true},  {22, 0, true},  {20, 0, false}, {23, 0, false},  {0, 21, true},
        {0, 20, false}, {0, 22, true},  {43, 21, true}, {43, 20, false}, {21, 44, false},
        {21, 43, true}, {0, 44, false}, {22, 43, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOnLandDiamond(c.px, c.py), c.on) << c.px << "," << c.py;
}

class PickingTest : public FigureFixture {
protected:
    void SetUp() override {
        FigureFixture::SetUp();
        ScrollTo(kViewColumnConstant * 22, 80 * 22, 320, 240);
        // Objects are shown only while there is a player; he stands well to the right.
        player_ = MakePlayer(1, 400);
        player_->PlaceInWorld(ClientLocation{43, 37, 0});
        land_ = LandTile::Allocate(kGrass, ClientLocation{40, 40, 0});
        land_->PlaceInCell();
    }
    // The window point of a world-screen point.
    CDisplayObject* PickAt(int sx, int sy, bool skipLand = false) {
        return PickObjectAt(sx - ViewScrollX, sy - ViewScrollY, skipLand);
    }
    CClientPlayer* player_ = nullptr;
    LandTile* land_ = nullptr;
};

TEST_F(PickingTest, TheLandDiamondAndTheBoxEdges) {
    const ScreenRect b = land_->box;
    EXPECT_EQ(PickAt(b.left + 21, b.top), land_);
    EXPECT_EQ(PickAt(b.left + 22, b.top), land_);
    EXPECT_EQ(PickAt(b.left + 20, b.top), nullptr);
    EXPECT_EQ(PickAt(b.left, b.top + 21), land_);
    EXPECT_EQ(PickAt(b.left, b.top + 20), nullptr);
    // Right and bottom edges lie outside the box.
    EXPECT_EQ(PickAt(b.right, b.top + 22), nullptr);
    EXPECT_EQ(PickAt(b.left + 22, b.bottom), nullptr);
    // Skipping land leaves nothing.
    EXPECT_EQ(PickAt(b.left + 22, b.top + 22, true), nullptr);
    EXPECT_EQ(NearestLandTile(b.left + 22 - ViewScrollX, b.top + 22 - ViewScrollY), land_);
    EXPECT_EQ(CellTopObject(40, 40), land_);
}

TEST_F(PickingTest, ASeeThroughPixelFallsThroughToTheLandBelow) {
    // A block of art raised 5 units: its see-through corners lie over the land's diamond.
    CClientObject* block = CClientObject::AllocateStatic(kChest);
    block->PlaceInWorld(ClientLocation{40, 40, 5});
    ASSERT_TRUE(block->inCell);
    const ArtRecord art = block->GetArt();
    ASSERT_NE(art.words, nullptr);
    int clear = 0, solid = 0;
    for (int sy = block->box.top; sy < block->box.bottom; ++sy)
        for (int sx = block->box.left; sx < block->box.right; ++sx) {
            const bool onLand = land_->box.left <= sx && sx < land_->box.right &&
                                land_->box.top <= sy && sy < land_->box.bottom &&
                                IsOnLandDiamond(sx - land_->box.left, sy - land_->box.top);
            if (!onLand) continue;
            const bool opaque = GetArtPixel(art.words, art.wordCount, sx - block->box.left,
                                            sy - block->box.top) != 0;
            ASSERT_EQ(PickAt(sx, sy), opaque ? static_cast<CDisplayObject*>(block) : land_)
                << sx - block->box.left << "," << sy - block->box.top;
            ++(opaque ? solid : clear);
        }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
    EXPECT_EQ(CellTopObject(40, 40), block);
}

TEST_F(PickingTest, FiguresAreHitOnTheirRunsAndHiddenOnesOnlyBySpecialBodies) {
    CClientPlayer* player = player_;
    CClientMobile* m = NewMobile(0x20, 400, 40, 40, 4);
    const int x0 = m->columnKey * 22 + 1, y0 = m->rowKey * 22 + 20;
    // The standing frame: the head's middle row is painted, the corner of the box is not.
    EXPECT_EQ(PickAt(x0, y0 - 55), m);
    EXPECT_EQ(PickAt(m->box.left, m->box.top), nullptr);
    // Between the legs, above the land: falls through to it.
    EXPECT_EQ(PickAt(x0 - 1, y0 - 2), land_);
    EXPECT_EQ(PickAt(x0 - 1, y0 - 2, true), nullptr);
    EXPECT_EQ(PickAt(x0 + 1, y0 - 2, true), m);  // a leg
    m->statusFlags = 0x80;
    EXPECT_EQ(PickAt(x0, y0 - 55), nullptr);
    player->graphic = 987;
    EXPECT_EQ(PickAt(x0, y0 - 55), m);
    // The player himself is picked even while hidden.
    player->statusFlags = 0x80;
    const int px = player->columnKey * 22 + 1, py = player->rowKey * 22 + 20;
    player->graphic = 400;
    EXPECT_EQ(PickAt(px, py - 55), player);
}

TEST_F(PickingTest, ACorpseIsHitOnItsDeathPose) {
    CClientCorpse* c = NewCorpse(0x40000050, 400, 40, 40, 3);
    int id = 0, index = 0;
    GetCorpseAnimationId(400, 3, id, index);
    AnimFrame frame;
    ASSERT_TRUE(LoadAnimFrame(id, index, frame));
    const int x0 = c->columnKey * 22 + 1, y0 = c->rowKey * 22 + 20;
    int hits = 0;
    for (int sy = c->box.top; sy < c->box.bottom; ++sy)
        for (int sx = c->box.left; sx < c->box.right; ++sx) {
            const bool covered = FrameContainsPoint(sx, sy, false, x0, y0, frame);
            CDisplayObject* picked = PickAt(sx, sy);
            if (covered) {
                EXPECT_EQ(picked, c);
                ++hits;
            } else {
                EXPECT_NE(picked, c);
            }
        }
    EXPECT_GT(hits, 0);
}

}  // namespace
