#include "client/world/client_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "client/world/world_request_link.h"
#include "tests/client/world/world_fixture.h"

namespace {

// The requests the world sends, as "use SERIAL" and "status TYPE SERIAL".
class RecordingWorldLink : public WorldRequestLink {
public:
    void SendUseObject(u32 serial) override { sent.push_back("use " + std::to_string(serial)); }
    void SendStatusRequest(u8 type, u32 serial) override {
        sent.push_back("status " + std::to_string(type) + " " + std::to_string(serial));
    }
    std::vector<std::string> sent;
};

class ClientWorldTest : public WorldFixture {
protected:
    ClientWorldTest() { SetRunningWorldRequestLink(&link); }
    ~ClientWorldTest() override { SetRunningWorldRequestLink(nullptr); }
    RecordingWorldLink link;
};

TEST_F(ClientWorldTest, MobileUpdatesQueueStepsAndAFifthJumps) {
    PlayerInStillWorld();
    CClientWorld& w = TheClientWorld();
    auto* m = static_cast<CClientMobile*>(w.UpdateObject(0x10, 400, 0, 0, 12, 10, 0, 2, 0, 0));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->queuedSteps, 0);  // the state it was made with
    w.UpdateObject(0x10, 400, 0, 0, 13, 10, 0, 2, 0, 0);
    w.UpdateObject(0x10, 400, 0, 0, 13, 10, 0, 2, 0, 0);  // the same as the last queued
    EXPECT_EQ(m->queuedSteps, 1);
    w.UpdateObject(0x10, 400, 0, 0, 13, 10, 0, 0x82, 0, 0);  // running: a new step
    w.UpdateObject(0x10, 400, 0, 0, 14, 10, 0, 0x82, 0, 0);
    w.UpdateObject(0x10, 400, 0, 0, 15, 10, 0, 0x82, 0, 0);
    EXPECT_EQ(m->queuedSteps, 4);
    w.UpdateObject(0x10, 401, 0, 0, 16, 11, 0, 0x83, 3000, 0);
    EXPECT_EQ(m->queuedSteps, 0);
    EXPECT_EQ(m->loc.x, 16);
    EXPECT_EQ(m->loc.y, 11);
    EXPECT_EQ(m->direction, 3);
    EXPECT_EQ(m->graphic, 401);
    EXPECT_EQ(m->hue, 1);
    EXPECT_EQ(m->stepProgress, 1);
    EXPECT_TRUE(m->inCell);
}

TEST_F(ClientWorldTest, PickingUpAskForTheAmountOfAStackOrTakesIt) {
    PlayerInStillWorld();
    SetStatic(70, kClientTileStackable);
    CClientWorld& w = TheClientWorld();
    struct Case {
        u16 stack, asked;
        bool taken;
        u16 amount;
    } cases[] = {{10, 0, false, 0}, {10, 3, true, 3}, {1, 0, true, 1}};
    for (const Case& c : cases) {
        hooks.calls.clear();
        CClientObject* o = w.UpdateObject(0x40000070, 70, 0, c.stack, 11, 10, 0, 0, 0, 0);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(w.PickUpObject(o, c.asked), c.taken) << c.stack << " " << c.asked;
        if (c.taken) {
            EXPECT_EQ(w.pickedAmount, c.amount);
            EXPECT_EQ(w.drag.serial, 0x40000070u);
            EXPECT_EQ(w.dragging, 1);
            EXPECT_EQ(w.FindBySerial(0x40000070), nullptr);
        } else {
            ASSERT_FALSE(hooks.calls.empty());
            EXPECT_EQ(hooks.calls.back(), "OpenAmountGump 40000070");
            w.FindBySerial(0x40000070)->Destroy();
        }
        w.dragging = 0;
    }
    // Out of reach: nothing happens.
    CClientObject* far = w.UpdateObject(0x40000071, 70, 0, 1, 15, 10, 0, 0, 0, 0);
    ASSERT_NE(far, nullptr);
    EXPECT_FALSE(w.PickUpObject(far, 0));
    EXPECT_EQ(w.FindBySerial(0x40000071), far);
}

TEST_F(ClientWorldTest, PickingUpAWornItemRemembersTheWearersLayer) {
    CClientPlayer* p = PlayerInStillWorld();
    CClientItem* hat = CClientItem::Allocate(0x40000080, 10, 0);
    hat->EquipOn(p, 6);
    EXPECT_TRUE(TheClientWorld().PickUpObject(hat, 0));
    EXPECT_EQ(TheClientWorld().drag.wearerSerial, p->serial);
    EXPECT_EQ(TheClientWorld().drag.layer, 6);
    EXPECT_EQ(p->layers[6], nullptr);
}

TEST_F(ClientWorldTest, ThePlayersPersonalLightCountsWhileInTheWorld) {
    CClientPlayer* p = MakePlayer();
    CClientWorld& w = TheClientWorld();
    p->SetLightLevel(5);  // detached: stored only
    EXPECT_EQ(w.globalLight, 0);
    p->PlaceInWorld(ClientLocation{10, 10, 0});
    EXPECT_EQ(w.globalLight, 5);
    p->SetLightLevel(8);
    EXPECT_EQ(w.globalLight, 8);
    p->RemoveFromWorld();
    EXPECT_EQ(w.globalLight, 0);
    CClientMobile other(0x20, 400, 0);
    other.SetLightLevel(4);  // only the player has a personal light
    EXPECT_EQ(other.lightLevel, 0);
}

TEST_F(ClientWorldTest, HiddenStatusClosesAMobilesGumpsAndWarModeSkipsGhosts) {
    struct Case {
        int body;
        u8 flags;
        int war;
    } cases[] = {{400, 0x40, 1}, {402, 0x40, 0}, {400, 0x00, 0}};
    for (const Case& c : cases) {
        CClientMobile m(0x30, c.body, 0);
        m.SetStatusFlags(c.flags);
        EXPECT_EQ(m.warMode, c.war) << c.body;
    }
    CClientMobile m(0x31, 400, 0);
    hooks.calls.clear();
    m.SetStatusFlags(0x80);
    m.SetStatusFlags(0x80);
    EXPECT_EQ(std::count(hooks.calls.begin(), hooks.calls.end(), "DeleteGumpsOf 00000031"), 1);
}

TEST_F(ClientWorldTest, ClearEmptiesTheWorldButKeepsThePlayerObject) {
    CClientPlayer* p = PlayerInStillWorld();
    CClientItem* cloak = CClientItem::Allocate(0x40000090, 10, 0);
    cloak->EquipOn(p, 20);
    CClientWorld& w = TheClientWorld();
    w.UpdateObject(0x40, 400, 0, 0, 12, 10, 0, 0, 0, 0);
    w.UpdateObject(0x40000091, 10, 0, 1, 11, 10, 0, 0, 0, 0);
    CClientObject::AllocateStatic(5)->PlaceInWorld(ClientLocation{9, 9, 0});
    w.Clear();
    EXPECT_EQ(ThePlayer(), p);
    EXPECT_TRUE(p->detached);
    EXPECT_EQ(p->layers[20], nullptr);
    EXPECT_EQ(w.allHead, nullptr);
    EXPECT_EQ(w.mobileCount, 1);
    EXPECT_EQ(w.FindBySerial(0x40000091), nullptr);
}

// Graphics of the fixture's tile data for the client-world operations.
constexpr int kChestGraphic = 3645, kMapGraphic = 5355, kCoinGraphic = 3821, kLogGraphic = 7133;

TEST_F(ClientWorldTest, ContainedObjectsGoIntoContainersCorpsesAndMobilesOnly) {
    CClientPlayer* p = PlayerInStillWorld();
    SetStatic(kChestGraphic, kClientTileContainer);
    CClientWorld& w = TheClientWorld();
    auto* chest = w.UpdateObject(0x40000200, kChestGraphic, 0, 1, 11, 10, 0, 0, 0, 0);
    auto* stone = w.UpdateObject(0x40000201, 5, 0, 1, 12, 10, 0, 0, 0, 0);
    auto* mobile = w.UpdateObject(0x300, 400, 0, 0, 12, 11, 0, 0, 0, 0);
    ASSERT_NE(chest, nullptr);
    ASSERT_NE(stone, nullptr);
    ASSERT_NE(mobile, nullptr);
    struct Case {
        u32 serial, container;
        const CClientObject* holder;  // null: nothing is made
    } const cases[] = {
        {0x40000210, 0x40000200, chest},   {0x40000211, 1, p},
        {0x40000212, 0x300, mobile},       {0x40000213, 0x40000201, nullptr},
        {0x40000214, 0x40000299, nullptr}, {0x310, 0x40000200, chest},
    };
    for (const Case& c : cases) {
        CClientObject* o = w.AddContainedObject(c.serial, 70, 0, 7, 44, 55, c.container, 3000);
        if (c.holder == nullptr) {
            EXPECT_EQ(o, nullptr) << std::hex << c.serial;
            EXPECT_EQ(w.FindBySerial(c.serial), nullptr);
            continue;
        }
        ASSERT_NE(o, nullptr) << std::hex << c.serial;
        auto* item = static_cast<CClientItem*>(o);
        EXPECT_EQ(item->holder, c.holder) << std::hex << c.serial;
        EXPECT_EQ(item->loc, (ClientLocation{44, 55, 0}));
        EXPECT_EQ(item->amount, 7);
        EXPECT_EQ(item->hue, 1) << "hue clamped";
        EXPECT_EQ(o->IsMobile(), (c.serial & 0x40000000) == 0);
        EXPECT_EQ(w.FindBySerial(c.serial), o);
    }
}

TEST_F(ClientWorldTest, AContainedObjectReplacesItsSerialsOldObjectButNeverItsOwnHolder) {
    CClientPlayer* p = PlayerInStillWorld();
    SetStatic(kChestGraphic, kClientTileContainer);
    CClientWorld& w = TheClientWorld();
    CClientObject* chest = w.UpdateObject(0x40000200, kChestGraphic, 0, 1, 11, 10, 0, 0, 0, 0);
    CClientObject* box =
        w.AddContainedObject(0x40000202, kChestGraphic, 0, 1, 1, 1, 0x40000200, 0);
    ASSERT_NE(box, nullptr);
    // Lying in the world before, the object moves into the chest as a new object.
    w.UpdateObject(0x40000203, 5, 0, 1, 12, 10, 0, 0, 0, 0);
    CClientObject* moved = w.AddContainedObject(0x40000203, 5, 0, 1, 2, 3, 0x40000200, 0);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(static_cast<CClientItem*>(moved)->holder, chest);
    EXPECT_FALSE(moved->inCell);
    // The chest into itself, the chest into the box it holds, the player into anything: each
    // would destroy the holder it is to go into.
    const std::pair<u32, u32> refused[] = {
        {0x40000200, 0x40000200}, {0x40000200, 0x40000202}, {1, 0x40000200}};
    for (const auto& [serial, container] : refused) {
        EXPECT_EQ(w.AddContainedObject(serial, 5, 0, 1, 0, 0, container, 0), nullptr)
            << std::hex << serial << " into " << container;
    }
    EXPECT_EQ(w.FindBySerial(0x40000200), chest);
    EXPECT_EQ(w.FindBySerial(0x40000202), box);
    EXPECT_EQ(ThePlayer(), p);
}

TEST_F(ClientWorldTest, UsingAnObjectSendsItsUseOrStartsItsCommand) {
    PlayerInStillWorld();
    SetStatic(kMapGraphic, kClientTileMapItem);
    CClientWorld& w = TheClientWorld();
    struct Case {
        u16 graphic;
        u32 openCourse;  // the map item whose course gump is open
        bool sent;
        const char* call;  // the hook asked, or null
    } const cases[] = {
        {3826, 0, true, nullptr},
        {3831, 0, false, "BeginScrollCommand 40000300 2"},
        {3829, 0, false, "BeginScrollCommand 40000300 0"},
        {3827, 0, false, "BeginScrollCommand 40000300 1"},
        {899, 0, false, "BeginScrollCommand 40000300 2"},
        {kMapGraphic, 0, true, "RaiseCourseGump 40000300"},
        {kMapGraphic, 0x40000300, false, "RaiseCourseGump 40000300"},
    };
    for (const Case& c : cases) {
        link.sent.clear();
        hooks.calls.clear();
        hooks.openCourseGump = c.openCourse;
        w.lastUsedObject = 0;
        CClientObject* o = w.UpdateObject(0x40000300, c.graphic, 0, 1, 11, 10, 0, 0, 0, 0);
        ASSERT_NE(o, nullptr);
        w.UseObject(o);
        EXPECT_EQ(link.sent, c.sent ? std::vector<std::string>{"use 1073742592"}
                                    : std::vector<std::string>{})
            << c.graphic;
        EXPECT_EQ(std::count(hooks.calls.begin(), hooks.calls.end(), c.call ? c.call : ""),
                  c.call ? 1 : 0)
            << c.graphic;
        EXPECT_EQ(w.lastUsedObject, 0x40000300u);
        o->Destroy();
    }
    // A map static is nobody's to use.
    link.sent.clear();
    CClientObject* statik = CClientObject::AllocateStatic(5);
    statik->PlaceInWorld(ClientLocation{11, 11, 0});
    w.lastUsedObject = 0;
    w.UseObject(statik);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(w.lastUsedObject, 0u);
}

TEST_F(ClientWorldTest, ASingleClickLabelsAMapStaticWithItsAmountAndName) {
    PlayerInStillWorld();
    SetStatic(kLogGraphic, kClientTileStackable | 0x4000, 1, "log%s%");
    CClientWorld& w = TheClientWorld();
    struct Case {
        u16 amount;
        const char* label;
    } const cases[] = {{5, "5 logs"}, {1, "a log"}, {0, "a log"}};
    for (const Case& c : cases) {
        CClientObject* o = CClientObject::AllocateStatic(kLogGraphic);
        o->amount = c.amount;
        o->PlaceInWorld(ClientLocation{11, 10, 0});
        w.ShowObjectName(o);
        ASSERT_NE(o->firstBark, nullptr) << c.amount;
        EXPECT_EQ(o->firstBark->text, c.label);
        EXPECT_EQ(o->firstBark->hue, 946);
        EXPECT_EQ(o->firstBark->font, 3);
        w.ShowObjectName(o);
        EXPECT_EQ(o->BarkCount(), 1) << "a shown label is not shown twice";
        o->Destroy();
    }
    // Server objects are named by the server, not here.
    CClientObject* item = w.UpdateObject(0x40000400, kLogGraphic, 0, 5, 11, 10, 0, 0, 0, 0);
    w.ShowObjectName(item);
    EXPECT_EQ(item->firstBark, nullptr);
}

TEST_F(ClientWorldTest, ObjectsAreFoundByPlaceHeightAndMovability) {
    PlayerInStillWorld();
    SetStatic(20, 0, 10);
    SetStatic(21, 0, 5);
    SetStatic(kChestGraphic, kClientTileContainer, 4);
    CClientWorld& w = TheClientWorld();
    CClientObject* low = CClientObject::AllocateStatic(20);
    low->PlaceInWorld(ClientLocation{11, 10, 0});
    CClientObject* high = CClientObject::AllocateStatic(21);
    high->PlaceInWorld(ClientLocation{11, 10, 10});
    struct Case {
        int x, y, z;
        const CClientObject* found;
    } const atZ[] = {{11, 10, 0, low},  {11, 10, 9, low},  {11, 10, 10, high},
                     {11, 10, 14, high}, {11, 10, 15, nullptr}, {11, 10, -1, nullptr},
                     {12, 10, 3, nullptr}};
    for (const Case& c : atZ)
        EXPECT_EQ(w.FindObjectAtZ(c.x, c.y, c.z), c.found) << c.x << "," << c.y << "," << c.z;

    EXPECT_EQ(w.FindObjectAt(11, 10, false), high) << "the newest placed";
    EXPECT_EQ(w.FindObjectAt(11, 10, true), nullptr) << "statics are no server objects";
    CClientObject* coin = w.UpdateObject(0x40000500, kCoinGraphic, 0, 1, 11, 10, 0, 0, 0, 0);
    CClientObject* chest = w.UpdateObject(0x40000501, kChestGraphic, 0, 1, 13, 10, 0, 0, 0, 0);
    // Held at (11, 10) of the chest's picture: not lying at (11, 10).
    ASSERT_NE(w.AddContainedObject(0x40000502, kCoinGraphic, 0, 1, 11, 10, 0x40000501, 0),
              nullptr);
    EXPECT_EQ(w.FindObjectAt(11, 10, true), coin);
    EXPECT_EQ(w.FindObjectAt(13, 10, true), chest);
    EXPECT_EQ(w.FindObjectAt(11, 10, false), coin);
    SetStatic(kCoinGraphic, 0, 0);
    statics[kCoinGraphic].weight = 255;  // too heavy to move
    LoadTiles();
    EXPECT_EQ(w.FindObjectAt(11, 10, true), nullptr);
}

TEST_F(ClientWorldTest, LandTilesAreNamedWithTheArticleOfTheirFlags) {
    struct Case {
        u32 flags;
        const char* name;
        const char* named;
    } const cases[] = {{0, "grass", "grass"},
                       {0x4000, "rock", "a rock"},
                       {0x8000, "open field", "an open field"},
                       {0xC000, "sea", "the sea"},
                       {0x4000, "cobblestones paving", "a cobblestones paving"}};
    for (const Case& c : cases) {
        LandTileRecord r;
        r.flags = c.flags;
        std::snprintf(r.name, sizeof r.name, "%s", c.name);
        land[0] = r;
        LoadTiles();
        // Without a map file every cell of the map shows land tile 0.
        EXPECT_EQ(TheClientWorld().GetLandTileName(10, 10), c.named);
    }
    EXPECT_EQ(TheClientWorld().GetLandTileName(-1, 5), "") << "off the map: no tile";
}

TEST_F(ClientWorldTest, AllStatusIsAskedAsTheWholeThenThirtyTwoSerials) {
    TheClientWorld().RequestAllStatus();
    ASSERT_EQ(link.sent.size(), 33u);
    EXPECT_EQ(link.sent[0], "status 3 0");
    for (u32 i = 0; i < 32; ++i)
        EXPECT_EQ(link.sent[1 + i], "status 0 " + std::to_string(i));
    SetRunningWorldRequestLink(nullptr);
    TheClientWorld().RequestAllStatus();  // no connection: nothing, and no crash
    EXPECT_EQ(link.sent.size(), 33u);
    EXPECT_TRUE(TheClientWorld().CanDropAt(10, 10));
}

}  // namespace

namespace {

// The serial lookup answers as the walk of the server list would: the newest item of a serial,
// the one before it once it goes, nothing for an item off the list, and a changed serial at
// once.
TEST_F(ClientWorldTest, SerialLookupFollowsTheServerList) {
    CClientWorld& w = TheClientWorld();
    constexpr u32 kShared = 0x40000201, kOther = 0x40000202;
    CClientItem* older = CClientItem::Allocate(kShared, 10, 0);
    CClientItem* newer = CClientItem::Allocate(kShared, 11, 0);
    CClientItem* third = CClientItem::Allocate(kShared, 12, 0);
    EXPECT_EQ(w.FindBySerial(kShared), third);
    third->SetSerial(kOther);
    EXPECT_EQ(w.FindBySerial(kShared), newer);
    EXPECT_EQ(w.FindBySerial(kOther), third);
    newer->Destroy();
    EXPECT_EQ(w.FindBySerial(kShared), older);
    older->Destroy();
    EXPECT_EQ(w.FindBySerial(kShared), nullptr);
    third->Destroy();
    EXPECT_EQ(w.FindBySerial(kOther), nullptr);
    // A container made off the list is never found; a pooled item's next life has its new
    // serial only.
    auto* loose = new CClientContainer(kShared, 3701, 0, false);
    EXPECT_EQ(w.FindBySerial(kShared), nullptr);
    delete loose;
    CClientItem* again = CClientItem::Allocate(kOther, 10, 0);
    EXPECT_EQ(w.FindBySerial(kOther), again);
    EXPECT_EQ(w.FindBySerial(0), nullptr);
    again->Destroy();
}

}  // namespace
