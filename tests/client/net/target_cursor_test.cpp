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

// The server's answer to a field's name request: a 30-byte name, with or without its zero.
std::vector<u8> NameAnswer(const std::string& name) {
    return Var(0x98).L(0x20).Text(name, 30 - name.size()).Variable();
}

TEST_F(TargetCursorTest, ANameAnswerFillsTheWaitingFieldOnce) {
    struct Case {
        const char* what;
        bool waiting;
        std::string name;
        std::vector<std::string> calls;
    } cases[] = {
        {"a field waits", true, "Ann", {"FillNameField Ann"}},
        {"a name of the full width", true, std::string(30, 'n'),
         {"FillNameField " + std::string(30, 'n')}},
        {"no field waits", false, "Ann", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.calls.clear();
        Target().nameRequested = false;
        if (c.waiting) Target().AwaitName();
        Send(NameAnswer(c.name));
        EXPECT_EQ(windows.calls, c.calls);
        EXPECT_FALSE(Target().nameRequested);
        // The field stopped waiting: a second answer fills nothing.
        windows.calls.clear();
        Send(NameAnswer(c.name));
        EXPECT_TRUE(windows.calls.empty());
    }
    // An answer cut short is refused, with one line, and the field keeps waiting.
    Target().AwaitName();
    net.reports.Clear();
    Send(Var(0x98).L(0x20).Text("Ann", 2).Variable());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_TRUE(Target().nameRequested);
    EXPECT_EQ(net.reports.Lines().size(), 1u);
}

TEST_F(TargetCursorTest, CancellingTheCursorDropsTheNameRequest) {
    CursorUp();
    Target().AwaitName();
    Target().CancelTarget();
    EXPECT_FALSE(Target().nameRequested);
    windows.calls.clear();
    Send(NameAnswer("Ann"));
    EXPECT_TRUE(windows.calls.empty());
    // A pick keeps it: the name is asked for after the pick.
    CursorUp();
    Target().AwaitName();
    Target().TargetPicked(player);
    EXPECT_TRUE(Target().nameRequested);
}

}  // namespace
