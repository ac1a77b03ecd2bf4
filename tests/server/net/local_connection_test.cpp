// The built-in client's connection as the protocol's services make it: one socket with the
// local values, gone after the shutdown's destruction of every socket; the world's name.
#include "server/net/local_connection.h"

#include <gtest/gtest.h>

#include <string>

#include "core/log_sink.h"

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

TEST(LocalConnectionServices, KeepTheWorldsNameTheLoadGivesAndLogIt) {
    LocalConnectionServices net;
    EXPECT_STREQ(net.GetWorldName(), "Unknown?");
    LogCapture log;
    net.SetWorldName("demo");
    EXPECT_STREQ(net.GetWorldName(), "demo");
    const auto lines = log.FromSource("name");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].message, "demo");
    EXPECT_EQ(lines[0].severity, "misc");
    net.SetWorldName(std::string(200, 'w').c_str());
    EXPECT_EQ(std::string(net.GetWorldName()), std::string(127, 'w'));
}

}  // namespace
