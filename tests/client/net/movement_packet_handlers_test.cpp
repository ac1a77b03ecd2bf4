#include "client/net/movement_packet_handlers.h"

#include <gtest/gtest.h>

#include "client/app/client_link_services.h"
#include "client/net/client_link.h"
#include "tests/client/world/walk_fixture.h"

namespace {

class MovementPacketHandlersTest : public WalkFixture {
protected:
    MovementPacketHandlers& Handlers() { return net.link.MovementHandlers(); }
    static Bytes Sound(u8 mode, u16 id) {
        return ServerPacket(0x54, {mode, u8(id >> 8), u8(id), 0, 0, 0, 5, 0, 6, 0, 7}, false);
    }
    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : walkHooks.calls)
            n += c == call;
        return n;
    }
};

TEST_F(MovementPacketHandlersTest, GlobalLightRedrawsOnlyOnAChange) {
    PlayerAt(10, 10, 0);
    walkHooks.wholeViewInvalidations = 0;
    net.ServerSends(ServerPacket(0x4F, {9}, false));
    EXPECT_EQ(TheClientWorld().globalLight, 9);
    EXPECT_EQ(walkHooks.wholeViewInvalidations, 1);
    EXPECT_EQ(Count("RedrawRadar"), 1);
    net.ServerSends(ServerPacket(0x4F, {9}, false));
    EXPECT_EQ(walkHooks.wholeViewInvalidations, 1);
    EXPECT_EQ(Count("RedrawRadar"), 1);
}

TEST_F(MovementPacketHandlersTest, SoundsLoopPlayOrAreRecorded) {
    struct Case {
        u8 mode;
        u16 id;
        const char* hookCall;    // on the world hooks, or ""
        const char* effectCall;  // on the effects, or ""
    };
    const Case cases[] = {
        {0, 700, "", "SetLoopedSound 700"},
        {1, 611, "PlaySound 611 panned", ""},
        {1, 612, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        walkHooks.calls.clear();
        effects.calls.clear();
        net.ServerSends(Sound(c.mode, c.id));
        EXPECT_EQ(walkHooks.calls.empty() ? "" : walkHooks.calls.back(), std::string(c.hookCall));
        EXPECT_EQ(effects.calls.empty() ? "" : effects.calls.back(), std::string(c.effectCall));
    }
    // While a sequence is recorded, sounds go into it; the end plays it.
    net.ServerSends(ServerPacket(0x7B, {0}, false));
    walkHooks.calls.clear();
    net.ServerSends(Sound(1, 20));
    net.ServerSends(Sound(1, 612));
    EXPECT_TRUE(walkHooks.calls.empty());
    ASSERT_EQ(Handlers().sequence.size(), 1u);
    EXPECT_EQ(Handlers().sequence[0].kind, 8);
    EXPECT_EQ(Handlers().sequence[0].data, (Bytes{0, 20, 0, 5, 0, 6, 0, 7}));
    net.ServerSends(ServerPacket(0x7B, {5}, false));
    EXPECT_EQ(effects.calls.back(), "PlaySequence 1 5");
    EXPECT_FALSE(Handlers().recordingSequence);
}

TEST_F(MovementPacketHandlersTest, SequenceMisuseShowsTheWaitingGump) {
    net.ServerSends(ServerPacket(0x7B, {5}, false));
    EXPECT_EQ(effects.calls.back(), "ShowWaitingGump not sequencing!");
    net.ServerSends(ServerPacket(0x7B, {0}, false));
    net.ServerSends(ServerPacket(0x7B, {0}, false));
    EXPECT_EQ(effects.calls.back(), "ShowWaitingGump already sequencing!");
    // An empty recording is dropped, not played.
    effects.calls.clear();
    net.ServerSends(ServerPacket(0x7B, {1}, false));
    EXPECT_TRUE(effects.calls.empty());
}

TEST_F(MovementPacketHandlersTest, FollowTextsInOrder) {
    CClientPlayer* p = PlayerAt(10, 10, 0);
    CClientMobile* m = MobileAt(0x55, 400, 12, 10);
    Bytes body;
    PutLong(body, 0);
    PutLong(body, 0x55);
    net.ServerSends(ServerPacket(0x15, body, false));
    ASSERT_NE(p->firstBark, nullptr);
    EXPECT_EQ(p->firstBark->text, "No longer following.");
    ASSERT_NE(m->firstBark, nullptr);
    EXPECT_EQ(m->firstBark->text, "Now following.");
    const std::vector<std::string> order(walkHooks.calls.end() - 2, walkHooks.calls.end());
    EXPECT_EQ(order[0], "BarkAdded 00000001 No longer following.");
    EXPECT_EQ(order[1], "BarkAdded 00000055 Now following.");
    EXPECT_EQ(TheWalkQueue().following, 1);
    body.clear();
    PutLong(body, 1);
    PutLong(body, 0);
    net.ServerSends(ServerPacket(0x15, body, false));
    EXPECT_EQ(TheWalkQueue().following, 0);
}

TEST_F(MovementPacketHandlersTest, DragEffectEndsAreMobilesOnlyWhenKnownMobiles) {
    PlayerAt(10, 10, 0);
    MobileAt(0x55, 400, 12, 10);
    CClientItem* item = CClientItem::Allocate(0x40000009, 0x0EED, 0);
    item->PlaceInWorld(ClientLocation{11, 10, 0});
    auto drag = [&](u32 source, u32 target) {
        Bytes body{0x0E, 0xED, 2, 0, 0, 0, 1};
        PutLong(body, source);
        for (u8 b : {0, 11, 0, 10, 0})
            body.push_back(b);
        PutLong(body, target);
        for (u8 b : {0, 12, 0, 10, 0})
            body.push_back(b);
        net.ServerSends(ServerPacket(0x23, body, false));
        return effects.missiles.back();
    };
    MissileRequest r = drag(0x40000009, 0x55);  // an item is no mobile
    EXPECT_EQ(r.ends, MissileEnds::kLocToMobile);
    EXPECT_EQ(r.graphic, 0x0EED + 2);
    EXPECT_EQ(r.from.x, 11);
    EXPECT_EQ(drag(0x55, 0x55).ends, MissileEnds::kMobileToMobile);
    EXPECT_EQ(drag(0x55, 0x777).ends, MissileEnds::kMobileToLoc);
    EXPECT_EQ(drag(0x777, 0x40000009).ends, MissileEnds::kLocToLoc);
}

TEST_F(MovementPacketHandlersTest, AnimationWeatherMusicTimeAndPing) {
    PlayerAt(10, 10, 0);
    CClientMobile* m = MobileAt(0x55, 400, 12, 10);
    Bytes body;
    PutLong(body, 0x55);
    for (u8 b : {0, 12, 0, 7, 0, 2, 1, 1, 3})
        body.push_back(b);
    net.ServerSends(ServerPacket(0x6E, body, false));
    EXPECT_EQ(m->action.active, 1);
    EXPECT_EQ(m->action.id, 12);
    EXPECT_EQ(m->action.frameCount, 7);
    EXPECT_EQ(m->action.repeatCount, 2);
    EXPECT_EQ(m->action.backward, 1);
    EXPECT_EQ(m->action.pingPong, 1);
    EXPECT_EQ(m->action.frameDelay, 3);

    net.ServerSends(ServerPacket(0x65, {254, 3, 20}, false));
    EXPECT_EQ(effects.calls.back(), "SetWeather 254 3 20");
    net.ServerSends(ServerPacket(0x6D, {0, 8}, false));
    EXPECT_EQ(walkHooks.calls.back(), "PlayMusic 8 repeat");
    net.ServerSends(ServerPacket(0x5B, {13, 45, 30}, false));
    EXPECT_EQ(Handlers().gameHour, 13);
    EXPECT_EQ(Handlers().gameMinute, 45);
    EXPECT_EQ(Handlers().gameSecond, 30);
    net.ServerSends(ServerPacket(0x73, {4}, false));
    EXPECT_EQ(net.link.UnhandledCount(0x73), 0);
}

TEST_F(MovementPacketHandlersTest, TheServersOwnStepIsTakenWithoutARequest) {
    // The running client's hooks hand 0x97 to the walk queue.
    ShellLoginHooks shell;
    ClientLink link{nullptr, &shell};
    link.OpenLocalConnection();
    CClientPlayer* p = PlayerAt(10, 10, 0, 2);
    FlatLand(10, 10, 2);
    auto serve = [&](u8 dir) {
        const Bytes b{0x97, dir};
        link.Dispatcher().Dispatch(b.data(), b.size());
    };
    serve(2);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(TheClientMap().centreX, 11);
    TickUntilShown();
    EXPECT_EQ(p->loc.x, 11);
    EXPECT_EQ(TheWalkQueue().count, 0);
    serve(8);
    EXPECT_EQ(TheWalkQueue().count, 0);
    EXPECT_EQ(TheClientMap().centreX, 11);
}

}  // namespace
