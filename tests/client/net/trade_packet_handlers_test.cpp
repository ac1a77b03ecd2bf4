#include "client/net/trade_packet_handlers.h"

#include <gtest/gtest.h>

#include "tests/client/net/object_handlers_fixture.h"

namespace {

constexpr u32 kPartner = 0x00000020;
constexpr u32 kOwnBox = 0x40000030;
constexpr u32 kTheirBox = 0x40000031;
constexpr u32 kShopBox = 0x40000040;

class TradePacketHandlersTest : public ObjectHandlersTest {
protected:
    static std::vector<u8> Trade(u8 action, u32 a, u32 b, u32 c, const char* name) {
        Packet p = Var(0x6F);
        p.B(action).L(a).L(b).L(c).B(name ? 1 : 0);
        if (name) p.Text(name, 30 - std::string(name).size());
        return p.Variable();
    }
};

TEST_F(TradePacketHandlersTest, ATradeFromAnIgnoredPartnerIsCancelledUnseen) {
    Mobile(kPartner, 400, 11, 10);
    windows.ignored.insert(kPartner);
    Send(Trade(0, kPartner, kOwnBox, kTheirBox, "Ann"));
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(net.ClientSent(), (Bytes{0x6F, 0x00, 0x11, 0x01, 0x40, 0x00, 0x00, 0x30, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0}));
}

TEST_F(TradePacketHandlersTest, TradeStartsClosesAndTicksThroughItsWindow) {
    Mobile(kPartner, 400, 11, 10);
    Item(kOwnBox, kBoxGraphic);
    Item(0x40000050, kPlainGraphic);
    struct Case {
        std::vector<u8> packet;
        std::vector<std::string> calls;
    } cases[] = {
        {Trade(0, kPartner, kOwnBox, kTheirBox, "Ann"),
         {"OpenTradeWindow 00000020 40000030 40000031 Ann"}},
        {Trade(0, kPartner, kOwnBox, kTheirBox, nullptr),
         {"OpenTradeWindow 00000020 40000030 40000031 "}},
        {Trade(0, 0x00000099, kOwnBox, kTheirBox, "Nobody"), {}},
        {Trade(0, kOwnBox, kOwnBox, kTheirBox, "A box"), {}},
        {Trade(2, kOwnBox, 1, 0, nullptr), {"SetTradeChecks 40000030 1 0"}},
        {Trade(2, kOwnBox, 0, 7, nullptr), {"SetTradeChecks 40000030 0 1"}},
        {Trade(1, kOwnBox, 0, 0, nullptr), {"CloseTradeWindow 40000030"}},
        {Trade(1, 0x40000050, 0, 0, nullptr), {}},
        {Trade(1, 0x40000099, 0, 0, nullptr), {}},
        {Trade(9, kOwnBox, 0, 0, nullptr), {}},
    };
    for (const Case& c : cases) {
        windows.calls.clear();
        Send(c.packet);
        EXPECT_EQ(windows.calls, c.calls);
    }
    EXPECT_TRUE(net.ClientSent().empty());
}

TEST_F(TradePacketHandlersTest, VendorListPricesTheBoxesItemsAsFarAsBothGo) {
    Item(kShopBox, kBoxGraphic);
    Put(0x40000041, kPlainGraphic, kShopBox);
    Put(0x40000042, kPlainGraphic, kShopBox);
    const std::vector<u32> order = Contents(kShopBox);
    auto* first = static_cast<CClientItem*>(Find(order[0]));
    auto* second = static_cast<CClientItem*>(Find(order[1]));
    first->shopPrice = 99;
    first->shopName = "stale";
    second->shopName = "stale";
    // Three entries for two items; the second name lacks its terminator and loses its last
    // byte; the second entry's empty name leaves none.
    Packet p = Var(0x74);
    p.L(kShopBox).B(3);
    p.L(12).B(6).Text("apple", 1);
    p.L(7).B(0);
    p.L(5).B(4).Text("pear", 1);
    Send(p.Variable());
    EXPECT_EQ(first->shopPrice, 12u);
    EXPECT_EQ(first->shopName, "apple");
    EXPECT_EQ(second->shopPrice, 7u);
    EXPECT_EQ(second->shopName, "");
    EXPECT_TRUE(net.link.Connection().IsOpen());

    Packet q = Var(0x74);
    q.L(kShopBox).B(2);
    q.L(3).B(4).Text("fig!");
    q.L(4).B(30).Text("cut");  // the name runs past the packet: it ends there
    Send(q.Variable());
    EXPECT_EQ(first->shopName, "fig");
    EXPECT_EQ(second->shopPrice, 4u);
    EXPECT_EQ(second->shopName, "cut");
    EXPECT_TRUE(net.link.Connection().IsOpen());
}

TEST_F(TradePacketHandlersTest, SellListOpensTheVendorsOfferAfterClosingItsShop) {
    Mobile(kPartner, 400, 11, 10);
    Packet p = Var(0x9E);
    p.L(kPartner).W(2);
    p.L(0x40000061).W(0x19B9).W(33).W(4).W(15).W(3).Text("ore");
    p.L(0x40000062).W(0x0EED).W(0).W(100).W(1).W(4).Text("gold");
    Send(p.Variable());
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"CloseShopWindows 00000020 first",
                                                       "OpenSellWindow 00000020 2"}));
    ASSERT_EQ(windows.offers.size(), 2u);
    EXPECT_EQ(windows.offers[0].serial, 0x40000061u);
    EXPECT_EQ(windows.offers[0].graphic, 0x19B9);
    EXPECT_EQ(windows.offers[0].hue, 33);
    EXPECT_EQ(windows.offers[0].amount, 4);
    EXPECT_EQ(windows.offers[0].price, 15);
    EXPECT_EQ(windows.offers[0].name, "ore");
    EXPECT_EQ(windows.offers[1].name, "gold");

    struct Case {
        const char* what;
        std::vector<u8> packet;
        bool refused;
    } cases[] = {
        {"vendor 0", Var(0x9E).L(0).W(1).L(1).W(1).W(1).W(1).W(1).W(0).Variable(), false},
        {"count 0", Var(0x9E).L(kPartner).W(0).Variable(), false},
        {"unknown vendor", Var(0x9E).L(0x99).W(1).L(1).W(1).W(1).W(1).W(1).W(0).Variable(),
         false},
        {"name past the packet",
         Var(0x9E).L(kPartner).W(1).L(1).W(1).W(1).W(1).W(1).W(40).Text("x").Variable(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.calls.clear();
        net.reports.Clear();
        net.link.OpenLocalConnection();
        Send(c.packet);
        EXPECT_TRUE(windows.calls.empty());
        EXPECT_EQ(net.reports.Lines().size(), c.refused ? 1u : 0u);
    }
}

TEST_F(TradePacketHandlersTest, ShopCloseClosesOrClearsTheVendorsWindows) {
    Mobile(kPartner, 400, 11, 10);
    struct Case {
        u32 vendor;
        u8 flag;
        std::vector<std::string> calls;
    } cases[] = {
        {kPartner, 0, {"CloseShopWindows 00000020 all"}},
        {kPartner, 1, {"ClearShopLists 00000020"}},
        {kPartner, 2, {}},
        {0x99, 0, {}},
    };
    for (const Case& c : cases) {
        windows.calls.clear();
        Send(Var(0x3B).L(c.vendor).B(c.flag).Variable());
        EXPECT_EQ(windows.calls, c.calls);
    }
}

}  // namespace
