#include "server/frame/load_governor.h"
#include "server/frame/time_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/random.h"
#include "recording_services.h"

namespace {

using testing_services::RecordingServices;

// One governor run with these counts: what it logs and stores.
struct GovernorRun {
    u16 players;
    std::vector<std::string> logs;  // DEFCON texts without the "(players)" tail
    int strikes;                    // players struck by the storm, 0 for none
    bool creationAllowed, slowdown, spawnStop;
};

TEST(LoadGovernor, PlayerThresholdsAndTransitions) {
    const char* go1 = "Going to DEFCON 1 (No player creation) (";
    const char* down1 = "Standing down from DEFCON 1 (player creation) (";
    const char* go2 = "Going to DEFCON 2 (NPC no spawn) (";
    const char* down2 = "Standing down from DEFCON 2 (NPC no spawn) (";
    const char* go3 = "Going to DEFCON 3 (NPC slowdown) (";
    const char* down3 = "Standing down from DEFCON 3 (NPC slowdown) (";
    const char* go5 = "Going to DEFCON 5 (teleport storm) (";
    const GovernorRun runs[] = {
        {0, {}, 0, true, false, false},
        {700, {}, 0, true, false, false},
        {701, {go1}, 0, false, false, false},
        {701, {}, 0, false, false, false},  // logged once per transition
        {700, {down1}, 0, true, false, false},
        {801, {go1, go2}, 0, false, false, true},
        {800, {down2}, 0, false, false, false},
        // Entering DEFCON 3 ends the run: DEFCON 2 follows on the next one.
        {901, {go3}, 0, false, true, false},
        {901, {go2}, 0, false, true, true},
        {1100, {}, 0, false, true, true},
        {1101, {go5}, 6, false, true, true},  // no stand-down: every run while above
        {1101, {go5}, 6, false, true, true},
        {1150, {go5}, 55, false, true, true},
        {0, {down1, down3, down2}, 0, true, false, false},
        {2000, {go1, go5, go3}, 905, false, true, false},
        {900, {down3, go2}, 0, false, false, true},
    };
    RecordingServices services;
    LoadGovernor governor;
    int n = 0;
    for (const GovernorRun& r : runs) {
        ++n;
        services.world.online = r.players;
        services.trace.clear();
        governor.Run();
        std::vector<std::string> want;
        for (const std::string& text : r.logs) {
            want.push_back("log(gamestatus,panic," + text + std::to_string(r.players) + "))");
        }
        EXPECT_EQ(services.Only("log("), want) << "run " << n << ", " << r.players << " players";
        std::vector<std::string> strikes = services.Only("StrikeRandomPlayers");
        if (r.strikes) {
            EXPECT_EQ(strikes, std::vector<std::string>{testing_services::Call(
                                   "StrikeRandomPlayers", r.strikes)})
                << "run " << n;
        } else {
            EXPECT_TRUE(strikes.empty()) << "run " << n;
        }
        EXPECT_EQ(governor.IsCreationAllowed(), r.creationAllowed) << "run " << n;
        EXPECT_EQ(governor.IsSlowdownActive(), r.slowdown) << "run " << n;
        EXPECT_EQ(governor.IsSpawnStopActive(), r.spawnStop) << "run " << n;
    }
}

TEST(LoadGovernor, SpawnBlockAndDelayCapReadTheCountsDirectly) {
    struct Case {
        u16 players;
        s32 notInvulnerable;
        int blocked;
        int delayCap;
    };
    const Case cases[] = {
        {0, 2800, 0, 100}, {0, 2801, 1, 100}, {800, 0, 0, 100},
        {801, 0, 1, 100},  {900, 0, 1, 100},  {901, 0, 1, 10},
    };
    RecordingServices services;
    LoadGovernor governor;
    for (const Case& c : cases) {
        services.world.online = c.players;
        GetNpcCounters().notInvulnerable = c.notInvulnerable;
        EXPECT_EQ(governor.IsNpcSpawnBlocked(), c.blocked) << c.players << " " << c.notInvulnerable;
        EXPECT_EQ(governor.NpcDelayCap(), c.delayCap) << c.players;
    }
    // No governor run is needed: the answers follow the counts, not the DEFCON flags.
    EXPECT_FALSE(governor.IsSpawnStopActive());
}

// A world of NPCs in the mobile table: `count` NPCs with serials from 0x1001 on, spread over
// the buckets by serial & 0x3F.
struct NpcWorld {
    RecordingServices services;
    LoadGovernor governor;

    void Populate(int count, int answer) {
        for (int i = 0; i < count; ++i) {
            const u32 serial = 0x1001u + static_cast<u32>(i);
            services.world.AddNpc(serial);
            if (answer) services.script.messageAnswers[serial] = answer;
        }
    }
    void Counts(u16 players, s32 notInvulnerable, s32 guards, s32 shopkeepers) {
        services.world.online = players;
        GetNpcCounters() = NpcCounters{notInvulnerable, notInvulnerable, guards, shopkeepers};
    }
    int Messages() const { return static_cast<int>(services.Only("SendScriptMessage").size()); }
};

TEST(LoadGovernor, NpcKillNeedsBothCounts) {
    struct Case {
        u16 players;
        s32 notInvulnerable, guards, shopkeepers;
        bool acts;
    };
    const Case cases[] = {
        {1001, 76, 0, 0, true},  {1000, 76, 0, 0, false}, {1001, 75, 0, 0, false},
        {1001, 80, 3, 2, false},  // ordinary NPCs: 80 - 3 guards - 2 shopkeepers = 75
        {1001, 81, 3, 2, true},
    };
    for (const Case& c : cases) {
        NpcWorld w;
        w.Populate(10, 1);
        w.Counts(c.players, c.notInvulnerable, c.guards, c.shopkeepers);
        w.governor.Run();
        EXPECT_EQ(w.services.world.deleted.size(), c.acts ? 10u : 0u)
            << c.players << " players, " << c.notInvulnerable << " NPCs";
    }
}

TEST(LoadGovernor, NpcKillWithNoVictimWaitsBeforeTryingAgain) {
    // 1001 players, 76 ordinary NPCs, none answering "armageddon": nothing is removed, the
    // kill wait becomes 22, and the step acts again once it has counted down to 0.
    NpcWorld w;
    w.Populate(76, 0);
    w.Counts(1001, 76, 0, 0);
    w.governor.Run();
    EXPECT_EQ(w.Messages(), 76);
    EXPECT_TRUE(w.services.world.deleted.empty());
    EXPECT_EQ(w.governor.GetKillWait(), 22);
    EXPECT_TRUE(w.services.Only("log(gamestatus,panic,Going to DEFCON 4").empty());
    std::vector<int> actingRuns;
    for (int run = 2; run <= 50; ++run) {
        w.services.trace.clear();
        w.governor.Run();
        if (w.Messages() > 0) actingRuns.push_back(run);
    }
    // Each run first counts the wait down and the step acts on the run that reaches 0: the
    // 21 runs after a fruitless one skip it, so it acts every 22nd run.
    EXPECT_EQ(actingRuns, (std::vector<int>{23, 45}));
}

TEST(LoadGovernor, NpcKillRemovesABatchWalkingTheBucketsFromARandomOne) {
    NpcWorld w;
    w.Populate(300, 1);
    w.Counts(1001, 300, 0, 0);
    platform::SeedRandom(77);
    const int start = platform::Rand() % 64;
    platform::SeedRandom(77);
    w.governor.Run();
    ASSERT_EQ(w.services.world.deleted.size(), 100u);
    EXPECT_EQ(
        w.services.Only("log(gamestatus,panic,Going to DEFCON 4"),
        std::vector<std::string>{"log(gamestatus,panic,Going to DEFCON 4 (NPC kill) (1001))"});
    // Bucket by bucket from the drawn one, each chain in order: serials 0x1001 + i sit in
    // bucket (0x1001 + i) & 0x3F, in the order they were added.
    std::vector<u32> want;
    for (int b = 0; b < 64 && want.size() < 100; ++b) {
        const int bucket = (start + b) % 64;
        for (u32 s = 0x1001; s < 0x1001 + 300 && want.size() < 100; ++s) {
            if (static_cast<int>(s & 0x3F) == bucket) want.push_back(s);
        }
    }
    EXPECT_EQ(w.services.world.deleted, want);
    EXPECT_EQ(w.Messages(), 100);  // the walk stops with the batch
}

TEST(LoadGovernor, NpcKillWalkVisitsEveryNpcOnceAndWrapsToTheStart) {
    NpcWorld w;
    w.Populate(150, 0);
    w.services.script.messageAnswers[0x1001 + 7] = 1;
    w.services.script.messageAnswers[0x1001 + 140] = 1;
    w.Counts(1001, 150, 0, 0);
    w.governor.Run();
    EXPECT_EQ(w.Messages(), 150);
    EXPECT_EQ(w.services.world.deleted.size(), 2u);
    EXPECT_EQ(w.governor.GetKillWait(), 0);
}

TEST(LoadGovernor, NpcKillSurvivesHandlersThatDeleteNpcs) {
    // Handlers delete NPCs of the chain being walked: the NPC itself, its successor, or both.
    // The walk goes on with live NPCs only (a dead one handed to DeleteSelf would be a
    // use after free of the fake object, caught by the address sanitizer).
    // When both go, the place in the chain is lost and the walk moves on to the next bucket,
    // so fewer than a batch may be removed.
    struct Case {
        const char* name;
        bool deleteSelf, deleteNext;
        bool fullBatch;
    };
    const Case cases[] = {
        {"self", true, false, true}, {"successor", false, true, true}, {"both", true, true, false}};
    for (const Case& c : cases) {
        NpcWorld w;
        w.Populate(640, 1);  // 10 NPCs per bucket
        w.Counts(1001, 640, 0, 0);
        RecordingServices& s = w.services;
        s.script.inMessageHandler = [&](u32 serial) {
            if (serial % 3 != 0) return;
            const u32 next = s.world.NextNpcInBucket(serial);
            if (c.deleteNext && next) s.world.Remove(next);
            if (c.deleteSelf) s.world.Remove(serial);
        };
        w.governor.Run();
        std::vector<u32> messaged;
        for (const std::string& m : s.Only("SendScriptMessage")) {
            messaged.push_back(static_cast<u32>(std::stoul(m.substr(18))));
        }
        if (c.fullBatch) {
            EXPECT_EQ(s.world.deleted.size(), 100u) << c.name;
        } else {
            EXPECT_GT(s.world.deleted.size(), 0u) << c.name;
        }
        // Nobody was sent the message twice.
        std::sort(messaged.begin(), messaged.end());
        EXPECT_TRUE(std::adjacent_find(messaged.begin(), messaged.end()) == messaged.end())
            << c.name;
    }
}

TEST(LoadGovernor, TheTickRunsTheGovernorEvery16thPulse) {
    // 701 players: the first run (pulse 16) goes to DEFCON 1.
    RecordingServices services;
    services.world.online = 701;
    LoadGovernor governor;
    CTimeManager tm(&governor);
    for (int pulse = 1; pulse <= 15; ++pulse)
        tm.Update();
    EXPECT_TRUE(governor.IsCreationAllowed());
    tm.Update();
    EXPECT_FALSE(governor.IsCreationAllowed());
}

}  // namespace
