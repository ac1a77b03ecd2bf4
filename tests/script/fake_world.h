#pragma once
// A stand-in world for script tests: objects with a serial, an attachment set, a type and a
// detached flag, found by serial; deleting one stops its threads and frees its attachments
// the way the world model does.
#include <map>
#include <memory>
#include <set>

#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_world_link.h"
#include "server/world/timed_callbacks.h"

struct FakeObject {
    u32 serial = 0;
    CObjAttachments* set = nullptr;
    TimedCallback* callbacks = nullptr;
    bool detached = false;
    bool player = false;
    int type = 0;
};

class FakeWorld : public ScriptObjectServices {
public:
    FakeWorld() { SetScriptObjectServices(this); }
    ~FakeWorld() override {
        while (!objects.empty())
            Delete(objects.begin()->first);
        SetScriptObjectServices(nullptr);
    }
    static CBaseObject* Ptr(FakeObject* o) { return reinterpret_cast<CBaseObject*>(o); }
    static FakeObject* Obj(CBaseObject* b) { return reinterpret_cast<FakeObject*>(b); }

    CBaseObject* Add(u32 serial, int type = 0) {
        auto& o = objects[serial];
        o = std::make_unique<FakeObject>();
        o->serial = serial;
        o->type = type;
        return Ptr(o.get());
    }
    void Delete(u32 serial) {
        auto it = objects.find(serial);
        if (it == objects.end()) return;
        CBaseObject* b = Ptr(it->second.get());
        KillThreadsOfObject(b);
        FreeAttachments(it->second->set);
        ClearCallbacks(it->second->callbacks);
        objects.erase(it);
    }
    CObjAttachments*& Set(u32 serial) { return objects.at(serial)->set; }
    // Takes the object out of the world or puts it back, telling the timed callbacks as the
    // world model does.
    void SetDetached(u32 serial, bool detached) {
        FakeObject* o = objects.at(serial).get();
        o->detached = detached;
        CallbacksObjectMoved(Ptr(o));
    }

    CObjAttachments** AttachmentsOf(CBaseObject* o) override { return &Obj(o)->set; }
    u32 SerialOf(CBaseObject* o) override { return Obj(o)->serial; }
    TimedCallback** CallbacksOf(CBaseObject* o) override { return &Obj(o)->callbacks; }
    int TypeOf(CBaseObject* o) override { return Obj(o)->type; }
    bool IsDetached(CBaseObject* o) override { return Obj(o)->detached; }
    bool HasTypeScript(int type) override { return typeScripts.count(type) != 0; }
    bool IsPlayer(CBaseObject* o) override { return Obj(o)->player; }
    CBaseObject* FindBySerial(u32 serial) override {
        auto it = objects.find(serial);
        return it == objects.end() ? nullptr : Ptr(it->second.get());
    }
    void DeleteObject(CBaseObject* o) override { Delete(Obj(o)->serial); }
    void RenewRangeListeners(CBaseObject*) override { ++renewals; }

    std::map<u32, std::unique_ptr<FakeObject>> objects;
    std::set<int> typeScripts;
    int renewals = 0;
};
