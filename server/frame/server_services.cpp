#include "server/frame/server_services.h"

#include "script/runtime/script_runtime.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "server/frame/script_time_link.h"
#include "server/net/local_connection.h"
#include "server/world/world_model_services.h"
#include "server/world/world_script_link.h"

void InstallServerServices() {
    static LocalConnectionServices net;
    static WorldModelServices world;
    static ScriptRuntimeServices script;
    static ClockTimeServices time;
    SetNetServices(&net);
    SetWorldServices(&world);
    SetScriptServices(&script);
    SetScriptObjectServices(&WorldScriptObjectServices());
    SetTriggerServices(&WorldScriptTriggerServices());
    SetScriptTimeServices(&time);
}
