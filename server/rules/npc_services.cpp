#include "server/rules/npc_services.h"

void NpcServices::HeartBeat(CNPC*) {}
void NpcServices::TickBookkeeping(CNPC*) {}
void NpcServices::ExecuteNpcState(CNPC*) {}

namespace {
NpcServices g_idle;
NpcServices* g_current = nullptr;
}  // namespace

NpcServices& NpcRules() {
    return g_current ? *g_current : g_idle;
}

NpcServices* SetNpcServices(NpcServices* services) {
    NpcServices* previous = g_current;
    g_current = services;
    return previous;
}
