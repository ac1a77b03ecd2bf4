// How a player dies and comes back: the frozen ghost in its death robe, the corpse that holds
// what the player loses while the backpack keeps the rest, the death screen's answers, and the
// resurrection graded by how often the player came back lately and penalised for murders.
//
// Every script call (the corpse's script, the death triggers, the unequip and equip triggers of
// the belongings, a new robe's type script, the fame trigger) may delete the player, the corpse
// or a belonging: after each one they are found again by serial, and a step whose object is
// gone is skipped.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/net/player_senders.h"
#include "server/net/sound_senders.h"
#include "server/world/container.h"
#include "server/world/corpse_resources.h"
#include "server/world/mobile_alignment.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/skill_table.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_script_link.h"

namespace {

constexpr int kCorpseGraphic = 8198;
// A player's corpse spills what it holds onto the ground after seven minutes.
constexpr s32 kCorpseRotTicks = 1680;
constexpr s32 kActionCorpseDecay = 2;
// The range (exclusive) in which objects see a death.
constexpr int kSawDeathRange = 8;
constexpr int kLastSortedLayer = 25;
constexpr int kHairLayer = 11;
constexpr int kBeardLayer = 16;
constexpr int kBackpackLayer = 21;
constexpr int kBackpackGraphic = 0xE75;
constexpr int kRobeLayer = 22;
constexpr int kDeathRobeGraphic = 0x204E;
constexpr int kResurrectionRobeGraphic = 0x1F03;
constexpr u16 kRobeHue = 0x8FD;
constexpr u16 kLivingBodies[] = {400, 401};
constexpr int kMaleDeathCry = 346;
constexpr int kFemaleDeathCry = 337;
// A point of the resurrection count is forgiven per this many ms of the loop's clock (kept as
// the rule has it: milliseconds, so only resurrections within seconds of each other count);
// from this count on an asked resurrection is refused.
constexpr s32 kForgiveMs = 1200;
constexpr int kTooWeakCount = 4;
constexpr int kMenuPenaltyPercent = 10;
constexpr int kFameLostByResurrection = -10;
constexpr int kMaxPenaltyPercent = 100;
constexpr int kMurdersBeforePenalty = 5;
// The alignment bits of byte A that the living carry and a death clears.
constexpr u8 kLivingSides = kSideMeat | kSideHumans | kSideGood | kSideEvil;
constexpr s32 kLivingResourceUnits = 10;
const Location kAnySpot(-1, -1, 0);

const char* const kResurrectionTexts[kTooWeakCount] = {
    "Your spirit rejoins your body.",
    "With some effort, you reunite your spirit and your body.",
    "With great difficulty, you manage to bring your spirit and body together.",
    "You barely manage to bring your spirit and body together--the connection is very "
    "tenuous.",
};
const char* const kTooWeakText =
    "The connection between your spirit and body is too weak to resurrect. You will have to "
    "wait a while.";

// The murder penalty in percent: 5 at the fifth murder, rising over the next 20 toward 18.
int MurderPenalty(int murdersOverLimit) {
    static const SkillCurve curve = SkillCurve::FromPoints(5.0, 15.0, 18.0, 20.0);
    return std::min(kMaxPenaltyPercent, static_cast<int>(curve.Value(murdersOverLimit)));
}

// What a player's corpse takes of its resources: everything held but the player's own sides
// (humans, good, evil), which die with it, as do the entries of other kinds.
TakenResources::Share PlayerCorpseShare(CCorpse& corpse) {
    const CResourceTypeTable& types = GetResourceTypes();
    const int humans = types.FindNumber("humans");
    const int good = types.FindNumber("good");
    const int evil = types.FindNumber("evil");
    return [&corpse, humans, good, evil](const ResourceEntry& e) {
        if (e.type == humans || e.type == good || e.type == evil) return;
        corpse.AddResource(e.type, e.kind, e.amounts[0], e.amounts[1], e.amounts[2]);
    };
}

// Into the corpse at any spot; on the ground where the corpse lies when it will not go in.
// The corpse records what went in for the layer it was worn on (-1: none).
void PutInCorpse(CItem& item, u32 corpseSerial, int layer, const Location& fallback) {
    const u32 serial = item.GetSerial();
    CCorpse* corpse = FindCorpse(corpseSerial);
    if (corpse && item.AddToContainer(corpse, kAnySpot)) {
        // It may have joined a pile there, or a handler may have taken it out again.
        corpse = FindCorpse(corpseSerial);
        if (corpse && layer >= 0 && IsObjectAlive(serial, &item) && item.GetContainer() == corpse)
            corpse->worn[layer] = &item;
        return;
    }
    // Never left hanging outside the world.
    if (IsObjectAlive(serial, &item) && item.IsDetached())
        item.PlaceInWorld(corpse ? corpse->GetWorldLocation() : fallback);
}

// Takes the item out of the world (unless it already is) and puts it into the container at
// any spot; false when the item is gone or did not go in.
bool MoveInto(u32 serial, u32 containerSerial) {
    CItem* item = g_objectManager.FindBySerial(serial);
    if (!item) return false;
    if (!item->IsDetached()) item->RemoveFromWorld();
    CItem* container = g_objectManager.FindBySerial(containerSerial);
    if (!IsObjectAlive(serial, item) || !item->IsDetached() || !container) return false;
    return item->AddToContainer(container, kAnySpot);
}

// The serials of what lies directly in the container, in content order.
std::vector<u32> ChildSerials(const CItem& container) {
    std::vector<u32> serials;
    if (const CContainer* holder = container.AsContainer()) {
        for (CItem* c = holder->GetFirstChild(); c; c = c->GetNextSibling())
            serials.push_back(c->GetSerial());
    }
    return serials;
}

// A new item worn on the layer with its type resources, type script and no value; deleted
// when it cannot be worn. The item while it is still worn there, else null.
CItem* WearNewRobe(CPlayer& player, int graphic, int layer) {
    CItem* robe = g_objectManager.CreateItem(graphic);
    if (!robe) return nullptr;
    robe->SetHue(kRobeHue);
    const u32 serial = robe->GetSerial();
    if (!robe->EquipOn(&player, layer)) {
        if (IsObjectAlive(serial, robe)) robe->DeleteSelf();
        return nullptr;
    }
    if (!IsObjectAlive(serial, robe)) return nullptr;
    robe->AddTypeResources(player.GetWorldLocation(), 1);
    if (AttachTypeScript(robe) == 0 || !IsObjectAlive(serial, robe)) return nullptr;
    robe->MakeValueless();
    return robe;
}

// A copy of the hair or beard for the corpse: the same graphic and hue, its type resources
// and type script. Null when its type script would not stay attached (the copy is deleted
// then, never left lying about).
CItem* CopyForCorpse(const CItem& original, const Location& at) {
    CItem* copy = g_objectManager.CreateItem(original.GetType());
    if (!copy) return nullptr;
    const u32 serial = copy->GetSerial();
    copy->SetHue(original.GetHue());
    copy->AddTypeResources(at, 1);
    if (AttachTypeScript(copy) == 0) {
        if (CItem* left = g_objectManager.FindBySerial(serial)) left->DeleteSelf();
        return nullptr;
    }
    return IsObjectAlive(serial, copy);
}

}  // namespace

// ---------------------------------------------------------------- what is lost

bool CPlayer::LosesOnDeath(const CItem& item) const {
    if (item.IsSpellbook()) return false;
    const CItem* holder = item.GetContainer();
    if (holder && holder->IsSpellbook()) return false;
    if (IsMurderer()) return true;
    if (ObjScripts::HasScriptNamed(item.ScriptAttachments(), "starteq")) return false;
    return !item.IsValueless();
}

void CPlayer::CollectLootable(CContainer& backpack, u32 corpseSerial) {
    struct Kept {
        u32 serial;
        bool inSpellbook;  // stays where it lies
    };
    std::vector<Kept> kept;
    const u32 packSerial = backpack.GetSerial();
    const Location fallback = GetWorldLocation();

    // Decides one object still lying in that container: a lost one lying directly in the
    // backpack goes into the corpse, a lost one deeper stays with its container; a kept one
    // is taken out (but from a spellbook) to go into the backpack at the end.
    auto decide = [&](u32 serial, u32 containerSerial, bool top) {
        CItem* object = g_objectManager.FindBySerial(serial);
        CItem* container = g_objectManager.FindBySerial(containerSerial);
        if (!object || !container || object->GetContainer() != container) return;
        if (LosesOnDeath(*object)) {
            if (!top) return;
            object->RemoveFromWorld();
            if (IsObjectAlive(serial, object) && object->IsDetached())
                PutInCorpse(*object, corpseSerial, -1, fallback);
            return;
        }
        const bool inSpellbook = container->IsSpellbook();
        kept.push_back({serial, inSpellbook});
        if (!inSpellbook) object->RemoveFromWorld();
    };

    // Post-order over an explicit stack (bags nest as deep as players make them): a
    // container's contents are sorted before the container itself is decided.
    struct Frame {
        u32 container;
        bool top;  // its objects lie directly in the backpack
        std::vector<u32> children;
        size_t next = 0;
        u32 pending = 0;  // the container object decided once its own frame is done
    };
    std::vector<Frame> stack;
    stack.push_back({packSerial, true, ChildSerials(backpack)});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.pending != 0) {
            const u32 serial = frame.pending;
            frame.pending = 0;
            decide(serial, frame.container, frame.top);
            continue;
        }
        if (frame.next == frame.children.size()) {
            stack.pop_back();
            continue;
        }
        const u32 serial = frame.children[frame.next++];
        CItem* object = g_objectManager.FindBySerial(serial);
        if (!object || object->GetContainer() != g_objectManager.FindBySerial(frame.container))
            continue;
        if (!object->IsContainer()) {
            decide(serial, frame.container, frame.top);
            continue;
        }
        frame.pending = serial;
        std::vector<u32> inner = ChildSerials(*object);
        stack.push_back({serial, false, std::move(inner)});
    }

    // What is kept comes to lie directly in the backpack, in the order it was decided.
    for (const Kept& k : kept) {
        if (k.inSpellbook || MoveInto(k.serial, packSerial)) continue;
        // No backpack to take it: on the ground rather than nowhere.
        CItem* object = g_objectManager.FindBySerial(k.serial);
        if (object && object->IsDetached()) object->PlaceInWorld(fallback);
    }
}

// ---------------------------------------------------------------- death

void CPlayer::Kill(CItem* killer, int drop) {
    if (IsGhost()) return;
    const u32 self = serial_;
    const int cry = GetSex() == 0 ? kMaleDeathCry : kFemaleDeathCry;
    Die(killer, drop);
    if (IsObjectAlive(self, this)) PlaySoundAtObject(*this, cry, 0);
}

void CPlayer::Die(CItem* killer, int drop) {
    if (IsGhost()) return;
    const u32 self = serial_;
    const u32 killerSerial = killer ? killer->GetSerial() : 0;
    // This player while its serial still names it.
    auto me = [&]() -> CPlayer* { return IsObjectAlive(self, this) ? this : nullptr; };

    if (IsMounted()) {
        Dismount();
        if (!me()) return;
    }
    auto* corpse = new CCorpse;
    corpse->SetType(kCorpseGraphic);
    corpse->SetCorpseType(GetBody());
    corpse->SetDirection(direction_);
    corpse->SetHue(GetHue());
    NameCorpse(corpse);
    const u32 corpseSerial = corpse->GetSerial();
    const u32 falls = (corpse->GetDirection() & 0x80) ? 1 : 0;
    Location where = GetWorldLocation();
    GetPacketServices().SendMobileDeath(self, corpseSerial, falls, where, this);

    ReturnHeldItem();
    if (!me()) {
        if ((corpse = FindCorpse(corpseSerial))) corpse->DeleteSelf();
        return;
    }
    ClearCombatLists();
    ForgetMe();
    CancelTrade();

    // The alignment bits of the living go with the resources; a vetoed death gives both back.
    std::optional<TakenResources> taken;
    const u8 sides = GetAlignmentFlags(0);
    if ((corpse = FindCorpse(corpseSerial))) {
        taken.emplace(*this, PlayerCorpseShare(*corpse));
        SetAlignmentFlag(0, kLivingSides, false);
        where = GetWorldLocation();
        corpse->PlaceInWorldQuiet(where);
        AttachScript(corpse, "corpse", 1);
        corpse = FindCorpse(corpseSerial);
    }

    int answer = 1;
    if (me()) {
        TriggerArgs args;
        args.serial = killerSerial;
        args.other = corpse ? corpseSerial : 0;
        answer = GetTriggerServices().SendTrigger(this, kTriggerDeath, args);
        corpse = FindCorpse(corpseSerial);
    }
    if (answer == 0) {
        // The death did not happen: the player keeps its resources and sides.
        if (me() && taken) {
            taken->GiveBack(*this);
            SetAlignmentFlag(0, kLivingSides, false);
            SetAlignmentFlag(0, static_cast<u8>(sides & kLivingSides), true);
        }
        if (corpse) corpse->DeleteSelf();
        return;
    }
    taken.reset();
    if (corpse) {
        TriggerArgs corpseArgs;
        corpseArgs.serial = killerSerial;
        corpseArgs.other = self;
        GetTriggerServices().SendTrigger(corpse, kTriggerDeath, corpseArgs);
    }
    if (me()) where = GetWorldLocation();
    corpse = FindCorpse(corpseSerial);
    ScriptTriggerArgs sawArgs;
    sawArgs.params = {TriggerValue::Obj(killerSerial), TriggerValue::Obj(self),
                      TriggerValue::Obj(corpse ? corpseSerial : 0)};
    SendTriggerInRange(where, kSawDeathRange, kTriggerSawDeath, sawArgs);
    corpse = FindCorpse(corpseSerial);
    if (!me()) {
        // Nobody left to become a ghost: the corpse rots as it would have, or goes now.
        if (corpse && drop) {
            ScheduleCallback(kCorpseRotTicks, corpseSerial, kActionCorpseDecay, 0, nullptr);
        } else if (corpse) {
            corpse->DeleteSelf();
        }
        return;
    }

    if (corpse && drop) {
        lastCorpse_ = corpseSerial;
        deathLocation_ = corpse->GetWorldLocation();
        ScheduleCallback(kCorpseRotTicks, corpseSerial, kActionCorpseDecay, 0, nullptr);
        SortBelongingsAtDeath(corpseSerial);
        if (!me()) return;
        if ((corpse = FindCorpse(corpseSerial))) {
            // Shown again, with what it holds now.
            const Location at = corpse->GetWorldLocation();
            corpse->RemoveFromWorldQuiet();
            corpse->PlaceInWorld(at);
        }
    }

    SetMobFlag(kMobFrozen, true);
    AgeResurrectionCount();
    SendDeathStatus(*this, 0);
    WearNewRobe(*this, kDeathRobeGraphic, kRobeLayer);
    if (!me()) return;
    BecomeGhost();
    if (!me()) return;
    if (!drop && (corpse = FindCorpse(corpseSerial))) corpse->DeleteSelf();
}

void CPlayer::SortBelongingsAtDeath(u32 corpseSerial) {
    const u32 self = serial_;
    auto gone = [&] { return !IsObjectAlive(self, this); };
    for (int layer = 0; layer <= kLastSortedLayer; ++layer) {
        if (CCorpse* corpse = FindCorpse(corpseSerial)) corpse->worn[layer] = nullptr;
        CItem* item = layers_[layer];
        if (!item) continue;
        if (item->GetType() == kBackpackGraphic && item->IsContainer()) {
            // The backpack stays on the ghost; what lies in it is sorted.
            CollectLootable(*item->AsContainer(), corpseSerial);
            if (gone()) return;
            continue;
        }
        // Hair and beard stay on the ghost: a copy is what the corpse shows.
        const bool copied = layer == kHairLayer || layer == kBeardLayer;
        CItem* piece = copied ? CopyForCorpse(*item, GetWorldLocation()) : item;
        if (gone()) return;
        if (!piece) continue;
        const u32 pieceSerial = piece->GetSerial();
        if (LosesOnDeath(*piece)) {
            if (!piece->IsDetached()) piece->RemoveFromWorld();
            if (IsObjectAlive(pieceSerial, piece) && piece->IsDetached())
                PutInCorpse(*piece, corpseSerial, layer, GetWorldLocation());
        } else {
            CItem* pack = layers_[kBackpackLayer];
            const bool packed = pack && pack != piece && pack->IsContainer() &&
                                MoveInto(pieceSerial, pack->GetSerial());
            CItem* left = packed ? nullptr : g_objectManager.FindBySerial(pieceSerial);
            // A kept copy with nowhere to go is not needed; a kept piece taken off lies at
            // the player's feet.
            if (left && left->IsDetached()) {
                if (copied) {
                    left->DeleteSelf();
                } else if (!gone()) {
                    left->PlaceInWorld(GetWorldLocation());
                }
            }
        }
        if (gone()) return;
    }
}

void CPlayer::BecomeGhost() {
    const u32 self = serial_;
    const Location at = GetLocation();
    RemoveFromWorld();
    if (!IsObjectAlive(self, this)) return;
    RestoreBody();
    if (type_ == kLivingBodies[0] || type_ == kLivingBodies[1])
        SetBodyType(type_ == kLivingBodies[0] ? kGhostBodies[0] : kGhostBodies[1]);
    SetManifesting(false);
    PlaceInWorld(at);
    if (!IsObjectAlive(self, this)) return;
    // The hit points go to 0 here, where the player dies; a ghost's setter keeps them.
    StoreVital(curHits_, 0, 0);
    SetCurFatigue(0);
    SetCurMana(0);
}

void CPlayer::RestoreBody() {
    s32 value = 0;
    if (GetObjVarIntChecked("oldBodyType", value)) SetBodyType(value);
    if (GetObjVarIntChecked("oldHue", value)) SetHue(static_cast<u16>(value));
    if (!IsHumanBody()) SetBodyType(kLivingBodies[0]);
}

// ---------------------------------------------------------------- the death screen

void CPlayer::UnfreezeGhost() {
    if (IsGhost() && IsLoggedIn()) SetMobFlag(kMobFrozen, false);
}

void CPlayer::ResurrectFromMenu() {
    SendDeathStatus(*this, 1);
    const u32 self = serial_;
    if (!Resurrect(1) || !IsObjectAlive(self, this)) return;
    ApplyStatPenalty(kMenuPenaltyPercent);
    ApplySkillPenalty(kMenuPenaltyPercent);
}

// ---------------------------------------------------------------- resurrection

bool CPlayer::Resurrect(int ask) {
    if (!IsGhost()) return true;
    const u32 self = serial_;
    auto gone = [&] { return !IsObjectAlive(self, this); };
    if (ask) {
        AgeResurrectionCount();
        if (resurrectionCount_ >= kTooWeakCount) {
            GetPacketServices().SendSystemMessage(this, kTooWeakText);
            return false;
        }
        GetPacketServices().SendSystemMessage(this,
                                              kResurrectionTexts[std::max(resurrectionCount_, 0)]);
    }
    CountResurrection();
    const int murdersOver = GetMurderCount() - kMurdersBeforePenalty;
    if (murdersOver >= 0) {
        const int penalty = MurderPenalty(murdersOver);
        if (penalty > 0) {
            ApplyStatPenalty(penalty);
            ApplySkillPenalty(penalty);
        }
    }
    ChangeFame(kFameLostByResurrection);
    if (gone()) return false;
    if (HasStatusFlag(kMobileFighting)) {
        SetWarModeFull(0, 0, 0, 0);
        if (gone()) return false;
    }
    ClearResources();
    if (!IsGhost()) return true;  // a handler gave the body back already
    SetBodyType(type_ == kGhostBodies[0] ? kLivingBodies[0] : kLivingBodies[1]);
    const Location at = GetLocation();
    RemoveFromWorld();
    if (gone()) return false;
    RestoreLivingResources();
    SetCurFatigue(GetMaxFatigue());
    PlaceInWorld(at);
    if (gone()) return false;
    CItem* robe = layers_[kRobeLayer];
    if (robe && robe->GetType() == kDeathRobeGraphic) {
        robe->DeleteSelf();
        if (gone()) return false;
        WearNewRobe(*this, kResurrectionRobeGraphic, kRobeLayer);
        if (gone()) return false;
    }
    return true;
}

void CPlayer::RestoreLivingResources() {
    const CResourceTypeTable& types = GetResourceTypes();
    for (const char* name : {"meat", "humans"}) {
        const int type = types.FindNumber(name);
        if (type != 0)
            AddResource(type, kResourceHeld, kLivingResourceUnits, 0, kLivingResourceUnits);
    }
    SetAlignmentFlag(0, kSideMeat | kSideHumans, true);
    ChooseAlignmentSide(IsMurderer() ? 2 : 1);
}

void CPlayer::AgeResurrectionCount() {
    // The last time only ever advances up to the loop's time, so the unsigned difference is
    // right across the clock's wrap.
    const u32 now = platform::NowMs();
    while (resurrectionCount_ > 0 &&
           platform::ElapsedMs(lastResurrectionMs_, now) > static_cast<u32>(kForgiveMs)) {
        --resurrectionCount_;
        lastResurrectionMs_ += kForgiveMs;
    }
}

void CPlayer::CountResurrection() {
    ++resurrectionCount_;
    lastResurrectionMs_ = platform::NowMs();
}
