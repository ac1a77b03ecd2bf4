#pragma once
// Object variables and attached scripts. Every dynamic world object has one pointer to its
// attachment set (CObjAttachments), null while it has neither variables nor scripts; the set
// is made on demand and released as soon as both of its lists are empty. The world object
// keeps the pointer; everything here works on that pointer slot, so that the object's own
// methods (SetObjVar, RemoveObjVar, AttachScriptInstance, ...) only forward to these.
//
// Object variables are value records (CScriptValue): a type, an owned copy of the value, an
// interned name. Setting a name replaces the entry of that name whatever its type. Released
// records (and their payloads) are kept until FreeReleasedValues, the first step of every
// world tick, so that code still holding one during the pulse reads a dead record, not freed
// memory.
#include <vector>

#include "core/cstr.h"
#include "core/custr.h"
#include "core/location.h"
#include "platform/types.h"
#include "script/runtime/script_list.h"

class CScriptClass;
class CScriptInstance;
struct TriggerHandler;

class CScriptValue {
public:
    u8 type = 7;  // 0 int, 1 string, 2 ustring, 3 location, 4 object, 5 list; 7 unset
    ScriptPayload value{};
    const char* name = nullptr;  // interned
    CScriptValue* next = nullptr;
    bool released = false;

    // Frees the owned payload by type (the record becomes unset).
    void ClearPayload();
    // Copies a value of the type in (strings, ustrings, locations and lists by copy).
    void SetPayload(u8 newType, ScriptListValue v);
};

// A new value record of type 7 (unset), no payload, no name.
CScriptValue* NewScriptValue();
// Frees the payload and queues the record for FreeReleasedValues.
void ReleaseScriptValue(CScriptValue* record);
// Returns the released records to the pool; nothing while scripts run.
void FreeReleasedValues();
int ReleasedValueCount();

class CObjAttachments {
public:
    CScriptInstance* scripts = nullptr;  // most recently attached first
    CScriptValue* vars = nullptr;        // most recently added first
};

// Type 7 in queries means any type.
constexpr u8 kAnyVarType = 7;

namespace ObjVars {
// Sets (or replaces) the variable; makes the set when missing. Returns the record.
CScriptValue* Set(CObjAttachments*& set, const char* name, u8 type, ScriptListValue v);
// Unlinks and releases the first entry of that name; an empty set is released.
void Remove(CObjAttachments*& set, const char* name);
CScriptValue* Find(const CObjAttachments* set, const char* name);
bool Has(const CObjAttachments* set, const char* name, u8 type);
// Typed reads: the first entry with both the name and the type.
bool GetInt(const CObjAttachments* set, const char* name, s32& out);
bool GetObject(const CObjAttachments* set, const char* name, u32& out);
bool GetLocation(const CObjAttachments* set, const char* name, Location& out);
const CStr* GetString(const CObjAttachments* set, const char* name);
const CUStr* GetUString(const CObjAttachments* set, const char* name);
const CScriptList* GetList(const CObjAttachments* set, const char* name);
// The first variable whose name agrees with the text in its first five characters and is
// longer than six characters.
CScriptValue* FindByPrefix(const CObjAttachments* set, const char* text);
// A string variable named "link..." whose text from its seventh character equals the name.
bool HasLinkTo(const CObjAttachments* set, const char* name);
bool HasAny(const CObjAttachments* set);
void Collect(const CObjAttachments* set, std::vector<CScriptValue*>& out);
}  // namespace ObjVars

namespace ObjScripts {
// Links the instance at the head of the script list (makes the set when missing).
void Attach(CObjAttachments*& set, CScriptInstance* instance);
// Unlinks the instance (it is not released here); an empty set is released.
void Unlink(CObjAttachments*& set, CScriptInstance* instance);
CScriptInstance* FindClass(const CObjAttachments* set, const CScriptClass* cls);
CScriptInstance* FindClassNamed(const CObjAttachments* set, const char* className);
// An attached instance's class name begins with the text.
bool HasScriptNamed(const CObjAttachments* set, const char* text);
bool HasSameScripts(const CObjAttachments* set, const CObjAttachments* other);
bool HasAny(const CObjAttachments* set);
void Collect(const CObjAttachments* set, std::vector<CScriptInstance*>& out);
// Every (instance, handler) for the trigger with the chance test (1000 always; p runs when
// a random 0..1023 is below p), in dispatch order. Returns how many were added.
int CollectTriggerHandlers(const CObjAttachments* set, int trigger,
                           std::vector<CScriptInstance*>& instances,
                           std::vector<const TriggerHandler*>& handlers);
// Every handler for the trigger, without the chance test.
void CollectHandlersFor(const CObjAttachments* set, int trigger,
                        std::vector<const TriggerHandler*>& out);
}  // namespace ObjScripts

// Releases every variable and every attached script instance and frees the set (object
// destruction). The instances' threads are killed first.
void FreeAttachments(CObjAttachments*& set);
