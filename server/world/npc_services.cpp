#include "server/world/npc_services.h"

#include "core/service_slot.h"
#include "server/world/npc.h"

void NpcServices::HeartBeat(CNPC*) {}
void NpcServices::TickBookkeeping(CNPC*) {}
void NpcServices::ExecuteNpcState(CNPC*) {}

namespace {
ServiceSlot<NpcServices> g_npcServices;
}  // namespace

NpcServices& GetNpcServices() {
    return g_npcServices.Get();
}

NpcServices* SetNpcServices(NpcServices* services) {
    return g_npcServices.Set(services);
}
