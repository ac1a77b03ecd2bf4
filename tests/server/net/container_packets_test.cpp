#include "server/net/container_packets.h"

#include <gtest/gtest.h>

#include "../world/world_test_support.h"
#include "packet_test_support.h"
#include "server/world/container.h"

namespace {

class ContainerPacketsTest : public WorldTest {
protected:
    CContainer* Bag(int children) {
        CItem* bag = g_objectManager.CreateContainer(kBag);
        for (int i = 0; i < children; ++i)
            NewItem()->AddToContainer(bag, Location(i, i + 1, 0));
        return bag->AsContainer();
    }
    // The children in child-list order.
    static std::vector<CItem*> Children(const CContainer& bag) {
        std::vector<CItem*> out;
        for (CItem* c = bag.GetFirstChild(); c; c = c->GetNextSibling())
            out.push_back(c);
        return out;
    }
    FakeItemValues values;
    BuiltPacket p;
};

TEST_F(ContainerPacketsTest, ContentsSendTheLast128ChildrenFromTheLastTowardTheFirst) {
    CContainer* bag = Bag(130);
    ASSERT_TRUE(BuildContainerContentsPacket(p.w, *bag, false, false, values));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), kMaxContainerContentsLength);
    EXPECT_EQ(Be16(b, 3), 128);
    const std::vector<CItem*> children = Children(*bag);
    for (size_t i = 0; i < 128; ++i) {
        const CItem* expected = children[children.size() - 1 - i];
        const size_t at = 5 + i * 19;
        ASSERT_EQ(Be32(b, at), expected->GetSerial()) << i;
        EXPECT_EQ(Be16(b, at + 7), 1);  // amount
        EXPECT_EQ(Be16(b, at + 9), expected->GetLocation().x);
        EXPECT_EQ(Be32(b, at + 13), bag->GetSerial());
    }
    // The first two children of the list are the ones left out.
    for (size_t i = 0; i < 128; ++i) {
        EXPECT_NE(Be32(b, 5 + i * 19), children[0]->GetSerial());
        EXPECT_NE(Be32(b, 5 + i * 19), children[1]->GetSerial());
    }
}

TEST_F(ContainerPacketsTest, ContentsLeaveOutEmptyChildrenWhenAsked) {
    CContainer* bag = Bag(3);
    ASSERT_TRUE(BuildContainerContentsPacket(p.w, *bag, true, true, values));
    EXPECT_EQ(p.Bytes(), Hex("3C 00 05 00 00"));

    // With shop units the listed amount is the resource units, and it is what is sent.
    const std::vector<CItem*> children = Children(*bag);
    values.units[children[1]->GetSerial()] = 7;
    BuiltPacket one;
    ASSERT_TRUE(BuildContainerContentsPacket(one.w, *bag, true, true, values));
    const std::vector<u8> b = one.Bytes();
    ASSERT_EQ(b.size(), 5u + 19);
    EXPECT_EQ(Be16(b, 3), 1);
    EXPECT_EQ(Be32(b, 5), children[1]->GetSerial());
    EXPECT_EQ(Be16(b, 5 + 7), 7);
}

TEST_F(ContainerPacketsTest, ContainerItemCarriesPositionAmountAndContainer) {
    CContainer* bag = Bag(0);
    bag->SetSerial(0x40000010);
    CItem* item = NewItem();
    item->SetSerial(0x40000011);
    item->AddToContainer(bag, Location(30, 40, 0));
    item->SetHue(0x22);
    ASSERT_TRUE(BuildContainerItemPacket(p.w, *item, *bag, values));
    EXPECT_EQ(p.Bytes(), Hex("25 40 00 00 11 00 64 00 00 01 00 1E 00 28 40 00 00 10 00 22"));
}

TEST_F(ContainerPacketsTest, ShopListListsAtMost250WithPricesAndCapitalisedNames) {
    CContainer* stock = Bag(300);
    ShopPriceFn price = [](const CItem&) { return 10; };
    ASSERT_TRUE(BuildShopListPacket(p.w, *stock, 100, false, price, values));
    const std::vector<u8> b = p.Bytes();
    EXPECT_EQ(b[7], 250);
    // "pebble" becomes "Pebble" with its terminator: 4 + 1 + 7 bytes per entry.
    ASSERT_EQ(b.size(), 8u + 250 * 12);
    EXPECT_EQ(Be32(b, 8), 10u);
    EXPECT_EQ(b[12], 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[13])), "Pebble");
    // Only the packet's copy is capitalised; the item's own name stays as it was.
    EXPECT_STREQ(stock->GetFirstChild()->GetName(0), "pebble");

    struct Case {
        int price;
        int percent;
        u32 sent;
    };
    const Case cases[] = {{10, 150, 15}, {10, 0, 0}, {-5, 100, 1}, {7, 50, 3}};
    CContainer* one = Bag(1);
    for (const Case& c : cases) {
        BuiltPacket q;
        ShopPriceFn fixed = [&](const CItem&) { return c.price; };
        ASSERT_TRUE(BuildShopListPacket(q.w, *one, c.percent, false, fixed, values));
        EXPECT_EQ(Be32(q.Bytes(), 8), c.sent) << c.price << " at " << c.percent;
    }
}

TEST_F(ContainerPacketsTest, ShopListWithOnlyStockedLeavesOutEmptyStock) {
    CContainer* stock = Bag(3);
    values.units[Children(*stock)[2]->GetSerial()] = 4;
    ASSERT_TRUE(BuildShopListPacket(
        p.w, *stock, 100, true, [](const CItem&) { return 1; }, values));
    EXPECT_EQ(p.Bytes()[7], 1);
}

TEST_F(ContainerPacketsTest, ShopListNamesOfAHundredCharactersLoseTheirTerminator) {
    struct LongName : CItem {
        std::string name;
        const char* GetName(int) const override { return name.c_str(); }
    };
    CContainer* bag = Bag(0);
    for (size_t length : {98u, 99u, 100u, 140u}) {
        LongName* item = new LongName;
        item->name = std::string(length, 'x');
        item->AddToContainer(bag, Location(0, 0, 0));
        BuiltPacket q;
        ASSERT_TRUE(BuildShopListPacket(
            q.w, *bag, 100, false, [](const CItem&) { return 1; }, values));
        const std::vector<u8> b = q.Bytes();
        const size_t sent = length + 1 > 100 ? 100 : length + 1;
        EXPECT_EQ(b[12], sent) << length;
        EXPECT_EQ(b[13], 'X');
        EXPECT_EQ(b[12 + sent], sent <= length ? 'x' : 0) << length;
        item->SetStatus(item->GetStatus() | kStatusNoTriggers);
        delete item;
    }
}

TEST_F(ContainerPacketsTest, SecureTradeWithAndWithoutAName) {
    ASSERT_TRUE(BuildSecureTradePacket(p.w, 0, 1, 2, 3, ""));
    EXPECT_EQ(p.Bytes(), Hex("6F 00 11 00 00 00 00 01 00 00 00 02 00 00 00 03 00"));
    BuiltPacket named;
    ASSERT_TRUE(BuildSecureTradePacket(named.w, 2, 1, 2, 3, "Ayla"));
    const std::vector<u8> b = named.Bytes();
    ASSERT_EQ(b.size(), 47u);
    EXPECT_EQ(b[16], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[17])), "Ayla");
}

TEST_F(ContainerPacketsTest, ShopCloseHasTheSerialThenTheFlag) {
    ASSERT_TRUE(BuildShopClosePacket(p.w, 0x40000005, 1));
    EXPECT_EQ(p.Bytes(), Hex("3B 00 08 40 00 00 05 01"));
}

}  // namespace
