// The login road with both halves real and on their own threads: the server main loop runs
// the demo world without the built-in client on a thread of its own, the client's link with a
// scripted login driver runs on the test thread. The test only ever touches the client's side
// (and the bytes the server sent, before the client reads them); waits are bounded waits on
// what the client saw.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "server/server_config.h"
#include "tests/protocol/creation_request.h"
#include "tests/protocol/server_thread_fixture.h"

namespace {

class ServerThreadLoginTest : public ServerThreadFixture {
protected:
    void SetUp() override {
        ServerThreadFixture::SetUp();
        link.SetFrontEnd(&driver);
    }

    // Sends the account login and answers the server's character list, whole, before the
    // client reads it (then hands it to the client).
    std::vector<u8> LoginToCharacterList() {
        driver.StartAccountLogin("acct", "pw");
        link.Poll();
        std::vector<u8> list;
        std::vector<u8> buf(1024);
        const bool whole = WaitFor(
            [&] {
                const s32 got = ServerToClientQueue->Get(buf.data(), s32(buf.size()));
                if (got > 0) list.insert(list.end(), buf.begin(), buf.begin() + got);
                return list.size() >= EmptyCharacterList().size();
            },
            false);
        EXPECT_TRUE(whole) << "the character list came short: " << list.size() << " bytes";
        ServerToClientQueue->Put(list.data(), s32(list.size()));
        link.Poll();
        return list;
    }

    bool HasCall(const std::string& call) const {
        for (const std::string& c : hooks.calls)
            if (c == call) return true;
        return false;
    }
    // The EnterWorld call the 0x1B made: "EnterWorld serial x y z"; empty when none came.
    std::string EnteredAt() const {
        for (const std::string& c : hooks.calls)
            if (c.rfind("EnterWorld ", 0) == 0) return c;
        return {};
    }
    // x and y of the configured start place, as "x y".
    static std::string StartPlace() {
        return std::to_string(g_serverConfig.x + g_startX) + " " +
               std::to_string(g_serverConfig.y + g_startY);
    }
    bool InGame() { return hooks.inWorld && hooks.inGame; }

    ScriptedLoginDriver driver{link};
};

CreateCharacterRequest FirstSlot(const std::string& name) {
    CreateCharacterRequest c = TesterCreation(name);
    c.slot = 0;
    return c;
}

TEST_F(ServerThreadLoginTest, CreatesPlaysAgainAfterLogOutSurvivesARefusalAndRefusesATakenName) {
    // A new account: no characters; the driver creates "Tester", who enters at the start.
    driver.ScriptCreate(FirstSlot("Tester"));
    EXPECT_EQ(LoginToCharacterList(), EmptyCharacterList());
    ASSERT_TRUE(WaitFor([&] { return InGame(); })) << ::testing::PrintToString(hooks.calls);
    const std::string entered = EnteredAt();
    ASSERT_FALSE(entered.empty());
    EXPECT_THAT(entered, ::testing::HasSubstr(" " + StartPlace() + " "));
    EXPECT_TRUE(HasCall("SetInWorld 1"));
    EXPECT_TRUE(HasCall("SetInGame 1"));

    // 0x01 and the client closes its side: the server ends the session, logging out, and
    // closes its answers.
    SendLogOutAndClose(link);
    ASSERT_TRUE(WaitFor([] { return ServerToClientQueue->IsClosed(); }));

    // A fresh link lists "Tester" and Enter plays it.
    hooks.calls.clear();
    hooks.inWorld = hooks.inGame = false;
    driver.calls.clear();
    const std::vector<u8> list = LoginToCharacterList();
    ASSERT_EQ(list.size(), 387u);
    EXPECT_EQ(ToHex({list.begin(), list.begin() + 5}), "81 01 83 01 CD");
    EXPECT_THAT(driver.calls, ::testing::Contains("AddCharacter Tester  0"));
    ASSERT_TRUE(WaitFor([&] { return !EnteredAt().empty(); }))
        << ::testing::PrintToString(hooks.calls);
    EXPECT_THAT(EnteredAt(), ::testing::HasSubstr(" " + StartPlace() + " "));

    // A fresh link that walks before logging in is cut off; the next one logs in.
    link.CloseConnection();
    ASSERT_TRUE(WaitFor([] { return ServerToClientQueue->IsClosed(); }));
    reports.Clear();
    ASSERT_TRUE(link.OpenLocalConnection());
    u8 walkBytes[3];
    PacketWriter walk(walkBytes, sizeof walkBytes);
    BuildWalkRequestPacket(walk, 0x83, 1);
    link.Send(walk);
    ASSERT_TRUE(WaitFor([&] { return reports.Has("Exiting due to closed connection."); }))
        << ::testing::PrintToString(reports.Lines()) << link.Connection().IsOpen();
    EXPECT_FALSE(link.Connection().IsOpen());
    EXPECT_EQ(link.Connection().Socket(), ClientConnection::kClosedSocket);
    hooks.calls.clear();
    LoginToCharacterList();
    EXPECT_EQ(link.state.characters[0].name, "Tester");
    ASSERT_TRUE(WaitFor([&] { return !EnteredAt().empty(); }))
        << ::testing::PrintToString(hooks.calls);

    // The same name in another case is taken.
    driver.ScriptCreate(FirstSlot("TESTER"));
    LoginToCharacterList();
    ASSERT_TRUE(WaitFor([&] { return !driver.notices.empty(); }));
    EXPECT_EQ(driver.notices.back().text, "This character already exists.\nPlaying...");
    EXPECT_TRUE(link.Connection().IsOpen());
}

}  // namespace
