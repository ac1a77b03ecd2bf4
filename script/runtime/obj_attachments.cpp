#include "script/runtime/obj_attachments.h"

#include <cstring>

#include "platform/random.h"
#include "script/language/script_class.h"
#include "script/language/script_value.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"

namespace {

std::vector<CScriptValue*>& ReleasedValues() {
    static auto* list = new std::vector<CScriptValue*>();
    return *list;
}

void ReleaseSetIfEmpty(CObjAttachments*& set) {
    if (set && !set->scripts && !set->vars) {
        delete set;
        set = nullptr;
    }
}

}  // namespace

void CScriptValue::ClearPayload() {
    FreeScriptPayload(type, value);
    value.l = nullptr;
    type = kTypeUnknown;
}

void CScriptValue::SetPayload(u8 newType, ScriptListValue v) {
    ClearPayload();
    type = newType;
    CopyIntoPayload(value, newType, v);
}

CScriptValue* NewScriptValue() {
    return new CScriptValue();
}

void ReleaseScriptValue(CScriptValue* record) {
    if (!record || record->released) return;
    record->ClearPayload();
    record->released = true;
    record->next = nullptr;
    ReleasedValues().push_back(record);
}

void FreeReleasedValues() {
    if (ScriptActivity()) return;
    for (CScriptValue* r : ReleasedValues())
        delete r;
    ReleasedValues().clear();
}

int ReleasedValueCount() {
    return static_cast<int>(ReleasedValues().size());
}

namespace ObjVars {

CScriptValue* Find(const CObjAttachments* set, const char* name) {
    if (!set || !name) return nullptr;
    for (CScriptValue* v = set->vars; v; v = v->next)
        if (std::strcmp(v->name, name) == 0) return v;
    return nullptr;
}

CScriptValue* Set(CObjAttachments*& set, const char* name, u8 type, ScriptListValue v) {
    if (!name) return nullptr;
    if (!set) set = new CObjAttachments();
    CScriptValue* record = Find(set, name);
    if (!record) {
        record = NewScriptValue();
        record->name = GetScriptManager().InternString(name);
        record->next = set->vars;
        set->vars = record;
    }
    // The value may be the record's own payload (setting a variable from itself).
    if (record->type == type && type >= kTypeString && type <= kTypeList && v.p == record->value.s)
        return record;
    if (type == kTypeList && v.p) {
        // Copy first: the source may be a list held inside the old payload.
        auto* copy = new CScriptList();
        copy->AppendCopyOf(*static_cast<const CScriptList*>(v.p));
        record->ClearPayload();
        record->type = kTypeList;
        record->value.l = copy;
        return record;
    }
    if (type == kTypeString && v.p) {
        const CStr copy(*static_cast<const CStr*>(v.p));
        record->SetPayload(type, ScriptListValue::Ptr(&copy));
        return record;
    }
    record->SetPayload(type, v);
    return record;
}

void Remove(CObjAttachments*& set, const char* name) {
    if (!set || !name) return;
    for (CScriptValue** link = &set->vars; *link; link = &(*link)->next) {
        if (std::strcmp((*link)->name, name) != 0) continue;
        CScriptValue* record = *link;
        *link = record->next;
        ReleaseScriptValue(record);
        ReleaseSetIfEmpty(set);
        return;
    }
}

bool Has(const CObjAttachments* set, const char* name, u8 type) {
    if (!set || !name) return false;
    for (CScriptValue* v = set->vars; v; v = v->next)
        if (std::strcmp(v->name, name) == 0 && (type == kAnyVarType || v->type == type))
            return true;
    return false;
}

namespace {
const CScriptValue* FindTyped(const CObjAttachments* set, const char* name, u8 type) {
    if (!set || !name) return nullptr;
    for (CScriptValue* v = set->vars; v; v = v->next)
        if (v->type == type && std::strcmp(v->name, name) == 0) return v;
    return nullptr;
}
}  // namespace

bool GetInt(const CObjAttachments* set, const char* name, s32& out) {
    const CScriptValue* v = FindTyped(set, name, kTypeInt);
    if (v) out = v->value.i;
    return v != nullptr;
}
bool GetObject(const CObjAttachments* set, const char* name, u32& out) {
    const CScriptValue* v = FindTyped(set, name, kTypeObject);
    if (v) out = static_cast<u32>(v->value.i);
    return v != nullptr;
}
bool GetLocation(const CObjAttachments* set, const char* name, Location& out) {
    const CScriptValue* v = FindTyped(set, name, kTypeLocation);
    if (v) out = *v->value.c;
    return v != nullptr;
}
const CStr* GetString(const CObjAttachments* set, const char* name) {
    const CScriptValue* v = FindTyped(set, name, kTypeString);
    return v ? v->value.s : nullptr;
}
const CUStr* GetUString(const CObjAttachments* set, const char* name) {
    const CScriptValue* v = FindTyped(set, name, kTypeUString);
    return v ? v->value.q : nullptr;
}
const CScriptList* GetList(const CObjAttachments* set, const char* name) {
    const CScriptValue* v = FindTyped(set, name, kTypeList);
    return v ? v->value.l : nullptr;
}

CScriptValue* FindByPrefix(const CObjAttachments* set, const char* text) {
    if (!set || !text) return nullptr;
    for (CScriptValue* v = set->vars; v; v = v->next)
        if (std::strncmp(v->name, text, 5) == 0 && std::strlen(v->name) > 6) return v;
    return nullptr;
}

bool HasLinkTo(const CObjAttachments* set, const char* name) {
    if (!set || !name) return false;
    for (CScriptValue* v = set->vars; v; v = v->next) {
        if (v->type != kTypeString || std::strncmp(v->name, "link", 4) != 0) continue;
        const CStr& text = *v->value.s;
        if (text.GetLength() >= 6 && std::strcmp(text.CText() + 6, name) == 0) return true;
    }
    return false;
}

bool HasAny(const CObjAttachments* set) {
    return set && set->vars;
}

void Collect(const CObjAttachments* set, std::vector<CScriptValue*>& out) {
    if (!set) return;
    for (CScriptValue* v = set->vars; v; v = v->next)
        out.push_back(v);
}

}  // namespace ObjVars

namespace ObjScripts {

void Attach(CObjAttachments*& set, CScriptInstance* instance) {
    if (!set) set = new CObjAttachments();
    instance->nextAttached = set->scripts;
    set->scripts = instance;
}

void Unlink(CObjAttachments*& set, CScriptInstance* instance) {
    if (!set) return;
    for (CScriptInstance** link = &set->scripts; *link; link = &(*link)->nextAttached) {
        if (*link != instance) continue;
        *link = instance->nextAttached;
        instance->nextAttached = nullptr;
        break;
    }
    ReleaseSetIfEmpty(set);
}

CScriptInstance* FindClass(const CObjAttachments* set, const CScriptClass* cls) {
    if (!set) return nullptr;
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached)
        if (i->GetClass() == cls) return i;
    return nullptr;
}

CScriptInstance* FindClassNamed(const CObjAttachments* set, const char* className) {
    if (!set || !className) return nullptr;
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached)
        if (i->GetClass()->name == className) return i;
    return nullptr;
}

bool HasScriptNamed(const CObjAttachments* set, const char* text) {
    if (!set || !text) return false;
    const size_t n = std::strlen(text);
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached)
        if (!i->IsTornDown() && i->GetClass()->name.compare(0, n, text) == 0 &&
            i->GetClass()->name.size() >= n)
            return true;
    return false;
}

bool HasSameScripts(const CObjAttachments* set, const CObjAttachments* other) {
    int mine = 0, theirs = 0;
    for (CScriptInstance* i = set ? set->scripts : nullptr; i; i = i->nextAttached)
        ++mine;
    for (CScriptInstance* i = other ? other->scripts : nullptr; i; i = i->nextAttached) {
        ++theirs;
        if (!FindClass(set, i->GetClass())) return false;
    }
    return mine == theirs;
}

bool HasAny(const CObjAttachments* set) {
    return set && set->scripts;
}

void Collect(const CObjAttachments* set, std::vector<CScriptInstance*>& out) {
    if (!set) return;
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached)
        out.push_back(i);
}

int CollectTriggerHandlers(const CObjAttachments* set, int trigger,
                           std::vector<CScriptInstance*>& instances,
                           std::vector<const TriggerHandler*>& handlers) {
    if (!set || trigger < 0 || trigger >= kTriggerCount) return 0;
    int n = 0;
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached) {
        for (const TriggerHandler* h = i->GetClass()->handlers[static_cast<size_t>(trigger)]; h;
             h = h->next) {
            if (h->priority != 1000 && (platform::Rand() & 1023) >= h->priority) continue;
            instances.push_back(i);
            handlers.push_back(h);
            ++n;
        }
    }
    return n;
}

void CollectHandlersFor(const CObjAttachments* set, int trigger,
                        std::vector<const TriggerHandler*>& out) {
    if (!set || trigger < 0 || trigger >= kTriggerCount) return;
    for (CScriptInstance* i = set->scripts; i; i = i->nextAttached)
        for (const TriggerHandler* h = i->GetClass()->handlers[static_cast<size_t>(trigger)]; h;
             h = h->next)
            out.push_back(h);
}

}  // namespace ObjScripts

void FreeAttachments(CObjAttachments*& set) {
    if (!set) return;
    CObjAttachments* s = set;
    set = nullptr;
    for (CScriptValue* v = s->vars; v;) {
        CScriptValue* next = v->next;
        ReleaseScriptValue(v);
        v = next;
    }
    s->vars = nullptr;
    // Each instance leaves the set as it is released; detach them from this set first so
    // that none of them frees it under us.
    std::vector<CScriptInstance*> instances;
    for (CScriptInstance* i = s->scripts; i; i = i->nextAttached)
        instances.push_back(i);
    s->scripts = nullptr;
    delete s;
    for (CScriptInstance* i : instances) {
        i->nextAttached = nullptr;
        i->ForgetSet();
        GetScriptManager().ReleaseInstance(i);
    }
}
