#pragma once
// The world model's answers to the world tick: objects by serial, the live-item count, the
// NPC sweeps of the mobile table and a walk over its buckets by serial, decay, the combat
// heartbeat, the mobiles' light countdown, the player registry's tick, play age and storm,
// and the bulletin boards' daily expiry. InstallServerServices puts them in force; the other
// steps (moons) come with their parts of the world model.
#include "server/world/world_services.h"

class WorldModelServices : public WorldServices {
public:
    CBaseObject* FindBySerial(u32 serial) override;
    s32 CountLiveItems() override;
    void DeleteSelf(CBaseObject* object) override;
    void NpcHeartbeatSweep() override;
    void NpcStateSweep() override;
    u32 FirstNpcInBucket(int bucket) override;
    u32 NextNpcInBucket(u32 serial) override;
    void RunAllCallbacks() override;
    void DecayTick(s32 pulse) override;
    void CombatHeartBeat(s32 pulse) override;
    void CountDownMobileLights() override;
    u16 CountOnline() override;
    void TickAll() override;
    void AddPlayAgeToAll(int amount) override;
    void StrikeRandomPlayers(int count) override;
    void ExpireBulletinMessages(int day) override;
};
