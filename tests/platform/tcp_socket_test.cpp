#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform;

namespace {

constexpr u32 kLoopback = 0x7F000001;

// A listener on a free loopback port.
struct Listener {
    SocketHandle handle = OpenTcpSocket();
    u16 port = 0;
    Listener() {
        EXPECT_NE(handle, kNoSocket);
        EXPECT_TRUE(SetSocketOption(handle, SocketOption::kReuseAddress, true));
        EXPECT_TRUE(BindAnyAddress(handle, 0));
        EXPECT_TRUE(ListenOn(handle, 8));
        port = BoundPort(handle);
    }
    ~Listener() { CloseSocket(handle); }
};

}  // namespace

TEST(TcpSocket, ConnectAcceptAndExchangeBytesOnLoopback) {
    Listener listener;
    ASSERT_NE(listener.port, 0);
    const SocketHandle client = OpenTcpSocket();
    ASSERT_TRUE(SetSocketOption(client, SocketOption::kNoDelay, true));
    ASSERT_TRUE(ConnectTo(client, kLoopback, listener.port));

    SocketPollEntry waiting{listener.handle, true, false};
    ASSERT_EQ(PollSockets(&waiting, 1, 5000), 1);
    EXPECT_TRUE(waiting.readable);
    u32 peer = 0;
    const SocketHandle server = AcceptConnection(listener.handle, peer);
    ASSERT_NE(server, kNoSocket);
    EXPECT_EQ(peer, kLoopback);
    u32 named = 0;
    EXPECT_TRUE(PeerAddressOf(server, named));
    EXPECT_EQ(named, kLoopback);

    ASSERT_TRUE(SetSocketBlocking(server, false));
    char buffer[8];
    EXPECT_EQ(ReceiveBytes(server, buffer, sizeof buffer), -1);  // nothing yet
    EXPECT_TRUE(SocketWouldBlock(LastSocketError()));

    EXPECT_EQ(SendBytes(client, "\x80hello", 6), 6);
    SocketPollEntry ready{server, true, true};
    ASSERT_GE(PollSockets(&ready, 1, 5000), 1);
    EXPECT_TRUE(ready.readable);
    EXPECT_TRUE(ready.writable);
    EXPECT_EQ(ReceiveBytes(server, buffer, sizeof buffer), 6);
    EXPECT_EQ(std::memcmp(buffer, "\x80hello", 6), 0);

    CloseSocket(client);  // the peer's close reads as 0 bytes
    ASSERT_GE(PollSockets(&ready, 1, 5000), 1);
    EXPECT_EQ(ReceiveBytes(server, buffer, sizeof buffer), 0);
    CloseSocket(server);
}

TEST(TcpSocket, FailuresAnswerFalseWithTheirReason) {
    Listener taken;
    const SocketHandle second = OpenTcpSocket();
    EXPECT_FALSE(BindAnyAddress(second, taken.port));  // no reuse asked: in use
    EXPECT_FALSE(SocketErrorText(LastSocketError()).empty());
    CloseSocket(second);

    // Connecting to a port nobody listens on is refused.
    const u16 closedPort = [] {
        Listener l;
        return l.port;
    }();
    const SocketHandle client = OpenTcpSocket();
    EXPECT_FALSE(ConnectTo(client, kLoopback, closedPort));
    CloseSocket(client);
}
