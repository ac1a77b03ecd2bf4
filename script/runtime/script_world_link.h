#pragma once
// What the script runtime needs of the world and of the world clock, as two small
// interfaces. The object link in force by default is the world model's
// (server/world/world_script_link.h); the clock link is installed at start-up
// (server/frame/script_time_link.h), and until then time handlers register nowhere. The base
// classes stand for "no world" and are what test stand-ins derive from.
#include "platform/types.h"

class CBaseObject;
class CObjAttachments;
class CScriptInstance;
struct TimedCallback;

// The kinds that object validators test.
enum class ScriptObjectKind : u8 { Any, Weapon, Mobile, Npc, Container, Player, Corpse, Map, Book };

// The world objects scripts attach to.
class ScriptObjectLink {
public:
    virtual ~ScriptObjectLink() = default;
    // The object's attachment-set pointer (CItem keeps it); null for an object that cannot
    // carry scripts or variables.
    virtual CObjAttachments** AttachmentsOf(CBaseObject* object) {
        (void)object;
        return nullptr;
    }
    // The head of the object's timed-callback list (CItem keeps it); null when it has none.
    virtual TimedCallback** CallbacksOf(CBaseObject* object) {
        (void)object;
        return nullptr;
    }
    virtual u32 SerialOf(CBaseObject* object) {
        (void)object;
        return 0;
    }
    // The object type number (type scripts).
    virtual int TypeOf(CBaseObject* object) {
        (void)object;
        return 0;
    }
    // Whether objects of the type get the script class named after the type number.
    virtual bool HasTypeScript(int type) {
        (void)type;
        return false;
    }
    // The kind test of a validator (Any is always true).
    virtual bool IsKind(CBaseObject* object, ScriptObjectKind kind) {
        (void)object;
        return kind == ScriptObjectKind::Any;
    }
    // Deletes the object (its DeleteSelf; defaults to the world services').
    virtual void DeleteObject(CBaseObject* object);
    // Neither in the world nor in a container.
    virtual bool IsDetached(CBaseObject* object) {
        (void)object;
        return true;
    }
    // The live object of a serial, or null (defaults to the world services' lookup).
    virtual CBaseObject* FindBySerial(u32 serial);
    // Takes the object's range listeners away and adds them again (a script came or went).
    virtual void RenewRangeListeners(CBaseObject* object) { (void)object; }
    // Moon listeners (instances with a moon handler).
    virtual void AddMoonListener(CScriptInstance* instance) { (void)instance; }
    virtual void RemoveMoonListener(CScriptInstance* instance) { (void)instance; }
};

// The world clock's time schedules and the deferred trigger queue.
class ScriptTimeLink {
public:
    virtual ~ScriptTimeLink() = default;
    // Registers an instance's time handler under its schedule text (the pointer identifies
    // the registration) and takes it back.
    virtual void RegisterTime(CScriptInstance* instance, const char* text) {
        (void)instance, (void)text;
    }
    virtual void UnregisterTime(CScriptInstance* instance, const char* text) {
        (void)instance, (void)text;
    }
    // Drops the queued deferred triggers whose argument is the instance.
    virtual void DropDeferredTriggers(CScriptInstance* instance) { (void)instance; }
};

ScriptObjectLink& GetScriptObjectLink();
void SetScriptObjectLink(ScriptObjectLink* link);  // null puts back the world model's
ScriptTimeLink& GetScriptTimeLink();
void SetScriptTimeLink(ScriptTimeLink* link);  // null puts back the default
