#include "server/area/area_services.h"

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
