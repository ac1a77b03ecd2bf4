#include "server/net/protocol_world_services.h"

#include "core/log_sink.h"
#include "core/service_slot.h"
#include "server/rules/combat.h"
#include "server/world/player.h"

namespace {

ServiceSlot<ProtocolWorldServices> g_protocolWorld;

}  // namespace

void ProtocolWorldServices::GameClock(int& hour, int& minute, int& pulseInMinute) {
    static bool logged = false;
    LogProtocolNotBuilt(logged, "game clock for the protocol is not installed");
    hour = 12;
    minute = 0;
    pulseInMinute = 0;
}

int ProtocolWorldServices::Facing(const CMobile&) {
    static bool logged = false;
    LogProtocolNotBuilt(logged, "mobile facing is not built yet");
    return 0;
}

void ProtocolWorldServices::SeasonAndTemperature(const Location&, int& season, int& temperature) {
    static bool logged = false;
    LogProtocolNotBuilt(logged, "weather regions are not built yet");
    season = 0;
    temperature = 0;
}

void ProtocolWorldServices::StartAttack(CPlayer& player, CMobile& target, int flag) {
    ::StartAttack(&player, &target, flag);
}

void LogProtocolNotBuilt(bool& logged, const char* what) {
    if (logged) return;
    logged = true;
    GetLogSink().Log(0, 0, 0, "", "protocol", "error", what);
}

ProtocolWorldServices& GetProtocolWorldServices() {
    return g_protocolWorld.Get();
}

ProtocolWorldServices* SetProtocolWorldServices(ProtocolWorldServices* services) {
    return g_protocolWorld.Set(services);
}
