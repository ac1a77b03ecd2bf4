#include "script/runtime/triggers.h"

#include <cctype>
#include <cstdio>
#include <deque>

#include "core/cstr.h"
#include "core/custr.h"
#include "core/log_sink.h"
#include "script/language/script_class.h"
#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_world_link.h"

TriggerValue TriggerValue::Int(s32 v) {
    TriggerValue t;
    t.type = kTypeInt;
    t.i = v;
    return t;
}
TriggerValue TriggerValue::Obj(u32 serial) {
    TriggerValue t;
    t.type = kTypeObject;
    t.i = static_cast<s32>(serial);
    return t;
}
TriggerValue TriggerValue::Str(const char* text) {
    TriggerValue t;
    t.type = kTypeString;
    t.text = text ? text : "";
    return t;
}
TriggerValue TriggerValue::Loc(const Location& l) {
    TriggerValue t;
    t.type = kTypeLocation;
    t.loc = l;
    return t;
}
TriggerValue TriggerValue::List(const CScriptList* l) {
    TriggerValue t;
    t.type = kTypeList;
    t.list = l;
    return t;
}

TriggerReturnSlot& GlobalTriggerReturn() {
    static TriggerReturnSlot slot;
    return slot;
}

WildcardCaptures& SpeechCaptures() {
    static WildcardCaptures captures(10, 512);
    return captures;
}

namespace {

enum class Select { All, Text, FirstText, Pattern, Key, FirstKey, OneOfInstance, Instance };

Select SelectionOf(int trigger) {
    switch (trigger) {
        case kTriggerSpeech:
            return Select::Pattern;
        case kTriggerTime:
            return Select::OneOfInstance;
        case kTriggerCreation:
            return Select::Instance;
        case kTriggerMessage:
            return Select::Text;
        case kTriggerConvoFunc:
            return Select::FirstText;
        case kTriggerEnterRange:
        case kTriggerLeaveRange:
        case kTriggerPathFound:
        case kTriggerPathNotFound:
        case kTriggerCallback:
            return Select::Key;
        case kTriggerTypeSelected:
        case kTriggerHueSelected:
        case kTriggerGenericGump:
        case kTriggerTextEntry:
        case kTriggerObjAccess:
            return Select::FirstKey;
        default:
            return Select::All;
    }
}

void LogTooDeep() {
    CStr current;
    CStr previous;
    CScriptThread* t = CurrentScriptThread();
    if (t && t->GetInstance()) current = t->GetInstance()->GetClass()->name.c_str();
    CScriptThread* p = PreviousScriptThread();
    if (p && p->GetInstance()) previous = p->GetInstance()->GetClass()->name.c_str();
    char message[256];
    std::snprintf(message, sizeof message, "Too many recursive thread calls [%s, %s]",
                  current.CText(), previous.CText());
    GetLogSink().Log(0, 0, 0, "", "script", "error", message);
}

// The handler parameters as slots; strings and lists are copies owned by the packing.
struct PackedArgs {
    std::vector<ScriptSlot> slots;
    std::vector<CStr*> strings;
    std::vector<CUStr*> ustrings;
    std::vector<CScriptList*> lists;
    ~PackedArgs() {
        for (CStr* s : strings)
            delete s;
        for (CUStr* q : ustrings)
            delete q;
        for (CScriptList* l : lists)
            delete l;
    }
};

// Packs the values for the handler's parameters. A value whose type does not fit a string,
// ustring or list parameter gives that parameter an empty value of its type, so a handler
// never sees a number where it expects a string or a list.
void Pack(const std::vector<TriggerValue>& params, const ScriptVarTable* vars, PackedArgs& out) {
    out.slots.assign(params.size(), ScriptSlot{});
    for (size_t k = 0; k < params.size(); ++k) {
        const TriggerValue& v = params[k];
        ScriptSlot& slot = out.slots[k];
        const u8 want = vars && k < vars->entries.size() ? vars->entries[k].type : v.type;
        const auto isPointer = [](u8 t) {
            return t == kTypeString || t == kTypeUString || t == kTypeList;
        };
        if (want != v.type && (isPointer(want) || isPointer(v.type))) {
            if (want == kTypeString) {
                slot.s = new CStr();
                out.strings.push_back(slot.s);
            } else if (want == kTypeUString) {
                slot.q = new CUStr();
                out.ustrings.push_back(slot.q);
            } else if (want == kTypeList) {
                slot.l = new CScriptList();
                out.lists.push_back(slot.l);
            }
            continue;
        }
        switch (v.type) {
            case kTypeString:
                slot.s = new CStr(v.text.c_str());
                out.strings.push_back(slot.s);
                break;
            case kTypeLocation:
                SetSlotLocation(slot, v.loc);
                break;
            case kTypeList:
                slot.l = new CScriptList();
                if (v.list) slot.l->AppendCopyOf(*v.list);
                out.lists.push_back(slot.l);
                break;
            default:
                slot.i = v.i;
                break;
        }
    }
}

bool Selected(Select sel, const TriggerHandler* h, const ScriptTriggerArgs& args) {
    switch (sel) {
        case Select::Pattern:
            return SpeechCaptures().Match(args.select.c_str(), h->textArg.c_str());
        case Select::Text:
        case Select::FirstText:
            return h->textArg == args.select;
        case Select::Key:
        case Select::FirstKey:
            return h->intArg == args.key;
        default:
            return true;
    }
}

int RunPairs(const std::vector<CScriptInstance*>& instances,
             const std::vector<const TriggerHandler*>& handlers, int trigger,
             const ScriptTriggerArgs& args, int* ran) {
    const Select sel = SelectionOf(trigger);
    // Choose before running anything (speech patterns are all tested first).
    std::vector<size_t> chosen;
    const size_t n = std::min(instances.size(), static_cast<size_t>(kMaxDispatchHandlers));
    for (size_t k = 0; k < n; ++k) {
        if (sel == Select::Instance || sel == Select::OneOfInstance) {
            if (args.instance && instances[k] != args.instance) continue;
        }
        if (!Selected(sel, handlers[k], args)) continue;
        chosen.push_back(k);
        if (sel == Select::FirstText || sel == Select::FirstKey || sel == Select::OneOfInstance)
            break;
    }
    if (chosen.empty()) return 1;
    PackedArgs packed;
    Pack(args.params, handlers[chosen.front()]->vars, packed);
    int answer = 1;
    for (size_t k : chosen) {
        CScriptInstance* instance = instances[k];
        if (instance->IsTornDown()) continue;
        if (ran) ++*ran;
        // The handler reads the captures of its own pattern.
        if (sel == Select::Pattern)
            SpeechCaptures().Match(args.select.c_str(), handlers[k]->textArg.c_str());
        answer = RunScriptFunction(instance, handlers[k], packed.slots.data(),
                                   static_cast<int>(packed.slots.size()));
        if (answer == 0) break;
    }
    return answer;
}

struct CreationQueue {
    bool active = false;
    std::deque<std::pair<u32, CScriptInstance*>> entries;
};
CreationQueue g_creationQueue;

}  // namespace

int DispatchTrigger(CObjAttachments* set, int trigger, const ScriptTriggerArgs& args, int* ran) {
    if (!set || trigger < 0 || trigger >= kTriggerCount) return 1;
    if (RunningThreadCount() >= kMaxNestedScriptThreads) {
        LogTooDeep();
        return 1;
    }
    ScriptActivityScope active;
    std::vector<CScriptInstance*> instances;
    std::vector<const TriggerHandler*> handlers;
    if (args.instance) {
        // Time and creation triggers: the handlers of that one instance.
        CScriptInstance* only = args.instance;
        if (only->IsTornDown()) return 1;
        for (const TriggerHandler* h = only->GetClass()->handlers[static_cast<size_t>(trigger)]; h;
             h = h->next) {
            instances.push_back(only);
            handlers.push_back(h);
        }
    } else {
        ObjScripts::CollectTriggerHandlers(set, trigger, instances, handlers);
    }
    return RunPairs(instances, handlers, trigger, args, ran);
}

int sendTrigger(CBaseObject* object, int trigger, const ScriptTriggerArgs& args, int* ran) {
    if (!object) return 1;
    CObjAttachments** slot = GetScriptObjectServices().AttachmentsOf(object);
    if (!slot || !*slot) return 1;
    return DispatchTrigger(*slot, trigger, args, ran);
}

int SendScriptMessage(CBaseObject* target, u32 sender, const char* message,
                      const std::vector<TriggerValue>& values, const char* format, int* ran) {
    CScriptList list;
    size_t next = 0;
    for (const char* f = format ? format : ""; *f && next < values.size(); ++f) {
        const TriggerValue& v = values[next];
        switch (*f) {
            case 'c':
                list.Append(kTypeLocation, ScriptListValue::Ptr(&v.loc));
                break;
            case 'i':
                list.Append(kTypeInt, ScriptListValue::Int(v.i));
                break;
            case 'o':
                list.Append(kTypeObject, ScriptListValue::Int(v.i));
                break;
            case 's': {
                const CStr text(v.text.c_str());
                list.Append(kTypeString, ScriptListValue::Ptr(&text));
                break;
            }
            case 'x':
                if (v.list) list.AppendCopyOf(*v.list);
                break;
            default:
                continue;  // takes no value
        }
        ++next;
    }
    ScriptTriggerArgs args;
    args.select = message ? message : "";
    args.params = {TriggerValue::Obj(sender), TriggerValue::List(&list)};
    return sendTrigger(target, kTriggerMessage, args, ran);
}

void BeginDeferCreationTriggers() {
    g_creationQueue.active = true;
    g_creationQueue.entries.clear();
}

void QueueCreationTrigger(u32 serial, CScriptInstance* instance) {
    g_creationQueue.entries.emplace_back(serial, instance);
}

void FireDeferredCreationTriggers() {
    g_creationQueue.active = false;
    ScriptActivityScope active;  // the queued instances stay allocated while we drain
    while (!g_creationQueue.entries.empty()) {
        const auto [serial, instance] = g_creationQueue.entries.front();
        g_creationQueue.entries.pop_front();
        CBaseObject* object = GetScriptObjectServices().FindBySerial(serial);
        // The instance may have been freed since (a pulse ran during the load).
        if (!object || !GetScriptManager().IsLive(instance) || instance->IsTornDown() ||
            instance->GetObject() != object)
            continue;
        ScriptTriggerArgs args;
        args.instance = instance;
        sendTrigger(object, kTriggerCreation, args);
    }
}

const char* AttachScript(CBaseObject* object, const char* className, int fireCreation) {
    CScriptManager& manager = GetScriptManager();
    const CScriptClass* cls = className ? manager.FindClass(className) : nullptr;
    if (!cls) return "Failed to get script class";
    ScriptObjectServices& objects = GetScriptObjectServices();
    CObjAttachments** slot = object ? objects.AttachmentsOf(object) : nullptr;
    if (slot && ObjScripts::FindClass(*slot, cls)) return "Script already attached of class";
    CScriptInstance* instance = slot ? manager.NewScriptInstance(cls) : nullptr;
    if (!instance || !instance->Bind(object)) {
        if (instance) manager.ReleaseInstance(instance);
        return "Failed to get script instance";
    }
    if (fireCreation) {
        if (g_creationQueue.active) {
            QueueCreationTrigger(objects.SerialOf(object), instance);
        } else {
            ScriptTriggerArgs args;
            args.instance = instance;
            sendTrigger(object, kTriggerCreation, args);
        }
    }
    return nullptr;
}

int AttachTypeScript(CBaseObject* object) {
    ScriptObjectServices& objects = GetScriptObjectServices();
    if (!object) return 0;
    const int type = objects.TypeOf(object);
    if (!objects.HasTypeScript(type)) return 1;
    const u32 serial = objects.SerialOf(object);
    char name[16];
    std::snprintf(name, sizeof name, "%d", type);
    const CScriptClass* cls = GetScriptManager().FindClass(name);
    CObjAttachments** slot = objects.AttachmentsOf(object);
    if (cls && slot && !ObjScripts::FindClass(*slot, cls)) AttachScript(object, name, 1);
    return objects.FindBySerial(serial) == object ? 1 : 0;
}

void DetachScript(CBaseObject* object, const char* className) {
    CObjAttachments** slot = object ? GetScriptObjectServices().AttachmentsOf(object) : nullptr;
    if (!slot || !className) return;
    KillThreadsOfObjectClass(object, className);
    if (CScriptInstance* i = ObjScripts::FindClassNamed(*slot, className))
        GetScriptManager().ReleaseInstance(i);
}

void StopObjectScriptThreads(CBaseObject* object) {
    KillThreadsOfObject(object);
}

void SetObjectVariable(CBaseObject* object, const char* name, u8 type, ScriptListValue value) {
    CObjAttachments** slot = object ? GetScriptObjectServices().AttachmentsOf(object) : nullptr;
    if (slot) ObjVars::Set(*slot, name, type, value);
}

void RemoveObjectVariable(CBaseObject* object, const char* name) {
    CObjAttachments** slot = object ? GetScriptObjectServices().AttachmentsOf(object) : nullptr;
    if (slot) ObjVars::Remove(*slot, name);
}
