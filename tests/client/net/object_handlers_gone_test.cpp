// Every object handler looks its objects up by serial when its packet comes: a container,
// vendor, trader or map that left the world in between is simply not found (the test build's
// address sanitizer would catch any handler still holding on to it).
#include <gtest/gtest.h>

#include "tests/client/net/object_handlers_fixture.h"

namespace {

constexpr u32 kBox = 0x40000010;
constexpr u32 kMap = 0x40000011;
constexpr u32 kMobile = 0x00000020;

class ObjectHandlersGoneTest : public ObjectHandlersTest {};

TEST_F(ObjectHandlersGoneTest, ObjectsThatLeftTheWorldAreNotFound) {
    auto entry = [](Packet p, u32 container) {
        return p.L(0x40000030).W(kPlainGraphic).B(0).W(1).W(30).W(40).L(container).W(0);
    };
    const struct Case {
        const char* what;
        std::vector<u8> packet;
    } cases[] = {
        {"0x24 container", Fixed(0x24).L(kBox).W(60).b},
        {"0x24 spellbook", Fixed(0x24).L(kBox).W(0xFFFF).b},
        {"0x24 paperdoll", Fixed(0x24).L(kMobile).W(10).b},
        {"0x25", entry(Fixed(0x25), kBox).b},
        {"0x3C", entry(Var(0x3C).W(1), kBox).Variable()},
        {"0x6F start", Var(0x6F).L(0).L(kMobile).L(kBox).L(kBox).B(0).Variable()},
        {"0x6F close", Var(0x6F).B(1).L(kBox).L(0).L(0).B(0).Variable()},
        {"0x6F update", Var(0x6F).B(2).L(kBox).L(1).L(1).B(0).Variable()},
        {"0x74", Var(0x74).L(kBox).B(1).L(5).B(2).Text("a", 1).Variable()},
        {"0x9E", Var(0x9E).L(kMobile).W(1).L(kBox).W(1).W(0).W(1).W(2).W(1).Text("a").Variable()},
        {"0x3B", Var(0x3B).L(kMobile).B(0).Variable()},
        {"0x90", Fixed(0x90).L(kMap).W(5021).W(1).W(2).W(3).W(4).W(5).W(6).b},
        {"0x56", Fixed(0x56).L(kMap).B(1).B(0).W(1).W(2).b},
        {"0x88", Fixed(0x88).L(kMobile).Text("", 60).B(0).b},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CClientObject* box = Item(kBox, kBoxGraphic);
        Put(0x40000031, kPlainGraphic, kBox);
        Item(kMap, kMapGraphic);
        Mobile(kMobile, 400, 11, 10);
        ASSERT_TRUE(box->UsesCellShift());
        windows.openContainers = {kBox};
        windows.openCourseMaps = {kMap};
        windows.openPaperdolls = {kMobile};
        for (u32 gone : {kBox, kMap, kMobile})
            Send(Fixed(0x1D).L(gone).b);
        windows.calls.clear();
        Send(c.packet);
        EXPECT_TRUE(windows.calls.empty());
        EXPECT_EQ(Find(0x40000030), nullptr);
        EXPECT_TRUE(net.ClientSent().empty());
        EXPECT_TRUE(net.link.Connection().IsOpen());
    }
}

}  // namespace
