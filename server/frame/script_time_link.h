#pragma once
// The world clock's side of the script runtime: time handlers register their schedules with
// the world clock (g_timeManager), and an instance that goes drops its deferred triggers.
// InstallServerServices puts it in force, before scripts attach.
#include "script/runtime/script_world_link.h"

class ClockTimeServices : public ScriptTimeServices {
public:
    void RegisterTime(CScriptInstance* instance, const char* text) override;
    void UnregisterTime(CScriptInstance* instance, const char* text) override;
    void DropDeferredTriggers(CScriptInstance* instance) override;
};
