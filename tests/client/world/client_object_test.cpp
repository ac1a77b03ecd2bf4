#include "client/world/client_object.h"

#include <gtest/gtest.h>

#include "tests/client/world/world_fixture.h"

namespace {

class ClientObjectTest : public WorldFixture {};

TEST(ClampGraphicIdTest, KeepsHighBitsAndClampsTheId) {
    struct Case {
        u16 in, out;
    } cases[] = {
        {0x4BB8, 0x4001},  // id 3000 with bit 14
        {0x8000, 0x8000},  // id 0 keeps only bit 15
        {0x4000, 0x0000},  // id 0 drops bit 14
        {2999, 2999},     {3000, 1}, {0xC000 | 5, 0xC000 | 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampGraphicId(c.in), c.out) << c.in;
}

TEST_F(ClientObjectTest, UpdateObjectChoosesTheClassByKindAndTileFlags) {
    MakePlayer();
    SetStatic(100, kClientTileContainer);
    SetStatic(101, kClientTileMapItem);
    struct Case {
        u32 serial;
        u16 graphic;
        bool corpse, mapItem, container, mobile;
    } cases[] = {
        {0x40000001, 8198, true, false, true, false}, {0x40000002, 101, false, true, true, false},
        {0x40000003, 100, false, false, true, false}, {0x40000004, 200, false, false, false, false},
        {0x00000005, 200, false, false, true, true},
    };
    for (const Case& c : cases) {
        CClientObject* o =
            TheClientWorld().UpdateObject(c.serial, c.graphic, 0, 1, 0, 0, 0, 0, 0, 0);
        ASSERT_NE(o, nullptr) << c.serial;
        EXPECT_EQ(o->IsCorpse(), c.corpse) << c.serial;
        EXPECT_EQ(o->IsMapItem(), c.mapItem) << c.serial;
        EXPECT_EQ(o->UsesCellShift(), c.container) << c.serial;
        EXPECT_EQ(o->IsMobile(), c.mobile) << c.serial;
        EXPECT_EQ(TheClientWorld().FindBySerial(c.serial), o);
    }
}

TEST_F(ClientObjectTest, GraphicsKeepFourteenBitsAndMultisBecomeGraphicOne) {
    MakePlayer();
    CClientItem* item = CClientItem::Allocate(0x40000010, 20000, 0);
    EXPECT_EQ(item->graphic, 3616);
    item->Destroy();
    CClientObject* multi =
        TheClientWorld().UpdateObject(0x40000011, 0x4005, 0, 1, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->graphic, 1);
    EXPECT_EQ(TheClientWorld().lastMultiNumber, 5);
    EXPECT_TRUE(multi->IsMultiMember());
}

TEST_F(ClientObjectTest, AmountArtDoublingAndCheckedTileIndexes) {
    SetStatic(3000, kClientTileStackable);
    SetStatic(3821, kClientTileStackable);
    struct Case {
        int graphic, increment, amount;
        int art;
        bool doubled;
    } cases[] = {
        {3821, 0, 1, 0x4000 + 3821, false},
        {3821, 0, 5, 0x4000 + 3822, false},
        {3821, 0, 6, 0x4000 + 3823, false},
        {3000, 0, 2, 0x4000 + 3000, true},
        {3000, 0, 1, 0x4000 + 3000, false},
        // graphic + increment past the tile records: no record (flags 0), no art
        {0x3FFF, 1, 1, 0, false},
        {0, -1, 1, 0, false},
    };
    for (const Case& c : cases) {
        CClientItem* o = CClientItem::Allocate(0x40000100, c.graphic, c.increment);
        o->amount = u16(c.amount);
        EXPECT_EQ(o->GetArtId(), c.art) << c.graphic << " x" << c.amount;
        EXPECT_EQ(o->IsDoubled(), c.doubled) << c.graphic << " x" << c.amount;
        if (c.art == 0) {
            EXPECT_EQ(o->GetTileFlags(), 0u);
        }
        o->Destroy();
    }
}

TEST_F(ClientObjectTest, StatuetteArtOfMobiles) {
    CClientMobile a(7, 200, 0), b(8, 400, 0);
    EXPECT_EQ(a.GetArtId(), 24863);
    EXPECT_EQ(b.GetArtId(), 0);
}

TEST_F(ClientObjectTest, DestroyingAContainerDestroysItsContentsFirst) {
    auto* box = new CClientContainer(0x40000200, 3000, 0, true);
    CClientItem* a = CClientItem::Allocate(0x40000201, 10, 0);
    auto* inner = new CClientContainer(0x40000202, 11, 0, true);
    CClientItem* deep = CClientItem::Allocate(0x40000203, 12, 0);
    a->AddToContainer(box, ClientLocation{1, 1, 0});
    inner->AddToContainer(box, ClientLocation{2, 2, 0});
    deep->AddToContainer(inner, ClientLocation{3, 3, 0});
    const int live = ItemsPoolCounts().live;
    box->Destroy();
    EXPECT_EQ(ItemsPoolCounts().live, live - 2);
    for (u32 s = 0x40000200; s <= 0x40000203; ++s) {
        EXPECT_EQ(TheClientWorld().FindBySerial(s), nullptr) << s;
    }
}

TEST_F(ClientObjectTest, PooledItemsComeBackAsTheSameObjectWithOldFields) {
    CClientItem* a = CClientItem::Allocate(0x40000300, 10, 0);
    a->amount = 7;
    a->hue = 33;
    a->MarkMultiMember();
    a->Destroy();
    CClientItem* b = CClientItem::Allocate(0x40000301, 11, 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(b->amount, 7);
    EXPECT_EQ(b->hue, 33);
    EXPECT_FALSE(b->IsMultiMember());  // a stale mark would keep it out of range for ever
    EXPECT_EQ(b->serial, 0x40000301u);
    EXPECT_EQ(TheClientWorld().FindBySerial(0x40000301), b);
    b->Destroy();
}

TEST_F(ClientObjectTest, StaticsPoolGrowsByBlocksOf512) {
    std::vector<CClientObject*> taken;
    const int allocated = StaticsPoolCounts().allocated;
    const int live = StaticsPoolCounts().live;
    // Use up whatever is free, then count the blocks that new allocations build.
    const int freeBefore = allocated - live;
    for (int i = 0; i < freeBefore + 513; ++i)
        taken.push_back(CClientObject::AllocateStatic(5));
    EXPECT_EQ(StaticsPoolCounts().allocated, allocated + 1024);
    EXPECT_EQ(StaticsPoolCounts().live, live + freeBefore + 513);
    for (CClientObject* o : taken)
        o->Destroy();
    EXPECT_EQ(StaticsPoolCounts().live, live);
    EXPECT_EQ(CClientObject::AllocateStatic(5), taken.back());  // last freed, first out
    taken.back()->Destroy();
}

TEST_F(ClientObjectTest, ContainerOrders) {
    struct Case {
        int containerGraphic;
        std::vector<int> keys;  // x, y or amount of the present contents, in list order
        int newKey;
        size_t position;
    } cases[] = {
        {11000, {10, 20, 20, 30}, 20, 1},  // ascending x, before the first >= its x
        {4006, {30, 20, 10}, 20, 1},       // descending y, before the first <= its y
        {3834, {1, 5, 9}, 5, 1},           // spellbook: ascending amount
        {3000, {1, 2, 3}, 9, 0},           // any other container: at the front
    };
    u32 serial = 0x40000400;
    for (const Case& c : cases) {
        auto* box = new CClientContainer(serial++, c.containerGraphic, 0, true);
        auto place = [&](int key) {
            CClientItem* o = CClientItem::Allocate(serial++, 10, 0);
            ClientLocation at{0, 0, 0};
            if (c.containerGraphic == 11000) at.x = s16(key);
            if (c.containerGraphic == 4006) at.y = s16(key);
            o->amount = u16(key);
            o->AddToContainer(box, at);
            return o;
        };
        for (auto it = c.keys.rbegin(); it != c.keys.rend(); ++it) {
            // Fill in reverse for the front-inserting kind so the list reads as given.
            if (c.containerGraphic == 3000) place(*it);
        }
        if (c.containerGraphic != 3000) {
            for (int k : c.keys)
                place(k);
        }
        CClientItem* added = place(c.newKey);
        size_t index = 0;
        for (CClientObject* o = box->contents; o && o != added; o = o->allNext)
            ++index;
        EXPECT_EQ(index, c.position) << c.containerGraphic;
        box->Destroy();
    }
}

TEST_F(ClientObjectTest, EquippingOnLayerZeroLeavesLightsAndPaperdollsAlone) {
    SetStatic(20, kClientTileLightSource);
    CClientMobile m(9, 400, 0);
    CClientItem* lamp = CClientItem::Allocate(0x40000500, 20, 0);
    lamp->EquipOn(&m, 0);
    EXPECT_EQ(m.layers[0], lamp);
    EXPECT_FALSE(lamp->inLightList);
    EXPECT_TRUE(hooks.calls.empty());
    CClientItem* torch = CClientItem::Allocate(0x40000501, 20, 0);
    torch->EquipOn(&m, 1);
    EXPECT_TRUE(torch->inLightList);
    EXPECT_EQ(hooks.calls.back(), "RedrawPaperdoll 00000009");
    EXPECT_TRUE(torch->IsEquipped());
}

TEST_F(ClientObjectTest, TileBlockUpdatesRebuildTheLightAndAnimatedLists) {
    MakePlayer();
    TheClientTileData().SetListener(&TheWorldTileListener());
    CClientObject* lamp = CClientObject::AllocateStatic(60);
    lamp->PlaceInWorld(ClientLocation{3, 3, 0});
    CClientObject* wheel = CClientObject::AllocateStatic(61);
    wheel->PlaceInWorld(ClientLocation{4, 3, 0});
    EXPECT_FALSE(lamp->inLightList);
    // Static block 1 holds graphics 32-63: flag 60 a light source, 61 animated.
    std::vector<u8> block(kStaticBlockBytes);
    StaticTileRecord light, turning;
    light.flags = kClientTileLightSource;
    turning.flags = kClientTileAnimated;
    WriteStaticTileRecord(light, &block[4 + (60 - 32) * kStaticRecordSize]);
    WriteStaticTileRecord(turning, &block[4 + (61 - 32) * kStaticRecordSize]);
    TheClientTileData().UpdateStaticTileBlock(512 + 1, block.data(), block.size());
    EXPECT_TRUE(lamp->inLightList);
    EXPECT_EQ(TheClientWorld().animHead, wheel);
    std::fill(block.begin(), block.end(), u8(0));
    TheClientTileData().UpdateStaticTileBlock(512 + 1, block.data(), block.size());
    EXPECT_FALSE(lamp->inLightList);
    EXPECT_EQ(TheClientWorld().animHead, nullptr);
    TheClientTileData().SetListener(nullptr);
}

TEST_F(ClientObjectTest, AtMostThreeBarksAndSavedBarksComeBackThenAge) {
    MakePlayer();
    CClientObject* o = TheClientWorld().UpdateObject(0x40000600, 10, 0, 1, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(o, nullptr);
    for (const char* t : {"one", "two", "three", "four"})
        o->AddBark(t, 0, 3, 0);
    EXPECT_EQ(o->BarkCount(), 3);
    EXPECT_EQ(o->firstBark->text, "four");
    EXPECT_EQ(o->firstBark->older->older->text, "two");
    const u32 created = o->firstBark->created;

    TheClientWorld().SaveBarks(*o);
    o->Destroy();
    CClientObject* again = TheClientWorld().UpdateObject(0x40000600, 10, 0, 1, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->BarkCount(), 3);
    EXPECT_EQ(again->firstBark->text, "four");
    EXPECT_EQ(again->firstBark->created, created);
    EXPECT_TRUE(TheClientWorld().savedBarks.empty());

    TheClientWorld().SaveBarks(*again);
    for (int i = 0; i < 4; ++i)
        TheClientWorld().AgeSavedBarks();
    EXPECT_EQ(TheClientWorld().savedBarks.size(), 3u);
    TheClientWorld().AgeSavedBarks();
    EXPECT_TRUE(TheClientWorld().savedBarks.empty());
}

// A Unicode speech comes back as one, with its text and language, when its object is sent
// again.
TEST_F(ClientObjectTest, ASavedUnicodeSpeechComesBackUnicode) {
    MakePlayer();
    CClientObject* o = TheClientWorld().UpdateObject(0x40000600, 10, 0, 1, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(o, nullptr);
    o->AddBark("plain", 0, 3, 0);
    o->AddUnicodeBark(u"zdravo \u0416", 0, 0, 7);
    TheClientWorld().SaveBarks(*o);
    o->Destroy();
    CClientObject* again = TheClientWorld().UpdateObject(0x40000600, 10, 0, 1, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->BarkCount(), 2);
    const OverheadText* newest = again->firstBark;
    EXPECT_TRUE(newest->unicode);
    EXPECT_EQ(newest->wideText, u"zdravo \u0416");
    EXPECT_EQ(newest->language, 7u);
    EXPECT_FALSE(newest->older->unicode);
    EXPECT_EQ(newest->older->text, "plain");
}

TEST_F(ClientObjectTest, TileNamesChooseByNumberAndReadOnlyTheNameField) {
    SetStatic(30, 0x4000, 0, "loa%ves/f%");
    SetStatic(31, 0x8000, 0, "apple%s%");
    // A name that fills all 20 bytes with no terminator.
    SetStatic(32, 0xC000, 0, "abcdefghijklmnopqrst");
    struct Case {
        int graphic;
        bool plural;
        const char* name;
    } cases[] = {
        {30, false, "a loaf"},
        {30, true, "loaves"},
        {31, false, "an apple"},
        {31, true, "apples"},
        {32, false, "the abcdefghijklmnopqrst"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetTileName(c.graphic, c.plural), c.name);
}

TEST_F(ClientObjectTest, EditPinsKeepsTheCountAndRefusesIndexesOutOfRange) {
    CClientMapItem map(0x40000700, 10, 0, true);
    EXPECT_TRUE(map.EditPins(2, 0, 5, 6));  // insert at the front of an empty list
    EXPECT_TRUE(map.EditPins(1, 0, 7, 8));
    EXPECT_TRUE(map.EditPins(2, 1, 9, 9));
    ASSERT_EQ(map.pinCount, 3);
    EXPECT_EQ(map.firstPin->next->loc.x, 9);
    struct Case {
        int op, index;
    } refused[] = {{2, 4}, {3, 3}, {4, 3}, {3, 255}, {4, -1}};
    for (const Case& c : refused) {
        EXPECT_FALSE(map.EditPins(c.op, c.index, 0, 0)) << c.op << " " << c.index;
        EXPECT_EQ(map.pinCount, 3);
    }
    EXPECT_TRUE(map.EditPins(3, 2, 1, 2));
    EXPECT_TRUE(map.EditPins(4, 0, 0, 0));
    EXPECT_EQ(map.pinCount, 2);
    EXPECT_EQ(map.firstPin->next->loc.x, 1);
    EXPECT_TRUE(map.EditPins(5, 0, 0, 0));
    EXPECT_EQ(map.pinCount, 0);
    EXPECT_EQ(map.firstPin, nullptr);
}

}  // namespace
