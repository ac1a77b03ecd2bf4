#pragma once
// What the rest of the server asks of the game rules and the NPC behaviour: the NPC counters,
// the skill table's periodic step, skill tests and the witnesses of a crime.
//
// This is an interface; the one in force by default is this class itself, which runs the
// rules it can reach from here (the skill table's step, the combat step, skill tests). The
// crime witnesses live with the rules above the world: the server's start-up installs
// GameRules (server/rules/crime.h) for them.
#include "core/location.h"
#include "platform/types.h"

class CItem;
class CMobile;

// Counted up and down by the constructors and destructors of the NPC classes; read by the
// world tick's statistics line and the load governor.
struct NpcCounters {
    s32 live = 0;             // live NPCs
    s32 notInvulnerable = 0;  // live NPCs that are not invulnerable
    s32 guards = 0;           // live guards
    s32 shopkeepers = 0;      // live shopkeepers
};

NpcCounters& GetNpcCounters();

class RulesServices {
public:
    virtual ~RulesServices() = default;

    // The skill table's step, run by the world tick every 4096th pulse.
    virtual void SkillTableStep();
    // One mobile's combat step (choosing, approaching and hitting an opponent), run by the
    // combat heartbeat every pulse. A step may delete any mobile, this one included.
    virtual void CombatStep(CMobile* mobile);
    // The world load's step for the NPC conversation data; not built yet (says so once).
    virtual void LoadConversationData();

    // A use of a skill against an object: 0 or more succeeds, below 0 fails. The mobile's
    // skill test (its effective skill less a draw below 1000, with practice); the object and
    // difficulty are the caller's, which the test does not weigh.
    virtual int TestSkill(CMobile& mobile, int skill, CItem* target, int difficulty);
    // A crime of `offender` (against `victim`, which may be null) at a place: the humans near
    // it may witness it, shout for the guards, tell the players what they saw and mark the
    // offender criminal. `text` fills the players' messages, `chance` is per mille, `guards`
    // asks for that many guards (0: none), `kind` is the crime kind 0-4. Answers the summed
    // witness weight. The crime rules implement it; this one says once that they are absent.
    virtual int WitnessCrime(const Location& at, CMobile& offender, CItem* victim, const char* text,
                             int chance, int guards, int kind);
};

// The implementation in force (never null).
RulesServices& GetRulesServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
RulesServices* SetRulesServices(RulesServices* services);
