#include "server/rules/npc/npc_rules.h"

#include "server/rules/npc/npc_behaviour.h"
#include "server/world/npc.h"

void NpcRules::HeartBeat(CNPC* npc) {
    npc->HeartBeat();
}

void NpcRules::TickBookkeeping(CNPC* npc) {
    npc->PulseRegenerate();
}

void NpcRules::ExecuteNpcState(CNPC* npc) {
    ::ExecuteNpcState(npc);
}

void NpcRules::NoticeMobile(CNPC* npc, CMobile* mobile) {
    npc->NoticeMobile(mobile);
}
