#include "script/script_instance.h"

#include "script/script_class.h"
#include "script/script_thread.h"
#include "script/script_value.h"

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

void CScriptInstance::TearDown() {
    if (tornDown_) return;
    KillThreadsOfInstance(this);
    tornDown_ = true;
    object_ = nullptr;
}
