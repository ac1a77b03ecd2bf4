#include "client/net/window_packet_handlers.h"

#include <gtest/gtest.h>

#include "tests/client/net/object_handlers_fixture.h"

namespace {

constexpr u32 kMap = 0x40000070;
constexpr u32 kMobile = 0x00000020;

class WindowPacketHandlersTest : public ObjectHandlersTest {
protected:
    struct MenuEntry {
        u16 graphic;
        std::string text;
    };
    static std::vector<u8> Menu(const std::string& title, const std::vector<MenuEntry>& entries) {
        Packet p = Var(0x7C);
        p.L(0x40000001).W(77).B(u32(title.size())).Text(title).B(u32(entries.size()));
        for (const MenuEntry& e : entries)
            p.W(e.graphic).W(5).B(u32(e.text.size())).Text(e.text);
        return p.Variable();
    }
    static std::vector<u8> Pin(u32 map, u8 action, u8 index, u16 x, u16 y) {
        return Fixed(0x56).L(map).B(action).B(index).W(x).W(y).b;
    }
};

TEST_F(WindowPacketHandlersTest, TheFirstEntryDecidesBetweenPictureAndTextMenus) {
    struct Case {
        std::vector<MenuEntry> entries;
        const char* call;
    } cases[] = {
        {{{0, "Yes"}, {3821, "Gold"}}, "OpenTextMenu Pick"},
        {{{3821, "Gold"}, {0, ""}}, "OpenPictureMenu Pick"},
        {{}, "OpenTextMenu Pick"},
    };
    for (const Case& c : cases) {
        windows.calls.clear();
        Send(Menu("Pick", c.entries));
        EXPECT_EQ(windows.calls, std::vector<std::string>{c.call});
        EXPECT_EQ(windows.menu.object, 0x40000001u);
        EXPECT_EQ(windows.menu.menuId, 77);
        ASSERT_EQ(windows.menu.entries.size(), c.entries.size());
        for (size_t i = 0; i < c.entries.size(); ++i) {
            EXPECT_EQ(windows.menu.entries[i].graphic, c.entries[i].graphic);
            EXPECT_EQ(windows.menu.entries[i].hue, 5);
            EXPECT_EQ(windows.menu.entries[i].text, c.entries[i].text);
        }
    }
    // An entry text past the packet's end refuses the packet, with one line.
    net.reports.Clear();
    windows.calls.clear();
    Send(Var(0x7C).L(1).W(1).B(1).Text("T").B(1).W(0).W(0).B(50).Text("short").Variable());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(net.reports.Lines().size(), 1u);
}

TEST_F(WindowPacketHandlersTest, CourseMapsOpenOnlyForMapItemsFromTheirFirstGump) {
    Item(kMap, kMapGraphic);
    Item(0x40000071, kPlainGraphic);
    struct Case {
        u32 serial;
        u16 gump;
        bool opens;
    } cases[] = {{kMap, 5021, true}, {kMap, 5020, false}, {0x40000071, 5021, false},
                 {0x40000099, 5021, false}};
    for (const Case& c : cases) {
        windows.calls.clear();
        Send(Fixed(0x90).L(c.serial).W(c.gump).W(1).W(2).W(3).W(4).W(5).W(6).b);
        EXPECT_EQ(windows.calls.size(), c.opens ? 1u : 0u) << c.gump;
    }
    windows.calls.clear();
    Send(Fixed(0x90).L(kMap).W(6000).W(1).W(2).W(3).W(4).W(5).W(6).b);
    EXPECT_EQ(windows.calls, std::vector<std::string>{"OpenCourseMap 40000070 6000 1 2 3 4 5 6"});
}

TEST_F(WindowPacketHandlersTest, CoursePinsEditTheMapOfAnOpenCourseWindow) {
    auto* map = static_cast<CClientMapItem*>(Item(kMap, kMapGraphic));
    ASSERT_TRUE(map->IsMapItem());
    // No course window open: nothing.
    Send(Pin(kMap, 1, 0, 10, 20));
    EXPECT_EQ(map->pinCount, 0);
    windows.openCourseMaps.insert(kMap);
    struct Case {
        u8 action, index;
        int pins;
        std::vector<std::string> calls;
    } cases[] = {
        {1, 0, 1, {"RedrawCoursePins 40000070"}},
        {1, 0, 2, {"RedrawCoursePins 40000070"}},
        {4, 9, 2, {}},  // an index past the pins changes nothing
        {4, 0, 1, {"RedrawCoursePins 40000070"}},
        {6, 0, 1, {}},
        {7, 1, 1, {"SetCourseEditMode 40000070 on"}},
        {7, 2, 1, {"SetCourseEditMode 40000070 off"}},
        {8, 0, 1, {}},
        {9, 0, 1, {}},
        {5, 0, 0, {"RedrawCoursePins 40000070"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.action));
        windows.calls.clear();
        Send(Pin(kMap, c.action, c.index, 10, 20));
        EXPECT_EQ(map->pinCount, c.pins);
        EXPECT_EQ(windows.calls, c.calls);
    }
    EXPECT_TRUE(Contains(hooks.calls, "SystemMessage Request to edit denied."));
    // The pin lies at the course window's place of the sent coordinates.
    Send(Pin(kMap, 1, 0, 10, 20));
    ASSERT_NE(map->firstPin, nullptr);
    EXPECT_EQ(map->firstPin->loc.x, 34);
    EXPECT_EQ(map->firstPin->loc.y, 51);
}

TEST_F(WindowPacketHandlersTest, PromptsAndServerGumpsCarryTheirFieldsInPacketOrder) {
    Send(Fixed(0x95).L(0x40000005).W(2).W(0x0FAB).b);
    Send(Var(0xAB)
             .L(0x40000006)
             .W(4)
             .W(6)
             .Text("Name?", 1)
             .B(1)
             .B(2)
             .L(30)
             .W(4)
             .Text("max", 1)
             .Variable());
    Send(Var(0xB0)
             .L(0x40000007)
             .L(0x12345678)
             .L(100)
             .L(0xFFFFFFF6)
             .W(12)
             .Text("{page 0}", 4)
             .W(2)
             .W(2)
             .W('h')
             .W(0x263A)
             .W(0)
             .Variable());
    EXPECT_EQ(windows.calls,
              (std::vector<std::string>{"OpenHuePicker 40000005 2 4011", "OpenTextQuery 40000006",
                                        "OpenServerGump 40000007"}));
    EXPECT_EQ(windows.query.id, 4);
    EXPECT_EQ(windows.query.prompt, "Name?");
    EXPECT_EQ(windows.query.first, 1);
    EXPECT_EQ(windows.query.second, 2);
    EXPECT_EQ(windows.query.value, 30u);
    EXPECT_EQ(windows.query.description, "max");
    EXPECT_EQ(windows.gump.gumpId, 0x12345678u);
    EXPECT_EQ(windows.gump.x, 100);
    EXPECT_EQ(windows.gump.y, -10);
    EXPECT_EQ(windows.gump.layout, "{page 0}");
    ASSERT_EQ(windows.gump.lines.size(), 2u);
    EXPECT_EQ(windows.gump.lines[0], (std::u16string{u'h', u'\u263A'}));
    EXPECT_EQ(windows.gump.lines[1], std::u16string());
}

TEST_F(WindowPacketHandlersTest, ServerGumpLinesAndCountsStayInsideThePacket) {
    const std::vector<u8> bad[] = {
        // A line longer than the packet.
        Var(0xB0).L(1).L(2).L(0).L(0).W(1).Text("", 1).W(1).W(500).W('a').Variable(),
        // More lines than the packet holds.
        Var(0xB0).L(1).L(2).L(0).L(0).W(1).Text("", 1).W(60000).W(0).Variable(),
        // A layout longer than the packet.
        Var(0xB0).L(1).L(2).L(0).L(0).W(900).Text("{x}", 1).W(0).Variable(),
    };
    for (const std::vector<u8>& packet : bad) {
        windows.calls.clear();
        net.reports.Clear();
        net.link.OpenLocalConnection();
        Send(packet);
        EXPECT_TRUE(windows.calls.empty());
        EXPECT_EQ(net.reports.Lines().size(), 1u);
    }
}

TEST_F(WindowPacketHandlersTest, PaperdollsOpenOnceForKnownMobilesAndAreRaisedAfter) {
    Mobile(kMobile, 400, 11, 10);
    Item(0x40000080, kPlainGraphic);
    auto doll = [](u32 serial, const std::string& text) {
        return Fixed(0x88).L(serial).Text(text, 60 - text.size()).B(1).b;
    };
    Send(doll(kMobile, "Ann the Brave"));
    Send(doll(kMobile, "Ann the Brave"));
    Send(doll(1, "Me"));
    Send(doll(0x40000080, "a pebble"));
    Send(doll(0x00000099, "nobody"));
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"OpenPaperdoll 00000020 other Ann the Brave 1",
                                                       "RaisePaperdoll 00000020",
                                                       "OpenPaperdoll 00000001 player Me 1"}));
}

}  // namespace

TEST_F(WindowPacketHandlersTest, SignsOpenOncePerKnownObjectAndFreelyWithout) {
    constexpr u32 kSignpost = 0x40000090, kGone = 0x40000091;
    Item(kSignpost, kPlainGraphic);
    Item(kGone, kPlainGraphic);
    Send(Fixed(0x1D).L(kGone).b);
    auto sign = [](u32 serial) {
        return Var(0x8B).L(serial).W(100).W(4).Text("Inn", 1).W(6).Text("Rooms", 1).Variable();
    };
    struct Case {
        const char* what;
        u32 serial;
        std::vector<std::string> calls;
    } cases[] = {
        {"a known object", kSignpost, {"OpenSign 40000090 100 Inn|Rooms"}},
        {"its sign is open", kSignpost, {}},
        {"an unknown serial", 0x40000099, {"OpenSign 00000000 100 Inn|Rooms"}},
        {"an unknown serial again", 0x40000099, {"OpenSign 00000000 100 Inn|Rooms"}},
        {"an object that left", kGone, {"OpenSign 00000000 100 Inn|Rooms"}},
        {"serial 0", 0, {"OpenSign 00000000 100 Inn|Rooms"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.calls.clear();
        Send(sign(c.serial));
        EXPECT_EQ(windows.calls, c.calls);
    }
    // A text without its zero ends with its length; an empty one is empty.
    windows.calls.clear();
    Send(Var(0x8B).L(0x40000099).W(7).W(2).Text("Ab").W(0).Variable());
    EXPECT_EQ(windows.calls, std::vector<std::string>{"OpenSign 00000000 7 Ab|"});
    // A length past the packet's end refuses the packet, with one line.
    windows.calls.clear();
    net.reports.Clear();
    Send(Var(0x8B).L(0x40000099).W(7).W(2).Text("Ab").W(40).Text("short").Variable());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(net.reports.Lines().size(), 1u);
}
