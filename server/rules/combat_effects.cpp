// What players see and hear of a fight.
#include "server/rules/combat_effects.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/random_numbers.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/triggers.h"
#include "server/rules/effects.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kSightRange = 18;   // who sees a swing, a turn
constexpr int kActionRange = 20;  // who sees a get-hit or a dodge
constexpr int kBloodGraphic = 0x1645;
constexpr u8 kBloodStatus = 0x08;
constexpr int kBloodTicks = 20;
constexpr int kRemoveAction = 1;  // the timed callback that deletes its object
constexpr int kMissileGraphicOffset = 3;
constexpr int kSpeechHue = 946;
constexpr int kSpeechFont = 3;

struct Animation {
    int action = -1;  // -1: none
    int frames = 4;
    bool repeat = false;
};

// The object still is the one its serial names (a trigger may have deleted it).
template <class T>
T* Still(u32 serial, T* object) {
    return object && g_objectManager.FindBySerial(serial) == object ? object : nullptr;
}

bool IsMountedPlayer(const CMobile& mobile) {
    return mobile.IsPlayer() && mobile.IsMounted();
}

// The attack animation of the attacker's body (and a two-handed ranged weapon's missile).
Animation AttackAnimation(CMobile& attacker, CWeapon* weapon, CMobile* target) {
    const int body = attacker.GetBody();
    if (body == 12) {
        const int r = RandomRange(1, 4);
        if (r == 4) return {12, 15, false};
        return {3 + r, 4, true};
    }
    if (body == 5) return {4, 4, false};
    if (body < 150) return {3 + RandomRange(1, 3), 4, false};
    if (body == 151) return {};
    if (body < 200) return RandomRange(1, 2) == 1 ? Animation{5, 15, false} : Animation{6, 20, false};
    if (body < 400) return {4 + RandomRange(1, 2), 5, false};
    if (attacker.IsMounted()) {
        if (weapon && weapon->IsRanged()) return {27, 5, false};
        if (weapon && weapon->IsTwoHanded()) return {29, 5, false};
        return {26, 5, false};
    }
    if (!weapon) return {31, 7, false};
    if (!weapon->IsTwoHanded()) {
        static const int kOneHanded[3] = {9, 11, 10};  // slash, bash, pierce
        return {kOneHanded[GetSwingKind(weapon)], 7, false};
    }
    if (!weapon->IsRanged()) {
        static const int kTwoHanded[3] = {13, 12, 14};
        return {kTwoHanded[GetSwingKind(weapon)], 7, false};
    }
    if (target) FireMissileAt(&attacker, target);
    return {18, 7, false};
}

Animation GetHitAnimation(const CMobile& target) {
    const int body = target.GetBody();
    if (body < 150) {
        const CNPC* npc = target.IsNPC() ? static_cast<const CNPC*>(&target) : nullptr;
        if (npc && npc->ai.gait == 1) return {21, 7, false};
        if (body == 21) return {10, 4, true};
        if (body == 6 || body == 22) return {};
        return {10, 4, false};
    }
    if (body < 400) return {7, 5, false};
    if (IsMountedPlayer(target)) return {};
    return {20, 5, false};
}

// An action of the mobile for the players within 20 tiles of it (repeat count 1, forward,
// delay 0).
void PlayAction(CMobile& mobile, const Animation& a) {
    if (a.action < 0) return;
    GetPacketServices().SendMobileAction(&mobile, a.action, a.frames, 1, true, a.repeat, 0,
                                         kActionRange);
}

// An NPC attacker faces its target; the players near see the new facing.
void TurnToTarget(CMobile& attacker, const CMobile& target) {
    const Location from = attacker.GetWorldLocation();
    const Location to = target.GetWorldLocation();
    const auto pack = [](const Location& l) {
        return static_cast<u32>(static_cast<u16>(l.x)) | (static_cast<u32>(static_cast<u16>(l.y)) << 16);
    };
    int direction = DirectionBetween(pack(from), pack(to));
    if (direction < 0) direction = 7;  // on the attacker's own tile
    if (direction == attacker.GetDirection()) return;
    attacker.SetDirection(direction);
    std::vector<CPlayer*> viewers;
    CollectPlayersInRange(viewers, from, kSightRange);
    for (CPlayer* viewer : viewers)
        GetPacketServices().SendMobile(viewer, &attacker, false);
}

// A new item of the graphic with its type's resources at quantity 1; null when none could be
// made.
CItem* NewCountedItem(int graphic, const Location& at) {
    CItem* item = g_objectManager.CreateItem(graphic);
    if (item) item->AddTypeResources(at, 1);
    return item;
}

// A blood item at the place, which its type script's removal callback takes away again.
void SpillBlood(const Location& at) {
    CItem* blood = NewCountedItem(kBloodGraphic, at);
    if (!blood) return;
    const u32 serial = blood->GetSerial();
    blood->PlaceInWorld(at);
    if (!(blood = Still(serial, blood))) return;
    blood->SetStatus(static_cast<u8>(blood->GetStatus() | kBloodStatus));
    if (!AttachTypeScript(blood) || !(blood = Still(serial, blood))) return;
    // Only blood that carries its type script goes again by itself.
    const std::string className = std::to_string(blood->GetType());
    if (!ObjScripts::HasScriptNamed(blood->ScriptAttachments(), className.c_str())) return;
    ScheduleCallback(kBloodTicks, serial, kRemoveAction, 0, nullptr);
}

// Ammunition left in a target: the container (the mobile) picks the spot.
void LeaveAmmunitionIn(CMobile& target, int graphic) {
    CItem* ammo = NewCountedItem(graphic, target.GetWorldLocation());
    if (!ammo) return;
    const u32 serial = ammo->GetSerial();
    if (!ammo->AddToContainer(&target, Location(-1, -1, 0)) && (ammo = Still(serial, ammo)) &&
        ammo->IsDetached()) {
        ammo->DeleteSelf();  // nowhere to go: not left lying detached
    }
}

// Where a missed missile lands: a step beyond the target, away from the attacker, on
// standing ground not far below the target; else at the target's feet.
Location LandingSpot(const Location& from, const Location& target) {
    Location d = target - from;
    const int m = std::max(std::abs(static_cast<int>(d.x)), std::abs(static_cast<int>(d.y)));
    if (m > 0) d.Set(d.x / m, d.y / m, d.z / m);
    Location spot = target + d;
    if (!g_sectorGrid.Contains(spot.x, spot.y)) return target;
    const int z = g_worldMap.FindGoodZ(spot, spot.z, spot.z + 16, 1, 0, nullptr, 0);
    if (z < target.z - 4) return target;
    spot.z = static_cast<s16>(z);
    return spot;
}

// The item joins a stack standing exactly at the spot, or is placed there.
void DropAt(CItem* item, const Location& spot) {
    const u32 serial = item->GetSerial();
    std::vector<u32> here;
    if (SectorCell* cell = g_sectorGrid.CellAt(spot.x, spot.y)) {
        for (CItem* o = cell->objects; o; o = o->GetNextSibling())
            if (o->GetLocation() == spot) here.push_back(o->GetSerial());
    }
    for (u32 otherSerial : here) {
        CItem* other = g_objectManager.FindBySerial(otherSerial);
        if (!other || other == item || !(other->GetLocation() == spot) || !other->IsDynamic())
            continue;
        const bool stacks = item->CanStackWith(other);
        // The stacking handlers may have deleted either.
        if (!Still(serial, item)) return;
        if (stacks && Still(otherSerial, other)) {
            item->MergeOnto(other);
            return;
        }
    }
    item->PlaceInWorld(spot);
}

void DropAmmunition(const CMobile& attacker, const CMobile& target, int graphic) {
    const Location at = target.GetWorldLocation();
    const Location spot = LandingSpot(attacker.GetWorldLocation(), at);
    if (CItem* ammo = NewCountedItem(graphic, spot)) DropAt(ammo, spot);
}

void Dodge(CMobile& target) {
    const int body = target.GetBody();
    if (body == 5 || body == 6 || body == 8 || body == 22) return;
    if (body >= 150 && body < 400) return;
    const int r = RandomRange(0, 100);
    if (r >= 33) return;
    if (body < 150) {
        PlayAction(target, {r < 17 ? 15 : 16, 3, body == 21});
        return;
    }
    if (!IsMountedPlayer(target)) PlayAction(target, {30, 5, false});
}

void PlaySoundAt(int sound, const Location& at) {
    GetPacketServices().SendSoundToNearest(sound, 0, at);
}

// A creature's own sound of the slot, when it has one.
void PlayCreatureSound(const CMobile& mobile, int slot) {
    if (!mobile.IsNPC()) return;
    const int sound = mobile.GetSoundId(slot);
    if (sound != 0 && sound != 0xFFFF) PlaySoundAt(sound, mobile.GetWorldLocation());
}

}  // namespace

void PlaySwingAnimation(CMobile* attacker, CWeapon* weapon, CMobile* target) {
    if (!attacker || g_objectManager.FindBySerial(attacker->GetSerial()) != attacker ||
        attacker->IsDetached()) {
        return;
    }
    const u32 attackerSerial = attacker->GetSerial();
    const u32 targetSerial = target ? target->GetSerial() : 0;
    if (!attacker->IsNPC()) {
        if (CPlayer* player = attacker->AsPlayer())
            GetPacketServices().SendSwing(player, attackerSerial, targetSerial);
    } else if (target) {
        TurnToTarget(*attacker, *target);
    }
    const Animation a = AttackAnimation(*attacker, weapon, target);
    // The missile of a ranged swing may have run handlers.
    if (a.action < 0 || !(attacker = Still(attackerSerial, attacker))) return;
    target = Still(targetSerial, target);
    MobileAnimation packet;
    packet.serial = attackerSerial;
    packet.action = a.action;
    packet.frames = a.frames;
    packet.repeats = 1;
    packet.repeatFlag = a.repeat ? 1 : 0;
    packet.delay = 1;
    std::vector<Location> near{attacker->GetWorldLocation()};
    if (target) near.insert(near.begin(), target->GetWorldLocation());
    GetPacketServices().SendAnimation(packet, near);
}

int GetSwingKind(const CWeapon* weapon) {
    if (!weapon) return 0;
    if (weapon->IsSlashing() && weapon->IsPiercing()) return RandomRange(0, 100) > 50 ? 0 : 2;
    if (weapon->IsSlashing()) return 0;
    if (weapon->IsBashing()) return 1;
    if (weapon->IsPiercing()) return 2;
    return 0;
}

void FireMissileAt(CMobile* attacker, CMobile* target) {
    if (!attacker || !target) return;
    const CWeapon* weapon = attacker->GetWeapon();
    if (!weapon) return;
    DoMissileMobToMob(*attacker, *target, weapon->GetAmmoType() + kMissileGraphicOffset, 9, 0, 0);
}

void FirePastTarget(CMobile* attacker, CMobile* target) {
    if (!attacker || !target) return;
    const Location from = attacker->GetWorldLocation();
    const Location at = target->GetWorldLocation();
    const Location spot(at.x + 2 * (at.x - from.x), at.y + 2 * (at.y - from.y), at.z);
    const CWeapon* weapon = attacker->GetWeapon();
    if (!weapon) return;
    DoMissileMobToLoc(*attacker, spot, weapon->GetAmmoType() + kMissileGraphicOffset, 5, 0, 0);
}

void PlayHitSound(CMobile*, CMobile* target, CWeapon* weapon) {
    if (target && weapon) PlaySoundAt(weapon->GetHitFx(), target->GetWorldLocation());
}

void PlayMissSound(CMobile* attacker, CMobile*, CWeapon* weapon) {
    if (attacker && weapon) PlaySoundAt(weapon->GetMissFx(), attacker->GetWorldLocation());
}

void PlayHitEffects(CMobile* attacker, CMobile* target, CWeapon* weapon) {
    if (!attacker || !target) return;
    const u32 targetSerial = target->GetSerial();
    PlayCreatureSound(*target, CMobile::kSoundWasHit);
    PlayCreatureSound(*attacker, CMobile::kSoundHit);
    if (weapon && weapon->IsRanged() && !target->IsPlayer() && RandomRange(0, 100) < 25) {
        const int ammo = weapon->GetAmmoType();
        if (ammo != 0) LeaveAmmunitionIn(*target, ammo);
        if (!(target = Still(targetSerial, target))) return;
    }
    PlayAction(*target, GetHitAnimation(*target));
    const Location at = target->GetWorldLocation();
    SpillBlood(at);
    if (RandomRange(0, 2) != 1) return;
    const DirectionStep step = kDirectionSteps[RandomRange(0, 7)];
    const int x = at.x + step.dx;
    const int y = at.y + step.dy;
    if (g_sectorGrid.Contains(x, y)) SpillBlood(Location(x, y, at.z));
}

void HandleMiss(CMobile* attacker, CMobile* target, CWeapon* weapon) {
    if (!attacker || !target) return;
    const u32 targetSerial = target->GetSerial();
    if (weapon && weapon->IsRanged() && RandomRange(0, 100) < 50) {
        const int ammo = weapon->GetAmmoType();
        if (ammo != 0) DropAmmunition(*attacker, *target, ammo);
        if (!(target = Still(targetSerial, target))) return;
    }
    Dodge(*target);
}

void BarkTaunt(CMobile* mobile) {
    static const char* const kTaunts[3] = {"Vultures will pick thy bones!",
                                           "Thou wilt regret ever meeting me.", "Die!"};
    if (mobile) mobile->Bark(kTaunts[RandomRange(0, 2)], kSpeechHue, kSpeechFont, 0);
}

void TurnToFaceByAngle(CMobile* mobile, CMobile* other) {
    if (!mobile || !other || mobile->IsDetached() || other->IsDetached() || mobile->IsPlayer())
        return;
    const Location from = mobile->GetWorldLocation();
    const Location to = other->GetWorldLocation();
    const double angle = std::atan2(static_cast<double>(to.y - from.y),
                                    static_cast<double>(to.x - from.x)) +
                         6.2831853072;
    // 256 units a turn (the divisor is a shade below pi), a quarter turn on so that north is 0.
    int units = static_cast<int>(angle * 128 / 3.14152);
    units += 64;
    if (units >= 256) units -= 256;
    const Location at = mobile->GetLocation();
    mobile->RemoveFromWorldQuiet();
    mobile->SetDirection(units / 32);
    mobile->PlaceInWorld(at);
}
