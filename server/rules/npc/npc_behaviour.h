#pragma once
// What the world tick does with every NPC: the per-pulse state step (walking toward its
// destination at a speed from dexterity, health and state) and the think that picks what
// comes next. The NPC object and its own operations are CNPC (server/world/npc.h); the
// bodies of its behaviour operations live in this folder.
#include "platform/types.h"

class CMobile;
class CNPC;

// Chooses the NPC's next state from its needs, followers, attackers and surroundings, and
// runs that state's decision step.
void NpcThink(CNPC* npc);
// One pulse of the NPC's current state: sleep, speed, and the steps the speed pays for.
void ExecuteNpcState(CNPC* npc);
// The speed points the NPC earns this pulse (see ExecuteNpcState); `fast` is set for a
// follower far behind its leader.
int NpcPulseSpeed(CNPC* npc, bool& fast);

// The per-pulse steps of Eat Food and Attack Target.
void NpcEatStep(CNPC* npc);
void NpcAttackStep(CNPC* npc);
// The decision step of Runaway: a point farther from the threat.
void NpcRunawayStep(CNPC* npc);

// A pack leader's answer to its attackers: each member takes the nearest free enemy of the
// attackers' packs, the rest a random one. Does nothing while another pack fight runs.
void NpcPackFight(CNPC* leader);
// The start of a fight (the combat rules' StartAttack, with the aggression report).
void NpcStartAttack(CNPC* attacker, CMobile* target);
// The strength rating that decides which leader keeps its pack when two packs join.
int NpcStrengthRating(const CMobile* mobile);

// Whether the NPC is still the one the sweep is running (a call-out may delete it or hand
// over control); every step that called out checks it before touching the NPC again.
bool IsCurrentNpc(const CNPC* npc);

// The shelter urge's period in heartbeats (the world-editing protocol may change it).
extern s32 g_shelterUrgePeriod;
// The debug watch: an NPC serial, 1 for every NPC, 0 none. Set by the world-editing
// protocol; nothing is printed for it.
extern u32 g_npcDebugWatch;
