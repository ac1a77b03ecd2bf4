#include "server/world/world_load_services.h"

#include "core/log_sink.h"
#include "core/service_slot.h"

namespace {
ServiceSlot<WorldLoadServices> g_worldLoadServices;
}  // namespace

WorldLoadServices& GetWorldLoadServices() {
    return g_worldLoadServices.Get();
}

WorldLoadServices* SetWorldLoadServices(WorldLoadServices* services) {
    return g_worldLoadServices.Set(services);
}

void WorldLoadServices::LoadLoginScriptList() {
    static bool said = false;
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "load", "error", "login script list: not built yet");
}

void WorldLoadServices::SetWorldName(const char* name) {
    (void)name;
    static bool said = false;
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "load", "error", "world name: not built yet");
}
