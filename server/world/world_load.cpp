#include "server/world/world_load.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/byte_order.h"
#include "core/log_sink.h"
#include "core/loop_state.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile.h"
#include "server/world/mobile_alignment.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"
#include "server/world/world_utilities.h"

namespace {

constexpr u32 kMobileSerialBit = 0x40000000u;
constexpr u16 kNoHomeGraphic = 3760;

std::vector<u32> g_loadedTriggerQueue;
bool g_deferLoadedTriggers = false;

void SendLoadedTrigger(u32 serial) {
    CItem* object = g_objectManager.FindBySerial(serial);
    if (!object) return;
    ObjectSwitchGuard notLoading(ObjectSwitch::kLoading, false);
    TriggerArgs args;
    GetTriggerServices().SendTrigger(object, kTriggerObjectLoaded, args);
}

// Reads the next NUL-terminated string of the record (one that runs into the record's end
// ends there) and splits it at its first '='.
struct RecordReader {
    const char* p;
    const char* end;
    std::string key;
    std::string value;

    bool Next() {
        if (p >= end) return false;
        const char* stop = static_cast<const char*>(std::memchr(p, '\0', end - p));
        if (!stop) stop = end;
        const char* eq = static_cast<const char*>(std::memchr(p, '=', stop - p));
        if (eq) {
            key.assign(p, eq);
            value.assign(eq + 1, stop);
        } else {
            key.assign(p, stop);
            value.clear();
        }
        p = stop < end ? stop + 1 : end;
        return true;
    }
};

// How deep `object` sits in its container chain (0 for an object in the world), when the top
// of the chain is a live character; -1 otherwise. The climb stops at the chain bound.
int DepthUnderLivePlayer(CItem* object) {
    int depth = 0;
    while (CItem* holder = object->GetContainer()) {
        if (++depth > kMaxContainerDepth) return -1;
        object = holder;
    }
    CPlayer* player = object->AsPlayer();
    return player && FindLivePlayerBySerial(player->GetSerial()) == player ? depth : -1;
}

bool IsBook(const CItem* o) {
    return o->GetType() == 4081 || o->GetType() == 4082;
}

bool KeepsOrderedContents(const CItem* container) {
    return container->GetType() == 11000 || container->IsSpellbook();
}

class RecordLoader {
public:
    RecordLoader(int cell, DynamicLoadReport& report) : cell_(cell), report_(report) {}

    // Finishes one object; false when the load must stop.
    bool Finish(ObjectLoadState& state, std::vector<u32>& loaded);
    void ResolveCorpses();

private:
    void Drop(ObjectLoadState& state, DropReason reason);
    bool Link(ObjectLoadState& state);
    // The container of that serial a record of this cell may name, and its depth in its
    // chain; null when there is none.
    CItem* FindContainer(u32 serial, int& depth) const;

    int cell_;
    // The depth in its container chain of every object this cell's record placed (0 for one
    // in the world), by serial: contents follow their container in the record, so a chain of
    // any length is followed one step per record.
    std::unordered_map<u32, int> placedDepth_;
    DynamicLoadReport& report_;
    CItem* lastInCell_ = nullptr;
    u32 lastInCellSerial_ = 0;
    std::unordered_map<CItem*, std::pair<CItem*, u32>> lastChild_;
    std::vector<std::pair<u32, std::vector<std::pair<int, u32>>>> corpses_;
};

void RecordLoader::Drop(ObjectLoadState& state, DropReason reason) {
    CItem* o = state.object;
    state.object = nullptr;
    ++report_.dropped[static_cast<int>(reason)];
    // A record refused for what it says goes silently; one that could not be put anywhere
    // hears its destroyed trigger first.
    const bool hears = reason == DropReason::kNoContainer || reason == DropReason::kNotWorn ||
                       reason == DropReason::kOffGrid || reason == DropReason::kDetached;
    const u32 serial = o->GetSerial();
    if (hears && serial != 0) {
        o->SetStatus(static_cast<u8>(o->GetStatus() & ~kStatusNoTriggers));
        if (!o->DeleteSelfChecked()) return;  // a handler deleted it
    }
    o->SetStatus(static_cast<u8>(o->GetStatus() | kStatusNoTriggers));
    delete o;
}

CItem* RecordLoader::FindContainer(u32 serial, int& depth) const {
    CItem* found = g_objectManager.FindBySerial(serial);
    if (!found || !found->IsContainer()) return nullptr;
    auto here = placedDepth_.find(serial);
    if (here != placedDepth_.end()) {
        depth = here->second;
        return found;
    }
    depth = DepthUnderLivePlayer(found);
    return depth >= 0 ? found : nullptr;
}

bool RecordLoader::Link(ObjectLoadState& state) {
    CItem* o = state.object;
    if (state.container != 0) {
        int depth = 0;
        CItem* container = FindContainer(state.container, depth);
        // A mobile's serial loses bit 30 when it loads; what it holds still names it with
        // the bit.
        if (!container && (state.container & kMobileSerialBit)) {
            container = FindContainer(state.container & ~kMobileSerialBit, depth);
            if (container && !container->IsMobile()) container = nullptr;
        }
        if (container == o) container = nullptr;
        if (!container) {
            Drop(state, DropReason::kNoContainer);
            return false;
        }
        if (depth + 1 > kMaxContainerDepth) {
            Drop(state, DropReason::kTooDeep);
            return false;
        }
        placedDepth_[o->GetSerial()] = depth + 1;
        if (state.layer != -1) {
            CMobile* wearer = container->AsMobile();
            if (!wearer || !o->EquipOn(wearer, state.layer)) {
                Drop(state, DropReason::kNotWorn);
                return false;
            }
            return true;
        }
        if (!o->AddToContainer(container, o->GetLocation())) return true;  // detached: below
        if (o->GetContainer() == container && !o->GetPrevSibling() &&
            !KeepsOrderedContents(container)) {
            auto it = lastChild_.find(container);
            if (it != lastChild_.end() && IsObjectAlive(it->second.second, it->second.first) &&
                it->second.first->GetContainer() == container) {
                ObjectFieldAccess::MoveAfter(o, it->second.first);
            }
        }
        lastChild_[container] = {o, o->GetSerial()};
        return true;
    }
    const Location at = o->GetLocation();
    if (!g_sectorGrid.Contains(at.x, at.y)) {
        Drop(state, DropReason::kOffGrid);
        return false;
    }
    o->PlaceInWorld(at);
    placedDepth_[o->GetSerial()] = 0;
    if (lastInCell_ && IsObjectAlive(lastInCellSerial_, lastInCell_) &&
        !lastInCell_->GetContainer() && !lastInCell_->IsDetached() &&
        g_sectorGrid.CellIndexOf(lastInCell_->GetLocation()) == g_sectorGrid.CellIndexOf(at)) {
        ObjectFieldAccess::MoveAfter(o, lastInCell_);
    }
    lastInCell_ = o;
    lastInCellSerial_ = o->GetSerial();
    return true;
}

bool RecordLoader::Finish(ObjectLoadState& state, std::vector<u32>& loaded) {
    static bool saidBookNumber = false;
    CItem* o = state.object;
    if (state.playerSerialTaken) {
        report_.error = "the character with serial " + std::to_string(state.serial) +
                        " has the serial of another object";
        Drop(state, DropReason::kDuplicate);
        return false;
    }
    ObjectFieldAccess::ReverseObjectLists(o);
    if (o->GetSerial() == 0) state.discard = true;
    if (state.hasHome && o->GetType() != kNoHomeGraphic) o->SetHome(state.home);
    if (state.bookStatus >= 0 && IsBook(o)) {
        SetObjectVariable(o, "bookStatus", kTypeInt, ScriptListValue::Int(state.bookStatus & 0xFF));
    }
    if (CWeapon* weapon = o->AsWeapon()) {
        if (state.weaponRequest >= 0) {
            const int n = static_cast<int>(GetTileInfo(o->GetType()).value & 0xFFFF);
            if (n < 0 || n >= WeaponTemplateTable::kSlots || !g_weaponTemplates.Get(n)) {
                weapon->SetTemplateNumber(kNoWeaponTemplate);
                state.discard = true;
                state.reason = DropReason::kBadWeaponTemplate;
            } else {
                weapon->SetTemplateNumber(n);
            }
        }
        const int n = weapon->GetWeaponTemplate();
        if (n >= WeaponTemplateTable::kSlots || !g_weaponTemplates.Get(n)) {
            state.discard = true;
            state.reason = DropReason::kBadWeaponTemplate;
        }
    }
    if (state.bookCount >= 0) {
        if (IsBook(o)) {
            SetObjectVariable(o, "bookPages", kTypeInt,
                              ScriptListValue::Int(state.bookCount & 0xFFFF));
        } else if (o->GetType() == 4079 || o->GetType() == 4080) {
            LogNotBuiltOnce(saidBookNumber, "load",
                            "book numbers of saved books are not built: ignored");
        }
    }
    s32 overloaded = 0;
    if (o->GetObjVarIntChecked("overloadedWeight", overloaded))
        o->SetStatus(static_cast<u8>(o->GetStatus() | kStatusWeightOverride));
    // The alignment bytes are not saved: they follow from the resources read back.
    if (CMobile* m = o->AsMobile()) DeriveAlignmentFlags(*m);
    if (state.discard) {
        Drop(state, state.reason);
        return true;
    }
    // A character stands in the world; it is never loaded into a container or onto a wearer.
    if (o->IsPlayer()) {
        state.container = 0;
        state.layer = -1;
    }
    if (!Link(state)) return true;
    ObjectFieldAccess::RestoreAfterLinking(state);
    if (!state.corpseItems.empty()) corpses_.emplace_back(o->GetSerial(), state.corpseItems);
    const u32 serial = o->GetSerial();
    if (o->IsSectorResources()) {
        SectorCell* cell = g_sectorGrid.CellAt(o->GetLocation().x, o->GetLocation().y);
        if (cell && !o->GetContainer() && !cell->resources) {
            cell->resources = static_cast<CSectorResources*>(o);
        } else {
            Drop(state, DropReason::kDuplicate);
            return true;
        }
    }
    if (!AttachTypeScript(o)) return true;
    o = IsObjectAlive(serial, o);
    if (!o) return true;
    o->SetStatus(static_cast<u8>(o->GetStatus() & ~kStatusNoTriggers));
    if (ObjScripts::HasAny(o->ScriptAttachments())) {
        if (g_deferLoadedTriggers) {
            g_loadedTriggerQueue.push_back(serial);
        } else {
            loaded.push_back(serial);
        }
    }
    if (o->IsDetached() && !o->IsPlayer()) {
        state.object = o;
        Drop(state, DropReason::kDetached);
        return true;
    }
    if (state.master != 0) DeferFollower(o, state.master);
    ++report_.loaded;
    return true;
}

void RecordLoader::ResolveCorpses() {
    for (const auto& [serial, items] : corpses_) {
        CCorpse* corpse = dynamic_cast<CCorpse*>(g_objectManager.FindBySerial(serial));
        if (!corpse) continue;
        for (const auto& [layer, itemSerial] : items) {
            CItem* item = g_objectManager.FindBySerial(itemSerial);
            if (item && item->GetContainer() == corpse) corpse->worn[layer] = item;
        }
    }
}

}  // namespace

int DynamicLoadReport::DroppedTotal() const {
    int total = 0;
    for (int n : dropped)
        total += n;
    return total;
}

const char* DropReasonName(DropReason reason) {
    switch (reason) {
        case DropReason::kNoId:
            return "no id";
        case DropReason::kDuplicate:
            return "duplicate serial";
        case DropReason::kNoContainer:
            return "no container";
        case DropReason::kNotWorn:
            return "cannot be worn";
        case DropReason::kOffGrid:
            return "outside the world";
        case DropReason::kBadWeaponTemplate:
            return "bad weapon template";
        case DropReason::kDetached:
            return "left detached";
        case DropReason::kTooDeep:
            return "nested too deep";
        default:
            return "?";
    }
}

int ParseObjectRecords(int cell, const u8* bytes, size_t length, DynamicLoadReport& report) {
    if (!bytes || length < 1) return 0;
    RecordReader reader{reinterpret_cast<const char*>(bytes),
                        reinterpret_cast<const char*>(bytes) + length,
                        {},
                        {}};
    RecordLoader loader(cell, report);
    std::vector<u32> loaded;
    bool more = reader.Next();
    int result = 0;
    while (more && reader.key == "@") {
        // Asked to end: the rest of the world is not read (a deep or huge save would keep
        // the process for long).
        if (IsQuitting()) {
            report.cutShort = true;
            break;
        }
        ObjectLoadState state;
        state.object = NewObjectOfLetter(reader.value.empty() ? 'd' : reader.value[0]);
        if (state.object->IsWeapon()) state.weaponRequest = 0;
        state.object->SetStatus(static_cast<u8>(state.object->GetStatus() | kStatusNoTriggers));
        more = reader.Next();
        while (more && !reader.key.empty()) {
            ApplyObjectField(state, reader.key, reader.value);
            more = reader.Next();
        }
        if (!loader.Finish(state, loaded)) {
            result = -1;
            break;
        }
        if (more) more = reader.Next();
    }
    loader.ResolveCorpses();
    if (!g_deferLoadedTriggers) {
        for (u32 serial : loaded)
            SendLoadedTrigger(serial);
    }
    return result;
}

int LoadDynamicObjects(const std::vector<u8>& index, const std::vector<u8>& data,
                       const std::string& fileName, DynamicLoadReport* reportOut) {
    DynamicLoadReport local;
    DynamicLoadReport& report = reportOut ? *reportOut : local;
    int result = 0;
    {
        ObjectSwitchGuard loading(ObjectSwitch::kLoading, true);
        ClearDeferredFollowers();
        const int cells = g_sectorGrid.GetCellCount();
        for (int n = 0; n < cells && result == 0 && !report.cutShort; ++n) {
            const u8* record = nullptr;
            size_t length = 0;
            if (SectorRecordAt(index, data, n, record, length))
                result = ParseObjectRecords(n, record, length, report);
        }
        ResolveDeferredFollowers();
    }
    if (result != 0) {
        report.error = fileName + ": " + report.error;
        return -1;
    }
    // Every character loaded starts logged out, in the order it was loaded.
    std::vector<CPlayer*> players;
    GetPlayerRegistry().CollectOnline(players);
    for (auto it = players.rbegin(); it != players.rend(); ++it)
        AddLoggedOutPlayer(*it);
    for (int r = 0; r < static_cast<int>(DropReason::kCount); ++r) {
        if (report.dropped[r] == 0) continue;
        const std::string line = fileName + ": dropped " + std::to_string(report.dropped[r]) +
                                 " object(s): " + DropReasonName(static_cast<DropReason>(r));
        GetLogSink().Log(0, 0, 0, "", "load", "error", line.c_str());
    }
    return 0;
}

void BeginDeferLoadedTriggers() {
    g_deferLoadedTriggers = true;
}

void EndDeferLoadedTriggers() {
    g_deferLoadedTriggers = false;
    std::vector<u32> queue;
    queue.swap(g_loadedTriggerQueue);
    for (u32 serial : queue)
        SendLoadedTrigger(serial);
}

int QueuedLoadedTriggerCount() {
    return static_cast<int>(g_loadedTriggerQueue.size());
}
