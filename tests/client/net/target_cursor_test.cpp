#include "client/net/target_cursor.h"

#include <gtest/gtest.h>

#include "client/world/land_objects.h"
#include "tests/client/net/object_handlers_fixture.h"

namespace {

class TargetCursorTest : public ObjectHandlersTest {
protected:
    TargetCursor& Target() { return net.link.Target(); }
    // A cursor of type 1, id 0x01020304 and flag byte 2.
    void CursorUp() {
        Send(Fixed(0x6C).B(1).L(0x01020304).B(2).L(0).W(0).W(0).W(0).W(0).b);
        ASSERT_TRUE(TheClientWorld().targeting);
    }
};

TEST_F(TargetCursorTest, TheCursorIsKeptAndShown) {
    CursorUp();
    EXPECT_EQ(Target().cursorType, 1);
    EXPECT_EQ(Target().cursorId, 0x01020304u);
    EXPECT_EQ(Target().cursorFlag, 2);
    EXPECT_EQ(windows.calls, std::vector<std::string>{"TargetCursor on"});
}

TEST_F(TargetCursorTest, AnswersAreGoldenBytes) {
    CClientObject* pebble = Item(0x40000011, 0x0EED, 14, 12);
    LandTile* land = LandTile::Allocate(3, ClientLocation{20, 21, -5});
    CClientObject* rock = CClientObject::AllocateStatic(0x1363);
    rock->loc = ClientLocation{22, 23, 7};
    struct Case {
        const char* what;
        const CDisplayObject* picked;
        Bytes sent;
    } cases[] = {
        {"land tile",
         land,
         {0x6C, 1, 1, 2, 3, 4, 2, 0, 0, 0, 0, 0, 20, 0, 21, 0xFF, 0xFB, 0, 0}},
        {"server object",
         pebble,
         {0x6C, 0, 1, 2, 3, 4, 2, 0x40, 0, 0, 0x11, 0, 14, 0, 12, 0, 0, 0x0E, 0xED}},
        {"map static", rock, {0x6C, 1, 1, 2, 3, 4, 2, 0, 0, 0, 0, 0, 22, 0, 23, 0, 7, 0x13, 0x63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CursorUp();
        windows.calls.clear();
        Target().TargetPicked(c.picked);
        EXPECT_EQ(net.ClientSent(), c.sent);
        EXPECT_FALSE(TheClientWorld().targeting);
        EXPECT_EQ(Target().cursorFlag, 0);
        EXPECT_EQ(windows.calls, std::vector<std::string>{"TargetCursor off"});
        // The cursor is down: a second pick sends nothing.
        Target().TargetPicked(c.picked);
        EXPECT_TRUE(net.ClientSent().empty());
    }
    land->Destroy();
    rock->Destroy();
}

TEST_F(TargetCursorTest, CancelNamesNothingAndEndsTheCursor) {
    CursorUp();
    Target().CancelTarget();
    EXPECT_EQ(net.ClientSent(),
              (Bytes{0x6C, 0, 1, 2, 3, 4, 2, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_FALSE(TheClientWorld().targeting);
    EXPECT_EQ(Target().cursorFlag, 0);
    // No cursor up, no object: nothing is sent.
    Target().CancelTarget();
    CursorUp();
    Target().TargetPicked(nullptr);
    EXPECT_TRUE(net.ClientSent().empty());
    EXPECT_TRUE(TheClientWorld().targeting);
}

}  // namespace
