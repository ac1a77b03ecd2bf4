#include "client/world/client_world.h"

#include <gtest/gtest.h>

#include "tests/client/world/world_fixture.h"

namespace {

class ClientWorldTest : public WorldFixture {};

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
    EXPECT_EQ(TheClientWorld().drag.wearer, p);
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

}  // namespace
