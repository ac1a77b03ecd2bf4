#pragma once
// An earlier way of deciding what an NPC does, driven by object variables a template or a
// script may put on it ("predator", "foddertype", "aversionPower", "aversionRepute",
// "packing", "spellCasterLevel"). Nothing calls it; the behaviour in force is NpcThink.
class CMobile;
class CNPC;

// Kinds of candidates EvaluateSurroundings weighs.
enum class EvaluationKind { kPrey = 0, kKin = 1, kAversion = 2 };

// "spellCasterLevel" x 5 + a few combat and magic skills + the mean of the three stats.
int PowerRating(const CMobile* mobile);
// With "aversionPower": the other is stronger than that share of the NPC's rating (an NPC
// rated 0 is wary of anyone rated above 0). Else with "aversionRepute": the other's
// notoriety is below it.
bool IsAversiveTo(const CNPC* npc, const CMobile* other);
// The NPC's "predator" is set and equals the other's "foddertype".
bool IsPreyFor(const CNPC* npc, const CMobile* other);
// Another NPC of the same template, both human, or of a template the NPC's template names
// among its "friends" (by number).
bool IsKinOf(const CNPC* npc, const CMobile* other);
// Looks at the mobiles within the radius and acts on one candidate drawn at random: attacks
// prey, joins kin's pack, or runs from what it is wary of. Answers the candidate count.
int EvaluateSurroundings(CNPC* npc, int radius, bool wantPrey, bool wantAversion, bool wantPack);
