// The login sequence on a real queue pair, as the main loop serves the local link: creating,
// playing and listing characters, taking a character over from another connection, and a
// connection that is refused, reaped and replaced by a fresh one when the client reopens.
#include "server/net/pre_login.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/log_sink.h"
#include "server/net/local_connection.h"
#include "server/net/socket.h"
#include "tests/server/net/net_test_support.h"

namespace {

class PreLoginTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        net.CreateLocalUserSock();
    }
    // A creation request as the client builds it.
    static std::vector<u8> Create(const char* name) {
        std::vector<u8> p = Packet(0x00, 0, name);
        const u8 fields[] = {0x01, 0x02, 0x03, 0x04, 0x05};  // x 0x0102, y 0x0304, z 5
        std::memcpy(&p[5], fields, sizeof fields);
        std::memcpy(&p[40], "secret", 6);
        const u8 rest[] = {1,    40,   30,   30,   25,   50,   26,   40,   27,   10,
                           0x03, 0xEA, 0x20, 0x3B, 0x04, 0x4E, 0x20, 0x3F, 0x04, 0x4F,
                           0,    0,    0,    0,    0,    42,   0x7F, 0x00, 0x00, 0x01};
        std::memcpy(&p[70], rest, sizeof rest);
        return p;
    }
    std::vector<u8> Exchange(const std::vector<u8>& request) {
        ClientSends(request);
        ServerPass();
        return ClientReads();
    }

    LocalConnectionServices net;
};

TEST_F(PreLoginTest, ANameInUseInAnyCaseIsRefusedWithReasonTwo) {
    registry.Add("Ann");
    EXPECT_EQ(ToHex(Exchange(Create("aNN"))), "53 02");
    EXPECT_TRUE(registry.created.empty());
    EXPECT_EQ(LocalUserSock->player, nullptr);
    EXPECT_EQ(LocalUserSock->state, 0u) << "a refusal answer keeps the connection";
}

TEST_F(PreLoginTest, PlayingAnUnknownNameIsRefusedWithReasonOne) {
    registry.Add("Ann");
    EXPECT_EQ(ToHex(Exchange(Packet(0x5D, 0, "Anna"))), "53 01");
    EXPECT_TRUE(registry.journal.empty());
}

TEST_F(PreLoginTest, ANewCharacterIsMadeFromTheRequestLinkedAndEntered) {
    EXPECT_EQ(Exchange(Create("Bo")).at(0), 0x1B) << "only the world entry answers";
    ASSERT_EQ(registry.created.size(), 1u);
    const NewCharacter& c = registry.created[0];
    EXPECT_EQ(c.x, 0x0102);
    EXPECT_EQ(c.y, 0x0304);
    EXPECT_EQ(c.z, 5);
    EXPECT_STREQ(c.name, "Bo");
    EXPECT_STREQ(c.password, "secret");
    EXPECT_EQ(c.sex, 1);
    EXPECT_EQ(c.strength, 40);
    EXPECT_EQ(c.dexterity, 30);
    EXPECT_EQ(c.intelligence, 30);
    EXPECT_EQ(c.skill[0], 25);
    EXPECT_EQ(c.skillValue[0], 50);
    EXPECT_EQ(c.skill[2], 27);
    EXPECT_EQ(c.skillValue[2], 10);
    EXPECT_EQ(c.skinHue, 0x03EA);
    EXPECT_EQ(c.hairStyle, 0x203B);
    EXPECT_EQ(c.hairHue, 0x044E);
    EXPECT_EQ(c.beardStyle, 0x203F);
    EXPECT_EQ(c.beardHue, 0x044F);
    EXPECT_EQ(c.characterKey, 42u);
    EXPECT_EQ(c.accountKey, kLocalPeerAddress) << "bytes 96-99 carry the client's address";
    CPlayer* bo = registry.players.back().get();
    EXPECT_EQ(LocalUserSock->player, bo);
    EXPECT_EQ(bo->GetConnection(), LocalUserSock);
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Bo"});
    EXPECT_EQ(LocalUserSock->loggedIn, 1u);
}

TEST_F(PreLoginTest, TheAccountListHoldsTheFirstFiveOfTheAddresssCharacters) {
    for (const char* name : {"C1", "C2", "C3", "C4", "C5", "C6", "C7"})
        registry.Add(name);
    registry.Add("Other", 0x0A000001);
    const std::vector<u8> out = Exchange(Packet(0x80));
    ASSERT_EQ(out.size(), 387u);
    EXPECT_EQ(ToHex({out.begin(), out.begin() + 5}), "81 01 83 05 CD");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&out[5 + 60 * i])),
                  "C" + std::to_string(i + 1));
        EXPECT_EQ(out[5 + 60 * i + 30], 0) << "passwords are sent as zeros";
    }
}

TEST_F(PreLoginTest, PlayingACharacterHeldElsewhereTakesItOverAndClosesTheOther) {
    FakePlayer* ann = registry.Add("Ann");
    CUserSock* other = new CUserSock(-1, 0x0A000002);  // a network connection
    LinkPlayerToSocket(ann, other);
    ann->loggedIn = true;
    Exchange(Packet(0x5D, 0, "ANN"));
    EXPECT_EQ(ann->GetConnection(), LocalUserSock);
    EXPECT_EQ(LocalUserSock->player, ann);
    EXPECT_EQ(other->state, u32(kSocketClosing));
    EXPECT_EQ(other->player, nullptr);
    // The next pass reaps the other connection; the player stays in the game on this one.
    ServerPass();
    for (CSocket* s = SocketList.head; s; s = s->next)
        EXPECT_NE(s, other);
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Ann"});
    EXPECT_EQ(ann->GetConnection(), LocalUserSock);
}

TEST_F(PreLoginTest, PlayingTheCharacterThisConnectionHoldsKeepsTheConnection) {
    FakePlayer* ann = registry.Add("Ann");
    Exchange(Packet(0x5D, 0, "Ann"));
    Exchange(Packet(0x5D, 0, "Ann"));
    EXPECT_EQ(LocalUserSock->state, 0u);
    EXPECT_EQ(LocalUserSock->player, ann);
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Ann", "enter Ann"}));
}

TEST_F(PreLoginTest, AConnectionWithAPlayerLogsItOutBeforeTakingAnother) {
    registry.Add("Bo");
    registry.Add("Ann");
    Exchange(Packet(0x5D, 0, "Bo"));
    Exchange(Packet(0x5D, 0, "Ann"));
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Bo", "logout Bo", "enter Ann"}));
    EXPECT_EQ(registry.players[0]->GetConnection(), nullptr);
}

TEST_F(PreLoginTest, ARefusedPacketEndsTheSessionAndAReopenedLinkLogsInAfresh) {
    FakePlayer* ann = registry.Add("Ann");
    Exchange(Packet(0x5D, 0, "Ann"));
    CUserSock* first = LocalUserSock;
    ASSERT_EQ(first->player, ann);
    ClientSends(FromHex("03 00 08 00 00 00 00 03"));  // speech without its text's terminator
    ServerPass();
    EXPECT_EQ(first->state, u32(kSocketClosing));
    ServerPass();  // reaped after the poll
    EXPECT_EQ(LocalUserSock, nullptr);
    EXPECT_EQ(ann->GetConnection(), nullptr);
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Ann", "logout Ann"}));
    bool closed = false;
    ClientReads(&closed);
    EXPECT_TRUE(closed) << "the client reads -1";
    ClientSends(Packet(0x5D, 0, "Ann"));
    EXPECT_TRUE(toServer.IsClosed()) << "what the client sends into a closed link is dropped";
    ServerPass();
    EXPECT_EQ(LocalUserSock, nullptr) << "no connection until the client reopens";

    // Requests of a new session wait while its answer queue is still closed.
    toServer.Reopen();
    ClientSends(Packet(0x5D, 0, "Ann"));
    ServerPass();
    EXPECT_EQ(LocalUserSock, nullptr);
    toClient.Reopen();
    ServerPass();
    ASSERT_NE(LocalUserSock, nullptr);
    EXPECT_EQ(LocalUserSock->SocketValue(), 0xBEEFu);
    EXPECT_EQ(LocalUserSock->peerAddress, kLocalPeerAddress);
    EXPECT_EQ(LocalUserSock->player, ann);
    EXPECT_EQ(registry.journal.back(), "enter Ann");
}

TEST_F(PreLoginTest, TheClientsCloseReachesTheServerAndEndsTheSession) {
    FakePlayer* ann = registry.Add("Ann");
    Exchange(Packet(0x5D, 0, "Ann"));
    CloseClientLink();
    ServerPass();  // the read answers -1: marked
    ServerPass();  // reaped
    EXPECT_EQ(LocalUserSock, nullptr);
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Ann", "logout Ann"}));
    EXPECT_EQ(ann->GetConnection(), nullptr);
    bool closed = false;
    ClientReads(&closed);
    EXPECT_TRUE(closed) << "the server closed its answers too";
}

TEST_F(PreLoginTest, ACloseAndReopenBetweenTwoPassesStillGetsAFreshConnection) {
    FakePlayer* ann = registry.Add("Ann");
    Exchange(Packet(0x5D, 0, "Ann"));
    CUserSock* first = LocalUserSock;
    first->loggedIn = 1;
    // The client ends its session and starts a new one before the server looks again.
    CloseClientLink();
    ReopenClientLink();
    ClientSends(Packet(0x5D, 0, "Ann"));
    ServerPass();
    ASSERT_NE(LocalUserSock, nullptr);
    EXPECT_EQ(LocalUserSock->player, ann);
    EXPECT_EQ(ann->GetConnection(), LocalUserSock);
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Ann", "logout Ann", "enter Ann"}));
    EXPECT_FALSE(toServer.IsClosed()) << "the reaped session's close leaves the new one open";
    EXPECT_FALSE(toClient.IsClosed());
}

}  // namespace
