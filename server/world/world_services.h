#pragma once
// What the world tick and the load governor ask of the world model: the per-pulse steps of
// the object manager, mobile table, mobile manager, callbacks, player registry, moons and
// bulletin boards, a few counts, the storm of the load governor, and a walk over the NPCs of
// the mobile table.
//
// This is an interface. Until the server's start-up installs the world model's
// (WorldModelServices), the one in force is this class itself: an empty world in which every
// step has nothing to do.
#include "platform/types.h"

class CBaseObject;

// Buckets of the mobile table (NPCs by serial & 0x3F).
constexpr int kMobileTableBuckets = 64;

class WorldServices {
public:
    virtual ~WorldServices() = default;

    // CObjectManager: the object of a serial, or null; the decay step of every pulse; the
    // number of live items; deleting an object (its virtual DeleteSelf).
    virtual CBaseObject* FindBySerial(u32 serial) {
        (void)serial;
        return nullptr;
    }
    virtual void DecayTick(s32 pulse) { (void)pulse; }
    virtual s32 CountLiveItems() { return 0; }
    virtual void DeleteSelf(CBaseObject* object) { (void)object; }

    // MobileTable: the heartbeat sweep (every 8th pulse) and the state sweep (every pulse).
    virtual void NpcHeartbeatSweep() {}
    virtual void NpcStateSweep() {}

    // MobileTable, walked by serial: the first NPC of a bucket's chain and the NPC after a
    // given one in its chain (0 for none). A serial that names no live NPC has no successor.
    virtual u32 FirstNpcInBucket(int bucket) {
        (void)bucket;
        return 0;
    }
    virtual u32 NextNpcInBucket(u32 serial) {
        (void)serial;
        return 0;
    }

    // CMobileManager: the combat heartbeat of every pulse; the light countdown of every
    // mobile (each non-zero countdown drops by one; one that reaches 0 turns the mobile's
    // own light off), every 4800th pulse.
    virtual void CombatHeartBeat(s32 pulse) { (void)pulse; }
    virtual void CountDownMobileLights() {}

    // The per-object timed callbacks, every pulse.
    virtual void RunAllCallbacks() {}

    // CPlayerRegistry.
    virtual u16 CountOnline() { return 0; }
    virtual void AddPlayAgeToAll(int amount) { (void)amount; }
    virtual void TickAll() {}

    // Strikes up to n random players with lightning (the load governor's storm).
    virtual void StrikeRandomPlayers(int count) { (void)count; }

    // CMoons.
    virtual int GetCorvanePhase() { return 0; }
    virtual int GetIlvessaPhase() { return 0; }
    virtual void NotifyListeners(int corvaneChanged, int ilvessaChanged) {
        (void)corvaneChanged, (void)ilvessaChanged;
    }
    virtual void UpdateMoons(s32 argument) { (void)argument; }

    // CBulletinBoard::ExpireMessages for every board of the world, once per game day.
    virtual void ExpireBulletinMessages(int day) { (void)day; }
};

// The implementation in force (never null).
WorldServices& GetWorldServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
WorldServices* SetWorldServices(WorldServices* services);
