// The built-in client's connection as the protocol's services make it: one socket with the
// local values, gone after the shutdown's destruction of every socket.
#include "server/net/local_connection.h"

#include <gtest/gtest.h>

namespace {

TEST(LocalConnectionServices, MakeTheBuiltInClientsSocketAndDestroyItAtShutdown) {
    LocalConnectionServices net;
    EXPECT_EQ(net.LocalUserSock(), nullptr);
    net.CreateLocalUserSock();
    CUserSock* local = net.LocalUserSock();
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->SocketValue(), 0xBEEFu);
    EXPECT_EQ(local->PeerAddress(), 0x7F000001u);
    EXPECT_FALSE(local->HasPendingOutput());
    net.DestroyAllSockets();
    EXPECT_EQ(net.LocalUserSock(), nullptr);
}

}  // namespace
