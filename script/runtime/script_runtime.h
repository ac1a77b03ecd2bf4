#pragma once
// The script language's answers to the world tick and the frame (ScriptServices): the
// end-of-pulse release passes, deferred time and creation triggers, script messages and
// the object of an instance. InstallServerServices puts them in force at server start-up.
#include "script/runtime/script_services.h"

class ScriptRuntimeServices : public ScriptServices {
public:
    void ReleaseQueuedScriptValues() override;
    void ReleaseQueuedScriptInstances() override;
    // With an instance: that instance's handlers only (time, creation), and only while it
    // is still attached to the object; without: every script of the object.
    int sendTrigger(CBaseObject* object, int trigger, CScriptInstance* instance) override;
    // The message with a one-element argument list; 0 when no handler ran.
    int SendScriptMessage(CBaseObject* object, const char* message, int number) override;
    u32 GetInstanceObjectSerial(CScriptInstance* instance) override;
};
