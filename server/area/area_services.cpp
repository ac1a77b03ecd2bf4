#include "server/area/area_services.h"

#include "core/log_sink.h"
#include "core/service_slot.h"

namespace {
ServiceSlot<AreaServices> g_areaServices;
}  // namespace

AreaServices& GetAreaServices() {
    return g_areaServices.Get();
}

AreaServices* SetAreaServices(AreaServices* services) {
    return g_areaServices.Set(services);
}

bool AreaServices::IsSafeLogoutSpot(const Location&) {
    static bool logged = false;
    if (!logged) {
        logged = true;
        GetLogSink().Log(0, 0, 0, "", "regions", "error",
                         "regions are not built yet: no place is a safe log-out spot");
    }
    return false;
}
