// Melee and ranged combat: the swing timer, the combat step that picks an opponent and
// strikes, armour absorption and wear, damage with death and kill accounting, and the start
// of an attack.
//
// Every trigger a strike sends may delete or move anything: after each one the attacker, the
// target and the weapon are looked up again by serial. Damage values a script can hand back
// are taken in 64 bits and clamped.
#include "server/rules/combat.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/cstr.h"
#include "core/random_numbers.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/rules/combat_effects.h"
#include "server/rules/combat_observer.h"
#include "server/rules/crime.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kSkillMax = 1000;
constexpr int kSwingCounterMax = 1000;
constexpr int kShieldLayer = 2;
constexpr int kHitRows = 14;
// A mobile without a weapon fights with this speed and the weapon-kind mask below.
constexpr int kUnarmedSpeed = 50;
constexpr int kUnarmedMask = 0x10000;

struct SkillRow {
    int mask;
    int skill;
};
constexpr SkillRow kCombatSkills[] = {
    {kUnarmedMask, kSkillMelee},
    {kWeaponSlashing, kSkillWeaponSlashing},
    {kWeaponBashing, kSkillWeaponBashing},
    {kWeaponPiercing, kSkillWeaponPiercing},
    {kWeaponRanged, kSkillWeaponRanged},
};

int ClampToInt(s64 v) {
    return static_cast<int>(std::clamp<s64>(v, INT_MIN, INT_MAX));
}

bool IsNonCombatantPlayer(const CItem* object) {
    const CPlayer* player = object ? const_cast<CItem*>(object)->AsPlayer() : nullptr;
    return player && player->IsNonCombatant();
}

bool IsRangedWeapon(const CWeapon* weapon) {
    return weapon && weapon->IsRanged();
}

// The mobile under the serial when it is still the same object; null otherwise.
CMobile* Refind(u32 serial, const CMobile* mobile) {
    CItem* found = IsObjectAlive(serial, mobile);
    return found && found->IsMobile() ? found->AsMobile() : nullptr;
}

CWeapon* RefindWeapon(u32 serial) {
    CItem* found = serial ? g_objectManager.FindBySerial(serial) : nullptr;
    return found && found->IsWeapon() ? static_cast<CWeapon*>(found) : nullptr;
}

void TellPlayer(CItem* object, const std::string& text) {
    if (CPlayer* player = object ? object->AsPlayer() : nullptr)
        GetPacketServices().SendSystemMessage(player, text.c_str());
}

void TellCannotBeHarmed(CItem* attacker, const CMobile* target) {
    if (!attacker || !attacker->IsPlayer()) return;
    CStr name;
    target->GetTitledName(name);
    TellPlayer(attacker, std::string(name.GetText()) + " can not be harmed.");
}

// Sends a trigger with one object and optionally one int; the handler's intRet answer goes
// to `returned` when asked for. The slot is emptied before so a stale answer is not taken.
int SendCombatTrigger(CItem* object, int trigger, u32 other, int value, s64* returned = nullptr) {
    TriggerServices& triggers = GetTriggerServices();
    s32 stale = 0;
    triggers.TakeIntReturn(stale);
    TriggerArgs args;
    args.serial = other;
    args.value = value;
    const int answer = triggers.SendTrigger(object, trigger, args);
    s32 handed = 0;
    if (triggers.TakeIntReturn(handed) && returned) *returned = handed;
    return answer;
}

// The wear of an item; a destroyed one is announced to its owner and the other side, and
// deleted.
void WearItem(CWeapon*& item, int wear, CMobile* owner, CMobile* other) {
    if (!item || wear == 0) return;
    if (item->Wear(wear, -1) != 0) return;
    CStr name;
    item->GetDescriptiveName(name, 0);
    TellPlayer(owner, BuildDestroyedMessage(name.GetText(), false));
    TellPlayer(other, BuildDestroyedMessage(name.GetText(), true));
    item->DeleteSelf();
    item = nullptr;
}

CWeapon* ShieldOf(const CMobile* mobile) {
    CItem* worn = mobile->GetLayer(kShieldLayer);
    CWeapon* shield = worn && worn->IsWeapon() ? static_cast<CWeapon*>(worn) : nullptr;
    return shield && shield->IsShield() ? shield : nullptr;
}

const char* KindWords(int typeFlags, std::string& out) {
    const char* words[3] = {};
    int n = 0;
    if (typeFlags & kWeaponSlashing) words[n++] = "slashing";
    if (typeFlags & (kWeaponPiercing | kWeaponRanged)) words[n++] = "piercing";
    if (typeFlags & kWeaponBashing) words[n++] = "bashing";
    for (int i = 0; i < n; ++i) {
        if (i) out += "/";
        out += words[i];
    }
    return out.c_str();
}

void AppendMiddle(std::string& text, int percent) {
    const int magnitude = std::abs(percent);
    if (magnitude == 0) {
        text += " damage from the ";
        return;
    }
    if (magnitude > 1) text += " much";
    text += " more damage than usual from the ";
}

}  // namespace

// ---------------------------------------------------------------- swing timer

int CMobile::GetSwingDelay() const {
    const CWeapon* weapon = GetWeapon();
    const s64 speed = weapon ? weapon->GetSpeed() : kUnarmedSpeed;
    const s64 p = speed * (GetBaseStat(kStatDexterity) + 100);
    return p >= 2000 ? static_cast<int>(40000 / p) : 20;
}

int CMobile::AdvanceSwing() {
    const int d = 2 * GetSwingDelay();
    const int base = IsRangedWeapon(GetWeapon()) ? 4 : 6;
    const int strike = d > base ? d - base : 0;
    const int ready = strike >= 5 ? strike - 4 : 0;
    switch (swingState_) {
        case 0:
            if (swingCounter_ >= ready) {
                swingState_ = 1;
                swingCounter_ = ready;
            }
            break;
        case 1:
            if (swingCounter_ >= strike) {
                swingState_ = 2;
                swingCounter_ = strike;
            }
            break;
        case 2:
            if (swingCounter_ > d) {
                swingState_ = 0;
                swingCounter_ = 0;
                return 3;
            }
            break;
        default:
            break;
    }
    return swingState_;
}

void CMobile::SetSwingState(int n) {
    if (n == 0) {
        swingCounter_ = 0;
        swingState_ = 0;
        return;
    }
    swingState_ = n - 1;
    AdvanceSwing();
}

int CMobile::RollDamage(const CWeapon* weapon) const {
    const s64 base = weapon ? weapon->RollDamage() : RollNaturalDamage();
    const s64 factor =
        s64{GetEffectiveSkill(kSkillFighting, 0)} + 500 + 2 * s64{GetBaseStat(kStatStrength)};
    return std::max(1, ClampToInt(factor * base / 1000));
}

// ---------------------------------------------------------------- skill and ammunition

int SelectCombatSkill(const CMobile* mobile, const CWeapon* weapon) {
    const int mask = weapon ? (weapon->GetTypeFlags() & 0xFF) : kUnarmedMask;
    int best = kSkillMelee;
    int bestValue = -1000;
    for (const SkillRow& row : kCombatSkills) {
        if ((row.mask & mask) == 0) continue;
        const int value = mobile->GetEffectiveSkill(row.skill, 0);
        if (value > bestValue) {
            bestValue = value;
            best = row.skill;
        }
    }
    return best;
}

bool ConsumeAmmo(CMobile* mobile, const CWeapon* weapon) {
    const int graphic = weapon->GetAmmoType();
    if (mobile->CountCarried(graphic) < 1) return false;
    for (int layer = 0; layer <= kMountLayer; ++layer) {
        CItem* worn = mobile->GetLayer(layer);
        CContainer* pack = worn ? worn->AsContainer() : nullptr;
        if (!pack || pack->CountAmount(graphic) < 1) continue;
        CItem* taken = pack->TakeAmount(graphic, 1, nullptr);
        if (!taken) return false;
        taken->DeleteSelf();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- armour

Absorption AbsorbDamage(CMobile* attacker, CMobile* victim, CWeapon*& weapon, CWeapon*& armor,
                        CWeapon*& shield, int kind, int damage) {
    Absorption out;
    int natural = victim->GetNaturalArmor();
    if (natural != 0) natural = RandomRange(natural / 2, natural);
    int rating = armor ? armor->GetEffectiveArmorClass() : 0;
    if (rating != 0) rating = RandomRange(rating / 4, (rating + 1) / 2);
    if (kind == kDamagePhysical) {
        out.weaponWear = natural + rating;
        out.armorWear = rating;
        if (shield && RandomRange(0, 99) > 50) {
            const int gain = attacker && attacker->IsPlayer() ? 50 : 100;
            const int difficulty = ClampToInt(s64{damage} * 25);
            if (victim->UseSkill(kSkillBattleDefense, difficulty, 50, 0, gain, 1) > 0)
                out.shieldWear = shield->GetEffectiveArmorClass() / 2;
        }
        const s64 absorbed =
            std::min<s64>(s64{out.armorWear} + out.shieldWear + natural, damage);
        damage = ClampToInt(s64{damage} - absorbed);
    } else if (kind == kDamageEnergy || kind == kDamageFire) {
        damage = std::max(damage, 0);
    }
    // Materials resist nothing yet: the armour's wear stays as it is and nobody is told.
    if (attacker) WearItem(weapon, out.weaponWear, attacker, victim);
    WearItem(armor, out.armorWear, victim, attacker);
    WearItem(shield, out.shieldWear, victim, attacker);
    out.damage = damage;
    return out;
}

void ApplyArmor(CMobile* attacker, CMobile* victim, CWeapon*& weapon, int& amount, int kind) {
    if (kind == 0) kind = kDamagePhysical;
    CWeapon* shield = ShieldOf(victim);
    const int row = RandomRange(0, kHitRows - 1);
    CWeapon* armor = victim->GetArmorAt(row);
    const Absorption result = AbsorbDamage(attacker, victim, weapon, armor, shield, kind, amount);
    if (CombatObserver* observer = GetCombatObserver())
        observer->OnAbsorbed(*victim, row, amount, result);
    amount = result.damage;
}

// ---------------------------------------------------------------- resistance texts

void GetPhysicalResistance(int typeFlags, const char* material, int& percent) {
    const std::string m = material ? material : "";
    int sum = 0;
    int count = 0;
    auto add = [&](bool when, int value) {
        if (!when) return;
        sum += value;
        ++count;
    };
    const bool slashing = typeFlags & kWeaponSlashing;
    const bool piercing = typeFlags & (kWeaponPiercing | kWeaponRanged);
    const bool bashing = typeFlags & kWeaponBashing;
    if (m == "cloth" || m == "leather") {
        add(slashing, 20);
        add(piercing, 20);
    } else if (m == "metal") {
        add(slashing, 20);
        add(piercing, 20);
        add(bashing, 20);
    } else if (m == "bone" || m == "wood") {
        add(bashing, 40);
    }
    percent = count ? sum / count : 0;
}

void GetElementalResistance(int kind, const char* material, int& a, int& b, int& c) {
    const std::string m = material ? material : "";
    a = b = c = 0;
    if (kind == kDamageFire) {
        if (m == "wood" || m == "cloth") a = b = c = 40;
        if (m == "leather") a = c = 20;
        if (m == "metal") b = c = 20;
    } else if (kind == kDamageEnergy) {
        if (m == "cloth") a = -40, b = -20;
        if (m == "leather") a = -20, b = -40;
        if (m == "metal") a = -20, b = 40, c = 40;
    }
}

std::string BuildResistanceMessage(const char* itemName, int percent, int typeFlags,
                                   bool theirs) {
    std::string text = theirs ? "Their " : "Your ";
    text += itemName ? itemName : "";
    text += percent > 0 ? " takes" : " resists";
    AppendMiddle(text, percent);
    std::string kinds;
    text += KindWords(typeFlags, kinds);
    text += " attack.";
    return text;
}

std::string BuildElementalResistanceMessage(const char* name, int percent, int kind, int form) {
    std::string text;
    if (form == 0 || form == 1) {
        text = form == 0 ? "Your " : "Their ";
        text += name ? name : "";
    } else {
        text = form == 2 ? "You" : "They";
    }
    text += percent > 0 ? " take" : " resist";
    if (form == 0 || form == 1) text += "s";
    AppendMiddle(text, percent);
    text += kind == kDamageFire ? "fire attack." : "energy attack.";
    return text;
}

std::string BuildDestroyedMessage(const char* itemName, bool theirs) {
    return std::string(theirs ? "Their " : "Your ") + (itemName ? itemName : "") +
           " is destroyed by the attack.";
}

// ---------------------------------------------------------------- damage

int DealDamage(CItem* attacker, CMobile* victim, int amount, CWeapon* weapon, int kind) {
    if (amount < 0) amount = 0;
    const int given = amount;
    if (!victim || victim->IsContained() || victim->IsGhost() || IsNonCombatantPlayer(victim) ||
        IsNonCombatantPlayer(attacker))
        return 0;
    if (victim->IsInvulnerable()) {
        TellCannotBeHarmed(attacker, victim);
        return 1;
    }
    if (attacker && attacker->IsHidden()) attacker->SetHidden(false);
    CMobile* attackerMobile = attacker && attacker->IsMobile() ? attacker->AsMobile() : nullptr;
    const u32 attackerSerial = attacker ? attacker->GetSerial() : 0;
    const u32 victimSerial = victim->GetSerial();
    if (amount != 0) ApplyArmor(attackerMobile, victim, weapon, amount, kind);

    const int hits = victim->GetCurHits();
    amount /= 2;
    if (given > 0 && amount < 1) amount = 1;
    {
        // The washit handler may change the amount; whatever answer was pending stays
        // the caller's.
        TriggerReturnSlot saved = GlobalTriggerReturn();
        GlobalTriggerReturn() = {};
        s64 handed = amount;
        SendCombatTrigger(victim, kTriggerWasHit, attackerSerial, amount, &handed);
        amount = ClampToInt(handed);
        GlobalTriggerReturn() = saved;
    }
    if (!Refind(victimSerial, victim)) return 0;
    attacker = attackerSerial ? g_objectManager.FindBySerial(attackerSerial) : nullptr;
    attackerMobile = attacker && attacker->IsMobile() ? attacker->AsMobile() : nullptr;
    if (amount > 0) victim->ReceiveUnhealthyActionFrom(attackerMobile, true);
    if (!Refind(victimSerial, victim)) return 0;

    const s64 left = s64{hits} - amount;
    if (left >= 0) {
        if (hits != 0) {
            const s64 fatigue = victim->GetCurFatigue();
            const s64 cut = fatigue * left / hits + 5;
            if (fatigue > cut) victim->SetCurFatigue(ClampToInt(cut));
        }
        victim->SetCurHits(ClampToInt(left));
        return 1;
    }

    if (attacker) {
        const int answer = SendCombatTrigger(attacker, kTriggerKilledTarget, victimSerial, 0);
        attacker = attackerSerial ? g_objectManager.FindBySerial(attackerSerial) : nullptr;
        attackerMobile = attacker && attacker->IsMobile() ? attacker->AsMobile() : nullptr;
        if (answer == 0) {
            if (!Refind(victimSerial, victim)) return 0;
            victim->SetCurHits(1);
            return 1;
        }
    }
    if (!Refind(victimSerial, victim)) return 0;
    victim->SetCurHits(ClampToInt(left));
    if (attacker) {
        const int karma = victim->IsPlayer() ? 0 : -victim->GetEffectiveKarma();
        attacker->ChangeReputation(victim->GetFame(), karma);
        if (attacker->IsPlayer() && victim->IsPlayer() && victim->GetNotoriety() / 24 >= 0 &&
            !ObjScripts::FindClassNamed(victim->ScriptAttachments(), "remnotor")) {
            s32 kills = 0;
            ObjVars::GetInt(attacker->ScriptAttachments(), "goodAndNeutralPlayerKills", kills);
            ObjVars::Set(attacker->ScriptAttachments(), "goodAndNeutralPlayerKills", kTypeInt,
                         ScriptListValue::Int(kills == INT_MAX ? kills : kills + 1));
        }
    }
    if (!Refind(victimSerial, victim)) return 0;
    const bool player = victim->IsPlayer();
    victim->Kill(attackerMobile, 1);
    if (player) return Refind(victimSerial, victim) ? 1 : 0;
    if (CMobile* still = Refind(victimSerial, victim)) still->DeleteSelf();
    return 0;
}

// ---------------------------------------------------------------- starting an attack

void StartAttack(CMobile* attacker, CMobile* target, int report) {
    if (!attacker || !target) return;
    const u32 attackerSerial = attacker->GetSerial();
    const u32 targetSerial = target->GetSerial();
    target->ReceiveUnhealthyActionFrom(attacker, false);
    attacker = Refind(attackerSerial, attacker);
    target = Refind(targetSerial, target);
    if (!attacker || !target) return;
    if (attacker->IsGhost() || target->IsGhost() || IsNonCombatantPlayer(attacker) ||
        IsNonCombatantPlayer(target))
        return;
    if (target->IsInvulnerable()) {
        TellCannotBeHarmed(attacker, target);
        return;
    }
    if (report) {
        // The witnesses' scripts may delete either side.
        ReportAggression(attacker, target);
        attacker = Refind(attackerSerial, attacker);
        target = Refind(targetSerial, target);
        if (!attacker || !target) return;
    }

    // One target at a time.
    attacker->ClearCombatList();
    if (attacker->AddOpponent(targetSerial)) {
        SendCombatTrigger(target, kTriggerGotAttacked, attackerSerial, 0);
        attacker = Refind(attackerSerial, attacker);
        target = Refind(targetSerial, target);
        if (!attacker || !target) return;
    }
    if (CNPC* npc = attacker->AsNPC()) {
        npc->SetState(kNpcAttackTarget);
        npc->ai.targetSerial = targetSerial;
        npc->ai.moving = 0;
    }
    if (CNPC* npc = target->AsNPC(); npc && npc->GetState() != kNpcAttackTarget) {
        npc->SetState(kNpcAttackTarget);
        npc->ai.targetSerial = attackerSerial;
        npc->ai.moving = 0;
    }
    target->AddAggressor(attackerSerial);
    if (!target->GetCombatList().Contains(attackerSerial)) {
        target->AddOpponent(attackerSerial);
        // The attacked NPC answers at once instead of at its next heartbeat.
        if (CNPC* npc = target->AsNPC()) npc->SetAwake(1);
    }
}

// ---------------------------------------------------------------- the combat step

void CMobile::CombatStep() {
    if (swingCounter_ < kSwingCounterMax) ++swingCounter_;
    // Most mobiles of a large world fight no one: without an opponent there is nothing to
    // find, and only a player holds a combat target to let go. Leaving here spares the
    // sweep over every mobile the reads of its place and kind.
    if (attacking_.IsEmpty() && !IsPlayer()) return;
    if (IsGhost() || IsNonCombatantPlayer(this)) return;
    const u32 self = GetSerial();
    const Location here = GetWorldLocation();
    // Guards see hidden mobiles.
    const SerialTimer* entry =
        IsGuard() ? attacking_.NearestAlive(here) : attacking_.NearestVisible(here);
    CPlayer* player = AsPlayer();
    if (!entry) {
        if (player && player->GetCombatTarget() != 0) player->SetCombatTarget(0);
        return;
    }
    const u32 targetSerial = entry->serial;
    if (player && player->GetCombatTarget() != targetSerial) {
        player->SetCombatTarget(targetSerial);
        if (!Refind(self, this)) return;
    }

    CItem* found = g_objectManager.FindBySerial(targetSerial);
    CMobile* target = found && found->IsMobile() ? found->AsMobile() : nullptr;
    if (!target) {
        if (CNPC* npc = AsNPC()) npc->StopFighting(0);
        // (an NPC left without opponents stops fighting)
        RemoveOpponent(targetSerial, false);
        return;
    }
    if (target->IsInvulnerable() || IsNonCombatantPlayer(target)) {
        RemoveOpponent(targetSerial, false);
        TellCannotBeHarmed(this, target);
        return;
    }
    if (target->IsGhost()) {
        if (CNPC* npc = AsNPC()) npc->StopFighting(0);
    }

    CWeapon* weapon = GetWeapon();
    const int previous = swingState_;
    const int now = AdvanceSwing();
    if (now == previous || (now != 2 && now != 3)) return;

    int reach = 1;
    if (IsRangedWeapon(weapon)) {
        reach = weapon->GetEffectiveRange();
    } else if (weapon) {
        reach = weapon->GetRange();
    }
    const int distance = CWorldMap::Distance3D(here, target->GetWorldLocation());
    if (!IsGuard() && reach < distance) {
        SendCombatTrigger(this, kTriggerMaxRangeAttack, targetSerial, 0);
        if (Refind(self, this) && Refind(targetSerial, target))
            SendCombatTrigger(target, kTriggerMaxRangeDefend, self, 0);
        return;
    }
    if (weapon && weapon->GetMinRange() != 0 && weapon->GetMinRange() > distance) {
        SendCombatTrigger(this, kTriggerMinRangeAttack, targetSerial, 0);
        if (Refind(self, this) && Refind(targetSerial, target))
            SendCombatTrigger(target, kTriggerMinRangeDefend, self, 0);
        return;
    }
    if (!IsGuard() && !ItemCanSee(*this, *target, kSightWalls)) return;
    if (now == 2 && !IsGuard() && IsRangedWeapon(weapon)) {
        const u32 weaponSerial = weapon->GetSerial();
        const bool loaded = ConsumeAmmo(this, weapon);
        if (!Refind(self, this)) return;
        if (!loaded) {
            SetSwingState(0);
            return;
        }
        target = Refind(targetSerial, target);
        weapon = RefindWeapon(weaponSerial);
        if (!target) return;
    }

    target->AddAggressor(self);
    attacking_.Refresh(targetSerial);
    if (now == 2) {
        PlaySwingAnimation(this, weapon, target);
        if (IsRangedWeapon(weapon) && Refind(self, this) && Refind(targetSerial, target))
            PlayMissSound(this, target, weapon);
        return;
    }

    // The strike.
    const int attackSkill = SelectCombatSkill(this, weapon);
    const int defenseSkill = SelectCombatSkill(target, target->GetWeapon());
    const int a = std::clamp(GetEffectiveSkill(attackSkill, 0), 1, kSkillMax);
    const int d = std::clamp(target->GetEffectiveSkill(defenseSkill, 0), 1, kSkillMax);
    const int chance = std::max(2, (a + 500) * 50 / (d + 500));
    if (IsHidden()) SetHidden(false);
    const int roll = RandomRange(1, 100);
    const u32 weaponSerial = weapon ? weapon->GetSerial() : 0;
    if (CombatObserver* observer = GetCombatObserver())
        observer->OnStrike(*this, *target, attackSkill, roll, chance);

    if (roll >= chance) {
        const int gain = IsPlayer() ? 50 : 100;
        target->UseSkill(defenseSkill, a, 50, 1, gain, 1);
        if (!Refind(self, this) || !Refind(targetSerial, target)) return;
        weapon = RefindWeapon(weaponSerial);
        if (!IsRangedWeapon(weapon)) PlayMissSound(this, target, weapon);
        if (!Refind(self, this) || !Refind(targetSerial, target)) return;
        HandleMiss(this, target, RefindWeapon(weaponSerial));
        return;
    }

    const int gain = target->IsPlayer() ? 50 : 100;
    UseSkill(attackSkill, d, 50, 1, gain, 1);
    s64 damage = RollDamage(weapon);
    if (CombatObserver* observer = GetCombatObserver())
        observer->OnDamageRolled(*this, ClampToInt(damage));
    UseSkill(kSkillFighting, target->GetEffectiveSkill(kSkillFighting, 0), 50, 1, gain, 1);
    if (weapon) {
        SendCombatTrigger(weapon, kTriggerIsHitting, targetSerial, ClampToInt(damage), &damage);
        weapon = RefindWeapon(weaponSerial);
    }
    if (!Refind(self, this) || !Refind(targetSerial, target)) return;
    const int amount = ClampToInt(damage);
    if (amount == 0) return;
    if (SendCombatTrigger(target, kTriggerMobIsHitting, self, amount) == 0) return;
    if (!Refind(self, this) || !Refind(targetSerial, target)) return;
    weapon = RefindWeapon(weaponSerial);

    PlayHitSound(this, target, weapon);
    if (!Refind(self, this) || !Refind(targetSerial, target)) return;
    if (target->GetSwingState() != 2) PlayHitEffects(this, target, RefindWeapon(weaponSerial));
    if (!Refind(self, this) || !Refind(targetSerial, target)) return;
    const int alive = DealDamage(this, target, amount, RefindWeapon(weaponSerial), 0);
    if (alive == 0 && Refind(self, this)) RemoveOpponent(targetSerial, false);
}
