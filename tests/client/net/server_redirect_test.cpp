// The relay to a game server over TCP, against a test peer on 127.0.0.1.
#include <gtest/gtest.h>

#include "client/net/client_packets.h"
#include "client/net/stream_scrambler.h"
#include "core/packet_writer.h"
#include "platform/tcp_socket.h"
#include "tests/client/net/huffman_test_encoder.h"
#include "tests/client/net/link_fixture.h"

namespace {

constexpr u32 kLoopback = 0x7F000001;

Bytes Relay(u32 address, u16 port, u32 key) {
    Bytes body;
    PutLong(body, address);
    PutShort(body, port);
    PutLong(body, key);
    return ServerPacket(0x8C, body, false);
}

// A listening socket on a free loopback port.
struct TestPeer {
    platform::SocketHandle listener = platform::OpenTcpSocket();
    platform::SocketHandle peer = platform::kNoSocket;
    u16 port = 0;
    TestPeer() {
        EXPECT_TRUE(platform::BindAnyAddress(listener, 0));
        EXPECT_TRUE(platform::ListenOn(listener, 4));
        port = platform::BoundPort(listener);
    }
    ~TestPeer() {
        if (peer != platform::kNoSocket) platform::CloseSocket(peer);
        platform::CloseSocket(listener);
    }
    bool Accept() {
        u32 address = 0;
        peer = platform::AcceptConnection(listener, address);
        return peer != platform::kNoSocket;
    }
    Bytes Read(size_t count) {
        Bytes out(count);
        size_t got = 0;
        while (got < count) {
            const long n = platform::ReceiveBytes(peer, out.data() + got, count - got);
            if (n <= 0) break;
            got += size_t(n);
        }
        out.resize(got);
        return out;
    }
};

// A port nothing listens on.
u16 RefusedPort() {
    platform::SocketHandle s = platform::OpenTcpSocket();
    platform::BindAnyAddress(s, 0);
    const u16 port = platform::BoundPort(s);
    platform::CloseSocket(s);
    return port;
}

// Polls the link until `done` or the socket has had its chance for two seconds.
template <class Done>
bool PollUntil(LinkFixture& f, Done done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        f.link.Poll();
        if (done()) break;
        platform::SocketPollEntry entry;
        entry.handle = f.link.Connection().Socket();
        entry.wantRead = true;
        if (entry.handle >= 0) platform::PollSockets(&entry, 1, 10);
    }
    return done();
}

TEST(ServerRedirect, AddressZeroMeansTheServersAreFull) {
    LinkFixture f(0);
    f.link.OpenLocalConnection();
    f.ServerSends(Relay(0, 2593, 1));
    ASSERT_EQ(f.driver.notices.size(), 1u);
    EXPECT_EQ(f.driver.notices[0].text,
              "The server you have selected is full, sorry for the inconvenience.  Please use "
              "another server or try again later.");
    EXPECT_EQ(f.driver.notices[0].owner, NoticeOwner::kMainMenu);
    EXPECT_FALSE(f.link.Connection().IsOpen());
    EXPECT_FALSE(f.link.gameServer);
}

TEST(ServerRedirect, ARefusedPortIsTriedThreeTimesThenTheAttachText) {
    LinkFixture f(0);
    f.link.OpenLocalConnection();
    f.ServerSends(Relay(kLoopback, RefusedPort(), 1));
    for (int attempt = 1; attempt <= 3; ++attempt) {
        EXPECT_TRUE(f.reports.Has("Connecting to the game server failed (attempt " +
                                  std::to_string(attempt) + ")."));
    }
    EXPECT_FALSE(f.reports.Has("Connecting to the game server failed (attempt 4)."));
    ASSERT_EQ(f.driver.notices.size(), 1u);
    EXPECT_EQ(f.driver.notices[0].text,
              "The client could not attach to the game server. It must have been taken down, "
              "please wait a few minutes and try again.");
    EXPECT_EQ(f.driver.notices[0].value, 1);
    EXPECT_FALSE(f.link.Connection().IsOpen());
    EXPECT_FALSE(f.link.gameServer);
    EXPECT_FALSE(f.link.Stream().compression);
    // The next poll frees the connection that was framing the relay packet.
    f.link.Poll();
}

TEST(ServerRedirect, AcceptedRelaySendsTheScrambledGameLoginAndDecodesWhatFollows) {
    LinkFixture f(0);
    TestPeer server;
    f.link.state.accountName = "acct";
    f.link.state.accountPassword = "secret";
    f.link.OpenLocalConnection();
    const u32 key = 0x12345678;
    f.ServerSends(Relay(kLoopback, server.port, key));
    ASSERT_TRUE(f.link.gameServer);
    EXPECT_EQ(f.link.Connection().PeerAddress(), kLoopback);
    ASSERT_TRUE(server.Accept());
    f.link.Poll();  // hands the game login to the socket
    EXPECT_TRUE(f.link.Stream().compression);
    EXPECT_TRUE(f.link.Connection().Scrambling());

    const Bytes sentKey = server.Read(4);
    EXPECT_EQ(sentKey, (Bytes{0x12, 0x34, 0x56, 0x78}));
    Bytes login = server.Read(65);
    ASSERT_EQ(login.size(), 65u);
    StreamScrambler unscramble(key);
    unscramble.Apply(login.data(), login.size());
    Bytes expected(65);
    PacketWriter w(expected.data(), expected.size());
    BuildGameLoginPacket(w, key, "acct", "secret");
    EXPECT_EQ(login, expected);

    // The game server's character list, compressed, reaches the driver.
    Bytes body{1};
    for (int i = 0; i < 5; ++i) {
        PutText(body, i == 0 ? "Tester" : "", 30);
        PutText(body, "", 30);
    }
    body.push_back(1);
    body.push_back(0);
    PutText(body, "Town", 31);
    PutText(body, "Gate", 31);
    const Bytes coded = HuffmanEncode(ServerPacket(0xA9, body, true));
    ASSERT_EQ(platform::SendBytes(server.peer, coded.data(), coded.size()), long(coded.size()));
    EXPECT_TRUE(PollUntil(f, [&] { return Contains(f.driver.calls, "AddCharacter Tester  0"); }));
    EXPECT_TRUE(Contains(f.driver.calls, "ShowCharacterList"));
}

TEST(ServerRedirect, APeerThatHangsUpLeavesTheClientWithAClosedConnection) {
    LinkFixture f(0);
    TestPeer server;
    ASSERT_TRUE(f.link.Connection().Connect(kLoopback, server.port));
    ASSERT_TRUE(server.Accept());
    platform::CloseSocket(server.peer);
    server.peer = platform::kNoSocket;
    EXPECT_TRUE(PollUntil(f, [&] { return !f.link.Connection().IsOpen(); }));
    EXPECT_EQ(f.link.Connection().Socket(), -1);
    EXPECT_TRUE(f.reports.Has("Exiting due to closed connection."));
}

}  // namespace
