#pragma once
// What the world model asks of the script language: sending a trigger to the scripts attached
// to an object (with the handlers' veto answer), which range triggers an object's scripts
// listen to, and tearing an object's scripts down.
//
// This is an interface. Until the server's start-up installs the script runtime's (through the
// world model's link, WorldScriptTriggerServices), the one in force is this class itself:
// no scripts attached, every trigger answers 1 and no object has a handler.
#include <vector>

#include "core/location.h"
#include "platform/types.h"
#include "script/language/trigger_table.h"

class CItem;

// The arguments that travel with a trigger; each trigger uses the ones it names.
struct TriggerArgs {
    int value = 0;               // the range value of a range trigger
    u32 serial = 0;              // the other object: mover, wearer, speaker, user
    u32 other = 0;               // a second object: the item used (objaccess), a target
    Location a;                  // range triggers: where the mover was
    Location b;                  // range triggers: where the mover goes
    const char* text = nullptr;  // speech
    // Triggers with several int parameters: their values in order (the first int parameter
    // takes `value` when none are given).
    const int* ints = nullptr;
    int intCount = 0;
};

class TriggerServices {
public:
    virtual ~TriggerServices() = default;
    // Runs the object's handlers for the trigger. 0 when a handler vetoed or overrode the
    // default, else 1 (also when there is no handler). A handler may delete the object:
    // callers look it up again by serial before touching it.
    virtual int SendTrigger(CItem* object, int trigger, const TriggerArgs& args);
    // Whether any script is attached to the object.
    virtual bool HasAttachedScript(const CItem* object);
    // Appends the range value of every handler the object's scripts have for the trigger.
    virtual void GetHandlerRanges(const CItem* object, int trigger, std::vector<int>& out);
    // Ends the object's script threads and frees its attachments (object destruction).
    virtual void FreeAttachments(CItem* object);
    // The integer a handler of the last trigger returned through `intRet`, consumed: true and
    // the value when there was one.
    virtual bool TakeIntReturn(s32& value);
};

// The implementation in force (never null).
TriggerServices& GetTriggerServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
TriggerServices* SetTriggerServices(TriggerServices* services);
