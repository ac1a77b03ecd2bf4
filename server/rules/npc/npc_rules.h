#pragma once
// The NPC behaviour as the world's mobile table reaches it: the heartbeat, the per-pulse
// regeneration and state step, and the notice of a mobile that came near.
#include "server/world/npc_services.h"

class NpcRules : public NpcServices {
public:
    void HeartBeat(CNPC* npc) override;
    void TickBookkeeping(CNPC* npc) override;
    void ExecuteNpcState(CNPC* npc) override;
    void NoticeMobile(CNPC* npc, CMobile* mobile) override;
};
