#include "server/frame/script_time_link.h"

#include "server/frame/time_manager.h"

void ClockTimeServices::RegisterTime(CScriptInstance* instance, const char* text) {
    g_timeManager.AddSchedule(instance, text);
}

void ClockTimeServices::UnregisterTime(CScriptInstance* instance, const char* text) {
    g_timeManager.RemoveSchedule(instance, text);
}

void ClockTimeServices::DropDeferredTriggers(CScriptInstance* instance) {
    CancelDeferredTriggers(instance);
}
