#pragma once
// What the rest of the server asks of the script language: the end-of-pulse release passes,
// sending a trigger or a script message to an object, and the object a script instance is
// attached to.
//
// This is an interface. Until the server's start-up installs the script runtime's
// (ScriptRuntimeServices), the one in force is this class itself, which behaves as if no
// object had a script attached.
#include "platform/types.h"
#include "script/language/trigger_table.h"

class CBaseObject;
class CScriptInstance;

class ScriptServices {
public:
    virtual ~ScriptServices() = default;

    // Return the value records, then the script instances, released during the pulse to
    // their pools (the first two steps of every world tick).
    virtual void ReleaseQueuedScriptValues() {}
    virtual void ReleaseQueuedScriptInstances() {}

    // Runs the handlers that the object's scripts have for the trigger, with one script
    // instance as its argument. Answers 0 when a handler vetoed or overrode the default,
    // otherwise the last handler's result, and 1 when the object has no handler. A handler
    // may delete the object: callers look it up again by serial afterwards.
    virtual int sendTrigger(CBaseObject* object, int trigger, CScriptInstance* instance) {
        (void)object, (void)trigger, (void)instance;
        return 1;
    }

    // Sends the script message `message` (trigger "message") with a one-element argument list
    // holding `number`. Answers the handler's result, 0 when no handler answers it.
    virtual int SendScriptMessage(CBaseObject* object, const char* message, int number) {
        (void)object, (void)message, (void)number;
        return 0;
    }

    // The serial of the object that the instance is attached to (0 for none).
    virtual u32 GetInstanceObjectSerial(CScriptInstance* instance) {
        (void)instance;
        return 0;
    }
};

// The implementation in force (never null).
ScriptServices& GetScriptServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
ScriptServices* SetScriptServices(ScriptServices* services);
