#pragma once
// Weapons, armour and shields: the item class of everything wielded or worn for protection.
// Fixed properties come from one of 255 weapon templates read from the files "weapon.N" of
// the weapons directory; the item keeps its own damage dice, armour class and condition.
#include <memory>
#include <string>

#include "server/world/dice.h"
#include "server/world/item.h"

enum WeaponTypeFlag : u8 {
    kWeaponSlashing = 0x01,
    kWeaponPiercing = 0x02,
    kWeaponBashing = 0x04,
    kWeaponRanged = 0x08,
    kWeaponShield = 0x10,
};
enum WeaponHandedness : u8 { kLeftHand = 1, kRightHand = 2, kTwoHanded = 4 };

constexpr int kNoWeaponTemplate = 255;

struct WeaponTemplate {
    u8 number = kNoWeaponTemplate;
    Dice damage;
    Dice armorClass;
    Dice hitPoints;
    u8 range = 0;
    u8 typeFlags = 0;
    u8 handedness = 0;
    u8 bow = 0;
    u16 ammoType = 0;
    u8 strengthNeeded = 0;
    u8 speed = 0;
    u8 minRange = 0;
    u16 hitFx = 0;
    u16 missFx = 0;
};

// Reads a template file's text: one line per key in the fixed order (Name, Weapon Class,
// Armor Class, Hit Points, Speed, Range, Min Range, Type, Handedness, Strength Needed,
// Ammo Type, Bow, HitFx, MissFx). A line that does not scan leaves its field at the default
// and is still consumed; lines are cut at 511 characters; reading ends with the text.
WeaponTemplate ParseWeaponTemplate(const std::string& text, int number);

class WeaponTemplateTable {
public:
    static constexpr int kSlots = 255;
    // Reads "weapon.n" for every n through the data archive; missing files leave slots empty.
    void LoadAll();
    // Reads one file; nothing for n outside 0..254 or a file that does not open.
    void Load(int n);
    // Stores a template read from a text (what Load does with the file's bytes).
    void LoadFromText(int n, const std::string& text);
    void Clear();
    const WeaponTemplate* Get(int n) const;
    WeaponTemplate* GetMutable(int n);
    bool ApplyTo(int n, class CWeapon* weapon) const;

private:
    std::unique_ptr<WeaponTemplate> slots_[kSlots];
};

extern WeaponTemplateTable g_weaponTemplates;

// The path of template file n, as the server opens it.
std::string WeaponTemplatePath(int n);

class CWeapon : public CItem {
public:
    CWeapon();
    ~CWeapon() override;
    int GetValue(int useTypeBase, int applyMinimum) override;
    void DeleteSelf() override;
    bool EquipOn(CMobile* mobile, int layer) override;
    bool IsWeapon() const override { return true; }

    // Template: the graphic's tile misc word (the low 16 bits of the tile value) names it.
    // ApplyTemplateFromGraphic rolls the item's own values from it (false without one);
    // SetTemplateFromGraphic only records the number (a loaded item keeps its saved values).
    bool ApplyTemplateFromGraphic();
    void SetTemplateFromGraphic();
    void SetTemplateNumber(int n);
    int GetWeaponTemplate() const { return template_; }

    // Template values; a weapon without template answers the template defaults.
    int GetRange() const { return Template().range; }
    int GetMinRange() const { return Template().minRange; }
    int GetSpeed() const { return Template().speed; }
    int GetStrengthNeeded() const { return Template().strengthNeeded; }
    int GetHandedness() const { return Template().handedness; }
    int GetTypeFlags() const { return Template().typeFlags; }
    int GetBow() const { return Template().bow; }
    int GetAmmoType() const { return Template().ammoType; }
    int GetHitFx() const { return Template().hitFx; }
    int GetMissFx() const { return Template().missFx; }
    bool IsSlashing() const { return GetTypeFlags() & kWeaponSlashing; }
    bool IsPiercing() const { return GetTypeFlags() & kWeaponPiercing; }
    bool IsBashing() const { return GetTypeFlags() & kWeaponBashing; }
    bool IsRanged() const { return GetTypeFlags() & kWeaponRanged; }
    bool IsShield() const { return GetTypeFlags() & kWeaponShield; }
    bool IsTwoHanded() const { return GetHandedness() == kTwoHanded; }
    bool IsHandWeapon() const;
    int GetArmorLayerValue() const;

    // The item's own values.
    const Dice& GetWeaponClass() const { return damage_; }
    void SetWeaponClass(const Dice& d) { damage_ = d; }
    int GetArmorClass() const { return armorClass_; }
    void SetArmorClass(int v) { armorClass_ = static_cast<u8>(v); }
    int GetHitPoints() const { return hitPoints_; }
    void SetHitPoints(int v) { hitPoints_ = static_cast<u8>(v); }
    int GetMaxHitPoints() const { return maxHitPoints_; }
    void SetMaxHitPoints(int v) { maxHitPoints_ = static_cast<u8>(v); }

    // Condition: a value scaled from 75 % (no hit points left) to 125 % (full condition).
    static int ScaleByCondition(int current, int maximum, int value);
    int GetEffectiveArmorClass() const;
    int RollDamage() const;
    int GetEffectiveRange() const;
    // Wear: 2 no wear, 1 one hit point lost, 0 broken (override -1 uses the chance).
    int Wear(int chance, int override);
    // The equip rules; refusals tell the mobile why.
    bool CanEquip(CMobile* mobile, int layer) const;

private:
    const WeaponTemplate& Template() const;
    u8 template_ = kNoWeaponTemplate;
    Dice damage_;
    u8 armorClass_ = 0;
    u8 hitPoints_ = 0;
    u8 maxHitPoints_ = 0;
};
