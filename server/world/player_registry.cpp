#include "server/world/player_registry.h"

#include "core/log_sink.h"
#include "core/service_slot.h"

namespace {
ServiceSlot<CPlayerRegistry> g_playerRegistry;
}  // namespace

CPlayer* CPlayerRegistry::CreatePlayer(const NewCharacter&) {
    static bool logged = false;
    if (!logged) {
        logged = true;
        GetLogSink().Log(0, 0, 0, "", "players", "error",
                         "CPlayerRegistry::CreatePlayer is not built yet");
    }
    return nullptr;
}

CPlayer* CPlayerRegistry::FindByNameAny(const char*) {
    return nullptr;
}

void CPlayerRegistry::ListByAccountKey(u32, std::vector<CPlayer*>&) {}

void CPlayerRegistry::CollectInRange(std::vector<CPlayer*>&, const Location&, int) {}

void CPlayerRegistry::CollectOnline(std::vector<CPlayer*>&) {}

CPlayerRegistry& GetPlayerRegistry() {
    return g_playerRegistry.Get();
}

CPlayerRegistry* SetPlayerRegistry(CPlayerRegistry* registry) {
    return g_playerRegistry.Set(registry);
}
