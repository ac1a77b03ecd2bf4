#include "server/frame/load_governor.h"

#include <string>

#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "script/runtime/script_services.h"
#include "server/world/rules_services.h"
#include "server/world/world_services.h"

LoadGovernor g_loadGovernor;

namespace {

void LogDefcon(const char* text, u16 players) {
    const std::string message = std::string(text) + std::to_string(players) + ")";
    GetLogSink().Log(0, 0, 0, "", "gamestatus", "panic", message.c_str());
}

}  // namespace

void LoadGovernor::Run() {
    // One reading of the player count serves the whole run.
    const u16 players = GetWorldServices().CountOnline();
    NpcKillStep(players);
    CreationStep(players);
    StormStep(players);
    if (!SlowdownStep(players)) return;
    SpawnStopStep(players);
}

int LoadGovernor::IsNpcSpawnBlocked() const {
    return GetNpcCounters().notInvulnerable > npcSpawnLimit ||
                   GetWorldServices().CountOnline() > spawnStopPlayers
               ? 1
               : 0;
}

int LoadGovernor::NpcDelayCap() const {
    return GetWorldServices().CountOnline() > slowdownPlayers ? 10 : 100;
}

void LoadGovernor::NpcKillStep(u16 players) {
    if (killWait_ > 0) --killWait_;
    const NpcCounters& npcs = GetNpcCounters();
    const s32 ordinary = npcs.notInvulnerable - npcs.guards - npcs.shopkeepers;
    if (killWait_ > 0 || !(players > npcKillPlayers && ordinary > npcKillNpcs)) return;
    if (RemoveNpcs() > 0) {
        LogDefcon("Going to DEFCON 4 (NPC kill) (", players);
    } else {
        killWait_ += npcKillPause;
    }
}

int LoadGovernor::RemoveNpcs() {
    if (npcKillBatch <= 0) return 0;
    WorldServices& world = GetWorldServices();
    const int start = RandomRange(0, kMobileTableBuckets - 1);
    int removed = 0;
    int bucket = start;
    do {
        u32 serial = world.FirstNpcInBucket(bucket);
        while (serial != 0) {
            CBaseObject* npc = world.FindBySerial(serial);
            if (npc == nullptr) break;
            u32 next = world.NextNpcInBucket(serial);
            const int answer = GetScriptServices().SendScriptMessage(npc, "armageddon", 1);
            // The handler may have deleted this NPC or others: look them up again.
            if (world.FindBySerial(serial) != nullptr) {
                next = world.NextNpcInBucket(serial);
                if (answer != 0) {
                    world.DeleteSelf(npc);
                    if (++removed >= npcKillBatch) return removed;
                }
            } else if (next != 0 && world.FindBySerial(next) == nullptr) {
                // Both gone: the place in this chain is lost, go on with the next bucket.
                next = 0;
            }
            serial = next;
        }
        bucket = (bucket + 1) % kMobileTableBuckets;
    } while (bucket != start);
    return removed;
}

void LoadGovernor::CreationStep(u16 players) {
    if (creationAllowed_ && players > creationStopPlayers) {
        OnCreationChange(1);
        creationAllowed_ = 0;
        LogDefcon("Going to DEFCON 1 (No player creation) (", players);
    } else if (!creationAllowed_ && players <= creationStopPlayers) {
        OnCreationChange(0);
        creationAllowed_ = 1;
        LogDefcon("Standing down from DEFCON 1 (player creation) (", players);
    }
}

void LoadGovernor::StormStep(u16 players) {
    const int over = static_cast<int>(players) - stormPlayers;
    if (over < 1) return;
    GetWorldServices().StrikeRandomPlayers(over + 5);
    LogDefcon("Going to DEFCON 5 (teleport storm) (", players);
}

bool LoadGovernor::SlowdownStep(u16 players) {
    if (!slowdownActive_ && players > slowdownPlayers) {
        slowdownActive_ = 1;
        LogDefcon("Going to DEFCON 3 (NPC slowdown) (", players);
        return false;
    }
    if (slowdownActive_ && players <= slowdownPlayers) {
        slowdownActive_ = 0;
        LogDefcon("Standing down from DEFCON 3 (NPC slowdown) (", players);
    }
    return true;
}

void LoadGovernor::SpawnStopStep(u16 players) {
    if (!spawnStopActive_ && players > spawnStopPlayers) {
        spawnStopActive_ = 1;
        LogDefcon("Going to DEFCON 2 (NPC no spawn) (", players);
    } else if (spawnStopActive_ && players <= spawnStopPlayers) {
        spawnStopActive_ = 0;
        LogDefcon("Standing down from DEFCON 2 (NPC no spawn) (", players);
    }
}
