// The world model's object packets as the players near the change receive them.
#include "server/net/protocol_packet_services.h"

#include <gtest/gtest.h>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/net/player_world_test.h"

namespace {

class ObjectPacketTest : public PlayerWorldTest {
protected:
    void SetUp() override {
        PlayerWorldTest::SetUp();
        SetPacketServices(&real);
        near = Player("Near", 38, 20);  // 18 tiles from Ann
        far = Player("Far", 39, 20);    // 19
        Connect(near);
        Connect(far);
        Drop();
    }
    void TearDown() override {
        SetPacketServices(&packets);
        PlayerWorldTest::TearDown();
    }
    // Forgets what every client received so far.
    void Drop() {
        for (FakePlayer* p : {ann, near, far})
            Received(p);
    }
    static std::string Ids(FakePlayer* p) {
        std::vector<u8> ids;
        for (const auto& packet : Received(p))
            ids.push_back(packet[0]);
        return ToHex(ids);
    }
    ProtocolPacketServices real;
    FakePlayer* near = nullptr;
    FakePlayer* far = nullptr;
};

TEST_F(ObjectPacketTest, PlacingAndRemovingAnItemReachThePlayersWithin18Tiles) {
    CItem* stone = PlacedItem(20, 20, 0);
    const auto shown = Received(near);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0][0], 0x1A);
    EXPECT_EQ(Be32(shown[0], 3) & 0x7FFFFFFF, stone->GetSerial());
    EXPECT_EQ(Ids(ann), "1A");
    EXPECT_EQ(Ids(far), "");
    stone->RemoveFromWorld();
    EXPECT_EQ(ToHex(Received(near)[0]), "1D " + Serial(stone->GetSerial()));
    EXPECT_EQ(Ids(far), "");
}

TEST_F(ObjectPacketTest, TheRemovalOfAPlayerGoesToEveryoneElse) {
    real.SendDeleteObject(ann->GetSerial(), ann->GetLocation(), ann);
    EXPECT_EQ(Ids(ann), "");
    EXPECT_EQ(Ids(near), "1D");
}

TEST_F(ObjectPacketTest, WornItemsContainerItemsStatusAndSystemMessages) {
    CItem* hat = NewItem();
    ASSERT_TRUE(hat->EquipOn(ann, 6));
    EXPECT_EQ(Ids(near), "2E");
    EXPECT_EQ(Ids(ann), "2E 11") << "the wearer also gets its status";
    CItem* bag = PlacedItem(20, 21, 0, kBag);
    Drop();
    CItem* coin = NewItem();
    ASSERT_TRUE(coin->AddToContainer(bag, Location(5, 6, 0)));
    EXPECT_EQ(Ids(near), "25");
    EXPECT_EQ(Ids(far), "");

    Drop();
    real.SendSystemMessage(ann, "No Duplicate Id's found.");
    const auto told = Received(ann);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(ToHex({told[0].begin(), told[0].begin() + 14}),
              "1C 00 45 FF FF FF FF FF FF 06 03 B2 00 03");
    EXPECT_EQ(Ids(near), "");
}

// A stack of coins dropped near Ann, moved into a bag and a hat put on, read back field by
// field from the bytes Near's connection received.
TEST_F(ObjectPacketTest, AStackMovedIntoABagAndAHatPutOnAsTheClientReadsThem) {
    constexpr int kCoin = 3821;
    StaticTileRecord* tile = GetTileData().MutableStatic(kCoin);
    tile->flags = kTileGeneric;
    auto* goldType = new CResourceType;
    goldType->SetNumber(GetResourceTypes().AllocNumber());
    goldType->SetInternalName("gold");
    GetResourceTypes().Add(goldType);
    const int gold = goldType->GetNumber();
    g_objectManager.GetResourcePrototype(kCoin)->AddResource(gold, kResourceHeld, 1, 0, 1);

    CItem* coins = NewItem(kCoin);
    coins->AddResource(gold, kResourceHeld, 25, 0, 25);
    coins->PlaceInWorld(Location(20, 20, 3));
    auto shown = Received(near);
    ASSERT_EQ(shown.size(), 1u);
    {
        PacketReader r(shown[0].data(), shown[0].size(), 3);
        u32 serial = 0;
        u16 graphic = 0, amount = 0, x = 0, y = 0;
        u8 z = 0;
        r.ReadLong(serial);
        r.ReadShort(graphic);
        r.ReadShort(amount);
        r.ReadShort(x);
        r.ReadShort(y);
        r.ReadByte(z);
        ASSERT_TRUE(r.Ok()) << ToHex(shown[0]);
        EXPECT_EQ(r.Id(), 0x1A);
        EXPECT_EQ(serial, coins->GetSerial() | 0x80000000u) << "an amount follows";
        EXPECT_EQ(graphic, kCoin);
        EXPECT_EQ(amount, 25);
        EXPECT_EQ(x, 20);
        EXPECT_EQ(y, 20);
        EXPECT_EQ(z, 3);
        EXPECT_EQ(r.Remaining(), 0u);
    }

    CItem* bag = PlacedItem(20, 21, 0, kBag);
    Drop();
    coins->RemoveFromWorld();
    ASSERT_TRUE(coins->AddToContainer(bag, Location(5, 6, 0)));
    shown = Received(near);
    ASSERT_EQ(shown.size(), 2u);
    {
        PacketReader r(shown[0].data(), shown[0].size(), 1);
        u32 serial = 0;
        r.ReadLong(serial);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.Id(), 0x1D);
        EXPECT_EQ(serial, coins->GetSerial());
        EXPECT_EQ(r.Remaining(), 0u);
    }
    {
        PacketReader r(shown[1].data(), shown[1].size(), 1);
        u32 serial = 0, container = 0;
        u16 graphic = 0, amount = 0, x = 0, y = 0, hue = 0;
        u8 increment = 0;
        r.ReadLong(serial);
        r.ReadShort(graphic);
        r.ReadByte(increment);
        r.ReadShort(amount);
        r.ReadShort(x);
        r.ReadShort(y);
        r.ReadLong(container);
        r.ReadShort(hue);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.Id(), 0x25);
        EXPECT_EQ(serial, coins->GetSerial());
        EXPECT_EQ(graphic, kCoin);
        EXPECT_EQ(amount, 25);
        EXPECT_EQ(x, 5);
        EXPECT_EQ(y, 6);
        EXPECT_EQ(container, bag->GetSerial());
        EXPECT_EQ(hue, 0);
        EXPECT_EQ(r.Remaining(), 0u);
    }

    CItem* hat = NewItem();
    hat->SetHue(33);
    ASSERT_TRUE(hat->EquipOn(ann, 6));
    shown = Received(near);
    ASSERT_EQ(shown.size(), 1u);
    {
        PacketReader r(shown[0].data(), shown[0].size(), 1);
        u32 serial = 0, wearer = 0;
        u16 graphic = 0, hue = 0;
        u8 increment = 0, layer = 0;
        r.ReadLong(serial);
        r.ReadShort(graphic);
        r.ReadByte(increment);
        r.ReadByte(layer);
        r.ReadLong(wearer);
        r.ReadShort(hue);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.Id(), 0x2E);
        EXPECT_EQ(serial, hat->GetSerial());
        EXPECT_EQ(graphic, kPlainItem);
        EXPECT_EQ(layer, 6);
        EXPECT_EQ(wearer, ann->GetSerial());
        EXPECT_EQ(hue, 33);
        EXPECT_EQ(r.Remaining(), 0u);
    }
    EXPECT_EQ(Ids(far), "");
}

TEST_F(ObjectPacketTest, RefusalsLookAtTextsAndSoundsReachTheirPlayers) {
    // A refusal: Ann speaks it to herself alone (type 0, hue 946, font 3).
    real.TellSelf(ann, "I can't reach that.");
    auto told = Received(ann);
    ASSERT_EQ(told.size(), 1u);
    {
        const TextMessageFields f = ReadTextMessage(told[0]);
        ASSERT_TRUE(f.ok) << ToHex(told[0]);
        EXPECT_EQ(f.id, 0x1C);
        EXPECT_EQ(f.serial, ann->GetSerial());
        EXPECT_EQ(f.type, 0);
        EXPECT_EQ(f.hue, 946);
        EXPECT_EQ(f.font, 3);
        EXPECT_EQ(f.name, "Ann");
        EXPECT_EQ(f.text, "I can't reach that.");
    }
    EXPECT_EQ(Ids(near), "");

    // What Ann sees of a stone she looked at: spoken by the stone, to her alone.
    CItem* stone = PlacedItem(20, 21, 0);
    Drop();
    real.SendObjectText(ann, stone, "a pebble", 33);
    told = Received(ann);
    ASSERT_EQ(told.size(), 1u);
    {
        PacketReader r(told[0].data(), told[0].size(), 3);
        u32 serial = 0;
        u16 graphic = 0, hue = 0;
        u8 type = 0;
        r.ReadLong(serial);
        r.ReadShort(graphic);
        r.ReadByte(type);
        r.ReadShort(hue);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(serial, stone->GetSerial());
        EXPECT_EQ(graphic, kPlainItem);
        EXPECT_EQ(type, 6);
        EXPECT_EQ(hue, 33);
    }
    EXPECT_EQ(Ids(near), "");

    // A sound at a place: the players within 18 tiles hear it.
    real.SendSound(0x57, Location(20, 20, 0));
    EXPECT_EQ(Ids(ann), "54");
    EXPECT_EQ(Ids(near), "54");
    EXPECT_EQ(Ids(far), "");

    // Vitals: one bar or all three, to the one player, maximum before current.
    ann->SetMaxHits(50);
    ann->SetMaxMana(60);
    ann->SetMaxFatigue(70);
    ann->SetAllVitals(40);
    Drop();
    const std::string serial = Serial(ann->GetSerial());
    const char* maxima[] = {"00 32", "00 3C", "00 46"};
    for (int kind = 0; kind < 3; ++kind) {
        real.SendVitals(near, ann, kind);
        const auto bars = Received(near);
        ASSERT_EQ(bars.size(), 1u) << kind;
        EXPECT_EQ(ToHex(bars[0]),
                  ToHex({u8(0xA1 + kind)}) + " " + serial + " " + maxima[kind] + " 00 28");
    }
    real.SendVitals(near, ann, 3);
    const auto all = Received(near);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(ToHex(all[0]), "2D " + serial + " 00 32 00 28 00 3C 00 28 00 46 00 28");
    EXPECT_EQ(Ids(ann), "");

    // Skills from the world are not sent yet and say so once.
    LogCapture log;
    real.SendSkillUpdate(ann, 1);
    real.SendSkillUpdate(ann, 2);
    EXPECT_EQ(log.FromSource("protocol").size(), 1u);
    EXPECT_EQ(Ids(ann), "");

    // A mobile goes to another viewer as 0x77 or 0x78, to itself as its own update 0x20.
    real.SendMobile(near, ann, false);
    real.SendMobile(near, ann, true);
    EXPECT_EQ(Ids(near), "77 78");
    real.SendMobile(ann, ann, false);
    EXPECT_EQ(Ids(ann), "20");
}

TEST_F(ObjectPacketTest, EffectsSwingsAndSoundsReachTheirPlayers) {
    // Near a list of places: each player within 18 tiles of any of them, once.
    GraphicEffect e;
    e.type = 3;
    e.sourceSerial = 0x01020304;
    e.graphic = 0x13728;
    e.source = Location(20, 20, -1);
    e.target = Location(21, 20, 0);
    e.params[0] = 44;
    real.SendGraphicEffect(e, {Location(20, 20, 0), Location(21, 20, 0), Location(57, 20, 0)});
    const auto effect = Received(ann);
    ASSERT_EQ(effect.size(), 1u);
    EXPECT_EQ(ToHex(effect[0]),
              "70 03 01 02 03 04 00 00 00 00 37 28 00 14 00 14 FF 00 15 00 14 00 2C 00 00 00 00 00");
    EXPECT_EQ(Ids(near), "70");
    EXPECT_EQ(Ids(far), "70") << "within 18 of the third place";
    real.SendSequenceMarker(0, {Location(20, 20, 0)});
    real.SendSequenceMarker(5, {});
    EXPECT_EQ(ToHex(Received(ann).at(0)), "7B 00");
    EXPECT_EQ(Ids(near), "7B");
    EXPECT_EQ(Ids(far), "");

    MobileAnimation a;
    a.serial = 0x0A0B0C0D;
    a.action = 12;
    a.frames = 7;
    a.repeats = 1;
    a.direction = 1;
    a.repeatFlag = 1;
    a.delay = 1;
    real.SendAnimation(a, {Location(20, 20, 0)});
    EXPECT_EQ(ToHex(Received(ann).at(0)), "6E 0A 0B 0C 0D 00 0C 00 07 00 01 01 01 01");
    EXPECT_EQ(Ids(far), "");
    Drop();

    // Sounds with their extra word: at a place for the nearest within 12, or for one player.
    real.SendSoundToNearest(0x10056, 300, Location(20, 25, 0));
    EXPECT_EQ(ToHex(Received(ann).at(0)), "54 01 00 56 01 2C 00 14 00 19 00 00");
    EXPECT_EQ(Ids(near), "");  // 18 tiles away
    real.SendSoundToPlayer(near, 86, 7);
    EXPECT_EQ(ToHex(Received(near).at(0)), "54 01 00 56 00 07 00 26 00 14 00 00");
    EXPECT_EQ(Ids(ann), "");

    // The swing, to one player.
    real.SendSwing(ann, 0x11223344, 0x55667788);
    EXPECT_EQ(ToHex(Received(ann).at(0)), "2F 00 11 22 33 44 55 66 77 88");
    EXPECT_EQ(Ids(near), "");
}

TEST_F(ObjectPacketTest, TheStaticsChangeLogIsNotBuiltAndSaysSo) {
    LogCapture log;
    real.NoteStaticsChanged(3);
    real.NoteStaticsChanged(4);
    EXPECT_LE(log.FromSource("protocol").size(), 1u);
    EXPECT_EQ(Ids(ann), "");
}

}  // namespace
