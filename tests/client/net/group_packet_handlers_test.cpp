#include "client/net/group_packet_handlers.h"

#include <gtest/gtest.h>

#include "tests/client/net/object_handlers_fixture.h"

namespace {

constexpr u32 kCompanion = 0x00000020;

class GroupPacketHandlersTest : public ObjectHandlersTest {
protected:
    static std::vector<u8> Group(u32 a, u32 b) { return Fixed(0x39).L(a).L(b).b; }
    // The texts over an object, newest first.
    static std::vector<std::string> Texts(const CClientObject* o) {
        std::vector<std::string> out;
        for (const OverheadText* t = o ? o->firstBark : nullptr; t; t = t->older)
            out.push_back(t->text);
        return out;
    }
};

TEST_F(GroupPacketHandlersTest, EachMessageShowsOverItsObject) {
    struct Case {
        const char* what;
        u32 a, b;
        std::vector<std::string> overPlayer, overCompanion;
    } cases[] = {
        {"illegal group", 0, 0, {"Illegal group."}, {}},
        {"removed from the group", 0, 1, {"Removed from group."}, {}},
        {"grouped with a known mobile", 1, kCompanion, {}, {"Now grouped."}},
        {"grouped with an unknown serial", 1, 0x00000099, {}, {}},
        {"a first serial of another", 0x00000055, kCompanion, {}, {}},
        {"a = 0 with another second serial", 0, 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CClientMobile* companion = Mobile(kCompanion, 400, 11, 10);
        Send(Group(c.a, c.b));
        EXPECT_EQ(Texts(player), c.overPlayer);
        EXPECT_EQ(Texts(companion), c.overCompanion);
        for (const CClientObject* o : {static_cast<CClientObject*>(player),
                                       static_cast<CClientObject*>(companion)}) {
            if (o->firstBark == nullptr) continue;
            EXPECT_EQ(o->firstBark->hue, 0);
            EXPECT_EQ(o->firstBark->font, 3);
        }
        player->DeleteBarks();
        companion->DeleteBarks();
    }
    // A short packet cannot come: the id's length is fixed, so the framer waits for the rest.
    EXPECT_TRUE(net.link.Connection().IsOpen());
    EXPECT_EQ(net.link.UnhandledCount(0x39), 0);
}

// The companion is looked up when the message comes: one that left says nothing.
TEST_F(GroupPacketHandlersTest, ACompanionThatLeftIsNotFound) {
    Mobile(kCompanion, 400, 11, 10);
    Send(Fixed(0x1D).L(kCompanion).b);
    Send(Group(1, kCompanion));
    EXPECT_EQ(Find(kCompanion), nullptr);
    EXPECT_TRUE(Texts(player).empty());
    EXPECT_TRUE(net.link.Connection().IsOpen());
}

}  // namespace
