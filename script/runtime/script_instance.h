#pragma once
// A script instance: one script class attached to one world object, holding the class's
// member variables for that object.
//
// Ownership: instances are owned by the instance registry (NewScriptInstance). Release
// tears an instance down at once (its threads are killed, it leaves its object and stops
// listening) but keeps the record and its member storage until FreeReleasedInstances, which
// the world tick calls at the start of each pulse and which does nothing while any script
// thread or trigger dispatch is running. So a pointer held by a running thread or a dispatch
// in progress stays valid, and IsTornDown tells that the instance is dead.
#include <vector>

#include "platform/types.h"
#include "script/runtime/script_slot.h"

class CBaseObject;
class CScriptClass;
class CObjAttachments;

class CScriptInstance {
public:
    explicit CScriptInstance(const CScriptClass* cls);
    ~CScriptInstance();
    CScriptInstance(const CScriptInstance&) = delete;
    CScriptInstance& operator=(const CScriptInstance&) = delete;

    const CScriptClass* GetClass() const { return cls_; }
    bool IsTornDown() const { return tornDown_; }
    CBaseObject* GetObject() const { return object_; }
    u32 GetObjectSerial() const { return serial_; }

    ScriptSlot& Member(int index) { return members_[static_cast<size_t>(index)]; }
    int MemberCount() const { return static_cast<int>(members_.size()); }

    // Sets the object without binding (tests, tools): "this" becomes the serial.
    void SetObject(CBaseObject* object, u32 serial);
    // Attaches the instance to the object: it joins the object's attachment set, its time
    // and moon handlers are registered, the object's range listeners are renewed and "this"
    // holds the object's serial. False when the object cannot carry scripts.
    bool Bind(CBaseObject* object);
    // Marks the instance dead: its threads are killed, its registrations taken back, it
    // leaves its object's attachment set; the object link is cleared. Members stay
    // allocated until the instance is freed.
    void TearDown();
    // The set the instance was linked into is gone (the object is being destroyed).
    void ForgetSet() { set_ = nullptr; }

    CScriptInstance* nextAttached = nullptr;  // the next instance in the object's set
    CScriptInstance* nextReleased = nullptr;  // deferred-free list

private:
    const CScriptClass* cls_;
    std::vector<ScriptSlot> members_;
    CBaseObject* object_ = nullptr;
    CObjAttachments** set_ = nullptr;  // the object's attachment-set pointer while bound
    u32 serial_ = 0;
    bool tornDown_ = false;
};
