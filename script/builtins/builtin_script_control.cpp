// The script-control builtins: attaching and detaching scripts, script messages, deleting an
// object and a handler's answers. They are the ones through which a handler reaches other
// scripts' handlers, its own lifetime and its caller; objects are named by serial and found
// through the object services (script/runtime/script_world_link.h).
#include <cstdio>
#include <string>

#include "core/log_sink.h"
#include "script/builtins/language_builtins.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/script_thread.h"
#include "script/runtime/script_thread_control.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"

namespace {

// The live object of a serial that is in the world or in a container, or null.
CBaseObject* ResolveObject(u32 serial) {
    ScriptObjectServices& objects = GetScriptObjectServices();
    CBaseObject* object = serial ? objects.FindBySerial(serial) : nullptr;
    return object && !objects.IsDetached(object) ? object : nullptr;
}

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

void BuiltinMessage(BuiltinCall& c) {
    if (!CurrentScriptThread()) return;
    CBaseObject* target = ResolveObject(static_cast<u32>(c.Int(0)));
    if (!target) return;
    const u32 self = RunningObjectSerial();
    FireMessage(target, self, c.Str(1), c.List(2));
    SelfCheck(self);
}

void BuiltinMessageRet(BuiltinCall& c) {
    CBaseObject* target = ResolveObject(static_cast<u32>(c.Int(1)));
    c.SetInt(target ? FireMessage(target, static_cast<u32>(c.Int(0)), c.Str(2), c.List(3)) : 0);
}

void BuiltinHasScript(BuiltinCall& c) {
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)));
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
    CBaseObject* object = ResolveObject(serial);
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
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)));
    if (object) DetachScript(object, c.Str(1).CText());
}

void BuiltinDeleteObjectNoFall(BuiltinCall& c) {
    CBaseObject* object = ResolveObject(static_cast<u32>(c.Int(0)));
    if (!object || GetScriptObjectServices().IsPlayer(object)) return;
    GetScriptObjectServices().DeleteObject(object);
}

void SetDefaultReturn(BuiltinCall& c) {
    c.host.SetDefaultResult(c.Int(0));
}

void IntRet(BuiltinCall& c) {
    GlobalTriggerReturn().set = true;
    GlobalTriggerReturn().value = c.Int(0);
}

constexpr BuiltinBinding kBindings[] = {
    {"message", "vosl", BuiltinMessage},
    {"messageret", "ioosl", BuiltinMessageRet},
    {"hasscript", "ios", BuiltinHasScript},
    {"hasScript", "ios", BuiltinHasScript},
    {"attachscript", "vos", BuiltinAttachScript},
    {"attachScript", "vos", BuiltinAttachScript},
    {"detachscript", "vos", BuiltinDetachScript},
    {"detachScript", "vos", BuiltinDetachScript},
    {"deleteObjectNoFall", "vo", BuiltinDeleteObjectNoFall},
    {"intRet", "vi", IntRet},
    {"setDefaultReturn", "vi", SetDefaultReturn},
};

}  // namespace

std::span<const BuiltinBinding> ScriptControlBuiltins() {
    return kBindings;
}
