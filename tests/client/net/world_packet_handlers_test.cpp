#include "client/net/world_packet_handlers.h"

#include <gtest/gtest.h>

#include "client/net/client_link.h"
#include "tests/client/net/packet_bytes.h"
#include "tests/client/world/world_fixture.h"

namespace {

using Bytes = std::vector<u8>;

class WorldPacketHandlersTest : public WorldFixture {
protected:
    WorldPacketHandlersTest() : player(PlayerInStillWorld()) {}
    void Send(const Bytes& bytes) { link.Dispatcher().Dispatch(bytes.data(), bytes.size()); }
    CClientObject* Find(u32 serial) { return TheClientWorld().FindBySerial(serial); }
    // 0x78 for a mobile with the given worn items {serial, graphic, layer, hue or -1}.
    struct Worn {
        u32 serial;
        u16 graphic;
        u8 layer;
        int hue;
    };
    Bytes Incoming(u32 serial, u16 body, const std::vector<Worn>& items) {
        Packet p = Var(0x78);
        p.L(serial).W(body).W(12).W(10).B(0).B(2).W(0).B(0).B(3);
        for (const Worn& w : items) {
            p.L(w.serial).W(w.hue >= 0 ? (w.graphic | 0x8000) : w.graphic).B(w.layer);
            if (w.hue >= 0) p.W(u32(w.hue));
        }
        p.L(0);
        return p.Variable();
    }

    ClientLink link;
    CClientPlayer* player;
};

TEST_F(WorldPacketHandlersTest, ObjectInfoReadsItsOptionalFields) {
    struct Case {
        u32 serial;
        u16 graphic;
        int increment;  // -1: none sent
        int amount;     // -1: none sent
        int direction, hue, flags;
        u16 wantGraphic;
        u16 wantAmount;
    } cases[] = {
        {0x40000005, 10, -1, 3, -1, -1, -1, 10, 3},
        {0x40000006, 10, -1, -1, -1, -1, -1, 10, 1},
        {0x40000007, 10, 2, -1, 4, 3500, 0x20, 10, 1},      // hue past the table clamps to 1
        {0x40000008, 0xC000 | 5, 0, -1, -1, -1, -1, 1, 1},  // a multi: bit 14 kept
    };
    for (const Case& c : cases) {
        Packet p = Var(0x1A);
        p.L(c.amount >= 0 ? c.serial | 0x80000000u : c.serial);
        p.W(c.increment >= 0 ? (c.graphic | 0x8000) : c.graphic);
        if (c.increment >= 0) p.B(u32(c.increment));
        if (c.amount >= 0) p.W(u32(c.amount));
        p.W(c.direction >= 0 ? 12 | 0x8000 : 12);
        p.W(10 | (c.hue >= 0 ? 0x8000 : 0) | (c.flags >= 0 ? 0x4000 : 0));
        if (c.direction >= 0) p.B(u32(c.direction));
        p.B(0);
        if (c.hue >= 0) p.W(u32(c.hue));
        if (c.flags >= 0) p.B(u32(c.flags));
        Send(p.Variable());
        CClientObject* o = Find(c.serial);
        ASSERT_NE(o, nullptr) << std::hex << c.serial;
        EXPECT_EQ(o->graphic, c.wantGraphic);
        EXPECT_EQ(o->amount, c.wantAmount);
        EXPECT_EQ(o->loc.x, 12);
        EXPECT_EQ(o->loc.y, 10);
        if (c.hue >= 0) {
            EXPECT_EQ(o->hue, 1);
        }
        if (c.flags >= 0) {
            EXPECT_EQ(o->statusFlags, c.flags);
        }
        if (c.direction >= 0) {
            EXPECT_EQ(o->direction, c.direction);
        }
        if (c.increment >= 0) {
            EXPECT_EQ(o->increment, c.increment);
        }
    }
    EXPECT_TRUE(Find(0x40000008)->IsMultiMember());
}

TEST_F(WorldPacketHandlersTest, ObjectInfoAboutThePlayerAndTruncatedPacketsChangeNothing) {
    Packet own = Var(0x1A);
    own.L(1).W(500).W(40).W(40).B(0);
    Send(own.Variable());
    EXPECT_EQ(player->graphic, 400);
    EXPECT_EQ(player->loc.x, 10);
    Packet cut = Var(0x1A);
    cut.L(0x80000000u | 0x40000009).W(10);  // the amount and position are missing
    Send(cut.Variable());
    EXPECT_EQ(Find(0x40000009), nullptr);
}

TEST_F(WorldPacketHandlersTest, MobileUpdateNeverCreatesIncomingDoesWithItsItems) {
    Packet update = Fixed(0x77);
    update.L(0x20).W(400).W(12).W(10).B(0).B(2).W(0).B(0).B(3);
    Send(update.b);
    EXPECT_EQ(Find(0x20), nullptr);
    Send(Incoming(0x20, 400,
                  {{0x40000100, 0x1517, 5, 33},
                   {0x40000101, 0x1518, 6, -1},
                   {0x40000102, 0x1519, 30, -1},
                   {0x40000103, 0x151A, 200, 7}}));
    CClientObject* o = Find(0x20);
    ASSERT_NE(o, nullptr);
    ASSERT_TRUE(o->IsMobile());
    auto* m = static_cast<CClientMobile*>(o);
    EXPECT_EQ(m->notoriety, 3);
    EXPECT_TRUE(m->inCell);
    ASSERT_NE(m->layers[5], nullptr);
    EXPECT_EQ(m->layers[5]->serial, 0x40000100u);
    EXPECT_EQ(m->layers[5]->hue, 33);
    ASSERT_NE(m->layers[6], nullptr);
    EXPECT_EQ(m->layers[6]->hue, 0);
    // Layers past the 30 slots are not equipped.
    EXPECT_EQ(Find(0x40000102), nullptr);
    EXPECT_EQ(Find(0x40000103), nullptr);
    // A known mobile moves by 0x77 (queued as a step).
    Send(update.b);
    EXPECT_EQ(m->queuedSteps, 0);  // the same state as it has: nothing queued
    Packet moved = Fixed(0x77);
    moved.L(0x20).W(400).W(13).W(10).B(0).B(2).W(0).B(0).B(3);
    Send(moved.b);
    EXPECT_EQ(m->queuedSteps, 1);
}

TEST_F(WorldPacketHandlersTest, WornItemsOnThePlayerAndOnUnknownMobiles) {
    Packet worn = Fixed(0x2E);
    worn.L(0x40000200).W(0x1517).B(0).B(4).L(1).W(5);
    Send(worn.b);
    ASSERT_NE(player->layers[4], nullptr);
    EXPECT_EQ(player->layers[4]->serial, 0x40000200u);
    EXPECT_TRUE(player->inCell);
    Packet unknown = Fixed(0x2E);
    unknown.L(0x40000201).W(0x1517).B(0).B(4).L(0x77).W(5);
    Send(unknown.b);
    EXPECT_EQ(Find(0x40000201), nullptr);
    Packet badLayer = Fixed(0x2E);
    badLayer.L(0x40000202).W(0x1517).B(0).B(31).L(1).W(5);
    Send(badLayer.b);
    EXPECT_EQ(Find(0x40000202), nullptr);
}

// A worn-item entry naming the mobile being dressed, or the player, is refused: taking it
// would free the mobile (or the player) and then write to it.
TEST_F(WorldPacketHandlersTest, WornItemsNamingTheMobileItselfOrThePlayerAreRefused) {
    Send(Incoming(0x21, 400, {{0x21, 0x1517, 5, -1}, {0x40000110, 0x1518, 6, -1}}));
    Send(Incoming(0x22, 400, {{1, 0x1517, 5, -1}}));
    Packet selfWorn = Fixed(0x2E);
    selfWorn.L(0x21).W(0x1517).B(0).B(4).L(0x21).W(5);
    Send(selfWorn.b);
    Packet playerWorn = Fixed(0x2E);
    playerWorn.L(1).W(0x1517).B(0).B(4).L(0x21).W(5);
    Send(playerWorn.b);

    CClientObject* o = Find(0x21);
    ASSERT_NE(o, nullptr);
    ASSERT_TRUE(o->IsMobile());
    auto* m = static_cast<CClientMobile*>(o);
    EXPECT_EQ(m->layers[5], nullptr);
    EXPECT_EQ(m->layers[4], nullptr);
    // The entry after the refused one is still read and worn.
    ASSERT_NE(m->layers[6], nullptr);
    EXPECT_EQ(m->layers[6]->serial, 0x40000110u);
    EXPECT_TRUE(m->inCell);
    EXPECT_EQ(Find(1), player);
    EXPECT_TRUE(player->IsPlayer());
    ASSERT_NE(Find(0x22), nullptr);
    EXPECT_EQ(static_cast<CClientMobile*>(Find(0x22))->layers[5], nullptr);
}

TEST_F(WorldPacketHandlersTest, DeleteObjectSkipsThePlayerAndDyingMobiles) {
    Send(Incoming(0x30, 400, {}));
    Send(Incoming(0x31, 400, {}));
    Packet item = Var(0x1A);
    item.L(0x40000300).W(10).W(11).W(10).B(0);
    Send(item.Variable());
    Find(0x40000300)->AddBark("hello", 0, 3, 0);
    static_cast<CClientMobile*>(Find(0x31))->Die(0x40000399, 1);
    for (u32 serial : {1u, 0x31u | 0x80000000u, 0x30u, 0x40000300u}) {
        Packet del = Fixed(0x1D);
        del.L(serial);
        Send(del.b);
    }
    EXPECT_EQ(Find(1), player);
    EXPECT_EQ(Find(0x30), nullptr);
    EXPECT_EQ(Find(0x40000300), nullptr);
    EXPECT_EQ(TheClientWorld().mobileCount, 2);  // the player and the dying mobile
    ASSERT_EQ(TheClientWorld().savedBarks.size(), 1u);
    EXPECT_EQ(TheClientWorld().savedBarks[0].text, "hello");
}

TEST_F(WorldPacketHandlersTest, CorpseEquipmentStopsAfterFortyAndIgnoresHighLayers) {
    Packet item = Var(0x1A);
    item.L(0x40000400).W(8198).W(11).W(10).B(0);
    Send(item.Variable());
    auto* corpse = static_cast<CClientCorpse*>(Find(0x40000400));
    ASSERT_NE(corpse, nullptr);
    Packet eq = Var(0x89);
    eq.L(0x40000400);
    eq.B(27).L(0x99);  // past the 26 slots: ignored
    eq.B(3).L(0x40000403);
    for (int i = 0; i < 38; ++i)
        eq.B(1).L(0x40000500 + u32(i));
    eq.B(2).L(0x40000402);  // the 41st entry is not read
    eq.B(0);
    Send(eq.Variable());
    EXPECT_EQ(corpse->layerSerials[3], 0x40000403u);
    EXPECT_EQ(corpse->layerSerials[1], 0x40000500u + 37);
    EXPECT_EQ(corpse->layerSerials[2], 0u);
}

TEST_F(WorldPacketHandlersTest, MobileDeathStartsTheDeathAction) {
    Send(Incoming(0x40, 400, {}));
    struct Case {
        u32 value;
        int action;
    } cases[] = {{0, 149}, {1, 150}};
    for (const Case& c : cases) {
        Send(Incoming(0x40, 400, {}));
        auto* m = static_cast<CClientMobile*>(Find(0x40));
        ASSERT_NE(m, nullptr);
        Packet death = Fixed(0xAF);
        death.L(0x40).L(0x40000440).L(c.value);
        Send(death.b);
        EXPECT_EQ(m->action.id, c.action);
        m->Destroy();
    }
}

TEST_F(WorldPacketHandlersTest, DeathStatus) {
    player->AddBark("alive", 0, 3, 0);
    hooks.calls.clear();
    Packet back = Fixed(0x2C);
    back.B(1);
    Send(back.b);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"CloseOnEscapeGumps", "DeleteChoiceGump"}));
    EXPECT_EQ(player->BarkCount(), 1);
    EXPECT_EQ(DeathFadeStep, 0);
    hooks.calls.clear();
    player->warMode = 1;
    Packet died = Fixed(0x2C);
    died.B(0);
    Send(died.b);
    EXPECT_EQ(DeathFadeStep, 1);
    EXPECT_EQ(player->BarkCount(), 0);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{
                               "CloseOnEscapeGumps", "DeleteDragGump", "DeleteChoiceGump",
                               "DeleteFreeBarks", "PlayMusic 42 repeat forced", "SetWarMode 0"}));
    DeathFadeStep = 0;
}

TEST_F(WorldPacketHandlersTest, PlayerUpdate) {
    Packet other = Fixed(0x20);
    other.L(2).W(400).B(0).W(0).B(0).W(20).W(20).W(0).B(0).B(0);
    Send(other.b);
    EXPECT_EQ(hooks.calls.back(), "ShowMessage Z change received for non-player object / Error");
    EXPECT_EQ(player->loc.x, 10);
    Packet own = Fixed(0x20);
    own.L(1).W(0x4191).B(0).W(3001).B(0x40).W(20).W(21).W(0).B(3).B(5);
    Send(own.b);
    EXPECT_EQ(player->loc.x, 20);
    EXPECT_EQ(player->loc.y, 21);
    EXPECT_EQ(player->loc.z, 5);
    EXPECT_EQ(player->graphic, 0x191);
    EXPECT_EQ(player->hue, 1);
    EXPECT_EQ(player->direction, 3);
    EXPECT_EQ(player->warMode, 1);
    EXPECT_TRUE(player->inCell);
    EXPECT_EQ(TheClientMap().centreX, 20);
    EXPECT_EQ(hooks.calls.back(), "RefreshPlayerStatus");
}

}  // namespace
