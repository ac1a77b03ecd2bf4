// Resource units, weight and stacking of items. A generic (stackable) item has no count of its
// own: its quantity is the number of whole units of its graphic's needs that it holds, so
// merging and splitting stacks move resources between the items.
#include <limits>

#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/placement_record.h"
#include "server/world/resource_entry.h"
#include "server/world/tile_data.h"

namespace {

constexpr int kGoldGraphic = 3821;
constexpr int kMaxStackUnits = 60000;

const ResourceEntry* FirstNeed(int graphic) {
    const CCountedObject* prototype = g_objectManager.GetResourcePrototype(graphic);
    return prototype ? prototype->GetResources() : nullptr;
}

// A need: a held entry of a real type with an amount per unit above 0. Entries of amount 0
// would divide by zero in the unit count; they ask for nothing.
bool IsNeed(const ResourceEntry* e) {
    return e->kind == kResourceHeld && e->type != 0 && e->amounts[0] > 0;
}

// Keeps the cached content weights above an item right while its own weight changes in place.
class WeightChange {
public:
    explicit WeightChange(CItem* item) : item_(item), serial_(item ? item->GetSerial() : 0) {
        holder_ = item && item->GetContainer() && !item->IsWeightless()
                      ? item->GetContainer()->AsContainer()
                      : nullptr;
        if (holder_) before_ = item->GetWeight();
    }
    // Settles the difference (call before the item may be deleted).
    void Settle() {
        if (!holder_ || !IsObjectAlive(serial_, item_) || item_->GetContainer() != holder_) {
            holder_ = nullptr;
            return;
        }
        const int after = item_->GetWeight();
        if (after > before_) holder_->AddContentWeight(after - before_);
        if (after < before_) holder_->RemoveContentWeight(before_ - after);
        before_ = after;
    }

private:
    CItem* item_;
    u32 serial_;
    CContainer* holder_ = nullptr;
    int before_ = 0;
};

}  // namespace

// ---------------------------------------------------------------- units

bool CItem::HasRequiredResources() const {
    bool any = false;
    for (const ResourceEntry* e = FirstNeed(type_); e; e = e->next) {
        if (!IsNeed(e)) continue;
        any = true;
        if (GetResourceAmount(e->type) < e->amounts[0]) return false;
    }
    return any;
}

bool CItem::HoldsOnlyRequiredResources() const {
    for (const ResourceEntry* e = resources_; e; e = e->next) {
        if (e->kind != kResourceHeld || e->type == 0) continue;
        bool needed = false;
        for (const ResourceEntry* n = FirstNeed(type_); n && !needed; n = n->next)
            needed = IsNeed(n) && n->type == e->type;
        if (!needed) return false;
    }
    return true;
}

int CItem::CountResourceUnits() const {
    int units = -1;
    for (const ResourceEntry* e = FirstNeed(type_); e; e = e->next) {
        if (!IsNeed(e)) continue;
        const int held = GetResourceAmount(e->type);
        const int n = held > 0 ? held / e->amounts[0] : 0;
        if (units < 0 || n < units) units = n;
    }
    return units < 0 ? 0 : units;
}

bool CItem::HasUnitsFor(int n) const {
    for (const ResourceEntry* e = FirstNeed(type_); e; e = e->next) {
        if (IsNeed(e) && GetResourceAmount(e->type) < SaturatingMul(e->amounts[0], n)) {
            return false;
        }
    }
    return true;
}

bool CItem::ConsumeResourceUnits(int n) {
    WeightChange change(this);
    int keep = CountResourceUnits() - n;
    if (keep < 0) keep = 0;
    for (const ResourceEntry* e = FirstNeed(type_); e; e = e->next) {
        if (!IsNeed(e)) continue;
        const s64 held = GetResourceAmount(e->type);
        const s64 want = SaturatingMul(e->amounts[0], keep);
        if (held > want) RemoveResourceAmount(static_cast<s32>(held - want), e->type);
    }
    change.Settle();
    if (keep == 0) {
        DeleteSelf();
        return false;
    }
    return true;
}

bool CItem::TransferResourceUnits(CItem* target, int n) {
    if (target && target != this && n > 0) {
        WeightChange targetChange(target);
        for (const ResourceEntry* e = FirstNeed(target->type_); e; e = e->next) {
            if (IsNeed(e)) target->TakeResources(this, SaturatingMul(e->amounts[0], n), e->type);
        }
        targetChange.Settle();
    }
    return ConsumeResourceUnits(0);
}

// ---------------------------------------------------------------- weight

bool CItem::GetObjVarIntChecked(const char* name, s32& out) const {
    return ObjVars::GetInt(attachments_, name, out);
}

bool CItem::IsWeightless() const {
    switch (type_) {
        case 11000:
        case 4113:
        case 5993:
        case 5994:
        case 5995:
            return true;
        default:
            break;
    }
    if (IsSpellbook() || IsMobile() || (status_ & kStatusWeightless)) return true;
    if (GetEquipLayer() > 24) return true;
    // Coins count for nothing inside the bank box.
    return type_ == kGoldGraphic && container_ && container_->IsInBankBox();
}

int CItem::GetWeight() const {
    if (type_ == 0) return 255;
    s64 base = 0;
    s32 overloaded = 0;
    if ((status_ & kStatusWeightOverride) && GetObjVarIntChecked("overloadedWeight", overloaded)) {
        base = overloaded < 0 ? 0 : overloaded;
    } else if (const CMobile* mobile = AsMobile()) {
        base = mobile->GetMaxHitsForWeight() / 2;
    } else {
        const int graphic = GetShownGraphic();
        base = graphic >= kTileCount ? 0 : GetTileData().Static(graphic).weight;
    }
    s64 q = GetQuantity();
    if (q < 1) q = 1;
    s64 weight;
    if (base != 0) {
        weight = base * q;
    } else {
        weight = type_ == kGoldGraphic ? (q + 49) / 50 : (q + 9) / 10;
    }
    if (IsContainer()) weight += GetContentWeight();
    return weight > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(weight);
}

int CItem::AddWeightTo(CItem* container) {
    CContainer* holder = container ? container->AsContainer() : nullptr;
    if (!holder) return -1;
    if (!IsWeightless()) holder->AddContentWeight(GetWeight());
    return GetEquipLayer();
}

int CItem::RemoveWeightFrom(CItem* container) {
    CContainer* holder = container ? container->AsContainer() : nullptr;
    if (!holder) return -1;
    if (!IsWeightless()) holder->RemoveContentWeight(GetWeight());
    return GetEquipLayer();
}

// ---------------------------------------------------------------- stacking

bool CItem::CanStackWith(CItem* other) const {
    if (!other || other == this) return false;
    if (type_ != other->type_ || hue_ != other->hue_) return false;
    if (!IsGeneric() || !other->IsGeneric()) return false;
    const int mine = CountResourceUnits();
    const int theirs = other->CountResourceUnits();
    if (mine <= 0 || theirs <= 0 || s64(mine) + theirs > kMaxStackUnits) return false;
    TriggerArgs args;
    args.serial = other->serial_;
    // A handler may delete either item; the caller looks both up again.
    return GetTriggerServices().SendTrigger(const_cast<CItem*>(this), kTriggerIsStackableOn,
                                            args) != 0;
}

bool CItem::StackOnto(CItem* target) {
    if (!target || target == this) return false;
    const u32 serial = serial_;
    const u32 targetSerial = target->serial_;
    TriggerArgs args;
    args.serial = targetSerial;
    GetTriggerServices().SendTrigger(this, kTriggerStackOnto, args);
    if (!IsObjectAlive(serial, this)) return true;
    if (!IsObjectAlive(targetSerial, target)) return false;
    const bool targetHadContainer = target->container_ != nullptr;
    if (!target->detached_) {
        target->RemoveFromWorld();
        if (!IsObjectAlive(targetSerial, target)) return false;
    }
    target->decayCount_ = 0;
    if (!detached_) {
        RemoveFromWorld();
        if (!IsObjectAlive(serial, this)) return true;
    }
    if (target->IsValueless() && !IsValueless()) ObjVars::Remove(target->attachments_, "valueless");
    const bool sourceLeft = TransferResourceUnits(target, CountResourceUnits());
    if (!IsObjectAlive(targetSerial, target) || !target->ReturnToLastPlace()) return false;
    if (targetHadContainer && IsObjectAlive(targetSerial, target)) target->MoveToSectorChainEnd();
    if (sourceLeft && IsObjectAlive(serial, this)) DeleteSelf();
    return true;
}

CItem* CItem::SplitStack(int amount) {
    if (amount <= 0) return nullptr;
    if (amount > 0xFFFF) amount = 0xFFFF;
    const u32 serial = serial_;
    const Location where = GetWorldLocation();
    if (!detached_) {
        RemoveFromWorld();
        if (!IsObjectAlive(serial, this)) return nullptr;
    }
    decayCount_ = 0;
    CItem* part = g_objectManager.CreateItem(type_);
    if (!part) {
        ReturnToLastPlace();
        return nullptr;
    }
    part->SetHue(hue_);
    // Returning the part puts it back onto this stack.
    part->SetPlacementContainer(serial_);
    part->SetPlacementLocation(where.x, where.y, where.z);
    if (IsValueless()) {
        ObjVars::Set(part->attachments_, "valueless", kTypeInt, ScriptListValue::Int(1));
    }
    if (TransferResourceUnits(part, amount)) ReturnToLastPlace();
    return part;
}
