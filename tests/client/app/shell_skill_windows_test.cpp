// The shell's skill windows behind the skill-list handler (the window opens when the list the
// player asked for arrives, is raised and redrawn by later lists, another mobile's list opens a
// window of its own), the shell's world hooks behind the death notice, and the window factory's
// fighting bar and skill request.
#include "client/app/shell_skill_windows.h"

#include <gtest/gtest.h>

#include "client/app/client_services.h"
#include "client/app/shell_world_hooks.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/ingame/death_menu_gump.h"
#include "client/render/dirty_rects.h"
#include "tests/client/gumps/ingame/skill_gump_fixture.h"

namespace {

// A gump of a kind that closes on Escape or not, optionally tied to an object.
class KindGump : public CGump {
public:
    KindGump(GumpKind kind, u32 serial, bool closesOnEscape)
        : CGump(0, 0, nullptr, serial, 1, 10, 10), kind_(kind), escape_(closesOnEscape) {}
    GumpKind Kind() const override { return kind_; }
    bool ClosesOnEscape() override { return escape_; }

private:
    GumpKind kind_;
    bool escape_;
};

class ShellSkillWindowsTest : public SkillGumpTest {
protected:
    void SetUp() override {
        SkillGumpTest::SetUp();
        previousWindows = SetTextWindowHooks(&windows);
        net.link.OpenLocalConnection();
        SetTheClientLink(&net.link);
    }
    void TearDown() override {
        SetTextWindowHooks(previousWindows);
        SkillGumpTest::TearDown();
    }
    // A full skill list of the player (type 0) or another mobile (type 1): {number from 1,
    // value} pairs ended by 0.
    void ServerSendsSkills(u8 type, const std::vector<std::pair<u16, u16>>& entries) {
        Bytes body{type};
        for (const auto& [number, value] : entries) {
            PutShort(body, number);
            PutShort(body, value);
        }
        PutShort(body, 0);
        net.ServerSends(ServerPacket(0x3A, body, true));
    }
    int SkillWindows() const {
        int n = 0;
        for (CGump* g = Desktop().head; g != nullptr; g = g->nextSibling)
            n += g->IsKind(GumpKind::kSkill) ? 1 : 0;
        return n;
    }

    LinkFixture net;
    ShellSkillWindows windows;
    TextWindowHooks* previousWindows = nullptr;
};

TEST_F(ShellSkillWindowsTest, TheAskedForListOpensTheWindowLaterListsRaiseAndRedrawIt) {
    ServerSendsSkills(0, {{6, 505}});
    EXPECT_EQ(SkillWindows(), 0) << "nobody asked for the window";
    EXPECT_EQ(ThePlayerSkillValues().values[5], 505);

    net.link.state.skills.windowRequested = true;
    ServerSendsSkills(0, {{6, 510}, {4, 1000}});
    ASSERT_NE(Desktop().skillGump, nullptr);
    CGump* window = Desktop().skillGump;
    EXPECT_EQ(window->x, 100);
    EXPECT_EQ(window->y, 100);
    EXPECT_FALSE(net.link.state.skills.windowRequested);
    EXPECT_EQ(ThePlayerSkillValues().values[3], 1000);

    // Asked for again while minimised and behind another window: raised and restored.
    window->Minimize();
    MakeFilledGump(0, 0, 20, 20, 0x1111);
    net.link.state.skills.windowRequested = true;
    ServerSendsSkills(0, {{6, 520}});
    EXPECT_EQ(SkillWindows(), 1);
    EXPECT_EQ(Desktop().head, window);
    EXPECT_FALSE(window->minimised);

    // One value: stored for the window to show.
    net.ServerSends(ServerPacket(0x3A, {0xFF, 0x00, 0x05, 0x02, 0x0D}, true));
    EXPECT_EQ(ThePlayerSkillValues().values[5], 525);

    // Another mobile's list: a window of its own beside the player's.
    ServerSendsSkills(1, {{6, 1}});
    EXPECT_EQ(SkillWindows(), 2);
    EXPECT_EQ(Desktop().skillGump, window);
    EXPECT_EQ(ThePlayerSkillValues().values[5], 525);
}

TEST_F(ShellSkillWindowsTest, ARestoredSkillWindowTakesItsSavedPlaceWhenTheListArrives) {
    Desktop().restoring = true;
    Desktop().pending = {{4, 0, 280, 240, 320, 60}};
    net.link.state.skills.windowRequested = true;
    ServerSendsSkills(0, {{1, 10}});
    ASSERT_NE(Desktop().skillGump, nullptr);
    EXPECT_EQ(Desktop().skillGump->x, 320);
    EXPECT_EQ(Desktop().skillGump->y, 60);
    EXPECT_EQ(Desktop().skillGump->height, 240);
    EXPECT_FALSE(Desktop().restoring);
}

TEST_F(ShellSkillWindowsTest, DeathClosesTheWindowsItShouldAndResurrectionTheMenu) {
    ShellWorldHooks shellHooks;
    WorldHooks* recording = SetWorldHooks(&shellHooks);
    CGump* skills = OpenPlayerSkillWindow();
    CGump* systemLine = Desktop().Open<KindGump>(GumpKind::kBark, 0u, false);
    CGump* speech = Desktop().Open<KindGump>(GumpKind::kBark, 0x40u, false);
    CGump* drag = Desktop().Open<KindGump>(GumpKind::kDrag, 0u, false);
    CGump* stays = Desktop().Open<KindGump>(GumpKind::kPlain, 0u, false);
    CGump* oldMenu = OpenDeathMenuGump([](u8) {});
    net.ServerSends(ServerPacket(0x2C, {0}, false));
    EXPECT_FALSE(IsGumpAlive(skills));
    EXPECT_FALSE(IsGumpAlive(systemLine));
    EXPECT_FALSE(IsGumpAlive(drag));
    EXPECT_FALSE(IsGumpAlive(oldMenu));
    EXPECT_EQ(Desktop().modalGump, nullptr);
    EXPECT_TRUE(IsGumpAlive(speech)) << "an object's bubble goes with its object's barks";
    EXPECT_TRUE(IsGumpAlive(stays));
    DeathFadeStep = 0;

    CGump* menu = OpenDeathMenuGump([](u8) {});
    net.ServerSends(ServerPacket(0x2C, {1}, false));
    EXPECT_FALSE(IsGumpAlive(menu));
    EXPECT_EQ(Desktop().modalGump, nullptr);
    EXPECT_TRUE(IsGumpAlive(stays));
    SetWorldHooks(recording);
}

TEST_F(ShellSkillWindowsTest, TheRunningFactoryMakesTheFightingBarAndAsksForTheSkillWindow) {
    GumpHostServices* fixtureHost = &GetGumpHostServices();
    InstallClientServices();
    GumpHostServices& running = GetGumpHostServices();
    CGump* bar = running.MakeFightingBar(30, 40);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsKind(GumpKind::kFighting));
    EXPECT_EQ(bar->x, 30);
    EXPECT_EQ(bar->y, 40);
    Desktop().Close(bar);
    running.SetOpenSkillsOnList();
    EXPECT_TRUE(net.link.state.skills.windowRequested);
    SetGumpHostServices(fixtureHost);
    SetTextWindowHooks(&windows);
    SetWorldHooks(&worldHooks);
}

}  // namespace
