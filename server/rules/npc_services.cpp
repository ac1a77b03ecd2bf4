#include "server/rules/npc_services.h"

#include "core/service_slot.h"

void NpcServices::HeartBeat(CNPC*) {}
void NpcServices::TickBookkeeping(CNPC*) {}
void NpcServices::ExecuteNpcState(CNPC*) {}

namespace {
ServiceSlot<NpcServices> g_npcRules;
}  // namespace

NpcServices& NpcRules() {
    return g_npcRules.Get();
}

NpcServices* SetNpcServices(NpcServices* services) {
    return g_npcRules.Set(services);
}
