#pragma once
// Melee and ranged combat: starting an attack, the strike's skill, armour absorption with
// wear, and applying damage. The swing timer, the damage roll and the combat step are
// CMobile's (declared in server/world/mobile.h, defined in combat.cpp).
#include <string>

class CItem;
class CMobile;
class CWeapon;

// Skill numbers combat uses.
enum CombatSkill : int {
    kSkillBattleDefense = 5,
    kSkillFighting = 27,
    kSkillWeaponRanged = 31,
    kSkillWeaponSlashing = 40,
    kSkillWeaponBashing = 41,
    kSkillWeaponPiercing = 42,
    kSkillMelee = 43,
};
// Damage kinds: 0 counts as physical; kind 8 goes past every armour.
enum DamageKind : int { kDamagePhysical = 1, kDamageEnergy = 2, kDamageFire = 4, kDamagePure = 8 };

// Begins an attack of `attacker` on `target`; with `report` set the aggression reaction of
// the crime rules runs too.
void StartAttack(CMobile* attacker, CMobile* target, int report);
// Applies damage of a kind through armour; the victim may die. 0 when the victim is gone (or
// nothing could be done), 1 when it still exists. The attacker may be null or an item.
int DealDamage(CItem* attacker, CMobile* victim, int amount, CWeapon* weapon, int kind);

// The combat skill a mobile fights with: of the weapon kinds the weapon has (no weapon is a
// kind of its own), the one the mobile is best at (the earlier on ties); melee otherwise.
int SelectCombatSkill(const CMobile* mobile, const CWeapon* weapon);
// Takes one unit of the weapon's ammunition from the mobile's packs and deletes it; false
// when the mobile carries none.
bool ConsumeAmmo(CMobile* mobile, const CWeapon* weapon);

// Outcome of armour absorption: what is left and how hard each item was worn.
struct Absorption {
    int damage = 0;
    int weaponWear = 0;
    int armorWear = 0;
    int shieldWear = 0;
};
// Physical damage is absorbed by the victim's natural armour, the armour at a random hit
// location and, when the victim's shield comes up, the shield; then the attacker's weapon,
// the armour and the shield wear. An item destroyed by wear is deleted (and set to null).
Absorption AbsorbDamage(CMobile* attacker, CMobile* victim, CWeapon*& weapon, CWeapon*& armor,
                        CWeapon*& shield, int kind, int damage);
// Draws the hit location and absorbs the damage there (amount is updated; a destroyed weapon
// becomes null).
void ApplyArmor(CMobile* attacker, CMobile* victim, CWeapon*& weapon, int& amount, int kind);

// How a material resists a kind of weapon (percent, the average of the contributions) and an
// element (three parts). Combat itself applies none of them yet; kept for the materials.
void GetPhysicalResistance(int typeFlags, const char* material, int& percent);
void GetElementalResistance(int kind, const char* material, int& a, int& b, int& c);
// "Your sword takes much more damage than usual from the slashing attack." and its kin.
std::string BuildResistanceMessage(const char* itemName, int percent, int typeFlags,
                                   bool theirs);
// Form 0 "Your <name>", 1 "Their <name>", 2 "You", other "They".
std::string BuildElementalResistanceMessage(const char* name, int percent, int kind, int form);
// "Your <name> is destroyed by the attack." (or "Their ...").
std::string BuildDestroyedMessage(const char* itemName, bool theirs);
