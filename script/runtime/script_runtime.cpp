#include "script/runtime/script_runtime.h"

#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_manager.h"
#include "script/runtime/triggers.h"

void ScriptRuntimeServices::ReleaseQueuedScriptValues() {
    FreeReleasedValues();
}

void ScriptRuntimeServices::ReleaseQueuedScriptInstances() {
    GetScriptManager().FreeReleasedInstances();
}

int ScriptRuntimeServices::sendTrigger(CBaseObject* object, int trigger,
                                       CScriptInstance* instance) {
    ScriptTriggerArgs args;
    if (instance) {
        if (instance->IsTornDown() || instance->GetObject() != object) return 1;
        args.instance = instance;
    }
    return ::sendTrigger(object, trigger, args);
}

int ScriptRuntimeServices::SendScriptMessage(CBaseObject* object, const char* message, int number) {
    int ran = 0;
    const int answer =
        ::SendScriptMessage(object, 0, message, {TriggerValue::Int(number)}, "i", &ran);
    return ran ? answer : 0;
}

u32 ScriptRuntimeServices::GetInstanceObjectSerial(CScriptInstance* instance) {
    return instance && !instance->IsTornDown() ? instance->GetObjectSerial() : 0;
}
