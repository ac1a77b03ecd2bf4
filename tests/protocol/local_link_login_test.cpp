// The whole in-process link on one thread: the client's link with a scripted login driver on
// one side, the server's local connection served by its real LocalConnectionServices polling
// on the other, both framers real, a private queue pair between them and a recording player
// registry behind the server's login handlers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "core/process_link.h"
#include "server/net/local_connection.h"
#include "server/net/socket.h"
#include "tests/protocol/creation_request.h"
#include "tests/server/net/net_test_support.h"

namespace {

class LocalLinkLoginTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        savedAddress_ = ClientServerAddress.load();
        ClientServerAddress.store(0x7F000001);  // the server in this process
        link.SetFrontEnd(&driver);
        LocalConnectionServices().CreateLocalUserSock();
    }
    void TearDown() override {
        ClientServerAddress.store(savedAddress_);
        LinkTest::TearDown();
    }

    // The client hands on what it sent, the server serves its link, the client takes the
    // answers (and may send again).
    void Round() {
        link.Poll();
        ServerPass();
        link.Poll();
    }
    // Logs in up to the character list: answers the 0x81 the server sent, before the client
    // reads it.
    std::vector<u8> LoginToCharacterList() {
        driver.StartAccountLogin("acct", "pw");
        link.Poll();
        ServerPass();
        const std::vector<u8> list = ClientReads();
        toClient.Put(list.data(), s32(list.size()));
        link.Poll();
        return list;
    }
    LinkReportCapture reports;
    ClientLoginHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};

private:
    u32 savedAddress_ = 0;
};

// The creation into the first slot, which the character list shows it in afterwards.
CreateCharacterRequest FirstSlot(const std::string& name = "Tester") {
    CreateCharacterRequest c = TesterCreation(name);
    c.slot = 0;
    return c;
}

TEST_F(LocalLinkLoginTest, AccountLoginListsNoCharacterAndCreationReachesTheRegistry) {
    driver.ScriptCreate(FirstSlot());
    const std::vector<u8> list = LoginToCharacterList();
    EXPECT_EQ(list, EmptyCharacterList());
    ASSERT_EQ(list.size(), 387u);

    // The client read it: the one start place, no characters, the creation sent.
    ASSERT_EQ(link.state.startLocations.size(), 1u);
    EXPECT_EQ(link.state.startLocations[0].text, "Vessholm: Copper Kettle");
    EXPECT_EQ(link.state.characterCount, 0);
    EXPECT_THAT(driver.calls, ::testing::Contains("CharacterListFieldEnter"));
    Round();
    ASSERT_EQ(registry.created.size(), 1u);
    ExpectCreatedAsSent(registry.created[0], FirstSlot());
    ASSERT_NE(LocalUserSock, nullptr);
    ASSERT_NE(LocalUserSock->player, nullptr);
    EXPECT_STREQ(LocalUserSock->player->GetRealName(), "Tester");
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Tester"});
    for (const std::string& line : reports.Lines())
        EXPECT_EQ(line.find("Closing the connection"), std::string::npos) << line;
}

TEST_F(LocalLinkLoginTest, AfterLoggingOutAFreshLinkListsTheCharacterAndPlaysIt) {
    driver.ScriptCreate(FirstSlot());
    LoginToCharacterList();
    Round();
    ASSERT_EQ(registry.created.size(), 1u);

    // 0x01, then the client closes its side: the server reaps the socket and logs out.
    SendLogOutAndClose(link);
    ServerPass();  // reads the 0x01
    ServerPass();  // reads the end of the session: marked
    ServerPass();  // reaped
    EXPECT_EQ(LocalUserSock, nullptr);
    EXPECT_EQ(registry.journal, (std::vector<std::string>{"enter Tester", "logout Tester"}));

    // A fresh link: the list names "Tester" and Enter plays it.
    driver.calls.clear();
    const std::vector<u8> list = LoginToCharacterList();
    ASSERT_EQ(list.size(), 387u);
    EXPECT_EQ(ToHex({list.begin(), list.begin() + 5}), "81 01 83 01 CD");
    EXPECT_THAT(driver.calls, ::testing::Contains("AddCharacter Tester  0"));
    EXPECT_EQ(link.state.characters[0].name, "Tester");
    Round();
    ASSERT_NE(LocalUserSock, nullptr);
    EXPECT_EQ(LocalUserSock->player, registry.players[0].get());
    EXPECT_EQ(registry.journal.back(), "enter Tester");
    EXPECT_EQ(registry.created.size(), 1u);
}

TEST_F(LocalLinkLoginTest, AWalkBeforeLoginClosesTheLinkAndAFreshOneLogsIn) {
    registry.Add("Tester");
    link.OpenLocalConnection();
    u8 bytes[3];
    PacketWriter walk(bytes, sizeof bytes);
    BuildWalkRequestPacket(walk, 0x83, 1);
    link.Send(walk);
    Round();       // refused: the connection is marked
    ServerPass();  // reaped, both directions of the session closed
    EXPECT_EQ(LocalUserSock, nullptr);
    link.Poll();
    EXPECT_TRUE(reports.Has("Exiting due to closed connection."));
    EXPECT_FALSE(link.Connection().IsOpen());
    EXPECT_EQ(link.Connection().Socket(), ClientConnection::kClosedSocket);

    LoginToCharacterList();
    EXPECT_EQ(link.state.characters[0].name, "Tester");
    Round();
    ASSERT_NE(LocalUserSock, nullptr);
    EXPECT_EQ(LocalUserSock->player, registry.players[0].get());
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Tester"});
}

TEST_F(LocalLinkLoginTest, CreatingANameInUseInAnyCaseIsRefusedAndTheClientSaysSo) {
    registry.Add("Tester");
    driver.ScriptCreate(FirstSlot("TESTER"));
    LoginToCharacterList();
    link.Poll();
    ServerPass();
    const std::vector<u8> answer = ClientReads();
    EXPECT_EQ(ToHex(answer), "53 02");
    toClient.Put(answer.data(), s32(answer.size()));
    link.Poll();
    ASSERT_FALSE(driver.notices.empty());
    EXPECT_EQ(driver.notices.back().text, "This character already exists.\nPlaying...");
    EXPECT_TRUE(registry.created.empty());
    EXPECT_TRUE(link.Connection().IsOpen());
}

}  // namespace
