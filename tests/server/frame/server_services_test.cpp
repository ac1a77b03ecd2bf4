// The services the server's start-up installs, as the protocol reaches them.
#include "server/frame/server_services.h"

#include <gtest/gtest.h>

#include "server/frame/load_governor.h"
#include "server/frame/time_manager.h"
#include "server/rules/npc/npc_rules.h"
#include "server/world/npc_load_limits.h"
#include "server/world/player.h"
#include "tests/server/server_services_scope.h"

namespace {

TEST(ServerServices, TheProtocolReadsTheGameClockOfTheTimeManager) {
    const GameCalendar saved = g_timeManager.GetCalendar();
    ServerServicesScope services;
    GameCalendar calendar;
    calendar.hour = 7;
    calendar.minute = 42;
    calendar.pulseInMinute = 19;
    ASSERT_TRUE(g_timeManager.SetCalendar(calendar));
    int hour = 0, minute = 0, pulse = 0;
    GetProtocolWorldServices().GameClock(hour, minute, pulse);
    EXPECT_EQ(hour, 7);
    EXPECT_EQ(minute, 42);
    EXPECT_EQ(pulse, 19);
    g_timeManager.SetCalendar(saved);
}

// The world entry's guard-zone step is the player's own look at the regions.
TEST(ServerServices, TheEntrysGuardZoneStepLooksAtThePlayersPlace) {
    struct EverywhereGuarded : AreaServices {
        bool IsInJusticeRegion(const Location&) override { return true; }
    } area;
    ServerServicesScope services;
    SetAreaServices(&area);
    CPlayer player;
    EXPECT_EQ(player.GetWalkState().guardZone, 0);
    GetProtocolWorldServices().UpdateGuardZone(player);
    EXPECT_EQ(player.GetWalkState().guardZone, 1);
}

// The NPCs live once the server starts: the behaviour is in force, and the load governor
// sets their speed cap and births.
TEST(ServerServices, TheNpcBehaviourAndTheGovernorsLimitsAreInForce) {
    EXPECT_EQ(dynamic_cast<NpcRules*>(&GetNpcServices()), nullptr);
    {
        ServerServicesScope services;
        EXPECT_NE(dynamic_cast<NpcRules*>(&GetNpcServices()), nullptr);
        EXPECT_EQ(GetNpcLoadLimits().SpeedCap(), g_loadGovernor.NpcDelayCap());
        EXPECT_EQ(GetNpcLoadLimits().IsSpawnBlocked(), g_loadGovernor.IsNpcSpawnBlocked() != 0);
        const s32 saved = g_loadGovernor.slowdownPlayers;
        g_loadGovernor.slowdownPlayers = -1;  // any count of players online is above it
        EXPECT_EQ(GetNpcLoadLimits().SpeedCap(), 10);
        g_loadGovernor.slowdownPlayers = saved;
    }
    EXPECT_EQ(dynamic_cast<NpcRules*>(&GetNpcServices()), nullptr);
    EXPECT_EQ(GetNpcLoadLimits().SpeedCap(), 100);
}

}  // namespace
