// The player's status and skills with both halves real: the server main loop runs the demo
// world on a thread of its own, the client's link and world run on the test thread, and the
// client's status and skill requests bring the server's 0x11 and 0x3A into the client's
// records; double-clicking yourself brings the server's 0x88 and the paperdoll opens, and its
// status button fills the player's status window from the server's 0x11.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "client/app/shell_object_windows.h"
#include "client/app/shell_status_windows.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "client/world/walk_queue.h"
#include "tests/client/net/text_window_fake.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tests/protocol/server_player_place.h"
#include "tests/protocol/server_thread.h"
#include "tests/protocol/tester_creation.h"
#include "tests/protocol/world_entry_hooks.h"

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(10);

class StatusSkillsRoundTripTest : public InstalledWorldFixture {
protected:
    void SetUp() override {
        InstalledWorldFixture::SetUp();
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        link.SetFrontEnd(&driver);
        TheWalkQueue().Clear();
        new CClientPlayer;
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        InstalledWorldFixture::TearDown();
    }

    bool WaitFor(const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
        for (;;) {
            Clock().Advance(100);
            link.Poll();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::yield();
        }
    }

    void EnterTheWorld(const std::string& name) {
        CreateCharacterRequest c = TesterCreation(name);
        c.slot = 0;
        driver.ScriptCreate(c);
        driver.StartAccountLogin(name, "pw");
        ASSERT_TRUE(WaitFor([&] { return hooks.inWorld && hooks.inGame; }))
            << ::testing::PrintToString(hooks.calls);
        ASSERT_NE(ThePlayer(), nullptr);
    }

    LinkReportCapture reports;
    TextWindowFake windows;
    WorldEntryHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};
    ServerThread server_;
};

TEST_F(StatusSkillsRoundTripTest, StatusAndSkillRequestsFillTheClientsRecords) {
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld("Scholar"));
    const u32 self = TheClientWorld().playerSerial;
    windows.status[self];  // the player's status window is open
    link.SendStatusRequest(4, self);
    ASSERT_TRUE(WaitFor([&] { return link.state.status.serial == self; }));
    const StatusRecord& s = link.state.status;
    EXPECT_EQ(s.name, "Scholar");
    EXPECT_EQ(s.strength, 45);
    EXPECT_EQ(s.dexterity, 35);
    EXPECT_EQ(s.intelligence, 10);
    EXPECT_GT(s.maxHits, 0);
    EXPECT_EQ(windows.status[self].status.name, "Scholar");
    EXPECT_EQ(windows.status[self].status.strength, 45);

    // The whole list, asked for by the player: the skill window opens on it.
    SkillRecords& skills = link.state.skills;
    skills.windowRequested = true;
    link.SendStatusRequest(5, 0);
    ASSERT_TRUE(WaitFor([&] { return windows.skillOpens == 1; }));
    EXPECT_FALSE(skills.windowRequested);
    // Every value the server has for the player, each in the slot of its skill.
    std::vector<int> server;
    bool found = false;
    ASSERT_TRUE(server_.RunOnServer([&] { found = ServerPlayerSkills("Scholar", server); },
                                    [&] {
                                        Clock().Advance(100);
                                        link.Poll();
                                    }));
    ASSERT_TRUE(found);
    ASSERT_GE(server.size(), 28u);
    int known = 0;
    for (size_t i = 0; i < server.size() && i < size_t(SkillRecords::kSkills); ++i) {
        EXPECT_EQ(skills.values[i], server[i]) << i;
        known += server[i] != 0;
    }
    EXPECT_GE(known, 3);

    // One skill by its index from 0.
    const u16 chosen = skills.values[26];
    ASSERT_NE(chosen, 0);
    skills.values[26] = 0;
    link.SendStatusRequest(6, 26);
    ASSERT_TRUE(WaitFor([&] { return skills.values[26] != 0; }));
    EXPECT_EQ(skills.values[26], chosen);
    EXPECT_EQ(windows.skillRefreshes, 1);
}

// The running client's window hooks and link in force for one test, put back however it ends.
class ShellWindowsInForce {
public:
    explicit ShellWindowsInForce(ClientLink& link)
        : previousObjects_(SetObjectWindowHooks(&objectWindows_)),
          previousText_(SetTextWindowHooks(&textWindows_)) {
        SetTheClientLink(&link);
    }
    ~ShellWindowsInForce() {
        TheGumpDesktop().DeleteAllGumps();
        SetTheClientLink(nullptr);
        SetTextWindowHooks(previousText_);
        SetObjectWindowHooks(previousObjects_);
    }
    ShellWindowsInForce(const ShellWindowsInForce&) = delete;
    ShellWindowsInForce& operator=(const ShellWindowsInForce&) = delete;

private:
    ShellObjectWindows objectWindows_;
    ShellStatusWindows textWindows_;
    ObjectWindowHooks* previousObjects_;
    TextWindowHooks* previousText_;
};

TEST_F(StatusSkillsRoundTripTest, DoubleClickingYourselfOpensThePaperdollAndItsStatus) {
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld("Scholar"));
    const ShellWindowsInForce shell(link);
    const u32 self = TheClientWorld().playerSerial;

    link.SendUseObject(self);
    ASSERT_TRUE(WaitFor([&] { return FindPaperdoll(self) != nullptr; }));
    CPaperdollGump* doll = FindPaperdoll(self);
    EXPECT_TRUE(doll->Own());
    EXPECT_NE(doll->Text().find("Scholar"), std::string::npos) << doll->Text();
    // Asked again while minimised: the same paperdoll comes back. The server takes one use
    // per action delay, so the request is repeated until it is answered.
    doll->Minimize();
    int polls = 0;
    ASSERT_TRUE(WaitFor([&] {
        if (polls++ % 20 == 0) link.SendUseObject(self);
        return !doll->minimised;
    }));
    EXPECT_EQ(FindPaperdoll(self), doll);

    // The status button: the player's full status window, filled by the server's answer.
    OpenStatusWindowOf(self);
    CGump* found = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
            if (CStatusGump* s = g->As<CStatusGump>(); s != nullptr && s->record.name == "Scholar")
                found = s;
        return found != nullptr;
    }));
    EXPECT_FALSE(found->minimised);
    EXPECT_EQ(found->As<CStatusGump>()->record.strength, 45);
}

}  // namespace
