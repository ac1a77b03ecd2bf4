#include "server/world/reputation.h"

#include <vector>

#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/world/area_services.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/timed_callbacks.h"

const char* const kReputationMarkNames[kReputationMarkCount] = {
    "criminal", "aggressionVictimList", "lawfullyDamaged", "murderCount", "recentlyReported"};

CScriptList& ListVarMadeIfMissing(CObjAttachments*& set, const char* name) {
    CScriptValue* record = ObjVars::Find(set, name);
    if (!record || record->type != kTypeList) {
        CScriptList empty;
        record = ObjVars::Set(set, name, kTypeList, ScriptListValue::Ptr(&empty));
    }
    return *record->value.l;
}

namespace {

constexpr int kResendRadius = 18;
// The controller timer a controlled creature keeps (its own action, key 0).
constexpr int kControllerCallbackAction = 20;

s32 IntVar(const CObjAttachments* set, const char* name) {
    s32 v = 0;
    ObjVars::GetInt(set, name, v);
    return v;
}

u32 ObjectVar(const CObjAttachments* set, const char* name) {
    u32 v = 0;
    ObjVars::GetObject(set, name, v);
    return v;
}

bool ListHolds(const CObjAttachments* set, const char* name, u32 serial) {
    const CScriptList* list = ObjVars::GetList(set, name);
    return list && list->Contains(kTypeObject, ScriptListValue::Int(static_cast<s32>(serial)));
}

// Adds the serial to the object list variable (made when missing); false when it was there.
bool AddToListSet(CItem& holder, const char* name, u32 serial) {
    CScriptList& list = ListVarMadeIfMissing(holder.ScriptAttachments(), name);
    const ScriptListValue value = ScriptListValue::Int(static_cast<s32>(serial));
    if (list.Contains(kTypeObject, value)) return false;
    list.Append(kTypeObject, value);
    return true;
}

void Arm(CItem& object, int mark, int ticks) {
    ScheduleCallback(ticks, object.GetSerial(), kReputationCallbackAction, mark, nullptr);
}

// The guild an object belongs to for these rules: a player's own, else its controller's.
u32 OwnGuild(const CItem& object) {
    return ObjectVar(object.ScriptAttachments(),
                     object.IsPlayer() ? "guildstoneId" : "controllerGuild");
}
s32 OwnGuildType(const CItem& object) {
    return IntVar(object.ScriptAttachments(),
                  object.IsPlayer() ? "guildType" : "controllerGuildType");
}

void CollectNear(const CItem& object, std::vector<CPlayer*>& out) {
    GetPlayerRegistry().CollectInRange(out, object.GetWorldLocation(), kResendRadius);
}

// The object is sent again to the players near, whose view of it may have changed.
void ResendToPlayersNear(CItem& object) {
    std::vector<CPlayer*> near;
    CollectNear(object, near);
    for (CPlayer* p : near)
        GetPacketServices().SendObjectTo(p, &object, false);
}

// A script message to whatever object the serial names (nothing when it names none).
void MessageTo(u32 target, u32 sender, const char* message, const std::vector<TriggerValue>& values,
               const char* format) {
    if (CItem* object = g_objectManager.FindBySerial(target))
        SendScriptMessage(object, sender, message, values, format);
}

}  // namespace

bool GuildTypesOppose(int ownType, int otherType) {
    if (otherType < 0 || otherType >= kGuildTypeCount) return false;
    if (ownType < 0 || ownType >= kGuildTypeCount) ownType = 0;
    return (kOpposingGuildMask[otherType] >> ownType) & 1;
}

// ------------------------------------------------------------------------ the records

int CItem::GetMurderCount() const {
    return IntVar(attachments_, kReputationMarkNames[kMarkMurderCount]);
}

bool CItem::IsCriminal() const {
    return ObjVars::Has(attachments_, kReputationMarkNames[kMarkCriminal], kTypeInt);
}

void CItem::SetMurderCount(int count) {
    ObjVars::Set(attachments_, kReputationMarkNames[kMarkMurderCount], kTypeInt,
                 ScriptListValue::Int(count < 0 ? 0 : count));
    GetTriggerServices().SendTrigger(this, kTriggerMurderCountChanged, TriggerArgs{});
}

bool CItem::IsGuildEnemy(u32 guildstone, int guildType) const {
    if (GuildTypesOppose(IntVar(attachments_, "guildType"), guildType)) return true;
    if (!guildstone) return false;
    return ListHolds(attachments_, "opposingGuilds", guildstone);
}

void CItem::GetControllerInfo(ControllerInfo& out) {
    out = ControllerInfo{};
    out.serial = ObjectVar(attachments_, "controller");
    out.guild = ObjectVar(attachments_, "controllerGuild");
    out.guildType = IntVar(attachments_, "controllerGuildType");
    if (const CStr* name = ObjVars::GetString(attachments_, "controllerName")) out.name = *name;
    if (out.serial) out.player = FindLivePlayerBySerial(out.serial);
}

int CItem::GetNotorietyFor(CMobile* viewer) const {
    if (IsMurderer()) return kNotorietyMurderer;
    if (IsCriminal()) return kNotorietyCriminal;
    const CObjAttachments* seen = viewer ? viewer->ScriptAttachments() : nullptr;
    const u32 viewerGuild = ObjectVar(seen, "guildstoneId");
    const s32 viewerType = IntVar(seen, "guildType");
    if (IsGuildEnemy(viewerGuild, viewerType)) return kNotorietyEnemy;
    const u32 viewerSerial = viewer ? viewer->GetSerial() : 0;
    if (viewer && (ListHolds(attachments_, "aggressionVictimList", viewerSerial) ||
                   ListHolds(attachments_, "crimeVictimList", viewerSerial)))
        return kNotorietyAttackable;
    if (viewerGuild && OwnGuild(*this) == viewerGuild) return kNotorietyAlly;
    const s32 type = OwnGuildType(*this);
    if (type > 1 && type == viewerType) return kNotorietyAlly;
    if (ListHolds(seen, "lawfullyDamaged", serial_)) return kNotorietyAttackable;
    return kNotorietyInnocent;
}

bool CItem::IsLawfulTargetWithInfo(CMobile* attacker, ControllerInfo* info) {
    ControllerInfo none;
    const ControllerInfo& c = info ? *info : none;
    if (attacker == this || (c.serial && serial_ == c.serial)) return true;
    if (IsMurderer() || IsCriminal() || ObjVars::Has(attachments_, "crimeVictimList", kTypeList))
        return true;
    if (AsPlayer()) {
        const u32 guild = ObjectVar(attachments_, "guildstoneId");
        if (guild && guild == c.guild) return true;
    } else {
        const u32 controller = ObjectVar(attachments_, "controller");
        if (controller && controller == c.serial) return true;
        const u32 guild = ObjectVar(attachments_, "controllerGuild");
        if (guild && guild == c.guild) return true;
    }
    const s32 type = OwnGuildType(*this);
    if (type >= 2 && type == c.guildType) return true;
    if (attacker && ListHolds(attacker->ScriptAttachments(), "lawfullyDamaged", serial_))
        return true;
    if (attacker && ListHolds(attachments_, "aggressionVictimList", attacker->GetSerial()))
        return true;
    if (c.serial && ListHolds(attachments_, "aggressionVictimList", c.serial)) return true;
    return IsGuildEnemy(c.guild, c.guildType);
}

bool CItem::CanBeFreelyAggressedBy(CMobile* attacker) {
    if (!attacker) return true;
    ControllerInfo info;
    attacker->GetControllerInfo(info);
    return IsLawfulTargetWithInfo(attacker, &info);
}

void CItem::RefreshAggression() {
    Arm(*this, kMarkAggression, kReputationTicks);
    if (ObjVars::Find(attachments_, kReputationMarkNames[kMarkLawfulDamage]))
        Arm(*this, kMarkLawfulDamage, kReputationTicks);
    const s32 timeout = IntVar(attachments_, "controllerTimeout");
    if (timeout > 0) ScheduleCallback(timeout, serial_, kControllerCallbackAction, 0, nullptr);
}

void CItem::RecordAggressionWithInfo(CMobile* aggressor, CPlayer* controller,
                                     u32 controllerSerial) {
    if (!aggressor || controllerSerial == serial_) return;
    // The victim struck first: fighting back is no new aggression.
    if (ListHolds(attachments_, "aggressionVictimList", aggressor->GetSerial())) {
        RefreshAggression();
        return;
    }
    if (AddToListSet(*aggressor, "aggressionVictimList", serial_)) {
        if (CPlayer* victim = AsPlayer())
            GetPacketServices().SendObjectTo(victim, aggressor, false);
    }
    aggressor->RefreshAggression();
    if (!controllerSerial) return;
    if (IntVar(aggressor->ScriptAttachments(), "defensive") != 0) return;
    if (controllerSerial == aggressor->GetSerial()) return;
    if (ListHolds(attachments_, "aggressionVictimList", aggressor->GetSerial())) return;
    if (controller) {
        AddToListSet(*controller, "aggressionVictimList", serial_);
        controller->RefreshAggression();
    } else {
        MessageTo(controllerSerial, serial_, "refreshAggression", {}, "");
    }
}

void CItem::ReceiveAggressionFrom(CMobile* aggressor) {
    if (!aggressor) return;
    ControllerInfo info;
    aggressor->GetControllerInfo(info);
    RecordAggressionWithInfo(aggressor, info.player, info.serial);
}

void CItem::ReceiveUnhealthyActionFrom(CMobile* doer, bool) {
    ControllerInfo info;
    RecordHarmFrom(doer, info);
}

bool CItem::RecordHarmFrom(CMobile* doer, ControllerInfo& info) {
    if (!doer) return false;
    doer->GetControllerInfo(info);
    if (info.serial && info.serial == serial_) return false;
    const u32 doerSerial = doer->GetSerial();
    RecordAggressionWithInfo(doer, info.player, info.serial);
    // The aggression may have run scripts that deleted the doer or this object.
    if (!IsObjectAlive(doerSerial, doer) || !IsObjectAlive(serial_, this)) return false;
    if (IsLawfulTargetWithInfo(doer, &info)) {
        AddToListSet(*doer, kReputationMarkNames[kMarkLawfulDamage], serial_);
        Arm(*doer, kMarkLawfulDamage, kReputationTicks);
        return false;
    }
    const Location at = GetWorldLocation();
    doer->CommitCrimeAt(at, kReputationTicks);
    if (info.serial && info.serial != doerSerial) {
        if (info.player) {
            info.player->CommitCrimeAt(at, kReputationTicks);
        } else {
            MessageTo(info.serial, serial_, "refreshCriminal", {TriggerValue::Loc(at)}, "c");
        }
    }
    return true;
}

void CItem::ChangeReputation(int fame, int karma) {
    ControllerInfo info;
    GetControllerInfo(info);
    if (!info.serial) return;
    if (info.player) {
        info.player->ChangeReputation(fame, karma);
    } else {
        MessageTo(info.serial, serial_, "changeReputation",
                  {TriggerValue::Int(fame), TriggerValue::Int(karma)}, "ii");
    }
}

void CItem::MarkCriminal(int ticks) {
    Arm(*this, kMarkCriminal, ticks);
    if (IsCriminal()) return;
    ObjVars::Set(attachments_, kReputationMarkNames[kMarkCriminal], kTypeInt,
                 ScriptListValue::Int(1));
    ResendToPlayersNear(*this);
}

void CMobile::CommitCrimeAt(const Location& at, int ticks) {
    MarkCriminal(ticks);
    AreaServices& areas = GetAreaServices();
    if (!areas.IsInJusticeRegion(GetWorldLocation()) && !areas.IsInJusticeRegion(at)) return;
    AttachScript(this, "punishable", 1);  // refuses a second copy
    SendScriptMessage(this, 0, "punishableReset", {}, "v");
}

void CItem::ExpireReputation(int index) {
    if (index < 0 || index >= kReputationMarkCount) return;
    const char* name = kReputationMarkNames[index];
    if (index == kMarkLawfulDamage) {
        const CScriptList* list = ObjVars::GetList(attachments_, name);
        if (!list) return;
        CPlayer* self = AsPlayer();
        if (!self) {
            ObjVars::Remove(attachments_, name);
            return;
        }
        // Those this player could harm lawfully look innocent to it again.
        std::vector<CPlayer*> near;
        CollectNear(*this, near);
        std::vector<CPlayer*> noted;
        for (CPlayer* p : near) {
            if (list->Contains(kTypeObject, ScriptListValue::Int(static_cast<s32>(p->GetSerial()))))
                noted.push_back(p);
        }
        ObjVars::Remove(attachments_, name);
        for (CPlayer* p : noted)
            GetPacketServices().SendObjectTo(self, p, false);
        return;
    }
    if (index == kMarkMurderCount) {
        const int count = GetMurderCount() - 1;
        if (count < 1) {
            ObjVars::Remove(attachments_, name);
            return;
        }
        Arm(*this, kMarkMurderCount, kMurderCountTicks);
        ObjVars::Set(attachments_, name, kTypeInt, ScriptListValue::Int(count));
        if (count == kMurdererAbove) ResendToPlayersNear(*this);
        return;
    }
    ObjVars::Remove(attachments_, name);
    ResendToPlayersNear(*this);
}

void ReputationTimerExpired(CBaseObject* object, s32 key, const char*) {
    if (CItem* item = object ? object->AsItem() : nullptr) item->ExpireReputation(key);
}

// ------------------------------------------------------------------------ mobiles

int CMobile::GetNotorietyFor(CMobile* viewer) const {
    const int base = CItem::GetNotorietyFor(viewer);
    if (base == kNotorietyInnocent && !IsHumanBody() && !IsOwnedPet()) return kNotorietyAttackable;
    return base;
}

bool CMobile::IsLawfulTargetWithInfo(CMobile* attacker, ControllerInfo* info) {
    if (!IsHumanBody() && !IsOwnedPet()) return true;
    return CItem::IsLawfulTargetWithInfo(attacker, info);
}
