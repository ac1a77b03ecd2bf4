// The client's world handlers fed with packets built by the server's own builders.
#include <gtest/gtest.h>

#include "client/net/client_link.h"
#include "client/net/world_packet_handlers.h"
#include "core/packet_writer.h"
#include "server/net/effect_packets.h"
#include "server/net/object_packets.h"
#include "tests/client/world/world_fixture.h"

namespace {

class WorldHandlersProtocolTest : public WorldFixture {
protected:
    WorldHandlersProtocolTest() : player(PlayerInStillWorld()) {}
    void Deliver(const PacketWriter& w) {
        ASSERT_TRUE(w.Ok());
        link.Dispatcher().Dispatch(w.Data(), w.Length());
    }
    CClientMobile* Creature(u32 serial, int body) {
        return static_cast<CClientMobile*>(
            TheClientWorld().UpdateObject(serial, u16(body), 0, 0, 12, 10, 0, 0, 0, 0));
    }
    ClientLink link;
    CClientPlayer* player;
    u8 buffer[512];
};

TEST_F(WorldHandlersProtocolTest, DeathCorpseAndDeletionFromTheServersBuilders) {
    CClientMobile* m = Creature(0x33, 250);
    TheClientWorld().UpdateObject(0x40000033, 8198, 0, 1, 12, 10, 0, 0, 0, 0);
    {
        PacketWriter w(buffer, sizeof buffer);
        ASSERT_TRUE(BuildMobileDeathPacket(w, 0x33, 0x40000033, 1));
        Deliver(w);
    }
    EXPECT_EQ(m->action.id, 140);  // flag not 0: fall mode 0
    EXPECT_TRUE(TheDyingMobiles().IsPending(0x40000033, 0));
    {
        // While the death action runs a deletion of the mobile is ignored.
        for (u32 serial : {0x33u, 0x33u | 0x80000000u}) {
            PacketWriter w(buffer, sizeof buffer);
            ASSERT_TRUE(BuildDeleteObjectPacket(w, serial));
            Deliver(w);
            EXPECT_EQ(TheClientWorld().mobileCount, 2);
        }
    }
    for (int i = 0; i < 40 && ActionSlot(0); ++i)
        RunActionSequencer();
    EXPECT_EQ(TheClientWorld().mobileCount, 1);
    CClientObject* corpse = TheClientWorld().FindBySerial(0x40000033);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(corpse->direction & 0x80, 0x80);
    {
        CItem* none[kCorpseSlotCount] = {};
        PacketWriter w(buffer, sizeof buffer);
        ASSERT_TRUE(BuildCorpseEquipmentPacket(w, 0x40000033, none));
        Deliver(w);
    }
    {
        PacketWriter w(buffer, sizeof buffer);
        ASSERT_TRUE(BuildDeleteObjectPacket(w, 0x40000033));
        Deliver(w);
    }
    EXPECT_EQ(TheClientWorld().FindBySerial(0x40000033), nullptr);
}

TEST_F(WorldHandlersProtocolTest, WarModeFromTheServersBuilder) {
    PacketWriter w(buffer, sizeof buffer);
    ASSERT_TRUE(BuildWarModePacket(w, 1, 0, 0x32, 0));
    Deliver(w);
    EXPECT_EQ(player->warMode, 1);
    EXPECT_EQ(link.WorldHandlers().warModeBytes[1], 0x32);
}

TEST_F(WorldHandlersProtocolTest, DeathStatusFromTheServersBuilder) {
    struct Case {
        int status;
        int fade;
    } cases[] = {{1, 0}, {0, 1}, {2, 1}};
    for (const Case& c : cases) {
        DeathFadeStep = 0;
        PacketWriter w(buffer, sizeof buffer);
        ASSERT_TRUE(BuildDeathStatusPacket(w, c.status));
        Deliver(w);
        EXPECT_EQ(DeathFadeStep, c.fade) << c.status;
    }
    DeathFadeStep = 0;
}

}  // namespace
