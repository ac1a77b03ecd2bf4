// Mobiles, the player and corpses: the animation chosen for a body, the corpse pose, the ghost,
// hidden and highlight hues, the box a figure covers, and a frame that is missing.
#include "client/world/mobile_draw.h"

#include <gtest/gtest.h>

#include "client/app/client_app.h"
#include "tests/client/world/figure_fixture.h"

namespace {

using namespace demo_tiles;

constexpr int kHuman = 35000;

// Graphics of the table test's held items, by animation body.
constexpr int kHeldB = 0x3000;      // animation 611 (list B)
constexpr int kHeldPlain = 0x3001;  // animation 700
constexpr int kHeldA = 0x3002;      // animation 576 (list A)
constexpr int kHeldNone = 0x3003;   // no animation
constexpr int kTorch = 0x3004;      // animation 400, a light source
constexpr int kMount = 0x3005;

class AnimationChoiceTest : public WorldFixture {
protected:
    AnimationChoiceTest() {
        for (auto [g, anim, flags] : {std::tuple{kHeldB, 611, 0u},
                                      {kHeldPlain, 700, 0u},
                                      {kHeldA, 576, 0u},
                                      {kHeldNone, 0, 0u},
                                      {kTorch, 400, u32(kClientTileLightSource)},
                                      {kMount, 700, 0u}}) {
            StaticTileRecord t;
            t.animation = u16(anim);
            t.flags = flags;
            statics[g] = t;
        }
        LoadTiles();
    }
};

TEST_F(AnimationChoiceTest, ByBodyStateAndHeldItems) {
    struct Case {
        const char* what;
        int body;
        bool standing, war, running;
        int held1, held2;  // graphics in layers 1 and 2 (0: none)
        bool mounted;
        int explicitFrame, explicitAction, counter;
        int facing;
        int id, frame;
    } cases[] = {
        {"war stance", 400, true, true, false, kHeldPlain, 0, false, -1, 0, 0, 3, kHuman + 35, 0},
        {"war stance, list B in layer 1", 400, true, true, false, kHeldB, 0, false, -1, 0, 0, 3,
         kHuman + 40, 0},
        {"war stance, list B in layer 2", 400, true, true, false, 0, kHeldB, false, -1, 0, 0, 3,
         kHuman + 40, 0},
        {"a ghost is never at war", 402, true, true, false, kHeldB, 0, false, -1, 0, 0, 3,
         kHuman + 2 * 175 + 20, 0},
        {"standing", 400, true, false, false, 0, 0, false, -1, 0, 7, 3, kHuman + 20, 0},
        {"standing with a torch", 400, true, false, false, 0, kTorch, false, -1, 0, 23, 3,
         kHuman + 0, 5},
        {"walking at war: counter 23 of 10 frames", 400, false, true, false, 0, 0, false, -1, 0, 23,
         3, kHuman + 75, 5},
        {"walking, layer 2 not in list A", 400, false, false, false, 0, kHeldNone, false, -1, 0, 4,
         3, kHuman + 5, 4},
        {"walking, layer 2 in list A", 400, false, false, false, 0, kHeldA, false, -1, 0, 4, 3,
         kHuman + 0, 4},
        {"running, layer 2 not in list A", 400, false, false, true, 0, kHeldNone, false, -1, 0, 4,
         3, kHuman + 15, 4},
        {"riding, standing", 400, true, false, false, 0, 0, true, -1, 0, 9, 3, kHuman + 125, 0},
        {"riding, running", 400, false, false, true, 0, 0, true, -1, 0, 23, 3, kHuman + 120, 3},
        {"body 574 standing", 574, true, false, false, 0, 0, false, -1, 0, 23, 3,
         kHuman + 174 * 175, 5},
        {"explicit action 40 becomes action 0, frame 0", 400, true, false, false, 0, 0, false, 4,
         40, 0, 3, kHuman + 0, 0},
        {"explicit death action 150", 400, true, false, false, 0, 0, false, 3, 150, 0, 3,
         kHuman + 110, 3},
        {"a running creature of the runner list", 6, false, false, true, 0, 0, false, -1, 0, 2, 3,
         6 * 110 + 95, 2},
        {"a running creature off it", 7, false, false, true, 0, 0, false, -1, 0, 2, 3, 7 * 110, 2},
        {"body 13 standing", 13, true, false, false, 0, 0, false, -1, 0, 23, 3, 13 * 110 + 40, 3},
        {"a creature standing", 100, true, false, false, 0, 0, false, -1, 0, 23, 3, 100 * 110 + 5,
         0},
        {"150-199 running", 160, false, false, true, 0, 0, false, -1, 0, 0, 3, 160 * 110 + 5, 0},
        {"200-399 standing", 225, true, false, false, 0, 0, false, -1, 0, 0, 3,
         22000 + 25 * 65 + 10, 0},
        {"200-399 walking: 5 frames", 225, false, false, false, 0, 0, false, -1, 0, 23, 3,
         22000 + 25 * 65, 3},
        {"facing 0: stored 3", 400, true, false, false, 0, 0, false, -1, 0, 0, 0, kHuman + 23, 0},
        {"facing 1: stored 2", 400, true, false, false, 0, 0, false, -1, 0, 0, 1, kHuman + 22, 0},
        {"facing 7: stored 4", 400, true, false, false, 0, 0, false, -1, 0, 0, 7, kHuman + 24, 0},
    };
    u32 serial = 0x40000100;
    for (const Case& c : cases) {
        CClientMobile m(0x10, c.body, 0);
        m.idle = c.standing;
        m.warMode = c.war;
        std::vector<CClientItem*> held;
        auto hold = [&](int graphic, int layer) {
            if (graphic == 0) return;
            CClientItem* item = CClientItem::Allocate(serial++, graphic, 0);
            item->EquipOn(&m, layer);
            held.push_back(item);
        };
        hold(c.held1, 1);
        hold(c.held2, 2);
        if (c.mounted) hold(kMount, kMountLayer);
        int id = -1, frame = -1;
        GetAnimationId(c.body, c.facing, c.counter, c.explicitFrame, c.explicitAction, c.running,
                       &m, id, frame);
        EXPECT_EQ(id, c.id) << c.what;
        EXPECT_EQ(frame, c.frame) << c.what;
        for (CClientItem*& slot : m.layers)
            slot = nullptr;
        for (CClientItem* item : held)
            item->Destroy();
    }
}

TEST(CorpseAnimationTest, DeathPoseByBodyAndSecondFall) {
    struct Case {
        int body, direction, id, frame;
    } cases[] = {
        {400, 0x83, kHuman + 5 * 22 + 0, 5},  // 0x80: the second death action
        {400, 0x03, kHuman + 5 * 21 + 0, 5},      {401, 0x07, kHuman + 175 + 5 * 21 + 4, 5},
        {100, 0x80, 100 * 110 + 15 + 3, 3},       {100, 0x00, 100 * 110 + 10 + 3, 3},
        {160, 0x85, 160 * 110 + 40 + 2, 5},       {250, 0x84, 22000 + 50 * 65 + 60 + 1, 5},
        {250, 0x04, 22000 + 50 * 65 + 40 + 1, 5},
    };
    for (const Case& c : cases) {
        int id = 0, frame = 0;
        GetCorpseAnimationId(c.body, c.direction, id, frame);
        EXPECT_EQ(id, c.id) << c.body << " " << std::hex << c.direction;
        EXPECT_EQ(frame, c.frame) << c.body;
    }
}

TEST(EquipmentLayerTest, CoveredLayersAndHair) {
    CClientItem* layers[kLayerSlots] = {};
    CClientItem robe, bald;
    bald.graphic = 8270;
    for (int layer : {3, 4, 11, 13, 19})
        EXPECT_FALSE(IsEquipmentLayerHidden(layer, layers)) << layer;
    layers[24] = &robe;
    EXPECT_TRUE(IsEquipmentLayerHidden(3, layers));
    EXPECT_TRUE(IsEquipmentLayerHidden(4, layers));
    EXPECT_FALSE(IsEquipmentLayerHidden(13, layers));
    layers[22] = &robe;
    EXPECT_TRUE(IsEquipmentLayerHidden(13, layers));
    EXPECT_TRUE(IsEquipmentLayerHidden(19, layers));
    EXPECT_FALSE(IsEquipmentLayerHidden(11, layers));
    layers[22] = &bald;
    EXPECT_TRUE(IsEquipmentLayerHidden(11, layers));
}

class MobileDrawTest : public FigureFixture {
protected:
    void SetUp() override {
        FigureFixture::SetUp();
        // The view's corner on the figures at (40, 40).
        ScrollTo(kViewColumnConstant * 22, 80 * 22, 320, 240);
    }
    // Every pixel that differs from the background lies inside the figure's box.
    void ExpectPaintInsideBox(const CDisplayObject& o) {
        int painted = 0;
        for (int y = 0; y < kBackBufferHeight; ++y)
            for (int x = 0; x < kBackBufferWidth; ++x) {
                if (screen[size_t(y * kBackBufferWidth + x)] == kBackground) continue;
                ++painted;
                const int sx = x + ViewScrollX, sy = y + ViewScrollY;
                EXPECT_TRUE(o.box.left <= sx && sx < o.box.right && o.box.top <= sy &&
                            sy < o.box.bottom)
                    << x << "," << y;
                if (HasFailure()) return;
            }
        EXPECT_GT(painted, 0);
    }
};

TEST_F(MobileDrawTest, AGhostIsDrawnWithTheLivingBodysFrames) {
    CClientMobile* living = NewMobile(0x20, 400, 40, 40, 4);
    const std::vector<u16> alive = DrawAlone(*living);
    living->Destroy();
    CClientMobile* ghost = NewMobile(0x21, 402, 40, 40, 4);
    EXPECT_EQ(DrawAlone(*ghost), alive);
    ExpectPaintInsideBox(*ghost);
}

TEST_F(MobileDrawTest, WhileThePlayerIsAGhostOthersAreSeenInGrey) {
    CClientMobile* m = NewMobile(0x20, 400, 40, 40, 4, 1002);
    Wear(m, 0x40000020, kTunic, 33);
    Wear(m, 0x40000021, kLongHair, 1102);
    const std::vector<u16> coloured = DrawAlone(*m);
    // The same figure painted all in the ghost's grey, as a living player sees it.
    m->hue = kGhostHue;
    m->layers[13]->hue = m->layers[11]->hue = kGhostHue;
    const std::vector<u16> grey = DrawAlone(*m);
    ASSERT_NE(grey, coloured);
    m->hue = 1002;
    m->layers[13]->hue = 33;
    m->layers[11]->hue = 1102;
    CClientPlayer* player = MakePlayer(1, 402);
    player->PlaceInWorld(ClientLocation{43, 37, 0});  // on screen, right of the mobile
    EXPECT_EQ(DrawAlone(*m), grey);
    // The player himself keeps his own hues as a ghost.
    player->hue = 1002;
    const std::vector<u16> ownHue = DrawAlone(*player);
    EXPECT_NE(ownHue, std::vector<u16>(screen.size(), kBackground));
    player->hue = kGhostHue;
    EXPECT_NE(DrawAlone(*player), ownHue);
}

TEST_F(MobileDrawTest, CorpsesLieInTheDeathPoseOfTheirDirection) {
    for (u8 direction : {u8(0x03), u8(0x83), u8(0x06), u8(0x81)}) {
        CClientCorpse* c = NewCorpse(0x40000030, 400, 40, 40, direction, 1002);
        const std::vector<u16> drawn = DrawAlone(*c);
        ExpectPaintInsideBox(*c);
        // The pose painted by hand: action 22 with 0x80, else 21; frame 5; facings 0-2
        // mirrored.
        int id = 0, index = 0;
        GetCorpseAnimationId(400, direction, id, index);
        EXPECT_EQ(id, kHuman + 5 * ((direction & 0x80) ? 22 : 21) + StoredDirection(direction & 7));
        AnimFrame frame;
        ASSERT_TRUE(LoadAnimFrame(id, index, frame));
        ClearScreen();
        DrawAnimationFrame(ScreenTarget(), IsMirroredFacing(direction & 7), 1002,
                           c->columnKey * 22 + 1 - ViewScrollX, c->rowKey * 22 + 20 - ViewScrollY,
                           ClipRect{0, 0, kBackBufferWidth, c->bandStart - ViewScrollY}, frame);
        EXPECT_EQ(drawn, screen) << std::hex << int(direction);
        c->Destroy();
    }
}

TEST_F(MobileDrawTest, ACorpseWaitsForItsMobilesDeathAndShowsWhatItHolds) {
    MakePlayer(1, 400)->PlaceInWorld(ClientLocation{50, 50, 0});
    CClientMobile* m = NewMobile(0x40, 400, 40, 40, 3);
    CClientCorpse* c = NewCorpse(0x40000040, 400, 40, 40, 3);
    const std::vector<u16> bare = DrawAlone(*c);
    CorpseWears(c, 0x40000041, kTunic, 33);
    const std::vector<u16> dressed = DrawAlone(*c);
    EXPECT_NE(dressed, bare);
    ExpectPaintInsideBox(*c);
    m->Die(c->serial, 0);
    EXPECT_EQ(DrawAlone(*c), std::vector<u16>(screen.size(), kBackground));
    // The dying mobile shows what its corpse holds while its own layers are empty.
    EXPECT_NE(DrawAlone(*m), std::vector<u16>(screen.size(), kBackground));
    ExpectPaintInsideBox(*m);
}

TEST_F(MobileDrawTest, TheDrawingGivesARunningActionItsFrameCount) {
    CClientMobile* m = NewMobile(0x50, 400, 40, 40, 3);
    m->StartAction(150, 5, 0, 1, false, false);  // a death of 5 frames as the table says
    DrawAlone(*m);
    EXPECT_EQ(m->action.frameCount, 6);  // the generated death has 6
}

TEST_F(MobileDrawTest, HiddenAndHighlightedMobiles) {
    CClientPlayer* player = MakePlayer(1, 400);
    player->PlaceInWorld(ClientLocation{50, 50, 0});
    CClientMobile* m = NewMobile(0x60, 400, 40, 40, 4, 1002);
    m->notoriety = 1;
    const std::vector<u16> plain = DrawAlone(*m);
    m->hue = TheHueTable().highlightHues[1];
    const std::vector<u16> inHighlight = DrawAlone(*m);
    m->hue = 1002;
    // Pointed at while the player is at war.
    figureHooks.markedMobile = m->serial;
    EXPECT_EQ(DrawAlone(*m), plain);
    player->warMode = 1;
    EXPECT_EQ(DrawAlone(*m), inHighlight);
    player->warMode = 0;
    figureHooks.markedMobile = 0;
    // Hidden: nothing, and a point box, unless the player's body is 987.
    m->RemoveFromCell();
    m->statusFlags = 0x80;
    m->PlaceInCell();
    EXPECT_EQ(m->box.left, m->box.right);
    EXPECT_EQ(DrawAlone(*m), std::vector<u16>(screen.size(), kBackground));
    player->graphic = 987;
    m->RemoveFromCell();
    m->PlaceInCell();
    EXPECT_LT(m->box.left, m->box.right);
    m->hue = kGhostHue;
    m->statusFlags = 0;
    const std::vector<u16> grey = DrawAlone(*m);
    m->statusFlags = 0x80;
    m->hue = 1002;
    EXPECT_EQ(DrawAlone(*m), grey);
}

TEST_F(MobileDrawTest, WithoutAFrameTheBoxIsTheAnchorPointAndNothingIsPainted) {
    // No animation exists for body 300, and bodies of 1000 or more are never drawn.
    for (int body : {300, 1000}) {
        CClientMobile* m = NewMobile(0x70, body, 40, 40, 3);
        EXPECT_EQ(m->box.left, m->box.right) << body;
        EXPECT_EQ(m->box.top, m->box.bottom) << body;
        EXPECT_EQ(m->box.left, m->columnKey * 22 + 1);
        EXPECT_EQ(m->box.top, m->rowKey * 22 + 20);
        EXPECT_EQ(DrawAlone(*m), std::vector<u16>(screen.size(), kBackground)) << body;
        m->Destroy();
    }
}

TEST_F(MobileDrawTest, APlayersRunningBitDoesNotReachPastTheEightFacings) {
    // The player's direction byte may carry the running bit; the mirror table has 8 entries.
    CClientMobile* p = NewMobile(1, 400, 40, 40, 5, 1002, true);
    const std::vector<u16> facing5 = DrawAlone(*p);
    const ScreenRect box5 = p->box;
    p->RemoveFromCell();
    p->direction = 0x85;
    p->PlaceInCell();
    EXPECT_EQ(DrawAlone(*p), facing5);
    EXPECT_EQ(p->box.left, box5.left);
    EXPECT_EQ(p->box.right, box5.right);
}

TEST_F(MobileDrawTest, TheRunningClientsHooksGiveFiguresTheirDrawnBox) {
    CClientMobile* m = NewMobile(0x90, 400, 40, 40, 4);
    const ScreenRect drawn = m->box;
    WorldHooks* recording = SetWorldHooks(nullptr);  // the running client's hooks
    m->RemoveFromCell();
    m->PlaceInCell();
    EXPECT_EQ(m->box.top, drawn.top);
    EXPECT_EQ(m->box.right, drawn.right);
    SetWorldHooks(recording);
}

TEST_F(MobileDrawTest, EquippedAndMountedFiguresStayInsideTheirBoxes) {
    for (int facing = 0; facing < 8; ++facing) {
        CClientMobile* m = NewMobile(0x80, 400, 40, 40, u8(facing), 1002);
        u32 serial = 0x40000080;
        for (int g :
             {int(kTunic), int(kPants), int(kBoots), int(kLongSword), int(kLongHair), int(kBeard)})
            Wear(m, serial++, g, 40);
        Wear(m, serial++, kMountItems, 0);
        DrawAlone(*m);
        ExpectPaintInsideBox(*m);
        m->Destroy();
    }
}

}  // namespace
