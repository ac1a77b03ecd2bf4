#pragma once
// CNPC: the computer-driven mobile, with its state machine's fields (state, destination,
// timers, needs, the walk path), and its shopkeeper kind (the guard is in guard.h). This file
// pair holds the object itself: construction and destruction with the NPC counters, its place in the mobile
// table, the NPC grid and the vulnerable count, its serial, name and save-visible fields. The
// behaviour (heartbeat, per-pulse walking, think, needs, aggression, gestures, path search)
// is declared here and lives in server/rules/npc/, which the world reaches through
// NpcServices (npc_services.h).
#include <string>
#include <vector>

#include "server/world/mobile.h"

// The AI states (NpcStateName gives their names).
enum NpcState : s32 {
    kNpcSeekFood = 0,
    kNpcSeekShelter = 1,
    kNpcPurseShelter = 2,
    kNpcSeekDesires = 3,
    kNpcPurseDesires = 4,
    kNpcEatFood = 5,
    kNpcLoiter = 6,
    kNpcRunaway = 7,
    kNpcTalking = 8,
    kNpcAttackTarget = 9,
    kNpcIdle = 10,
    kNpcWander = 11,
    kNpcSleep = 12,
    kNpcFollowing = 13,
};
constexpr int kNpcStateCount = 14;
// "Seek Food" ... "Following"; "Unknown State" for any other number.
const char* NpcStateName(int state);

// Bits of the NPC flag word.
enum NpcFlagBit : int {
    kNpcHoldsStill = 0x1,          // no movement except talking and following
    kNpcNoFood = 0x2,              // neither eats nor seeks food (set with every follow)
    kNpcHasBred = 0x4,             // no more offspring
    kNpcIgnoresMobiles = 0x8,      // no aggression scan, no notice
    kNpcNoShelter = 0x10,          // does not purse shelter
    kNpcNoAttack = 0x40,           // Attack Target falls back to Idle
    kNpcFormsPacks = 0x80,         // a "self" desire: packs of its own kind
    kNpcStrongDesire = 0x100,      // a strength-2 desire other than "self" and "humans"
    kNpcHoldsClaim = 0x800,        // holds a shelter claim
    kNpcFollowsTarget = 0x1000,    // follows its follow target
    kNpcTimedFollow = 0x2000,      // the follow ends with the follow timeout
    kNpcProduces = 0x4000,         // a kind-1 resource entry with a non-zero amount
    kNpcNeverMoves = 0x8000,       // MoveInDirection refuses
    kNpcNeverSeeksFood = 0x10000,  // never chooses Seek Food
    kNpcLoiterMode = 0x20000,      // idles at its loiter location
    kNpcDormant = 0x40000,         // no player near
    kNpcBankKind2 = 0x80000,       // lives in a bank of kind 2: aggression radius 8
    kNpcBankKind1 = 0x100000,      // lives in a bank of kind 1: speed capped at 35
    kNpcBankOther = 0x200000,      // lives in a bank of another kind
    kNpcBankBits = 0x380000,
};

// One step of a walk path: a position with a facing; a turn in place is a step of its own.
struct PathStep {
    s16 x;
    s16 y;
    s16 z;
    s16 direction;
};

// The NPC's place in the NPC grid (kept so a removal finds it whatever its Location is now).
struct NpcGridSlot {
    int x = 0;
    int y = 0;
    bool filed = false;
};

// Needs not set up yet (the first heartbeat sets them up).
constexpr s32 kNeedsNotSetUp = 255;
constexpr u8 kNeverFlees = 255;

// The fields the behaviour works on. Those the save keeps are named by their keys.
struct NpcFields {
    Location destination;               // unset: no destination (not saved)
    Location desireLoc{-1, -1, 0};      // "desireLoc"
    Location lastDesireLoc{-1, -1, 0};  // "lastDesireLoc"
    Location loiterLoc;                 // "loiterInfo" with the loiter time
    Location homeLoc;                   // "homeLoc": where the shelter claim lies
    s32 state = kNpcIdle;               // "stateInfo" and "npcInfo1" (shared first value)
    s32 resumeState = kNpcIdle;         // "stateInfo"
    s32 blockedState = kNpcIdle;        // "stateInfo"
    s32 previousState = kNpcIdle;       // "stateInfo"
    u32 foodSerial = 0;                 // what it wants to eat or take shelter at
    u32 targetSerial = 0;               // attacked in Attack Target, fled in Runaway
    u32 followSerial = 0;               // "followObjs" with the last and the timeout
    u32 lastFollowSerial = 0;
    s32 followTimeout = 0;         // thinks left of a timed follow
    s32 wanderCount = 1;           // wander steps left
    s32 loiterTime = 0;            // "loiterInfo"
    s32 sleepCount = 1;            // pulses of Sleep left
    s32 heartbeatCountdown = 200;  // not saved: starts at 200, reset to 400
    s32 desireLevel = 0;           // "npcInfo1"
    u8 lastQuadrant = 4;           // last wander quadrant 0-3 (4: none yet)
    s32 moving = 0;                // 1 while walking toward the destination
    u8 desireType = 0;             // the three desire bytes: nothing writes them
    u8 desireMode = 0;
    u8 desireAmount = 0;
    s32 maxFood = 0;     // largest first amount of kind-0 entries; 99
    s32 thinkCount = 0;  // "npcInfo1"
    s32 litter = 0;      // "npcInfo1": offspring still to be born
    u8 selfDesireLevel = 0;
    u8 claimType = 0;  // "homeInfo": the shelter claim
    u8 claimAmount = 0;
    u32 claimSerial = 0;
    std::vector<std::string> fragments;  // "frag": conversation fragment names
    s32 kind1Count = kNeedsNotSetUp;     // kind-1 entries; 255: needs not set up
    s32 strengthDesires = 0;
    s32 codedDesires = 0;
    u8 meatLevel = 0;              // 0 none, 1-3
    std::string job = "no job";    // "job"
    std::string town = "no town";  // "town"
    u32 noticedSerial = 0;         // cleared every 400 heartbeats
    u32 reachedSerial = 0;
    s32 shelterUrgeCountdown = 0;  // "npcInfo2" with the urge
    u8 shelterUrge = 0;
    u8 arrivedElsewhere = 0;  // the last walk ended blocked
    u8 gait = 0;              // 0 walking, 1 airborne, 2 as 1
    u8 actionPause = 0;       // pulses to skip after a gesture
    u8 fleeValue = 16;        // "npcflee": flee percentage; 255 never
    s16 dormancyCountdown = 0;
    s32 evaluationCountdown = 0;  // the earlier evaluation code's
    s32 moveAccumulator = 0;      // speed points toward the next step
    // The walk path: the steps in reverse order (entry 0 reaches the goal), the trigger
    // argument (-1 none) and the index of the next step; empty when there is no path.
    std::vector<PathStep> path;
    s32 walkArgument = -1;
    s32 pathIndex = 0;
};

class CNPC : public CMobile {
public:
    CNPC();
    ~CNPC() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    void DeleteSelf() override;
    int GetMoveType() const override;
    bool IsNPC() const override { return true; }
    void SetSerial(u32 serial) override;
    void GetTitledName(CStr& out) const override;
    void MakeInvulnerable() override;
    void MakeVulnerable() override;
    virtual bool HasNpcFlags(int mask) const { return (npcFlags_ & mask) != 0; }
    virtual void SetNpcFlags(int mask) { npcFlags_ |= mask; }
    virtual void ClearNpcFlags(int mask) { npcFlags_ &= ~mask; }
    int GetNpcFlags() const { return npcFlags_; }

    // Chebyshev distance from the NPC's position (the NPC grid asks it).
    int DistanceTo(int x, int y) const;

    // The state, keeping the one it replaces as the previous state.
    void SetState(int state);
    int GetState() const { return ai.state; }

    // Conversation fragments, job, town and flee value: set by creation from templates.
    void AddFragment(const char* name);
    // Removes every entry equal to the name.
    void RemoveFragment(const char* name);
    const std::vector<std::string>& GetFragments() const { return ai.fragments; }
    const std::string& GetJob() const { return ai.job; }
    void SetJob(const char* job) { ai.job = job ? job : ""; }
    const std::string& GetTown() const { return ai.town; }
    void SetTown(const char* town) { ai.town = town ? town : ""; }
    int GetFleeValue() const { return ai.fleeValue; }
    void SetFleeValue(int value) { ai.fleeValue = static_cast<u8>(value); }
    // Hurt enough to flee: current hits at or below the flee percentage of the maximum;
    // never with the flee value 255.
    bool ShouldFlee() const;
    bool AreNeedsSetUp() const { return ai.kind1Count != kNeedsNotSetUp; }
    // Template number 500-699.
    bool IsAnimalTemplate() const;

    // The walk path (the search and the walking are the rules'). GetPathStep is the step at
    // the index; AdvancePath lowers the index and frees the path when it falls below 1.
    bool HasPath() const { return !ai.path.empty(); }
    const PathStep& GetPathStep() const { return ai.path[static_cast<size_t>(ai.pathIndex)]; }
    void AdvancePath();
    void FreePath();

    // Role tests by attached script ("vendor", "stables", "banker"); nothing calls them.
    bool IsVendor() const;
    bool IsStableMaster() const;
    bool IsBanker() const;

    // ---- Behaviour, in server/rules/npc/ -------------------------------------------------
    // One heartbeat (every 64 pulses, or at once after waking) and the per-pulse regeneration.
    void HeartBeat();
    void PulseRegenerate();
    // 1 wakes a dormant NPC (its next heartbeat comes at once); 0 makes it dormant.
    void SetAwake(int flag);
    // A mobile came near: wake, and unless it ignores mobiles or fights, the aggression test.
    void NoticeMobile(CMobile* mobile);
    void GoToSleep(int pulses, int resumeState);
    void Loiter(int time, const Location& at);
    // Trigger "message" named "armageddon" with the value; the trigger's answer.
    int SendArmageddon(int value);
    // 2 x hunger score + attitude - 100, held to -127..127 (the conversation engine's).
    int GetAttitudeScore();
    // 1 when done (no destination, there, or blocked), 0 after a step.
    int StepTowardDestination();
    void MarkTargetReached();
    void InitNeeds();
    bool IsHungry();
    int HungerScore();
    void AttackMobile(CMobile* target);
    void StopFighting(int flag);
    bool IsHostileTo(CMobile* mobile);
    bool CanReach(CMobile* mobile);
    void AggressionScan();
    void CheckAggression();
    void SetGait(int gait);
    // Gait 1 for a flyer, else 0 (the argument is ignored).
    void SetGaitFromMoveType(int ignored);
    void PlayGesture(int code);
    void WanderFor(int lo, int hi);
    void PickWanderPoint(int range);
    // 0 attack, 1 hold back, 2 flee.
    int FightOdds(CMobile* other);
    // 1 when the item went into the pack of the NPC (or a member's), else 0.
    int TakeForPack(CItem* item);
    void Breed();
    // The path search toward the goal; 1 with a path, else 0 ("pathnotfound" fires).
    int StartWalkTo(int argument, const Location& goal);
    void FollowPathStep();
    // A guard chasing in Attack Target whose way is blocked lands on a free spot up to 3
    // tiles from the place in a flash (server/rules/guard.cpp); 1 when it leapt.
    int TryGuardLeap(const Location& to);

    static void JoinPacks(CNPC* a, CNPC* b);
    // 1 when the carrier took the item into itself, else 0.
    static int PickUp(CMobile* carrier, CItem* item);

    // The mobile table's bucket chain, and the NPC's place in the table's sweep order (-1 when
    // the order was made without it).
    CNPC* tableNext = nullptr;
    CNPC* tablePrev = nullptr;
    int tableOrder = -1;
    // Asks the processor for the fields the state sweep reads, ahead of the visit.
    void PrefetchSweepFields() const {
        __builtin_prefetch(this);
        __builtin_prefetch(&clocks_);
        __builtin_prefetch(&curHits_);
        __builtin_prefetch(&ai.actionPause);
        __builtin_prefetch(&ai.state);
        __builtin_prefetch(&npcFlags_);
    }
    NpcGridSlot gridSlot;
    // The behaviour's fields.
    NpcFields ai;

protected:
    friend struct ObjectFieldAccess;
    // Grid and vulnerable count of an NPC entering and leaving the world.
    void EnterWorldBookkeeping();
    void LeaveWorldBookkeeping();
    int npcFlags_ = 0;
    bool countedVulnerable_ = false;
};

class CShopKeeper : public CNPC {
public:
    CShopKeeper();
    ~CShopKeeper() override;
    void DeleteSelf() override;
    bool IsShopKeeper() const override { return true; }
    // Counts toward the next restocking of the shop.
    s32 restockCounter = 0;
};

// The NPCs of a kind (1 shopkeepers, 2 guards, else all) by serial; nothing calls it.
void CollectNpcsOfKind(std::vector<u32>& out, int kind);

// The squared distance of two places ((dx)^2 + (dy)^2), 2147483647 when |dx| or |dy|
// reaches 8192.
s32 SquaredDistance(const Location& a, const Location& b);
