// What happens when a mobile dies: its corpse, the death packet, the death triggers and what
// the corpse takes; every other mobile forgetting it.
//
// Every script call (the corpse's creation script, the death triggers, the unequip and
// destroyed triggers of the belongings) may delete the corpse, the mobile or anything it
// carries: after each one they are found again by serial, and a step whose object is gone
// is skipped.
#include <optional>
#include <vector>

#include "script/language/trigger_table.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/world/container.h"
#include "server/world/corpse_names.h"
#include "server/world/corpse_resources.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/object_templates.h"
#include "server/world/packet_services.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_script_link.h"

namespace {

constexpr int kCorpseGraphic = 8198;
// A corpse rots away after seven minutes.
constexpr s32 kCorpseRotTicks = 1680;
constexpr s32 kActionDeleteSelf = 1;
// The range (exclusive) in which objects see a death.
constexpr int kSawDeathRange = 8;
constexpr int kFameLostByDeath = 10;
// A worn container of this graphic gives up its contents before it goes.
constexpr int kPackGraphic = 439;
constexpr int kLastDroppedLayer = 25;
const Location kAnySpot(-1, -1, 0);

bool LeavesCorpse(int body) {
    return body != 13 && body != 15 && body != 16;
}

// What a creature's corpse takes of its resources: prey becomes meat, four portions for each;
// its sides (good, evil) die with it.
TakenResources::Share CreatureCorpseShare(CCorpse& corpse) {
    const int prey = GetResourceTypes().FindNumber("CARNIVOREMEAT");
    const int meat = GetResourceTypes().FindNumber("meat");
    const int good = GetResourceTypes().FindNumber("good");
    const int evil = GetResourceTypes().FindNumber("evil");
    return [&corpse, prey, meat, good, evil](const ResourceEntry& e) {
        if (e.type == prey) {
            if (meat != 0) {
                const s32 a = SaturatingMul(e.amounts[2], 4);
                corpse.AddResource(meat, kResourceHeld, a, 0, a);
            }
        } else if (e.type != good && e.type != evil) {
            corpse.AddResource(e.type, e.kind, e.amounts[0], e.amounts[1], e.amounts[2]);
        }
    };
}

// Where a belonging of the dead goes: into the corpse at any spot when there is one (true
// when it is there afterwards), else onto the ground where the mobile lies.
bool PutInCorpseOrDrop(CItem& item, u32 corpseSerial, const Location& where) {
    const u32 serial = item.GetSerial();
    if (CCorpse* corpse = FindCorpse(corpseSerial)) {
        if (item.AddToContainer(corpse, kAnySpot)) {
            // It may have joined a pile there, or a handler may have taken it out again.
            return IsObjectAlive(serial, &item) && item.GetContainer() == corpse;
        }
    }
    // Never left hanging outside the world.
    if (IsObjectAlive(serial, &item) && item.IsDetached()) item.PlaceInWorld(where);
    return false;
}

// Takes the object out of the world and into the corpse or onto the ground; the object
// while it still exists afterwards.
CItem* MoveToCorpse(u32 serial, u32 corpseSerial, const Location& where) {
    CItem* item = g_objectManager.FindBySerial(serial);
    if (!item) return nullptr;
    item->RemoveFromWorld();
    if (!IsObjectAlive(serial, item)) return nullptr;
    PutInCorpseOrDrop(*item, corpseSerial, where);
    return IsObjectAlive(serial, item);
}

std::vector<u32> ChildSerials(const CItem& container) {
    std::vector<u32> serials;
    if (const CContainer* holder = container.AsContainer()) {
        for (CItem* c = holder->GetFirstChild(); c; c = c->GetNextSibling())
            serials.push_back(c->GetSerial());
    }
    return serials;
}

// The dead mobile's equipment and contents go into the corpse (or onto the ground without
// one). A worn pack is emptied first; a worn piece whose graphic has no animation of its own
// is destroyed instead. Stops when the mobile is gone.
void DropBelongings(CMobile& mobile, u32 corpseSerial) {
    const u32 self = mobile.GetSerial();
    auto stillHere = [&] { return IsObjectAlive(self, &mobile) != nullptr; };
    for (int layer = 0; layer <= kLastDroppedLayer; ++layer) {
        CItem* item = mobile.GetLayer(layer);
        if (!item) continue;
        const u32 itemSerial = item->GetSerial();
        if (item->GetType() == kPackGraphic && item->IsContainer()) {
            for (u32 serial : ChildSerials(*item)) {
                CItem* child = g_objectManager.FindBySerial(serial);
                if (!child || child->GetContainer() != item) continue;
                MoveToCorpse(serial, corpseSerial, mobile.GetLocation());
                if (!stillHere()) return;
                if (!IsObjectAlive(itemSerial, item)) break;
            }
        }
        if (!IsObjectAlive(itemSerial, item) || item->GetContainer() != &mobile) continue;
        const Location where = mobile.GetLocation();
        item->RemoveFromWorld();
        if (!stillHere()) return;
        if (!IsObjectAlive(itemSerial, item)) continue;
        if (GetTileData().Static(item->GetType()).animation != 0) {
            if (PutInCorpseOrDrop(*item, corpseSerial, where)) {
                FindCorpse(corpseSerial)->worn[layer] = item;
            }
        } else {
            item->DeleteSelf();
        }
        if (!stillHere()) return;
    }
    for (u32 serial : ChildSerials(mobile)) {
        CItem* child = g_objectManager.FindBySerial(serial);
        if (!child || child->GetContainer() != &mobile) continue;
        MoveToCorpse(serial, corpseSerial, mobile.GetLocation());
        if (!stillHere()) return;
    }
}

}  // namespace

void CMobile::Die(CItem* killer, int drop) {
    const u32 self = serial_;
    const u32 killerSerial = killer ? killer->GetSerial() : 0;
    // A guard's victim keeps its belongings and leaves no corpse.
    const bool killedByGuard = killer && killer->IsGuard();
    // This mobile while its serial still names it; a handler may delete it.
    auto me = [&]() -> CMobile* { return IsObjectAlive(self, this) ? this : nullptr; };

    if (IsMounted()) {
        Dismount();
        if (!me()) return;
    }
    if (IsNPC()) {
        const u16 sound = GetSoundId(kSoundDie);
        if (sound != 0 && sound != 0xFFFF) GetPacketServices().SendSound(sound, GetWorldLocation());
    }
    if (killedByGuard) drop = 0;

    CCorpse* corpse = nullptr;
    if (LeavesCorpse(GetBody())) {
        corpse = new CCorpse;
        corpse->SetType(kCorpseGraphic);
        corpse->SetCorpseType(GetBody());
        corpse->SetDirection(direction_);
        corpse->SetHue(GetHue());
        NameCorpse(corpse);
    }
    const u32 corpseSerial = corpse ? corpse->GetSerial() : 0;
    const u32 falls = corpse && (corpse->GetDirection() & 0x80) ? 1 : 0;
    Location where = GetWorldLocation();
    GetPacketServices().SendMobileDeath(self, corpseSerial, falls, where, nullptr);
    ForgetMe();

    std::optional<TakenResources> taken;
    if (corpse) {
        taken.emplace(*this, CreatureCorpseShare(*corpse));
        corpse->PlaceInWorldQuiet(where);
        AttachScript(corpse, "corpse", 1);
        corpse = FindCorpse(corpseSerial);
    }

    // Gone before its death trigger, the mobile cannot refuse its death.
    int answer = 1;
    if (CMobile* mobile = me()) {
        where = mobile->GetWorldLocation();
        TriggerArgs args;
        args.serial = killerSerial;
        args.other = corpse ? corpseSerial : 0;
        answer = GetTriggerServices().SendTrigger(mobile, kTriggerDeath, args);
        corpse = FindCorpse(corpseSerial);
    }
    if (answer == 0) {
        // The death did not happen: the mobile keeps what it had.
        if (CMobile* mobile = me(); mobile && taken) taken->GiveBack(*mobile);
        if (corpse) corpse->DeleteSelf();
        return;
    }
    taken.reset();

    if (corpse) {
        TriggerArgs corpseArgs;
        corpseArgs.serial = killerSerial;
        corpseArgs.other = self;
        GetTriggerServices().SendTrigger(corpse, kTriggerDeath, corpseArgs);
        corpse = FindCorpse(corpseSerial);
    }
    if (CMobile* mobile = me()) {
        mobile->LoseFame(kFameLostByDeath);
        where = mobile->GetWorldLocation();
    }
    ScriptTriggerArgs sawArgs;
    sawArgs.params = {TriggerValue::Obj(killerSerial), TriggerValue::Obj(self),
                      TriggerValue::Obj(corpse ? corpseSerial : 0)};
    SendTriggerInRange(where, kSawDeathRange, kTriggerSawDeath, sawArgs);
    corpse = FindCorpse(corpseSerial);

    if (!drop) {
        if (corpse) corpse->DeleteSelf();
        return;
    }
    if (CMobile* mobile = me()) {
        DropBelongings(*mobile, corpseSerial);
        if ((mobile = me())) where = mobile->GetWorldLocation();
        corpse = FindCorpse(corpseSerial);
    }
    if (corpse) {
        // Shown again, with what it holds now.
        corpse->RemoveFromWorldQuiet();
        corpse->PlaceInWorld(where);
        ScheduleCallback(kCorpseRotTicks, corpseSerial, kActionDeleteSelf, 0, nullptr);
    }
}

void CMobile::Kill(CItem* killer, int drop) {
    Die(killer, drop);
}

void CMobile::ForgetMe() {
    const u32 self = serial_;
    for (CMobile* m = g_mobileManager.GetFirstMobile(); m; m = m->GetNextMobile()) {
        if (CNPC* npc = m->AsNPC(); npc && npc->ai.targetSerial == self) npc->ai.targetSerial = 0;
        m->RemoveOpponent(self, true);
    }
}

void CMobile::NameCorpse(CCorpse* corpse) const {
    if (!corpse) return;
    if (GetTemplateId() != kNoTemplate) {
        const ObjectTemplate* t = g_templateTable.Find(GetTemplateId());
        if (t && !t->corpseName.IsEmpty()) {
            SetCorpseKindName(*corpse, t->corpseName.CText());
            return;
        }
    }
    if (!IsHumanBody()) return;
    if (IsPlayer()) {
        SetCorpseOwnerName(*corpse, GetRealName());
    } else {
        SetCorpseKindName(*corpse, "human");
    }
}
