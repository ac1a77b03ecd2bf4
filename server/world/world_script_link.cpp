#include "server/world/world_script_link.h"

#include <cstdlib>
#include <vector>

#include "script/language/script_class.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "script/runtime/type_script_bits.h"
#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"

namespace {

CItem* ItemOf(CBaseObject* object) {
    return object ? object->AsItem() : nullptr;
}

class WorldObjectLink : public ScriptObjectServices {
public:
    CObjAttachments** AttachmentsOf(CBaseObject* object) override {
        CItem* item = ItemOf(object);
        return item ? &item->ScriptAttachments() : nullptr;
    }
    TimedCallback** CallbacksOf(CBaseObject* object) override {
        CItem* item = ItemOf(object);
        return item ? &item->TimedCallbacks() : nullptr;
    }
    u32 SerialOf(CBaseObject* object) override {
        CItem* item = ItemOf(object);
        return item ? item->GetSerial() : 0;
    }
    int TypeOf(CBaseObject* object) override { return object ? object->GetType() : 0; }
    bool HasTypeScript(int type) override {
        return type >= 0 && type < static_cast<int>(TypeScriptBits().size()) &&
               TypeScriptBits().test(static_cast<size_t>(type));
    }
    bool IsPlayer(CBaseObject* object) override {
        CItem* item = ItemOf(object);
        return item && item->IsPlayer();
    }
    void DeleteObject(CBaseObject* object) override {
        if (object) object->DeleteSelf();
    }
    bool IsDetached(CBaseObject* object) override { return !object || object->IsDetached(); }
    CBaseObject* FindBySerial(u32 serial) override { return g_objectManager.FindBySerial(serial); }
    void RenewRangeListeners(CBaseObject* object) override {
        CItem* item = ItemOf(object);
        if (!item) return;
        RemoveRangeListeners(item);
        AddRangeListeners(item);
    }
    bool SortKeyOf(u32 serial, int& key) override {
        const CItem* object = g_objectManager.FindBySerial(serial);
        if (!object) return false;
        // The misc word: the low 16 bits of the value of the graphic's tile record.
        key = static_cast<int>(GetTileData().Static(object->GetType()).value & 0xFFFF);
        return true;
    }
};

// The world's argument record turned into handler parameters by the trigger's table row.
ScriptTriggerArgs FromWorldArgs(int trigger, const TriggerArgs& in) {
    ScriptTriggerArgs out;
    if (in.text) out.select = in.text;
    out.key = in.value;
    if (trigger < 0 || trigger >= kTriggerCount) return out;
    const TriggerInfo& info = GetTriggerInfo(trigger);
    int objects = 0;
    int nextInt = 0;
    for (int k = 0; k < info.paramCount; ++k) {
        switch (info.params[k].type) {
            case 'o':
                // The second object parameter takes the second object when there is one.
                out.params.push_back(
                    TriggerValue::Obj(objects++ == 1 && in.other ? in.other : in.serial));
                break;
            case 's':
                out.params.push_back(TriggerValue::Str(in.text));
                break;
            case 'c':
                out.params.push_back(TriggerValue::Loc(in.a));
                break;
            case 'l':
                out.params.push_back(TriggerValue::List(nullptr));
                break;
            default:
                out.params.push_back(
                    TriggerValue::Int(nextInt < in.intCount ? in.ints[nextInt] : in.value));
                ++nextInt;
                break;
        }
    }
    return out;
}

class ScriptTriggerServices : public TriggerServices {
public:
    int SendTrigger(CItem* object, int trigger, const TriggerArgs& args) override {
        if (!object) return 1;
        if (trigger == kTriggerEnterRange || trigger == kTriggerLeaveRange) {
            // Enter: the mover was farther than the range and is now within it; leave: the
            // other way round.
            const Location here = object->GetWorldLocation();
            const bool wasIn = (here - args.a).ChebyshevLength() <= args.value;
            const bool isIn = (here - args.b).ChebyshevLength() <= args.value;
            if (trigger == kTriggerEnterRange ? (wasIn || !isIn) : (!wasIn || isIn)) return 1;
        }
        return sendTrigger(object, trigger, FromWorldArgs(trigger, args));
    }
    bool HasAttachedScript(const CItem* object) override {
        return object && ObjScripts::HasAny(object->ScriptAttachments());
    }
    void GetHandlerRanges(const CItem* object, int trigger, std::vector<int>& out) override {
        if (!object) return;
        std::vector<const TriggerHandler*> handlers;
        ObjScripts::CollectHandlersFor(object->ScriptAttachments(), trigger, handlers);
        for (const TriggerHandler* h : handlers)
            out.push_back(h->intArg);
    }
    bool TakeIntReturn(s32& value) override {
        TriggerReturnSlot& slot = GlobalTriggerReturn();
        if (!slot.set) return false;
        slot.set = false;
        value = slot.value;
        return true;
    }
    // The object is being destroyed: its threads stop, its variables and scripts are
    // released and its timed callbacks freed.
    void FreeAttachments(CItem* object) override {
        if (!object) return;
        StopObjectScriptThreads(object);
        ::FreeAttachments(object->ScriptAttachments());
        ClearCallbacks(object->TimedCallbacks());
    }
};

}  // namespace

ScriptObjectServices& WorldScriptObjectServices() {
    static WorldObjectLink link;
    return link;
}

TriggerServices& WorldScriptTriggerServices() {
    static ScriptTriggerServices triggers;
    return triggers;
}

int SendTriggerInRange(const Location& at, int range, int trigger, const ScriptTriggerArgs& args) {
    std::vector<int> cells(1024);
    g_sectorGrid.CellsInRange(at, range, cells.data(), static_cast<int>(cells.size()));
    for (int i = 0; cells[static_cast<size_t>(i)] != -1; ++i) {
        const SectorCell* cell = g_sectorGrid.GetCell(cells[static_cast<size_t>(i)]);
        if (!cell) continue;
        // Serials first: a handler may delete or move any of these objects.
        std::vector<u32> serials;
        for (CItem* o = cell->objects; o; o = o->GetNextSibling())
            if ((o->GetWorldLocation() - at).ChebyshevLength() < range)
                serials.push_back(o->GetSerial());
        for (u32 serial : serials) {
            CItem* o = g_objectManager.FindBySerial(serial);
            if (o && sendTrigger(o, trigger, args) == 0) return 0;
        }
    }
    return 1;
}
