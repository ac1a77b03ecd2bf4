#pragma once
// What players see and hear of a fight: the swing, missiles, hit and miss sounds, the get-hit
// animation, blood, ammunition left in a target or dropped after a miss, the dodge. None of it
// changes hit points or decides an outcome.
class CMobile;
class CWeapon;

// The start of a swing: the swing packet to a player attacker, an NPC attacker turning to its
// target, the attack animation.
void PlaySwingAnimation(CMobile* attacker, CWeapon* weapon, CMobile* target);
// 0 slash, 1 bash, 2 pierce (a weapon both slashing and piercing draws).
int GetSwingKind(const CWeapon* weapon);
void FireMissileAt(CMobile* attacker, CMobile* target);
void FirePastTarget(CMobile* attacker, CMobile* target);
void PlayHitSound(CMobile* attacker, CMobile* target, CWeapon* weapon);
void PlayMissSound(CMobile* attacker, CMobile* target, CWeapon* weapon);
// After a hit that got through: sounds, ammunition left in the target, get-hit, blood.
void PlayHitEffects(CMobile* attacker, CMobile* target, CWeapon* weapon);
// After a missed strike: dropped ammunition and the target's dodge.
void HandleMiss(CMobile* attacker, CMobile* target, CWeapon* weapon);
void BarkTaunt(CMobile* mobile);
void TurnToFaceByAngle(CMobile* mobile, CMobile* other);
