#include "script/script_services.h"

namespace {
ScriptServices g_noScripts;
ScriptServices* g_scriptServices = &g_noScripts;
}  // namespace

ScriptServices& GetScriptServices() {
    return *g_scriptServices;
}

void SetScriptServices(ScriptServices* services) {
    g_scriptServices = services ? services : &g_noScripts;
}
