// The running client's login hooks at the end of the world entry: the server's 0x55 closes the
// windows of the front end and opens again what the character had open when it last played
// (its saved desktop), each at its saved place.
#include "client/app/client_link_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "client/gumps/framework/desktop_file.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/net/link_fixture.h"

namespace {

class FightingBar : public CGump {
public:
    FightingBar(int x, int y) : CGump(x, y, nullptr, 0, 1, 100, 30) {}
    GumpKind Kind() const override { return GumpKind::kFighting; }
};

class FactoryHost : public RecordingGumpHost {
public:
    CGump* MakeFightingBar(int x, int y) override {
        return TheGumpDesktop().Make<FightingBar>(x, y);
    }
};

class LoginDesktopTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        directory = std::filesystem::temp_directory_path() /
                    ("zq_login_desktop_" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(directory);
        factory.directory = directory.string();
        factory.slot = 1;
        ClientToServerQueue = &toServer;
        ServerToClientQueue = &fromServer;
        link.OpenLocalConnection();
    }
    void TearDown() override {
        ClientToServerQueue = nullptr;
        ServerToClientQueue = nullptr;
        GumpDesktopTest::TearDown();
        std::filesystem::remove_all(directory);
    }
    void SaveDesktopOf(u32 serial, const std::vector<DesktopRecord>& records) {
        const std::vector<u8> bytes = WriteDesktopFile(serial, records);
        std::ofstream out(directory / "desktop.zq2", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void ServerSendsLoginComplete() {
        const Bytes packet = ServerPacket(0x55, {}, false);
        fromServer.Put(packet.data(), s32(packet.size()));
        link.Poll();
    }

    std::filesystem::path directory;
    FactoryHost factory;  // installed over the fixture's host
    LinkReportCapture reports;
    ChunkQueue toServer, fromServer;
    ShellLoginHooks hooks;
    ClientLink link{nullptr, &hooks};
};

TEST_F(LoginDesktopTest, TheEntrysEndClosesTheFrontEndAndReopensTheSavedDesktop) {
    SaveDesktopOf(factory.playerSerial, {{DesktopRecord::kFighting, 30, 40, 0, 0, 0, 0}});
    CGump* leftOver = MakeFilledGump(200, 200, 50, 50, 0x1111);
    ServerSendsLoginComplete();
    EXPECT_TRUE(hooks.inGame);
    ASSERT_NE(Desktop().fightingGump, nullptr) << "the saved desktop was never read back";
    EXPECT_EQ(Desktop().fightingGump->x, 30);
    EXPECT_EQ(Desktop().fightingGump->y, 40);
    EXPECT_FALSE(IsGumpAlive(leftOver)) << "a front-end window stayed open";
}

TEST_F(LoginDesktopTest, AnotherCharactersDesktopIsNotOpened) {
    SaveDesktopOf(factory.playerSerial + 1, {{DesktopRecord::kFighting, 30, 40, 0, 0, 0, 0}});
    ServerSendsLoginComplete();
    EXPECT_TRUE(hooks.inGame);
    EXPECT_EQ(Desktop().fightingGump, nullptr);
    EXPECT_EQ(Desktop().head, nullptr);
}

}  // namespace
