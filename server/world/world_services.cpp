#include "server/world/world_services.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<WorldServices> g_worldServices;
}  // namespace

WorldServices& GetWorldServices() {
    return g_worldServices.Get();
}

WorldServices* SetWorldServices(WorldServices* services) {
    return g_worldServices.Set(services);
}
