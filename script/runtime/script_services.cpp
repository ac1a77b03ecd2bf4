#include "script/runtime/script_services.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<ScriptServices> g_scriptServices;
}  // namespace

ScriptServices& GetScriptServices() {
    return g_scriptServices.Get();
}

ScriptServices* SetScriptServices(ScriptServices* services) {
    return g_scriptServices.Set(services);
}
