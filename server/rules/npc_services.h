#pragma once
// What the world model's mobile table asks of the NPC behaviour: one heartbeat of an NPC, its
// per-tick bookkeeping and one step of its current state. The NPC behaviour installs its own
// implementation; the default one does nothing.
class CNPC;

class NpcServices {
public:
    virtual ~NpcServices() = default;
    virtual void HeartBeat(CNPC* npc);
    // The per-tick bookkeeping of the state sweep, run for every NPC in the table.
    virtual void TickBookkeeping(CNPC* npc);
    virtual void ExecuteNpcState(CNPC* npc);
};

NpcServices& NpcRules();
// Installs an implementation (null puts back the default); answers the previous one.
NpcServices* SetNpcServices(NpcServices* services);
