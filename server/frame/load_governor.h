#pragma once
// Watches the number of players online and of NPCs in the world and steps the server through
// its emergency measures, each named by a "DEFCON" level in its log text: killing NPCs
// (DEFCON 4), stopping player creation (DEFCON 1), striking random players with lightning
// (DEFCON 5), slowing NPCs (DEFCON 3) and stopping NPC spawning (DEFCON 2). The world tick
// runs it every 16th pulse. The counts come from the world model (players online) and the
// NPC counters of the game rules.
#include "platform/types.h"

class LoadGovernor {
public:
    // One governor run: the DEFCON 4, 1, 5, 3 and 2 steps in this order.
    void Run();

    // 1 when more NPCs that are not invulnerable exist than the spawn limit, or more players
    // are online than the spawn-stop threshold; else 0.
    int IsNpcSpawnBlocked() const;

    // The longest delay an NPC may wait between state steps: 10 while more players are
    // online than the slowdown threshold, else 100.
    int NpcDelayCap() const;

    // Called as player creation stops (1) or is allowed again (0). Does nothing.
    void OnCreationChange(int stopped) { (void)stopped; }

    s32 GetKillWait() const { return killWait_; }
    bool IsCreationAllowed() const { return creationAllowed_ != 0; }
    bool IsSlowdownActive() const { return slowdownActive_ != 0; }
    bool IsSpawnStopActive() const { return spawnStopActive_ != 0; }

    // Thresholds and sizes.
    s32 npcSpawnLimit = 2800;   // spawning blocked above this many non-invulnerable NPCs
    s32 npcKillBatch = 100;     // NPCs removed by one DEFCON 4 run at most
    s32 npcKillPlayers = 1000;  // DEFCON 4 needs more players online than this
    s32 npcKillPause = 22;      // runs to wait after a DEFCON 4 run that removed nothing
    s32 npcKillNpcs = 75;       // DEFCON 4 needs more ordinary NPCs than this
    s32 creationStopPlayers = 700;
    s32 slowdownPlayers = 900;
    s32 stormPlayers = 1100;
    s32 spawnStopPlayers = 800;

private:
    // Sends "armageddon" to the NPCs of the mobile table from a random bucket on and deletes
    // those whose handler answers non-zero; returns how many were deleted.
    int RemoveNpcs();
    void NpcKillStep(u16 players);    // DEFCON 4
    void CreationStep(u16 players);   // DEFCON 1
    void StormStep(u16 players);      // DEFCON 5
    bool SlowdownStep(u16 players);   // DEFCON 3; false ends the run
    void SpawnStopStep(u16 players);  // DEFCON 2

    s32 killWait_ = 0;
    s32 creationAllowed_ = 1;
    s32 slowdownActive_ = 0;
    s32 spawnStopActive_ = 0;
};

// The process's load governor.
extern LoadGovernor g_loadGovernor;
