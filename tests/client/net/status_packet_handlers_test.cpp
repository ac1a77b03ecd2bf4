#include "client/net/status_packet_handlers.h"

#include <gtest/gtest.h>

#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "client/net/server_feature_flag.h"
#include "tests/client/net/text_packet_builder.h"
#include "tests/client/net/text_window_fake.h"
#include "tests/client/world/world_fixture.h"

namespace {

constexpr u32 kOther = 0x21;

class StatusPacketHandlersTest : public WorldFixture {
protected:
    StatusPacketHandlersTest() : player(PlayerInStillWorld()) { Mobile(kOther, 400, 12, 10); }
    ~StatusPacketHandlersTest() override { SetServerFeatureFlag(0); }
    void Send(const std::vector<u8>& bytes) {
        link.Dispatcher().Dispatch(bytes.data(), bytes.size());
    }
    SkillRecords& Skills() { return link.state.skills; }

    // 0x11; `extended` adds the long form with these values.
    static TextPacket Status(u32 serial, const std::string& name, bool rename, bool extended,
                             u32 gold = 0) {
        TextPacket p = TextPacket::Var(0x11);
        p.L(serial).Text(name, 30).W(40).W(50).B(rename).B(extended);
        if (extended) {
            p.B(1).W(11).W(12).W(13).W(21).W(22).W(31).W(32).L(gold).W(7).W(90);
        }
        return p;
    }
    // 0x3A of type 0 or 1 with {number, value} entries, ended by 0 unless `unended`.
    static TextPacket SkillList(u8 type, const std::vector<std::pair<int, int>>& entries,
                                bool unended = false) {
        TextPacket p = TextPacket::Var(0x3A);
        p.B(type);
        for (const auto& [number, value] : entries)
            p.W(u32(number)).W(u32(value));
        if (!unended) p.W(0);
        return p;
    }

    LinkReportCapture reports;
    TextWindowFake windows;
    ClientLink link;
    CClientPlayer* player;
};

TEST_F(StatusPacketHandlersTest, StatusFillsTheRecordAndTheMobilesStatusWindows) {
    struct Case {
        u32 serial;
        bool rename, extended;
        bool shopMoney;  // the player's gold reaches the shop windows
    } cases[] = {
        {1, false, true, true},
        {1, false, false, true},
        {kOther, true, true, false},
        {kOther, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.serial << " " << c.rename << c.extended);
        windows.status.clear();
        windows.status[c.serial].status.strength = 99;  // an older long form
        windows.status[c.serial].status.gold = 5;
        windows.status[0x77].status.strength = 99;  // another mobile's window
        windows.shopWindows = 1;
        windows.shopMoney = 0xBEEF;
        Send(Status(c.serial, "Some Name", c.rename, c.extended, 0x12345).Bytes());
        const StatusRecord& s = link.state.status;
        EXPECT_EQ(s.serial, c.serial);
        EXPECT_EQ(s.name, "Some Name");
        EXPECT_EQ(s.hits, 40);
        EXPECT_EQ(s.maxHits, 50);
        EXPECT_EQ(s.strength, c.extended ? 11 : 0);
        EXPECT_EQ(s.dexterity, c.extended ? 12 : 0);
        EXPECT_EQ(s.intelligence, c.extended ? 13 : 0);
        EXPECT_EQ(s.stamina, c.extended ? 21 : 0);
        EXPECT_EQ(s.maxStamina, c.extended ? 22 : 0);
        EXPECT_EQ(s.mana, c.extended ? 31 : 0);
        EXPECT_EQ(s.maxMana, c.extended ? 32 : 0);
        EXPECT_EQ(s.gold, c.extended ? 0x12345u : 0u);
        EXPECT_EQ(s.armour, c.extended ? 7 : 0);
        EXPECT_EQ(s.weight, c.extended ? 90 : 0);
        EXPECT_EQ(s.sex, c.extended ? 1 : 0);
        // The window of the mobile holds a copy, the short form zeroing the long fields.
        const TextWindowFake::StatusWindow& w = windows.status[c.serial];
        EXPECT_EQ(w.status.strength, s.strength);
        EXPECT_EQ(w.status.gold, s.gold);
        EXPECT_EQ(w.status.name, "Some Name");
        EXPECT_EQ(w.renamable, c.rename);
        EXPECT_EQ(w.refreshes, 1);
        EXPECT_EQ(windows.status[0x77].status.strength, 99);
        EXPECT_EQ(windows.status[0x77].refreshes, 0);
        EXPECT_EQ(windows.shopMoney, c.shopMoney ? (c.extended ? 0x2345 : 0) : 0xBEEF);
    }
}

TEST_F(StatusPacketHandlersTest, BarsGoOntoThePlayerAndIntoOpenStatusWindows) {
    struct Case {
        u8 id;
        u32 serial;
        // Expected hits, mana and stamina pairs afterwards (value, maximum), from 1/2/3 each.
        int hits, maxHits, mana, maxMana, stamina, maxStamina;
    } cases[] = {
        {0x2D, 1, 60, 70, 80, 90, 100, 110},
        {0xA1, 1, 60, 70, 2, 2, 3, 3},
        {0xA2, 1, 1, 1, 60, 70, 3, 3},
        {0xA3, 1, 1, 1, 2, 2, 60, 70},
        {0x2D, kOther, 60, 70, 80, 90, 100, 110},
        {0xA1, kOther, 60, 70, 2, 2, 3, 3},
        {0xA2, kOther, 1, 1, 60, 70, 3, 3},
        {0xA3, kOther, 1, 1, 2, 2, 60, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.id) << " " << c.serial);
        player->hits = player->maxHits = 1;
        player->mana = player->maxMana = 2;
        player->stamina = player->maxStamina = 3;
        windows.status.clear();
        StatusRecord& before = windows.status[c.serial].status;
        before.hits = before.maxHits = 1;
        before.mana = before.maxMana = 2;
        before.stamina = before.maxStamina = 3;
        TextPacket p = TextPacket::Fixed(c.id);
        if (c.id == 0x2D) {
            p.L(c.serial).W(70).W(60).W(90).W(80).W(110).W(100);
        } else {
            p.L(c.serial).W(70).W(60);
        }
        Send(p.Bytes());
        const StatusRecord& w = windows.status[c.serial].status;
        EXPECT_EQ(windows.status[c.serial].refreshes, 1);
        EXPECT_EQ(w.hits, c.hits);
        EXPECT_EQ(w.maxHits, c.maxHits);
        EXPECT_EQ(w.mana, c.mana);
        EXPECT_EQ(w.maxMana, c.maxMana);
        EXPECT_EQ(w.stamina, c.stamina);
        EXPECT_EQ(w.maxStamina, c.maxStamina);
        const bool own = c.serial == 1;
        EXPECT_EQ(player->hits, own ? c.hits : 1);
        EXPECT_EQ(player->maxHits, own ? c.maxHits : 1);
        EXPECT_EQ(player->mana, own ? c.mana : 2);
        EXPECT_EQ(player->maxMana, own ? c.maxMana : 2);
        EXPECT_EQ(player->stamina, own ? c.stamina : 3);
        EXPECT_EQ(player->maxStamina, own ? c.maxStamina : 3);
    }
}

TEST_F(StatusPacketHandlersTest, BarsOfAnUnknownSerialOrAnItemChangeNothing) {
    TheClientWorld().UpdateObject(0x40000005, 0x0E75, 0, 1, 11, 10, 0, 0, 0, 0);
    for (u32 serial : {0x99u, 0x40000005u}) {
        windows.status[serial].status.hits = 5;
        for (u8 id : {0x2D, 0xA1, 0xA2, 0xA3}) {
            TextPacket p = TextPacket::Fixed(id);
            p.L(serial).W(70).W(60);
            if (id == 0x2D) p.W(1).W(1).W(1).W(1);
            Send(p.Bytes());
        }
        EXPECT_EQ(windows.status[serial].status.hits, 5);
        EXPECT_EQ(windows.status[serial].refreshes, 0);
    }
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(StatusPacketHandlersTest, OwnSkillListReplacesEveryValueAndOpensTheAskedForWindow) {
    struct Case {
        std::vector<std::pair<int, int>> entries;
        bool unended;
        bool open, requested;
        int raises, refreshes, opens;
        bool requestedAfter;
    } cases[] = {
        {{{1, 100}, {50, 500}, {51, 7}, {3, 30}}, false, true, true, 1, 1, 0, true},
        {{{1, 100}, {50, 500}, {51, 7}, {3, 30}}, false, true, false, 0, 1, 0, false},
        {{{1, 100}, {50, 500}, {51, 7}, {3, 30}}, false, false, true, 0, 0, 1, false},
        {{{1, 100}, {50, 500}, {51, 7}, {3, 30}}, true, false, false, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        Skills().values.fill(9);
        Skills().windowRequested = c.requested;
        windows.skillWindowOpen = c.open;
        windows.skillRaises = windows.skillRefreshes = windows.skillOpens = 0;
        Send(SkillList(0, c.entries, c.unended).Bytes());
        EXPECT_EQ(Skills().values[0], 100);
        EXPECT_EQ(Skills().values[49], 500);
        EXPECT_EQ(Skills().values[2], 30);
        EXPECT_EQ(Skills().values[1], 0);  // not listed: cleared
        EXPECT_EQ(windows.skillRaises, c.raises);
        EXPECT_EQ(windows.skillRefreshes, c.refreshes);
        EXPECT_EQ(windows.skillOpens, c.opens);
        EXPECT_EQ(Skills().windowRequested, c.requestedAfter);
    }
    // A first skill number of 0 clears all 50 values.
    Skills().values.fill(9);
    Send(SkillList(0, {{0, 5}, {2, 20}}).Bytes());
    for (u16 v : Skills().values)
        EXPECT_EQ(v, 0);
    // At most 50 entries are taken: a 51st is left unread.
    std::vector<std::pair<int, int>> many;
    for (int i = 0; i < 50; ++i)
        many.push_back({1, i});
    many.push_back({2, 77});
    Send(SkillList(0, many).Bytes());
    EXPECT_EQ(Skills().values[0], 49);
    EXPECT_EQ(Skills().values[1], 0);
    EXPECT_FALSE(reports.Has("Closing the connection: server packet 0x3A is malformed at byte 3."));
}

TEST_F(StatusPacketHandlersTest, OthersSkillListOpensAWindowOfItsOwnAndLeavesTheClientsValues) {
    Skills().values.fill(9);
    Send(SkillList(1, {{2, 20}, {50, 500}, {51, 1}, {0xFFFF, 1}}).Bytes());
    ASSERT_EQ(windows.othersSkills.size(), 1u);
    const auto& own = windows.othersSkills[0];
    EXPECT_EQ(own[1], 20);
    EXPECT_EQ(own[49], 500);
    EXPECT_EQ(own[0], 0);
    for (u16 v : Skills().values)
        EXPECT_EQ(v, 9);
}

TEST_F(StatusPacketHandlersTest, OneSkillByIndexFromZero) {
    struct Case {
        int index;
        bool open;
        int slot;  // -1: nothing changes
    } cases[] = {{0, true, 0}, {49, false, 49}, {50, true, -1}, {0xFFFF, true, -1}};
    for (const Case& c : cases) {
        Skills().values.fill(9);
        windows.skillWindowOpen = c.open;
        windows.skillRefreshes = 0;
        TextPacket p = TextPacket::Var(0x3A);
        p.B(255).W(u32(c.index)).W(1234);
        Send(p.Bytes());
        for (int i = 0; i < SkillRecords::kSkills; ++i)
            EXPECT_EQ(Skills().values[i], i == c.slot ? 1234 : 9) << c.index << " " << i;
        EXPECT_EQ(windows.skillRefreshes, c.slot >= 0 && c.open ? 1 : 0);
    }
}

TEST_F(StatusPacketHandlersTest, SkillNamesKeepTheirFlagsFiftyAtMostAndSeventyNineCharacters) {
    TextPacket p = TextPacket::Var(0x3A);
    p.B(254).W(52);
    const std::string longName(90, 'n');
    for (int i = 0; i < 52; ++i) {
        const std::string name = i == 1 ? longName : "Skill" + std::to_string(i);
        p.B(i % 2).B(u32(name.size() + 1)).CText(name);
    }
    Send(p.Bytes());
    const auto& names = Skills().names;
    ASSERT_EQ(names.size(), 50u);
    EXPECT_EQ(names[0].text, "Skill0");
    EXPECT_EQ(names[0].flag, 0);
    EXPECT_EQ(names[1].text, longName.substr(0, 79));
    EXPECT_EQ(names[1].flag, 1);
    EXPECT_EQ(names[49].text, "Skill49");
    EXPECT_TRUE(reports.Lines().empty());
}

TEST_F(StatusPacketHandlersTest, OtherSkillListTypesChangeNothing) {
    Skills().values.fill(9);
    windows.skillWindowOpen = true;
    for (u8 type : {2, 100, 253}) {
        Send(SkillList(type, {{1, 1}, {2, 2}}).Bytes());
    }
    for (u16 v : Skills().values)
        EXPECT_EQ(v, 9);
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(StatusPacketHandlersTest, FeatureFlagKeepsBitZero) {
    for (auto [value, flag] : std::vector<std::pair<u16, int>>{
             {1, 1}, {0, 0}, {3, 1}, {2, 0}, {0xFFFF, 1}, {0xFFFE, 0}}) {
        TextPacket p = TextPacket::Fixed(0xB9);
        p.W(value);
        Send(p.Bytes());
        EXPECT_EQ(GetServerFeatureFlag(), flag) << value;
    }
}

// A packet shorter than its fields is refused with one line and changes nothing.
TEST_F(StatusPacketHandlersTest, ShortPacketsAreRefusedOnceAndChangeNothing) {
    const std::vector<u8> full11 = Status(1, "Cut", false, true, 1).Bytes();
    TextPacket bars = TextPacket::Fixed(0x2D);
    bars.L(1).W(1).W(1).W(1).W(1).W(1).W(1);
    TextPacket hits = TextPacket::Fixed(0xA1);
    hits.L(1).W(1).W(1);
    TextPacket names = TextPacket::Var(0x3A);
    names.B(254).W(2).B(1).B(4).CText("abc").B(1).B(40).Raw("short");
    TextPacket one = TextPacket::Var(0x3A);
    one.B(255).W(1).W(5);
    TextPacket list = TextPacket::Var(0x3A);
    list.B(0).W(1).W(5).W(2);  // a number without its value
    TextPacket flag = TextPacket::Fixed(0xB9);
    flag.W(1);
    struct Case {
        std::vector<u8> bytes;
        const char* line;
    } cases[] = {
        {Status(1, "Cut", false, true, 1).Cut(full11.size() - 1),
         "Closing the connection: server packet 0x11 is malformed at byte 64."},
        {Status(1, "Cut", false, false).Cut(20),
         "Closing the connection: server packet 0x11 is malformed at byte 7."},
        {bars.Cut(16), "Closing the connection: server packet 0x2D is malformed at byte 15."},
        {hits.Cut(8), "Closing the connection: server packet 0xA1 is malformed at byte 7."},
        {names.Bytes(), "Closing the connection: server packet 0x3A is malformed at byte 14."},
        {one.Cut(6), "Closing the connection: server packet 0x3A is malformed at byte 6."},
        {list.Bytes(), "Closing the connection: server packet 0x3A is malformed at byte 10."},
        {flag.Cut(2), "Closing the connection: server packet 0xB9 is malformed at byte 1."},
    };
    for (const Case& c : cases) {
        link.state.status = StatusRecord{};
        Skills().values.fill(9);
        Skills().names.clear();
        player->hits = 3;
        SetServerFeatureFlag(0);
        reports.Clear();
        Send(c.bytes);
        EXPECT_EQ(reports.Lines(), std::vector<std::string>{c.line});
        EXPECT_EQ(link.state.status.serial, 0u);
        EXPECT_EQ(Skills().values[0], 9);
        EXPECT_TRUE(Skills().names.empty());
        EXPECT_EQ(player->hits, 3);
        EXPECT_EQ(GetServerFeatureFlag(), 0);
    }
    EXPECT_TRUE(windows.calls.empty());
}

}  // namespace
