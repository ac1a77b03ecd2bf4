#pragma once
// What the world model's mobile table asks of the NPC behaviour: one heartbeat of an NPC, its
// per-tick bookkeeping and one step of its current state.
//
// This is an interface. Until the NPC behaviour installs its implementation, the one in force
// is this class itself, which does nothing.
class CMobile;
class CNPC;

class NpcServices {
public:
    virtual ~NpcServices() = default;
    virtual void HeartBeat(CNPC* npc);
    // The per-tick bookkeeping of the state sweep, run for every NPC in the table.
    virtual void TickBookkeeping(CNPC* npc);
    virtual void ExecuteNpcState(CNPC* npc);
    // The NPC's reaction to a mobile that came into its view (it wakes and may react).
    virtual void NoticeMobile(CNPC* npc, CMobile* mobile) { (void)npc, (void)mobile; }
};

// The implementation in force (never null).
NpcServices& GetNpcServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
NpcServices* SetNpcServices(NpcServices* services);
