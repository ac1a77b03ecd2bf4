#pragma once
// Sending triggers to the scripts attached to an object: the handlers are collected (with
// their chance test), selected by the trigger's argument (speech pattern, message name,
// key, range, the one instance of a time or creation trigger), given their parameters and
// run one after another until one answers 0.
//
// Lifetimes: the (instance, handler) pairs are collected before anything runs; a handler may
// delete the object, detach scripts or kill threads. Instances stay allocated until the next
// pulse's release pass (which waits while any dispatch is in progress), so the pairs stay
// valid and a torn-down instance is simply skipped. Nothing of the object is touched after
// the first handler has run.
#include <string>
#include <vector>

#include "core/location.h"
#include "core/wildcard_captures.h"
#include "platform/types.h"

class CBaseObject;
class CObjAttachments;
class CScriptInstance;
class CScriptList;

// Script threads nest at most this deep; a dispatch beyond is refused and answers 1.
constexpr int kMaxNestedScriptThreads = 64;
// Only this many collected handlers run in one dispatch.
constexpr int kMaxDispatchHandlers = 64;

// One value for a handler parameter.
struct TriggerValue {
    u8 type = 0;  // 0 int, 1 string, 3 location, 4 object, 5 list
    s32 i = 0;
    std::string text;
    Location loc;
    const CScriptList* list = nullptr;  // copied for the handler

    static TriggerValue Int(s32 v);
    static TriggerValue Obj(u32 serial);
    static TriggerValue Str(const char* text);
    static TriggerValue Loc(const Location& l);
    static TriggerValue List(const CScriptList* l);
};

// What travels with one trigger besides its number.
struct ScriptTriggerArgs {
    std::vector<TriggerValue> params;  // the handler's parameters, in order
    // Selection: the spoken text (speech), the message or convofunc name.
    std::string select;
    // Selection: the key (pathfound ... objaccess) or the range (enterrange, leaverange).
    s32 key = 0;
    // The instance whose handlers alone run (time, creation); null for all.
    CScriptInstance* instance = nullptr;
};

// Runs the handlers of the scripts in the attachment set; 0 when a handler answered 0, else
// 1 (also without handlers). When `ran` is given it is increased by the number of handlers
// that ran.
int DispatchTrigger(CObjAttachments* set, int trigger, const ScriptTriggerArgs& args,
                    int* ran = nullptr);
// The same for a world object (its attachment set through the object link).
int sendTrigger(CBaseObject* object, int trigger, const ScriptTriggerArgs& args,
                int* ran = nullptr);
// A message (trigger 22): the args list is built from the format characters (c location,
// i int, o serial, s text, x list copied in; others skipped) and the values in order.
int SendScriptMessage(CBaseObject* target, u32 sender, const char* message,
                      const std::vector<TriggerValue>& values, const char* format,
                      int* ran = nullptr);

// The global trigger result that intRet fills: server code that fires a trigger and wants
// an answer clears it before and reads it after.
struct TriggerReturnSlot {
    bool set = false;
    s32 value = 0;
};
TriggerReturnSlot& GlobalTriggerReturn();

// The speech patterns' matcher (10 captures of up to 511 characters). While a speech handler
// runs, its captures are those of its own pattern against the spoken text.
WildcardCaptures& SpeechCaptures();

// Creation triggers held back during the world load: from BeginDeferCreationTriggers on,
// attaching a script queues its creation trigger; FireDeferredCreationTriggers stops queueing
// and sends trigger 15 to every queued instance whose object still exists.
void BeginDeferCreationTriggers();
void QueueCreationTrigger(u32 serial, CScriptInstance* instance);
void FireDeferredCreationTriggers();

// Attaching scripts. Null on success, else "Failed to get script class", "Script already
// attached of class" or "Failed to get script instance".
const char* AttachScript(CBaseObject* object, const char* className, int fireCreation);
// Attaches the type script of the object's type when there is one; 0 when the object no
// longer exists afterwards (its creation handler deleted it), else 1.
int AttachTypeScript(CBaseObject* object);
// Detaches and releases the first instance of that class; the running threads of that class
// on the object are killed.
void DetachScript(CBaseObject* object, const char* className);

// Ends every running script thread that belongs to the object (before its attachments are
// freed).
void StopObjectScriptThreads(CBaseObject* object);
// Sets or removes an object variable of the object (its attachment set through the object
// link, made on demand). The value is copied by its type.
struct ScriptListValue;
void SetObjectVariable(CBaseObject* object, const char* name, u8 type, ScriptListValue value);
void RemoveObjectVariable(CBaseObject* object, const char* name);
