#include "script/runtime/script_world_link.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<ScriptObjectServices> g_scriptObjectServices;
ServiceSlot<ScriptTimeServices> g_scriptTimeServices;
}  // namespace

ScriptObjectServices& GetScriptObjectServices() {
    return g_scriptObjectServices.Get();
}
ScriptObjectServices* SetScriptObjectServices(ScriptObjectServices* services) {
    return g_scriptObjectServices.Set(services);
}
ScriptTimeServices& GetScriptTimeServices() {
    return g_scriptTimeServices.Get();
}
ScriptTimeServices* SetScriptTimeServices(ScriptTimeServices* services) {
    return g_scriptTimeServices.Set(services);
}
