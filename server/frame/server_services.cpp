#include "server/frame/server_services.h"

#include <string>

#include "core/log_sink.h"
#include "script/builtins/language_builtins.h"
#include "script/runtime/script_runtime.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "server/area/region_area_services.h"
#include "server/frame/load_governor.h"
#include "server/frame/script_time_link.h"
#include "server/frame/time_manager.h"
#include "server/net/local_connection.h"
#include "server/net/protocol_packet_services.h"
#include "server/net/protocol_world_services.h"
#include "server/rules/crime.h"
#include "server/rules/npc/npc_rules.h"
#include "server/script_api/world_builtins.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/npc_load_limits.h"
#include "server/world/world_model_services.h"
#include "server/world/world_script_link.h"

namespace {

// The protocol's world answers built so far: the game clock and the guard-zone look.
class ClockProtocolServices : public ProtocolWorldServices {
public:
    void GameClock(int& hour, int& minute, int& pulseInMinute) override {
        hour = g_timeManager.GetHour();
        minute = g_timeManager.GetMinute();
        pulseInMinute = g_timeManager.GetPulseInMinute();
    }
    void UpdateGuardZone(CPlayer& player) override { player.UpdateGuardZone(); }
};

// The handlers of the script builtins: the language's own and the world's. The lists are
// fixed in the code, so a fault is a defect the tests name; the rows of a faulty list stay
// unbound (their builtins stop the script that calls them) and the log says why.
void BindAllBuiltins() {
    std::string error;
    const bool language = BindLanguageBuiltins(error);
    const bool world = BindWorldBuiltins(error);
    if (!language || !world) GetLogSink().Log(0, 0, 0, "", "script", "error", error.c_str());
}

// The load governor's limits on NPC speed and births.
class GovernorNpcLimits : public NpcLoadLimits {
public:
    int SpeedCap() const override { return g_loadGovernor.NpcDelayCap(); }
    bool IsSpawnBlocked() const override { return g_loadGovernor.IsNpcSpawnBlocked() != 0; }
};

}  // namespace

void InstallServerServices() {
    static LocalConnectionServices net;
    static WorldModelServices world;
    static ScriptRuntimeServices script;
    static ClockTimeServices time;
    static ClockProtocolServices protocol;
    static ProtocolPacketServices packets;
    static CPlayerRegistry players;
    static RegionAreaServices area;
    static NpcRules npcs;
    static GameRules rules;
    static GovernorNpcLimits npcLimits;
    SetNetServices(&net);
    SetWorldLoadServices(&net);
    SetAreaServices(&area);
    SetWorldServices(&world);
    SetScriptServices(&script);
    SetScriptObjectServices(&WorldScriptObjectServices());
    SetTriggerServices(&WorldScriptTriggerServices());
    SetScriptTimeServices(&time);
    SetProtocolWorldServices(&protocol);
    SetPacketServices(&packets);
    SetPlayerRegistry(&players);
    SetNpcServices(&npcs);
    SetRulesServices(&rules);
    SetNpcLoadLimits(&npcLimits);
    BindAllBuiltins();
}
