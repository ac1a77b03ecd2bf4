#pragma once
// Melee and ranged combat: starting an attack and applying damage. The swing timer, the
// damage roll and the combat step are CMobile's (declared in server/world/mobile.h, defined in
// combat.cpp).
class CItem;
class CMobile;
class CWeapon;

// Begins an attack of `attacker` on `target`; with `report` set the aggression reaction of
// the crime rules runs too.
void StartAttack(CMobile* attacker, CMobile* target, int report);
// Applies damage of a kind (0 or 1 physical, 2 energy, 4 fire, 8 past all armour) through
// armour; the victim may die. 0 when the victim is gone (or nothing could be done), 1 when it
// still exists. The attacker may be null.
int DealDamage(CItem* attacker, CMobile* victim, int amount, CWeapon* weapon, int kind);
