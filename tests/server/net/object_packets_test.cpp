#include "server/net/object_packets.h"

#include <gtest/gtest.h>

#include "../world/world_test_support.h"
#include "core/log_sink.h"
#include "packet_test_support.h"
#include "platform/random.h"
#include "server/server_config.h"
#include "server/world/npc.h"

namespace {

constexpr int kStackable = 256;  // a graphic the fixture makes stackable (tile flag 0x800)
constexpr int kLayered = 257;    // a wearable whose layer byte is 9

struct NamedNpc : CNPC {
    const char* GetRealName() const override { return "Brom"; }
};
struct NamedPlayer : CPlayer {
    const char* GetRealName() const override { return "Ayla"; }
};

class ObjectPacketsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        StaticTileRecord* layered = GetTileData().MutableStatic(kLayered);
        layered->flags = kTileLightSource | kTileWearable;
        layered->layer = 9;
    }
    CItem* ItemAt(int graphic, u32 serial, const Location& at) {
        CItem* item = NewItem(graphic);
        item->SetSerial(serial);
        item->SetLocationField(at);
        return item;
    }
    FakeItemValues values;
    BuiltPacket p;
};

TEST_F(ObjectPacketsTest, ObjectInfoGoldenBytes) {
    CItem* item = ItemAt(kStackable, 0x40000001, Location(100, 200, 5));
    ASSERT_TRUE(BuildObjectInfoPacket(p.w, *item, values));
    EXPECT_EQ(p.Bytes(), Hex("1A 00 0E 40 00 00 01 01 00 00 64 00 C8 05"));

    // A stack of no resource units is sent as one, without the amount field.
    GetTileData().MutableStatic(kStackable)->flags = kTileGeneric;
    BuiltPacket empty;
    ASSERT_TRUE(BuildObjectInfoPacket(empty.w, *item, values));
    EXPECT_EQ(empty.Bytes(), p.Bytes());

    values.units[item->GetSerial()] = 20;
    item->SetHue(0x0481);
    BuiltPacket q;
    ASSERT_TRUE(BuildObjectInfoPacket(q.w, *item, values));
    EXPECT_EQ(q.Bytes(), Hex("1A 00 12 C0 00 00 01 01 00 00 14 00 64 80 C8 05 04 81"));
}

TEST_F(ObjectPacketsTest, ObjectInfoAddsEachOptionalFieldWithItsBit) {
    struct Case {
        const char* name;
        int graphic;
        u8 status;
        int multiType;
        std::string expected;
    };
    // Item 0x40000002 at (1, 2, 3), graphic 100 unless the case says otherwise.
    const Case cases[] = {
        {"plain", kPlainItem, 0, -1, "1A 00 0E 40 00 00 02 00 64 00 01 00 02 03"},
        {"increment", kPlainItem, kStatusShowsNextGraphic, -1,
         "1A 00 0F 40 00 00 02 80 64 01 00 01 00 02 03"},
        {"layer byte", kLayered, 0, -1, "1A 00 0F 40 00 00 02 01 01 80 01 00 02 09 03"},
        {"hidden flag", kPlainItem, kStatusHidden, -1,
         "1A 00 0F 40 00 00 02 00 64 00 01 40 02 03 80"},
        {"weight flag", kPlainItem, kStatusWeightOverride, -1,
         "1A 00 0F 40 00 00 02 00 64 00 01 40 02 03 20"},
        {"multi master", kPlainItem, 0, 0x12, "1A 00 0E 40 00 00 02 40 12 00 01 00 02 03"},
    };
    for (const Case& c : cases) {
        CItem* item = ItemAt(c.graphic, 0x40000002, Location(1, 2, 3));
        item->SetStatus(c.status);
        if (c.multiType >= 0) values.multis[item->GetSerial()] = c.multiType;
        BuiltPacket b;
        ASSERT_TRUE(BuildObjectInfoPacket(b.w, *item, values)) << c.name;
        EXPECT_EQ(b.Bytes(), Hex(c.expected)) << c.name;
        values.multis.clear();
        item->SetStatus(item->GetStatus() | kStatusNoTriggers);
        delete item;
    }
}

TEST_F(ObjectPacketsTest, MobileIncomingListsLayersOneToTwentyEight) {
    CMobile* naked = new CMobile;
    naked->SetSerial(0x00000007);
    naked->SetBodyType(400);
    naked->SetLocationField(Location(10, 11, -2));
    ASSERT_TRUE(BuildMobileIncomingPacket(p.w, *naked, 4, 1));
    EXPECT_EQ(p.Bytes(),
              Hex("78 00 17 00 00 00 07 01 90 00 0A 00 0B FE 04 00 00 00 01 00 00 00 00"));

    CItem* shirt = NewItem(kPlainItem);
    CItem* hair = NewItem(kPlainItem);
    CItem* bank = NewItem(kBag);
    CItem* zero = NewItem(kPlainItem);
    hair->SetHue(0x0455);
    naked->SetLayerField(5, shirt);
    naked->SetLayerField(28, hair);
    naked->SetLayerField(kBankBoxLayer, bank);
    naked->SetLayerField(0, zero);
    BuiltPacket dressed;
    ASSERT_TRUE(BuildMobileIncomingPacket(dressed.w, *naked, 4, 1));
    const std::vector<u8> b = dressed.Bytes();
    ASSERT_EQ(b.size(), 23u + 7 + 9);
    EXPECT_EQ(Be32(b, 19), shirt->GetSerial());
    EXPECT_EQ(Be16(b, 23), kPlainItem);
    EXPECT_EQ(b[25], 5);
    EXPECT_EQ(Be32(b, 26), hair->GetSerial());
    EXPECT_EQ(Be16(b, 30), 0x8000 | kPlainItem);
    EXPECT_EQ(b[32], 28);
    EXPECT_EQ(Be16(b, 33), 0x0455);
    EXPECT_EQ(Be32(b, 35), 0u);
    for (int layer : {0, 5, 28, kBankBoxLayer})
        naked->SetLayerField(layer, nullptr);
}

TEST_F(ObjectPacketsTest, StatusNamesOnlyPlayersAndNpcsAndRenameOnlyTheViewersPet) {
    NamedNpc* npc = new NamedNpc;
    NamedPlayer* player = new NamedPlayer;
    CMobile* other = new CMobile;
    struct Case {
        CMobile* mobile;
        bool pet;
        const char* name;
        u8 rename;
    };
    const Case cases[] = {
        {npc, false, "Brom", 0},
        {npc, true, "Brom", 1},
        {player, true, "Ayla", 0},
        {other, true, "", 0},
    };
    for (const Case& c : cases) {
        MobileStatusValues v;
        v.isPetOfViewer = c.pet;
        v.vitals.hits = 30;
        v.vitals.maxHits = 45;
        BuiltPacket b;
        ASSERT_TRUE(BuildStatusPacket(b.w, *c.mobile, false, v));
        const std::vector<u8> bytes = b.Bytes();
        ASSERT_EQ(bytes.size(), 43u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[7])), c.name);
        EXPECT_EQ(Be16(bytes, 37), 30);
        EXPECT_EQ(Be16(bytes, 39), 45);
        EXPECT_EQ(bytes[41], c.rename) << c.name;
        EXPECT_EQ(bytes[42], 0);
    }
}

TEST_F(ObjectPacketsTest, DetailedStatusCarriesStatsGoldArmourAndSexOfPlayersOnly) {
    MobileStatusValues v;
    v.vitals = {1, 2, 3, 4, 5, 6};
    v.sex = 1;
    v.stats[0] = 50;
    v.stats[1] = 60;
    v.stats[2] = 70;
    v.gold = 0x01020304;
    v.armour = 9999;
    CPlayer* player = new CPlayer;
    ASSERT_TRUE(BuildStatusPacket(p.w, *player, true, v));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), kMaxStatusLength);
    EXPECT_EQ(b[42], 1);
    EXPECT_EQ(b[43], 1);
    EXPECT_EQ(Be16(b, 44), 50);
    EXPECT_EQ(Be16(b, 48), 70);
    EXPECT_EQ(Be16(b, 50), 5);  // fatigue, then its maximum, mana, its maximum
    EXPECT_EQ(Be16(b, 52), 6);
    EXPECT_EQ(Be16(b, 54), 3);
    EXPECT_EQ(Be16(b, 56), 4);
    EXPECT_EQ(Be32(b, 58), 0x01020304u);
    EXPECT_EQ(Be16(b, 62), 9999);

    BuiltPacket npc;
    CNPC* creature = new CNPC;
    ASSERT_TRUE(BuildStatusPacket(npc.w, *creature, true, v));
    EXPECT_EQ(npc.Bytes()[43], 0);
}

TEST_F(ObjectPacketsTest, SkillNamesSkipInvalidSkillsButSendTheGivenCount) {
    const std::vector<SkillNameEntry> table = {
        {true, true, "Alchemy"}, {false, true, "Unused"}, {true, false, "Camping"}};
    ASSERT_TRUE(BuildSkillNamesPacket(p.w, 5, table));
    EXPECT_EQ(p.Bytes(), Concat({Hex("3A 00 1A FE 00 05 01 08"), Text("Alchemy"), Hex("00 00 08"),
                                 Text("Camping"), Hex("00")}));

    BuiltPacket list;
    ASSERT_TRUE(BuildSkillListPacket(list.w, 0, {100, 0x3E8}));
    EXPECT_EQ(list.Bytes(), Hex("3A 00 0E 00 00 01 00 64 00 02 03 E8 00 00"));
}

TEST_F(ObjectPacketsTest, LoginConfirmAndPlayerUpdateCarryTheServerIdAndTheWorldArea) {
    g_serverConfig.id = 0;
    g_serverConfig.x = 16;
    g_serverConfig.y = 32;
    g_serverConfig.width = 1024;
    g_serverConfig.height = 768;
    CPlayer* player = new CPlayer;
    player->SetSerial(0x00000042);
    player->SetBodyType(400);
    player->SetLocationField(Location(300, 400, -5));
    platform::SeedRandom(7);
    ASSERT_TRUE(BuildLoginConfirmPacket(p.w, *player, 3));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), kLoginConfirmLength);
    EXPECT_EQ(Be32(b, 1), 0x42u);
    EXPECT_EQ(Be16(b, 9), 400);
    EXPECT_EQ(Be16(b, 15), 0xFFFB);
    EXPECT_EQ(b[17], 3);
    EXPECT_EQ(b[18], 0);
    // The colour word is entry 1 + draw % 15 of its table (entry 0 is never picked).
    const u32 table[16] = {0,        0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00, 0xFF00FF,
                           0x00FFFF, 0xFFFFFF, 0x00007F, 0x007F00, 0x7F0000, 0x7F7F00,
                           0x7F007F, 0x007F7F, 0x7F7F7F, 0xFF7F00};
    platform::SeedRandom(7);
    EXPECT_EQ(Be32(b, 19), table[1 + platform::Rand() % 15]);
    EXPECT_EQ(Be16(b, 23), 16);
    EXPECT_EQ(Be16(b, 25), 32);
    EXPECT_EQ(Be16(b, 27), 1024);
    EXPECT_EQ(Be16(b, 29), 768);

    BuiltPacket update;
    ASSERT_TRUE(BuildPlayerUpdatePacket(update.w, *player, 3));
    EXPECT_EQ(update.Bytes(), Hex("20 00 00 00 42 01 90 00 00 00 00 01 2C 01 90 00 00 03 FB"));
    g_serverConfig.x = g_serverConfig.y = 0;
}

TEST_F(ObjectPacketsTest, CorpseEquipmentListsFilledSlotsAsLayerIndexPlusOne) {
    CItem* slots[kCorpseSlotCount] = {};
    CItem* first = NewItem();
    CItem* last = NewItem();
    slots[0] = first;
    slots[25] = last;
    ASSERT_TRUE(BuildCorpseEquipmentPacket(p.w, 0x40000009, slots));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), 3u + 4 + 10 + 1);
    EXPECT_EQ(b[7], 1);
    EXPECT_EQ(Be32(b, 8), first->GetSerial());
    EXPECT_EQ(b[12], 26);
    EXPECT_EQ(Be32(b, 13), last->GetSerial());
    EXPECT_EQ(b[17], 0);
}

TEST_F(ObjectPacketsTest, ABuildPastTheBufferFailsAndIsLogged) {
    CMobile* mobile = new CMobile;
    u8 small[20];
    PacketWriter w(small, sizeof small);
    LogCapture log;
    EXPECT_FALSE(BuildMobileIncomingPacket(w, *mobile, 0, 0));
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_NE(log.Entries()[0].message.find("0x78"), std::string::npos);
}

}  // namespace
