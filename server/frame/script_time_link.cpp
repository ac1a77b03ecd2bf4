#include "server/frame/script_time_link.h"

#include "script/runtime/script_world_link.h"
#include "server/frame/time_manager.h"

namespace {

class ClockTimeLink : public ScriptTimeLink {
public:
    void RegisterTime(CScriptInstance* instance, const char* text) override {
        g_timeManager.AddSchedule(instance, text);
    }
    void UnregisterTime(CScriptInstance* instance, const char* text) override {
        g_timeManager.RemoveSchedule(instance, text);
    }
    void DropDeferredTriggers(CScriptInstance* instance) override {
        CancelDeferredTriggers(instance);
    }
};

}  // namespace

void InstallScriptTimeLink() {
    static ClockTimeLink link;
    SetScriptTimeLink(&link);
}
