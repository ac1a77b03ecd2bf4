#include "client/net/container_packet_handlers.h"

#include <gtest/gtest.h>

#include "tests/client/net/object_handlers_fixture.h"

namespace {

constexpr u32 kBox = 0x40000010;
constexpr u32 kPebble = 0x40000011;
constexpr u32 kVendor = 0x00000020;

class ContainerPacketHandlersTest : public ObjectHandlersTest {
protected:
    static std::vector<u8> OpenGump(u32 serial, u16 gump) {
        return Fixed(0x24).L(serial).W(gump).b;
    }
    // One 0x25 / 0x3C entry.
    static Packet& Entry(Packet& p, u32 serial, u16 graphic, u32 container, u16 x = 30) {
        return p.L(serial).W(graphic).B(0).W(1).W(x).W(40).L(container).W(0);
    }
};

TEST_F(ContainerPacketHandlersTest, OpenGumpTakesEveryBranch) {
    Item(kBox, kBoxGraphic);
    Item(kPebble, kPlainGraphic, 13, 10);
    Mobile(kVendor, 400, 11, 10);
    struct Case {
        const char* what;
        u32 serial;
        u16 gump;
        std::vector<std::string> calls;
    } cases[] = {
        {"spellbook", kBox, 0xFFFF, {"RefreshContainerWindow 40000010", "OpenSpellbook 40000010"}},
        {"spellbook again refreshes", kBox, 0xFFFF, {"RefreshContainerWindow 40000010"}},
        {"spellbook of a plain item", kPebble, 0xFFFF, {"OpenSpellbook 40000011"}},
        {"radar opens", 1, 5010, {"OpenGump 00000000 5010 plain"}},
        {"small radar opens", 1, 5011, {"OpenGump 00000000 5011 plain"}},
        {"radar closes", 0, 5011, {"CloseRadar"}},
        {"radar other serial", 7, 5010, {}},
        {"paperdoll of a mobile",
         kVendor,
         10,
         {"OpenGump 00000020 10 plain", "OpenGump 00000020 10 container"}},
        {"paperdoll of the player",
         1,
         10,
         {"OpenGump 00000001 10 plain", "OpenGump 00000001 10 container"}},
        {"shop of a box",
         kBox,
         48,
         {"OpenGump 40000010 48 plain", "OpenGump 40000010 48 container"}},
        {"paperdoll of a plain item", kPebble, 10, {"OpenGump 40000011 10 plain"}},
        {"500", kBox, 500, {"OpenGump 40000010 500 plain"}},
        {"501", kVendor, 501, {"OpenGump 00000020 501 plain"}},
        {"container window", kBox, 60, {"OpenGump 40000010 60 container"}},
        {"container id on a plain item", kPebble, 60, {}},
        {"no object", 0xFFFFFFFF, 60, {"OpenGump 00000000 60 plain"}},
        {"unknown object", 0x40000099, 60, {}},
        {"unknown spellbook", 0x40000099, 0xFFFF, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.calls.clear();
        Send(OpenGump(c.serial, c.gump));
        EXPECT_EQ(windows.calls, c.calls);
    }
}

TEST_F(ContainerPacketHandlersTest, ContainerItemGoesIntoItsContainer) {
    Item(kBox, kBoxGraphic);
    TheClientWorld().listingContents = true;
    Packet p = Fixed(0x25);
    Send(Entry(p, kPebble, kPlainGraphic, kBox, 55).b);
    EXPECT_EQ(Contents(kBox), std::vector<u32>{kPebble});
    EXPECT_EQ(Find(kPebble)->loc.x, 55);
    EXPECT_FALSE(TheClientWorld().listingContents);
    // Into the player (a mobile is a container) and into nothing.
    Packet q = Fixed(0x25);
    Send(Entry(q, 0x40000012, kPlainGraphic, 1).b);
    EXPECT_EQ(Contents(1), std::vector<u32>{0x40000012});
    Packet r = Fixed(0x25);
    Send(Entry(r, 0x40000013, kPlainGraphic, 0x40000077).b);
    EXPECT_EQ(Find(0x40000013), nullptr);
}

// Counts the container windows' per-item updates that arrive outside a contents list.
class ListingHooks : public WorldHooks {
public:
    void ContainerItemAdded(u32, u32) override {
        ++added;
        if (!TheClientWorld().listingContents) ++addedOutsideList;
    }
    int added = 0, addedOutsideList = 0;
};

TEST_F(ContainerPacketHandlersTest, ContentsReplaceTheOldOnesAndRedrawOnce) {
    Item(kBox, kBoxGraphic);
    Put(0x40000001, kPlainGraphic, kBox);
    Put(0x40000002, kPlainGraphic, kBox);
    Put(0x40000003, kPlainGraphic, kBox);
    windows.calls.clear();
    ListingHooks listing;
    WorldHooks* old = SetWorldHooks(&listing);
    Packet p = Var(0x3C);
    p.W(2);
    Entry(p, 0x40000004, kPlainGraphic, kBox, 31);
    Entry(p, 0x40000005, kPlainGraphic, kBox, 32);
    Send(p.Variable());
    SetWorldHooks(old);
    EXPECT_EQ(Contents(kBox), (std::vector<u32>{0x40000005, 0x40000004}));
    for (u32 gone : {0x40000001u, 0x40000002u, 0x40000003u})
        EXPECT_EQ(Find(gone), nullptr) << std::hex << gone;
    EXPECT_EQ(listing.added, 2);
    EXPECT_EQ(listing.addedOutsideList, 0);
    EXPECT_EQ(windows.calls, std::vector<std::string>{"RefreshContainerWindow 40000010"});
    EXPECT_FALSE(TheClientWorld().listingContents);
}

TEST_F(ContainerPacketHandlersTest, AVendorsWornBoxClosesItsShopFirst) {
    CClientMobile* vendor = Mobile(kVendor, 400, 11, 10);
    auto* box = new CClientContainer(kBox, kBoxGraphic, 0, true);
    box->EquipOn(vendor, 26);
    Packet p = Var(0x3C);
    p.W(1);
    Entry(p, 0x40000004, kPlainGraphic, kBox);
    Send(p.Variable());
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"CloseShopWindows 00000020 first",
                                                       "RefreshContainerWindow 40000010"}));
    EXPECT_EQ(Contents(kBox), std::vector<u32>{0x40000004});
}

TEST_F(ContainerPacketHandlersTest, ContentsClaimingMoreThanThePacketHoldsChangeNothing) {
    Item(kBox, kBoxGraphic);
    Put(0x40000001, kPlainGraphic, kBox);
    net.reports.Clear();
    Packet p = Var(0x3C);
    p.W(3);
    Entry(p, 0x40000004, kPlainGraphic, kBox);
    Entry(p, 0x40000005, kPlainGraphic, kBox);
    Send(p.Variable());
    EXPECT_EQ(Contents(kBox), std::vector<u32>{0x40000001});
    EXPECT_EQ(net.reports.Lines().size(), 1u);
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(ContainerPacketHandlersTest, ARefusedPickUpPutsTheItemBackAndSaysWhy) {
    CClientMobile* wearer = Mobile(kVendor, 400, 11, 10);
    Item(kBox, kBoxGraphic);
    struct Case {
        u8 reason;
        u16 graphic;
        const char* from;  // "ground", "box", "wearer"
        const char* message;
    } cases[] = {
        {0, kCorpseGraphic, "ground", "You can not pick that up."},
        {1, kMapGraphic, "ground", "That is too far away."},
        {2, kBoxGraphic, "box", "That is out of sight."},
        {3, kPlainGraphic, "ground", "That item does not belong to you.  You'll have to steal it."},
        {4, kPlainGraphic, "wearer", "You are already holding an item."},
        {7, kPlainGraphic, "box", nullptr},
    };
    u32 serial = 0x40000100;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reason));
        hooks.calls.clear();
        ++serial;
        CClientWorld& world = TheClientWorld();
        world.drag = DragRecord{};
        world.drag.serial = serial;
        world.drag.graphic = c.graphic;
        world.drag.loc = ClientLocation{14, 11, 0};
        world.drag.hue = 33;
        world.drag.amount = 5;
        world.drag.flags = 0x20;
        if (std::string(c.from) == "box") world.drag.containerSerial = kBox;
        if (std::string(c.from) == "wearer") {
            world.drag.wearerSerial = kVendor;
            world.drag.layer = 5;
        }
        world.dragging = 1;
        Send(Fixed(0x27).B(c.reason).b);
        EXPECT_EQ(world.dragging, 0);
        auto* item = static_cast<CClientItem*>(Find(serial));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->graphic, c.graphic);
        EXPECT_EQ(item->hue, 33);
        EXPECT_EQ(item->amount, 5);
        EXPECT_EQ(item->statusFlags, 0x20);
        EXPECT_EQ(item->IsCorpse(), c.graphic == kCorpseGraphic);
        EXPECT_EQ(item->IsMapItem(), c.graphic == kMapGraphic);
        EXPECT_EQ(item->UsesCellShift(), c.graphic != kPlainGraphic);
        if (std::string(c.from) == "ground") {
            EXPECT_EQ(item->holder, nullptr);
            EXPECT_TRUE(item->IsAt(14, 11));
            EXPECT_FALSE(item->detached);
        } else if (std::string(c.from) == "box") {
            EXPECT_EQ(item->holder, Find(kBox));
            EXPECT_EQ(Contents(kBox).front(), serial);
        } else {
            EXPECT_EQ(wearer->layers[5], item);
            EXPECT_EQ(item->holder, wearer);
        }
        EXPECT_TRUE(Contains(hooks.calls, "DeleteDragGump"));
        EXPECT_EQ(Contains(hooks.calls, std::string("SystemMessage ") + (c.message ? c.message : "")),
                  c.message != nullptr);
        int messages = 0;
        for (const std::string& call : hooks.calls)
            messages += call.rfind("SystemMessage", 0) == 0;
        EXPECT_EQ(messages, c.message ? 1 : 0);
    }
}

TEST_F(ContainerPacketHandlersTest, ARefusedPickUpWhoseContainerLeftTheWorldRebuildsNothing) {
    Item(kBox, kBoxGraphic);
    CClientWorld& world = TheClientWorld();
    world.drag = DragRecord{};
    world.drag.serial = 0x40000101;
    world.drag.graphic = kPlainGraphic;
    world.drag.containerSerial = kBox;
    world.dragging = 1;
    // The box goes while the item is in the hand.
    Send(Fixed(0x1D).L(kBox).b);
    ASSERT_EQ(Find(kBox), nullptr);
    Send(Fixed(0x27).B(0).b);
    EXPECT_EQ(Find(0x40000101), nullptr);
    EXPECT_EQ(world.dragging, 0);
    // Nothing in the hand: nothing is made of the empty record.
    world.drag = DragRecord{};
    Send(Fixed(0x27).B(7).b);
    EXPECT_EQ(Find(0), nullptr);
}

TEST_F(ContainerPacketHandlersTest, DropAnswersEndTheDrag) {
    CClientWorld& world = TheClientWorld();
    world.dragging = 1;
    Send(Fixed(0x28).W(1).W(2).b);
    EXPECT_EQ(world.dragging, 0);
    world.dragging = 1;
    Send(Fixed(0x29).b);
    EXPECT_EQ(world.dragging, 0);
}

}  // namespace
