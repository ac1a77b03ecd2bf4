#pragma once
// A watcher of fights: the combat rules report each strike's numbers (the roll against the
// chance, the damage rolled, where it landed and what armour made of it) to the one observer
// installed. Nothing is installed in a running game; a check of one pointer is all it costs.
// Tests use it to write a fight's transcript.
#include "platform/types.h"

class CMobile;
struct Absorption;

class CombatObserver {
public:
    virtual ~CombatObserver() = default;
    // A strike is decided: `roll` (1-100) below `chance` hits.
    virtual void OnStrike(const CMobile& attacker, const CMobile& target, int skill, int roll,
                          int chance) = 0;
    // The damage a hit rolled from the weapon (or the natural weapon), strength and skill.
    virtual void OnDamageRolled(const CMobile& attacker, int damage) = 0;
    // The hit location drawn (a row of the armour layers) and what absorption left of
    // `damage` with the wear it caused.
    virtual void OnAbsorbed(const CMobile& victim, int hitRow, int damage,
                            const Absorption& result) = 0;
};

// The observer in force (null: none); installing one hands back the one it replaced.
CombatObserver* GetCombatObserver();
CombatObserver* SetCombatObserver(CombatObserver* observer);
