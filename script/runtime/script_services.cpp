#include "script/runtime/script_services.h"

#include "script/runtime/script_runtime.h"

namespace {
ScriptServices* g_scriptServices = nullptr;  // null: the script runtime's
}  // namespace

ScriptServices& GetScriptServices() {
    if (g_scriptServices) return *g_scriptServices;
    static ScriptRuntimeServices runtime;
    return runtime;
}

void SetScriptServices(ScriptServices* services) {
    g_scriptServices = services;
}
