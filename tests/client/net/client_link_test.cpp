// The client link on the in-process queues: sending, the keep-alive seam, the login
// handlers from the character list to the world, refusals and malformed packets.
#include "client/net/client_link.h"

#include <gtest/gtest.h>

#include "client/app/client_link_services.h"
#include "client/net/client_packets.h"
#include "client/net/login_packet_handlers.h"
#include "client/world/world_request_link.h"
#include "core/packet_writer.h"
#include "platform/random.h"
#include "tests/client/net/link_fixture.h"

namespace {

TEST(ClientLink, KeepAliveGoesThroughTheQueueOnTheNextPoll) {
    LinkFixture f;
    ClientLinkServices services;
    services.CreateConnection();
    ASSERT_TRUE(services.Link()->OpenLocalConnection());
    services.SendKeepAlive(0);
    EXPECT_EQ(f.toServer.CountChunks(), 0);
    services.PollConnection();
    Bytes got(16);
    got.resize(size_t(f.toServer.Get(got.data(), s32(got.size()))));
    EXPECT_EQ(got, (Bytes{0x73, 0x00}));
    EXPECT_FALSE(services.ConnectionCompressionOn());
}

TEST(ClientLink, AFullSendBufferDropsThePacketAndReportsIt) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    u8 buffer[258];
    PacketWriter help(buffer, sizeof buffer);
    BuildHelpRequestPacket(help, "");
    for (int i = 0; i < 254; ++i)
        ASSERT_TRUE(f.link.Send(help));
    EXPECT_EQ(f.link.Connection().SendCount(), 254u * 258u);
    EXPECT_FALSE(f.link.Send(help));
    EXPECT_TRUE(f.reports.Has("Client packet 0x9B dropped: the send buffer is full."));
    u8 ping[2];
    PacketWriter w(ping, sizeof ping);
    BuildPingPacket(w);
    EXPECT_TRUE(f.link.Send(w));
    EXPECT_EQ(f.ClientSent().size(), 254u * 258u + 2u);
}

TEST(ClientLink, EditServerCharacterListPlaysTheChosenCharacter) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.ServerSends(CharacterList({"Tester"}, 1, {{0, "Local"}}, {{0, "Town", "Gate"}}));
    EXPECT_TRUE(Contains(f.driver.calls, "AddCharacter Tester  0"));
    EXPECT_TRUE(Contains(f.driver.calls, "ShowCharacterList"));
    EXPECT_TRUE(Contains(f.driver.calls, "CharacterListFieldEnter"));
    EXPECT_EQ(f.link.state.characters[0].name, "Tester");
    ASSERT_EQ(f.link.state.startLocations.size(), 1u);
    EXPECT_EQ(f.link.state.startLocations[0].text, "Town: Gate");
    Bytes play(73);
    PacketWriter w(play.data(), play.size());
    BuildPlayCharacterPacket(w, "Tester", "", 0);
    EXPECT_EQ(f.ClientSent(), play);
}

TEST(ClientLink, EmptyCharacterListRunsTheScriptedCreation) {
    LinkFixture f;
    CreateCharacterRequest create;
    create.name = "Tester";
    f.driver.ScriptCreate(create);
    f.driver.StartAccountLogin("acct", "pw");
    const Bytes login = f.ClientSent();
    ASSERT_EQ(login.size(), 62u);
    EXPECT_EQ(login[0], 0x80);
    f.ServerSends(CharacterList({}, 1, {{0, "Local"}}, {}));
    const Bytes sent = f.ClientSent();
    ASSERT_EQ(sent.size(), 100u);
    EXPECT_EQ(sent[0], 0x00);
    EXPECT_EQ(std::string(sent.begin() + 10, sent.begin() + 16), "Tester");
}

TEST(ClientLink, NoCharacterToLoginWith) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.ServerSends(CharacterList({}, 1, {{0, "Local"}}, {}));
    EXPECT_TRUE(Contains(f.driver.calls, "ShowNotice No character to login with."));
    EXPECT_TRUE(f.ClientSent().empty());
}

TEST(ClientLink, LoginServerWithoutServersClosesWithTheServersDownNotice) {
    // A negative (signed) server count lists nothing either.
    for (s8 count : {s8(0), s8(-128)}) {
        LinkFixture f(0);
        f.driver.SetHasAccountLogin(true);
        f.link.OpenLocalConnection();
        f.ServerSends(CharacterList({}, count, {}, {}));
        ASSERT_FALSE(f.driver.notices.empty()) << int(count);
        EXPECT_EQ(f.driver.notices.back().text,
                  "The Varnok Online servers are currently down, please try again in a few "
                  "moments.");
        EXPECT_FALSE(f.link.Connection().IsOpen());
        EXPECT_FALSE(f.link.connectionOpen);
    }
}

TEST(ClientLink, StartLocationIndexPastTheListIsLeftOut) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.ServerSends(
        CharacterList({"Tester"}, 1, {{0, "Local"}}, {{0, "Town", "Gate"}, {200, "Far", "Away"}}));
    ASSERT_EQ(f.link.state.startLocations.size(), 2u);
    for (const StartLocation& l : f.link.state.startLocations)
        EXPECT_NE(l.text, "Far: Away");
    EXPECT_TRUE(f.reports.Has("Start location index 200 lies past the list; left out."));
    EXPECT_TRUE(f.link.Connection().IsOpen());
}

TEST(ClientLink, MalformedPacketClosesTheConnectionWithAReport) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    // A character list that ends in the middle of its first name.
    f.ServerSends(ServerPacket(0x81, {1, 0xCD, 'T', 'e'}, true));
    EXPECT_FALSE(f.link.Connection().IsOpen());
    EXPECT_TRUE(
        f.reports.Has("Closing the connection: server packet 0x81 is malformed at byte 5."));
    EXPECT_TRUE(f.driver.calls.empty());
}

TEST(ClientLink, FatalAnswersEndTheClientByItsNormalQuit) {
    const struct {
        Bytes packet;
        std::vector<std::string> hookCalls;
    } cases[] = {
        {{0x82, 254}, {"QuitClient"}},
        {{0x53, 1},
         {"ShowMessage Access Denied!: Character does not exist.\n Closing...", "QuitClient"}},
    };
    for (const auto& c : cases) {
        LinkFixture f;
        f.link.OpenLocalConnection();
        f.ServerSends(c.packet);
        EXPECT_EQ(f.hooks.calls, c.hookCalls);
        EXPECT_TRUE(f.driver.notices.empty());
    }
}

TEST(ClientLink, GameServerErrorsShowTheirTexts) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.ServerSends(CharacterList({"Tester"}, 1, {{0, "Local"}}, {}));
    f.ServerSends({0x53, 2});
    ASSERT_FALSE(f.driver.notices.empty());
    EXPECT_EQ(f.driver.notices.back().text, "This character already exists.\nPlaying...");
    EXPECT_EQ(f.driver.notices.back().owner, NoticeOwner::kCharacterList);
    f.ServerSends({0x82, 9});
    EXPECT_EQ(f.driver.notices.back().value, 1);
}

TEST(ClientLink, EnterWorldAndLoginComplete) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.link.state.playerName = "Tester";
    Bytes body;
    PutLong(body, 0x00000123);
    PutLong(body, 0);
    PutShort(body, 0x190);
    PutShort(body, 1500);
    PutShort(body, 1600);
    PutShort(body, 5);
    body.push_back(2);
    body.push_back(0);
    PutLong(body, 0);
    for (u16 b : {0, 0, 384, 512})
        PutShort(body, b);
    body.resize(36, 0);
    f.ServerSends(ServerPacket(0x1B, body, false));
    EXPECT_TRUE(Contains(f.hooks.calls, "EnterWorld 291 1500 1600 5"));
    EXPECT_TRUE(f.hooks.inWorld);
    EXPECT_EQ(f.hooks.title, "Tester");
    EXPECT_FALSE(f.hooks.inGame);
    f.ServerSends({0x55});
    EXPECT_TRUE(f.hooks.inGame);
    EXPECT_TRUE(Contains(f.hooks.calls, "FinishLogin 0"));
}

TEST(ClientLink, TheClientWorldsOwnRequestsGoOutThroughTheRunningLink) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    SetTheClientLink(&f.link);
    ASSERT_EQ(RunningWorldRequestLink(), &f.link);
    RunningWorldRequestLink()->SendUseObject(0x40000123);
    RunningWorldRequestLink()->SendStatusRequest(4, 0x00000456);
    EXPECT_EQ(f.ClientSent(), (Bytes{0x06, 0x40, 0x00, 0x01, 0x23, 0x34, 0xED, 0xED, 0xED, 0xED,
                                     0x04, 0x00, 0x00, 0x04, 0x56}));
    SetTheClientLink(nullptr);
    EXPECT_EQ(RunningWorldRequestLink(), nullptr);
}

TEST(ClientLink, PacketsOfLaterHandlersAreRecorded) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    // The multi target cursor: its handler comes with the multis.
    Bytes open(26, 0);
    open[0] = 0x99;
    open[4] = 9;
    f.ServerSends(open);
    EXPECT_EQ(f.link.UnhandledCount(0x99), 1);
    EXPECT_EQ(f.link.LastUnhandled(0x99), open);
    EXPECT_TRUE(f.reports.Has("Server packet 0x99 is not handled yet."));
}

TEST(ClientLink, NoticeNumbersAreKeptEvenWhenNothingIsShown) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    f.link.state.currentVer = 4;
    Bytes body{1};
    PutLong(body, 4);
    PutShort(body, 2);
    body.push_back('h');
    body.push_back('i');
    f.ServerSends(ServerPacket(0xA6, body, true));
    EXPECT_FALSE(Contains(f.hooks.calls, "ShowTip 1 4 hi"));
    body[4] = 5;
    f.ServerSends(ServerPacket(0xA6, body, true));
    EXPECT_TRUE(Contains(f.hooks.calls, "ShowTip 1 5 hi"));
    EXPECT_EQ(f.link.state.currentVer, 5);
}

TEST(ClientLink, NothingIsDispatchedAfterAHandlerClosedTheConnection) {
    LinkFixture f(0);
    f.link.OpenLocalConnection();
    Bytes stream = CharacterList({}, 0, {}, {});
    Bytes action(14, 0);  // a packet whose handler is not built yet, so it would be counted
    action[0] = 0x6E;
    stream.insert(stream.end(), action.begin(), action.end());
    f.ServerSends(stream);
    EXPECT_FALSE(f.link.Connection().IsOpen());
    EXPECT_EQ(f.link.UnhandledCount(0x6E), 0);
    EXPECT_EQ(f.link.Connection().ReceiveCount(), 0u);
}

TEST(ClientLink, AReopenedConnectionStartsAfresh) {
    LinkFixture f;
    f.link.OpenLocalConnection();
    // Half a packet, then the connection closes and opens again.
    f.ServerSends({0x77, 0x00, 0x00});
    EXPECT_EQ(f.link.Connection().ReceiveCount(), 3u);
    f.link.CloseConnection();
    EXPECT_FALSE(f.link.Connection().IsOpen());
    ASSERT_TRUE(f.link.OpenLocalConnection());
    EXPECT_TRUE(f.link.Connection().IsOpen());
    EXPECT_EQ(f.link.Connection().ReceiveCount(), 0u);
    f.ServerSends({0x55});
    EXPECT_TRUE(f.hooks.inGame);
}

// Logging out ends the session of the in-process link: the server drains what was sent and
// then reads the end; the next connection starts a new session in which both directions work.
TEST(ClientLink, ClosingEndsTheLinkSessionAndTheNextOpenStartsANewOne) {
    LinkFixture f;
    ASSERT_TRUE(f.link.OpenLocalConnection());
    u8 ping[2];
    PacketWriter w(ping, sizeof ping);
    BuildPingPacket(w);
    ASSERT_TRUE(f.link.Send(w));
    f.link.Poll();
    f.link.CloseConnection();
    u8 got[16];
    EXPECT_EQ(f.toServer.Get(got, sizeof got), 2);
    EXPECT_EQ(f.toServer.Get(got, sizeof got), -1);
    f.fromServer.Close();  // the server ends its side when it reaps the session

    ASSERT_TRUE(f.link.OpenLocalConnection());
    EXPECT_EQ(f.toServer.Get(got, sizeof got), 0);  // open again, nothing sent yet
    ASSERT_TRUE(f.link.Send(w));
    f.link.Poll();
    EXPECT_EQ(f.toServer.Get(got, sizeof got), 2);
    f.ServerSends({0x55});
    EXPECT_TRUE(f.hooks.inGame);
}

TEST(LoginPacketHandlers, TownGroupsStayTogetherInOrder) {
    platform::SeedRandom(3);
    int bFirst = 0;
    for (int round = 0; round < 40; ++round) {
        std::vector<StartLocation> list = {{"A: x", 0}, {"A: y", 1}, {"B: z", 2}};
        ShuffleTownGroups(list, {0, 2});
        ASSERT_EQ(list.size(), 3u);
        const bool b = list[0].text == "B: z";
        bFirst += b;
        EXPECT_EQ(list[b ? 1 : 0].text, "A: x");
        EXPECT_EQ(list[b ? 2 : 1].text, "A: y");
    }
    EXPECT_GT(bFirst, 0);
    EXPECT_LT(bFirst, 40);
}

TEST(LoginPacketHandlers, ServersSortByTimeZoneWithFiftyLast) {
    const std::vector<size_t> order = SortServersByTimeZone({5, 50, 8}, {false, true, false}, 6);
    EXPECT_EQ(order, (std::vector<size_t>{0, 2, 1}));
}

}  // namespace
