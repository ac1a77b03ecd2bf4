// Builtins that attach and detach scripts, send script messages and delete objects: the
// ones through which a handler reaches other scripts' handlers (and its own lifetime).
#include <cstdio>
#include <string>

#include "core/log_sink.h"
#include "script/builtins/builtin_call.h"
#include "script/builtins/builtin_script_control.h"
#include "script/builtins/object_validators.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_services.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_thread_control.h"
#include "script/runtime/triggers.h"

namespace {

u32 RunningObjectSerial() {
    CScriptThread* t = CurrentScriptThread();
    return t && t->GetInstance() ? t->GetInstance()->GetObjectSerial() : 0;
}

// After a trigger: the running thread ends when its own object is gone.
void SelfCheck(u32 self) {
    if (self && !GetScriptObjectServices().FindBySerial(self)) KillCurrentThread();
}

int FireMessage(CBaseObject* target, u32 sender, const CStr& name, const CScriptList& args) {
    ScriptTriggerArgs trigger;
    trigger.select = name.CText();
    trigger.params = {TriggerValue::Obj(sender), TriggerValue::List(&args)};
    return sendTrigger(target, kTriggerMessage, trigger);
}

}  // namespace

void BuiltinMessage(BuiltinCall& c) {
    if (!CurrentScriptThread()) return;
    CBaseObject* target = ResolveObject(static_cast<u32>(c.Int(0)), "message");
    if (!target) return;
    const u32 self = RunningObjectSerial();
    FireMessage(target, self, c.Str(1), c.List(2));
    SelfCheck(self);
}

void BuiltinMessageRet(BuiltinCall& c) {
    CBaseObject* target = ResolveObject(static_cast<u32>(c.Int(1)), "messageret");
    c.SetInt(target ? FireMessage(target, static_cast<u32>(c.Int(0)), c.Str(2), c.List(3)) : 0);
}

void BuiltinHasScript(BuiltinCall& c) {
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)), "hasScript");
    CObjAttachments** slot = object ? GetScriptObjectServices().AttachmentsOf(object) : nullptr;
    if (!slot) {
        c.SetInt(0);
        return;
    }
    const CScriptClass* cls = GetScriptManager().FindClass(c.Str(1).CText());
    c.SetInt(cls && ObjScripts::FindClass(*slot, cls) ? 1 : 0);
}

void BuiltinAttachScript(BuiltinCall& c) {
    const u32 serial = static_cast<u32>(c.Int(0));
    CBaseObject* object = ResolveObject(serial, "attachScript");
    if (!object) {
        CStr running;
        AppendRunningClassName(running);
        char number[16];
        std::snprintf(number, sizeof number, "%u", serial);
        const std::string text = std::string("Script \"") + running.CText() +
                                 "\" tried to attach script \"" + c.Str(1).CText() +
                                 "\" to nonexistant object " + number;
        GetLogSink().Log(0, 0, 0, "", "script", "misc", text.c_str());
        return;
    }
    AttachScript(object, c.Str(1).CText(), 1);
}

void BuiltinDetachScript(BuiltinCall& c) {
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)), "detachScript");
    if (object) DetachScript(object, c.Str(1).CText());
}

void BuiltinDeleteObjectNoFall(BuiltinCall& c) {
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)), "deleteObject");
    if (!object || GetScriptObjectServices().IsKind(object, ScriptObjectKind::Player)) return;
    GetScriptObjectServices().DeleteObject(object);
}
