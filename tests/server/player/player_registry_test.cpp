// The player registry: creation values as kept, names found in any case (logged-out
// characters too), the online count, the tick walk when players delete themselves, and a
// character created over a real queue pair entering the world at the configured start.
#include "server/world/player_registry.h"

#include "script/language/trigger_table.h"
#include "server/player/player_creation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/protocol/packet_table.h"
#include "server/net/local_connection.h"
#include "server/net/packet_senders.h"
#include "server/net/socket.h"
#include "server/server_config.h"
#include "server/world/player.h"
#include "server/world/logged_out_list.h"
#include "server/world/placement_record.h"
#include "server/world/sector_grid.h"
#include "server/world/skill_table.h"
#include "server/world/weapon.h"
#include "server/world/world_load.h"
#include "server/world/world_save.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"

namespace {

NewCharacter Request(const char* name) {
    NewCharacter c;
    std::strncpy(c.name, name, sizeof c.name - 1);
    c.x = 10;
    c.y = 10;
    c.strength = 40;
    c.dexterity = 40;
    c.intelligence = 20;
    c.skill[0] = 1;
    c.skillValue[0] = 50;
    c.skill[1] = 2;
    c.skillValue[1] = 50;
    c.skinHue = 1002;
    c.hairHue = 1102;
    c.beardHue = 1102;
    return c;
}

TEST(ClampNewCharacterTest, OutOfRangeValuesFallBackToTheirDefaults) {
    struct Case {
        const char* what;
        std::function<void(NewCharacter&)> change;
        std::function<void(const NewCharacter&)> check;
    };
    const Case cases[] = {
        {"stats 40/40/20 kept", [](NewCharacter&) {},
         [](const NewCharacter& c) {
             EXPECT_EQ(c.strength, 40);
             EXPECT_EQ(c.dexterity, 40);
             EXPECT_EQ(c.intelligence, 20);
         }},
        {"stats 50/50/0 reset",
         [](NewCharacter& c) {
             c.strength = 50;
             c.dexterity = 50;
             c.intelligence = 0;
         },
         [](const NewCharacter& c) {
             EXPECT_EQ(c.strength, 34);
             EXPECT_EQ(c.dexterity, 33);
             EXPECT_EQ(c.intelligence, 33);
         }},
        {"stats 51/39/10 reset",
         [](NewCharacter& c) { c.strength = 51, c.dexterity = 39, c.intelligence = 10; },
         [](const NewCharacter& c) { EXPECT_EQ(c.strength, 34); }},
        {"skills summing 100 kept", [](NewCharacter&) {},
         [](const NewCharacter& c) {
             EXPECT_EQ(c.skillValue[0], 50);
             EXPECT_EQ(c.skillValue[1], 50);
         }},
        {"skills summing 101 reset", [](NewCharacter& c) { c.skillValue[2] = 1; },
         [](const NewCharacter& c) {
             EXPECT_EQ(c.skillValue[0], 34);
             EXPECT_EQ(c.skillValue[1], 33);
             EXPECT_EQ(c.skillValue[2], 33);
             EXPECT_EQ(c.skill[0], 1) << "the skill numbers stay";
         }},
        {"skin 1058 kept", [](NewCharacter& c) { c.skinHue = 1058; },
         [](const NewCharacter& c) { EXPECT_EQ(c.skinHue, 1058); }},
        {"skin 1059 reset", [](NewCharacter& c) { c.skinHue = 1059; },
         [](const NewCharacter& c) { EXPECT_EQ(c.skinHue, 1002); }},
        {"hair hue 1149 kept", [](NewCharacter& c) { c.hairHue = 1149; },
         [](const NewCharacter& c) { EXPECT_EQ(c.hairHue, 1149); }},
        {"hair hue 1150 reset", [](NewCharacter& c) { c.hairHue = 1150; },
         [](const NewCharacter& c) { EXPECT_EQ(c.hairHue, 1102); }},
        {"hair 8262 refused for a male", [](NewCharacter& c) { c.hairStyle = 8262; },
         [](const NewCharacter& c) { EXPECT_EQ(c.hairStyle, 0); }},
        {"hair 8262 kept for a female",
         [](NewCharacter& c) {
             c.hairStyle = 8262;
             c.sex = 1;
         },
         [](const NewCharacter& c) { EXPECT_EQ(c.hairStyle, 8262); }},
        {"beard kept for a male", [](NewCharacter& c) { c.beardStyle = 8254; },
         [](const NewCharacter& c) { EXPECT_EQ(c.beardStyle, 8254); }},
        {"no beard for a female",
         [](NewCharacter& c) {
             c.beardStyle = 8254;
             c.sex = 7;
         },
         [](const NewCharacter& c) {
             EXPECT_EQ(c.beardStyle, 0);
             EXPECT_EQ(c.sex, 1);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        NewCharacter c = Request("Ann");
        k.change(c);
        k.check(ClampNewCharacter(c));
    }
}

class PlayerRegistryTest : public WorldTest {
protected:
    CPlayer* Create(const char* name, u32 account = 1) {
        NewCharacter c = Request(name);
        c.accountKey = account;
        return registry.CreatePlayer(c);
    }
    CPlayerRegistry registry;
};

TEST_F(PlayerRegistryTest, CreationKeepsTheClampedValues) {
    NewCharacter c = Request("Ann");
    c.strength = 50;
    c.intelligence = 0;
    c.skinHue = 1059;
    CPlayer* ann = registry.CreatePlayer(c);
    ASSERT_NE(ann, nullptr);
    EXPECT_STREQ(ann->GetRealName(), "Ann");
    EXPECT_EQ(ann->GetBody(), 400);
    EXPECT_EQ(ann->GetMaxHits(), 34);
    EXPECT_EQ(ann->GetCurHits(), 34);
    EXPECT_EQ(ann->GetMaxFatigue(), 33);
    EXPECT_EQ(ann->GetMaxMana(), 33);
    EXPECT_EQ(ann->GetHue(), 1002 | 0x8000);
    EXPECT_EQ(ann->GetLocation().x, 10);
    EXPECT_EQ(registry.FindBySerial(ann->GetSerial()), ann);
}

TEST_F(PlayerRegistryTest, ANewCharacterKeepsItsSerialSatietyAndWeaponThroughTwoRestarts) {
    CPlayer* ann = Create("Ann");
    ASSERT_NE(ann, nullptr);
    const u32 serial = ann->GetSerial();
    EXPECT_EQ(serial & 0x40000000u, 0u) << "a mobile's serial has bit 30 clear";
    EXPECT_EQ(ann->GetSatiety(), 25) << "a new character starts well fed";
    // A sword worn remembers its wearer.
    g_weaponTemplates.Clear();
    g_weaponTemplates.LoadFromText(0, "Name: a blade\nWeapon Class: 1d4\nType: SLASHING\n"
                                      "Handedness: RIGHTHAND\n");
    CItem* sword = g_objectManager.CreateWeapon(kSword);  // the template its graphic names
    ASSERT_NE(sword, nullptr);
    ASSERT_TRUE(sword->EquipOn(ann, 1));
    sword->RecordPlacement(CItem::WornLayers::kAny);
    const u32 swordSerial = sword->GetSerial();
    ASSERT_NE(sword->GetPlacement(), nullptr);
    ASSERT_EQ(sword->GetPlacement()->lastWearer, serial);
    ann->LogOut(0);
    for (int restart = 1; restart <= 2; ++restart) {
        const SectorPair saved = BuildDynamicPair();
        {
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            DeleteAllObjects();
        }
        DynamicLoadReport report;
        ASSERT_EQ(LoadDynamicObjects(saved.index, saved.data, "save", &report), 0) << restart;
        for (int r = 0; r < static_cast<int>(DropReason::kCount); ++r)
            EXPECT_EQ(report.dropped[r], 0) << DropReasonName(static_cast<DropReason>(r));
        CPlayer* back = g_loggedOutList.FindBySerial(serial);
        ASSERT_NE(back, nullptr) << "restart " << restart;
        EXPECT_STREQ(back->GetRealName(), "Ann");
        EXPECT_EQ(back->GetSatiety(), 25) << "restart " << restart;
        g_loggedOutList.Restore(back);
        CItem* swordBack = back->GetLayer(1);
        ASSERT_NE(swordBack, nullptr) << "restart " << restart;
        EXPECT_EQ(swordBack->GetSerial(), swordSerial) << "restart " << restart;
        ASSERT_NE(swordBack->GetPlacement(), nullptr);
        EXPECT_EQ(swordBack->GetPlacement()->lastWearer, serial) << "restart " << restart;
        back->LogOut(0);
    }
    ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
    DeleteAllObjects();
    g_weaponTemplates.Clear();
}

TEST_F(PlayerRegistryTest, NamesAreFoundInAnyCaseAmongLiveAndLoggedOutCharacters) {
    CPlayer* ann = Create("Ann");
    CPlayer* bo = Create("Bo");
    bo->LogOut(0);
    struct Case {
        const char* name;
        CPlayer* any;
        CPlayer* live;
    };
    const Case cases[] = {
        {"ann", ann, ann},   {"ANN", ann, ann},        {"Bo", bo, nullptr},
        {"bO", bo, nullptr}, {"An", nullptr, nullptr}, {"", nullptr, nullptr},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(registry.FindByNameAny(k.name), k.any) << k.name;
        EXPECT_EQ(registry.FindByName(k.name), k.live) << k.name;
    }
    EXPECT_TRUE(bo->IsDetached());
    EXPECT_TRUE(bo->HasFlag(kPlayerLoggedOut));
}

TEST_F(PlayerRegistryTest, OnlineCountLeavesOutLoggedOutCharactersAndTheyComeBack) {
    const u16 before = registry.CountOnline();
    CPlayer* ann = Create("Ann", 7);
    CPlayer* bo = Create("Bo", 7);
    EXPECT_EQ(registry.CountOnline(), before + 2);
    bo->LogOut(0);
    EXPECT_EQ(registry.CountOnline(), before + 1);
    EXPECT_FALSE(bo->IsLoggedIn());
    std::vector<CPlayer*> account;
    registry.CollectAccountPlayers(account, 7);
    EXPECT_EQ(account, (std::vector<CPlayer*>{ann, bo})) << "live first, then logged out";

    bo->EnterWorld(nullptr);
    EXPECT_EQ(registry.CountOnline(), before + 2);
    EXPECT_TRUE(bo->IsLoggedIn());
    EXPECT_FALSE(bo->HasFlag(kPlayerLoggedOut));
    EXPECT_FALSE(bo->IsDetached());
    EXPECT_EQ(registry.FindByName("bo"), bo);
}

// Counts its ticks; may delete itself or another player while ticking.
class TickingPlayer : public CPlayer {
public:
    void Tick() override {
        ++ticks;
        if (victim) {
            CPlayer* v = victim;
            victim = nullptr;
            delete v;
        }
    }
    int ticks = 0;
    CPlayer* victim = nullptr;
};

TEST_F(PlayerRegistryTest, TheTickWalkSurvivesPlayersDeletedDuringIt) {
    struct Case {
        const char* what;
        int deleter;  // index of the player that deletes
        int victim;   // index of the one it deletes
    };
    // The list is newest first: index 2 ticks first.
    const Case cases[] = {{"itself", 1, 1}, {"the next one", 2, 1}, {"one already ticked", 0, 2}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TickingPlayer* p[3];
        for (auto*& q : p) {
            q = new TickingPlayer;
            q->PlaceInWorldQuiet(Location(5, 5, 0));
        }
        p[k.deleter]->victim = p[k.victim];
        registry.TickAll();
        for (int i = 0; i < 3; ++i) {
            if (i == k.victim) continue;
            EXPECT_EQ(p[i]->ticks, 1) << i;
            delete p[i];
        }
    }
}

TEST_F(PlayerRegistryTest, SendersReachThePlayersInRangeAndAllOnline) {
    CPlayer* near = Create("Near");
    CPlayer* edge = Create("Edge");
    CPlayer* far = Create("Far");
    CPlayer* gone = Create("Gone");
    edge->RemoveFromWorldQuiet();
    edge->PlaceInWorldQuiet(Location(20, 10, 0));  // 10 tiles away: in range
    far->RemoveFromWorldQuiet();
    far->PlaceInWorldQuiet(Location(40, 40, 0));
    CPlayer* players[] = {near, edge, far, gone};
    ThrottledSock* socks[4];
    for (int i = 0; i < 4; ++i) {
        socks[i] = new ThrottledSock;
        socks[i]->budget = 1 << 20;
        socks[i]->loggedIn = 1;
        LinkPlayerToSocket(players[i], socks[i]);
    }
    gone->LogOut(0);
    auto received = [&]() {
        std::string out;
        for (ThrottledSock* s : socks) {
            s->FlushSendQueue();
            out += std::to_string(s->wire.size());
            s->wire.clear();
        }
        return out;
    };
    received();
    u8 bytes[1] = {0x55};
    PacketWriter packet(bytes, sizeof bytes);
    packet.AppendByte(0x55);
    SendPacketToPlayersInRange(packet, Location(10, 10, 0), 10);
    EXPECT_EQ(received(), "1100");
    SendPacketToPlayersInRange(packet, Location(10, 10, 0), 10, near);
    EXPECT_EQ(received(), "0100");
    LocalConnectionServices net;
    CPlayerRegistry* saved = SetPlayerRegistry(&registry);
    net.SendToAll(bytes, 1);
    SetPlayerRegistry(saved);
    EXPECT_EQ(received(), "1110") << "logged-out characters get nothing";
    DeleteAllSockets();
}

// A character created through the real registry over a real queue pair.
class PlayerEntryTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        InstallTestTileSet();
        g_sectorGrid.Build(0, 0, 64, 64);
        SetTriggerServices(&triggers);
        savedStart_[0] = g_startX;
        savedStart_[1] = g_startY;
        g_startX = 21;
        g_startY = 17;
        SetPlayerRegistry(&real);
        net.CreateLocalUserSock();
    }
    void TearDown() override {
        LinkTest::TearDown();
        g_startX = savedStart_[0];
        g_startY = savedStart_[1];
        DeleteAllObjects();
        SetTriggerServices(nullptr);
    }
    // The packets in the bytes, split by the packet table.
    static std::vector<std::vector<u8>> Split(const std::vector<u8>& bytes) {
        std::vector<std::vector<u8>> out;
        size_t at = 0;
        while (at < bytes.size()) {
            const u16 word = PacketTableWord(bytes[at]);
            size_t length = word & ~kVariableLength;
            if ((word & kVariableLength) && at + 3 <= bytes.size())
                length = size_t(bytes[at + 1]) << 8 | bytes[at + 2];
            if (length == 0 || at + length > bytes.size()) break;
            out.emplace_back(bytes.begin() + at, bytes.begin() + at + length);
            at += length;
        }
        return out;
    }

    CPlayerRegistry real;
    RecordingTriggers triggers;
    LocalConnectionServices net;
    s16 savedStart_[2] = {};
};

TEST_F(PlayerEntryTest, ACreatedCharacterStandsAtTheConfiguredStart) {
    std::vector<u8> create = Packet(0x00, 0, "Tester");
    create[5] = 0xFF;  // x 0xFFFF: the configured start
    create[6] = 0xFF;
    const u8 rest[] = {0,    40,   40,   20,   1,    50,   2, 50, 3, 0,
                       0x03, 0xEA, 0x20, 0x3B, 0x04, 0x4E, 0, 0,  0, 0};
    std::memcpy(&create[70], rest, sizeof rest);
    ClientSends(create);
    ServerPass();
    const std::vector<std::vector<u8>> packets = Split(ClientReads());

    CPlayer* tester = real.FindByName("Tester");
    ASSERT_NE(tester, nullptr);
    EXPECT_EQ(LocalUserSock->player, tester);
    EXPECT_TRUE(tester->IsLoggedIn());
    EXPECT_EQ(tester->GetLocation().x, 21);
    EXPECT_EQ(tester->GetLocation().y, 17);

    ASSERT_FALSE(packets.empty());
    const std::vector<u8>& confirm = packets.front();
    ASSERT_EQ(confirm[0], 0x1B);
    EXPECT_EQ((confirm[11] << 8 | confirm[12]), 21);
    EXPECT_EQ((confirm[13] << 8 | confirm[14]), 17);
    bool complete = false;
    for (const auto& p : packets)
        complete |= p[0] == 0x55;
    EXPECT_TRUE(complete);
    bool online = false;
    for (const auto& call : triggers.calls)
        online |= call.serial == tester->GetSerial() && call.trigger == kTriggerOnline;
    EXPECT_TRUE(online);
}

// The status and skill answers about a character just created: the values its mobile holds.
TEST_F(PlayerEntryTest, StatusAndSkillAnswersCarryTheCreatedCharactersValues) {
    // Four skills tempered by the stats: weights 10/20/30, 60 % of the stats' share.
    std::string table = "version 0\n";
    for (int i = 0; i < 4; ++i)
        table += "--\nName S" + std::to_string(i) +
                 "\nStr 10\nDex 20\nInt 30\nW 0\nW 0\nW 0\nCurve 0 500 800\nSpare 0\nPct 40\n"
                 "Use T\nCap 1\nScript s\n";
    ASSERT_EQ(g_skillTable.LoadFromText(table), 4);
    g_objectManager.SetSerialCounter(0x40000200);
    std::vector<u8> create = Packet(0x00, 0, "Tester");
    create[5] = 0xFF;
    create[6] = 0xFF;
    // Male, strength 40, dexterity 40, intelligence 20, skills 1 and 2 at 50, long hair.
    const u8 rest[] = {0,    40,   40,   20,   1,    50,   2, 50, 3, 0,
                       0x03, 0xEA, 0x20, 0x3B, 0x04, 0x4E, 0, 0,  0, 0};
    std::memcpy(&create[70], rest, sizeof rest);
    ClientSends(create);
    ServerPass();
    ClientReads();
    CPlayer* tester = real.FindByName("Tester");
    ASSERT_NE(tester, nullptr);
    ASSERT_EQ(tester->GetSerial(), 0x200u);
    auto answer = [&](const char* request) {
        ClientSends(FromHex(request));
        ServerPass();
        return ToHex(ClientReads());
    };
    auto zeros = [](int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += " 00";
        return out;
    };
    const std::string nameField = "54 65 73 74 65 72" + zeros(24);
    const std::string weight = [&] {
        char text[8];
        std::snprintf(text, sizeof text, "%02X %02X", tester->GetWeight() >> 8,
                      tester->GetWeight() & 0xFF);
        return std::string(text);
    }();
    // Hits 40 of 40, full detail, male, stats 40/40/20, stamina 40 of 40, mana 20 of 20, no
    // gold, no armour, and the mobile's weight.
    EXPECT_EQ(answer("34 ED ED ED ED 04 00 00 02 00"),
              "11 00 42 00 00 02 00 " + nameField +
                  " 00 28 00 28 00 01 00 00 28 00 28 00 14 00 28 00 28 00 14 00 14 00 00 00 00 00 "
                  "00 " +
                  weight);
    // Every skill at its effective value: 0 and 500 tempered by a stat share of 108.
    EXPECT_EQ(answer("34 ED ED ED ED 05 00 00 00 00"),
              "3A 00 16 00 00 01 00 6C 00 02 02 2A 00 03 02 2A 00 04 00 6C 00 00");
    EXPECT_EQ(answer("34 ED ED ED ED 06 00 00 00 02"), "3A 00 08 FF 00 02 02 2A");

    // Gold carried in a backpack (no starting kit here) and armour worn show up as such.
    CItem* pack = g_objectManager.CreateContainer(kBag);
    ASSERT_TRUE(pack->EquipOn(tester, 21));
    for (int x : {1, 2}) {
        CItem* coin = g_objectManager.CreateItem(3821);
        ASSERT_TRUE(coin->AddToContainer(pack->AsContainer(), Location(x, 1, 0)));
    }
    CItem* helm = g_objectManager.CreateItem(kSword);
    ASSERT_NE(helm->AsWeapon(), nullptr);
    helm->AsWeapon()->SetArmorClass(28);
    helm->AsWeapon()->SetHitPoints(10);
    helm->AsWeapon()->SetMaxHitPoints(10);
    ASSERT_TRUE(helm->EquipOn(tester, 6));
    tester->SetNaturalArmor(3);
    ClientReads();
    const std::string status = answer("34 ED ED ED ED 04 00 00 02 00");
    // Two coins; armour 35 (28 at full condition) on two rows of 14: 70 / 14, plus 3 natural.
    EXPECT_EQ(status.substr(58 * 3, 6 * 3 - 1), "00 00 00 02 00 08");
    g_skillTable.LoadFromText("");
}

}  // namespace
