#include "script/runtime/script_instance.h"

#include "script/language/script_class.h"
#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_world_link.h"

CScriptInstance::CScriptInstance(const CScriptClass* cls) : cls_(cls) {
    const auto& entries = cls->members.entries;
    members_.assign(entries.size(), ScriptSlot{});
    for (size_t k = 0; k < entries.size(); ++k)
        members_[k].l = static_cast<CScriptList*>(NewScriptObjectOfType(entries[k].type));
}

CScriptInstance::~CScriptInstance() {
    const auto& entries = cls_->members.entries;
    for (size_t k = 0; k < entries.size() && k < members_.size(); ++k)
        FreeScriptObjectOfType(entries[k].type, members_[k].l);
}

void CScriptInstance::SetObject(CBaseObject* object, u32 serial) {
    object_ = object;
    serial_ = serial;
    // The member "this" holds the object's serial.
    if (!members_.empty() && cls_->members.entries[0].type == kTypeObject)
        members_[0].i = static_cast<s32>(serial);
}

bool CScriptInstance::Bind(CBaseObject* object) {
    ScriptObjectServices& objects = GetScriptObjectServices();
    CObjAttachments** slot = object ? objects.AttachmentsOf(object) : nullptr;
    if (!slot || tornDown_) return false;
    ObjScripts::Attach(*slot, this);
    set_ = slot;
    SetObject(object, objects.SerialOf(object));
    for (const TriggerHandler* h = cls_->handlers[kTriggerTime]; h; h = h->next)
        GetScriptTimeServices().RegisterTime(this, h->textArg.c_str());
    for (const TriggerHandler* h = cls_->handlers[kTriggerMoon]; h; h = h->next)
        objects.AddMoonListener(this);
    if (!objects.IsDetached(object)) objects.RenewRangeListeners(object);
    return true;
}

void CScriptInstance::TearDown() {
    if (tornDown_) return;
    KillThreadsOfInstance(this);
    tornDown_ = true;
    if (!object_ && !set_) return;
    ScriptObjectServices& objects = GetScriptObjectServices();
    if (cls_->handlers[kTriggerTime]) {
        GetScriptTimeServices().DropDeferredTriggers(this);
        for (const TriggerHandler* h = cls_->handlers[kTriggerTime]; h; h = h->next)
            GetScriptTimeServices().UnregisterTime(this, h->textArg.c_str());
    }
    for (const TriggerHandler* h = cls_->handlers[kTriggerMoon]; h; h = h->next)
        objects.RemoveMoonListener(this);
    CBaseObject* object = object_;
    // A forgotten set means the object itself is being destroyed: leave it alone.
    const bool linked = set_ != nullptr;
    if (set_) ObjScripts::Unlink(*set_, this);
    set_ = nullptr;
    object_ = nullptr;
    if (linked && object && !objects.IsDetached(object)) objects.RenewRangeListeners(object);
}
