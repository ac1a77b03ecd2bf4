#pragma once
// What the script runtime needs of the world and of the world clock, as two small
// interfaces: the objects scripts attach to as the runtime itself sees them (serial, type,
// attachments, timed callbacks, liveness, deletion) and the clock's schedules. The world's
// own questions (kinds, places, regions, ...) are not asked here: the host's builtins ask
// the world directly. Until the server's start-up installs the world model's object services
// (server/world/world_script_link.h) and the clock's time services
// (server/frame/script_time_link.h), the ones in force are these classes themselves: no
// world (no objects, nothing to delete) and no clock (time handlers register nowhere).
#include "platform/types.h"

class CBaseObject;
class CObjAttachments;
class CScriptInstance;
struct TimedCallback;

// The world objects scripts attach to.
class ScriptObjectServices {
public:
    virtual ~ScriptObjectServices() = default;
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
    // Whether the object is a player (scripts never delete one).
    virtual bool IsPlayer(CBaseObject* object) {
        (void)object;
        return false;
    }
    // Deletes the object (its DeleteSelf).
    virtual void DeleteObject(CBaseObject* object) { (void)object; }
    // Neither in the world nor in a container.
    virtual bool IsDetached(CBaseObject* object) {
        (void)object;
        return true;
    }
    // The live object of a serial, or null.
    virtual CBaseObject* FindBySerial(u32 serial) {
        (void)serial;
        return nullptr;
    }
    // The key by which sortList orders objects (the tile-data misc word of the object's
    // graphic): false when the serial names no usable object (the pair then compares equal).
    virtual bool SortKeyOf(u32 serial, int& key) {
        (void)serial, (void)key;
        return false;
    }
    // Takes the object's range listeners away and adds them again (a script came or went).
    virtual void RenewRangeListeners(CBaseObject* object) { (void)object; }
    // Moon listeners (instances with a moon handler).
    virtual void AddMoonListener(CScriptInstance* instance) { (void)instance; }
    virtual void RemoveMoonListener(CScriptInstance* instance) { (void)instance; }
};

// The world clock's time schedules and the deferred trigger queue.
class ScriptTimeServices {
public:
    virtual ~ScriptTimeServices() = default;
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

// The implementations in force (never null), and their installers (the caller keeps the
// implementation alive while installed; null puts back the empty one), which answer the
// previous one, or null when the empty one was in force.
ScriptObjectServices& GetScriptObjectServices();
ScriptObjectServices* SetScriptObjectServices(ScriptObjectServices* services);
ScriptTimeServices& GetScriptTimeServices();
ScriptTimeServices* SetScriptTimeServices(ScriptTimeServices* services);
