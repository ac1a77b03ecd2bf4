#include "server/world/world_services.h"

namespace {
WorldServices g_emptyWorld;
WorldServices* g_worldServices = &g_emptyWorld;
}  // namespace

WorldServices& GetWorldServices() {
    return *g_worldServices;
}

void SetWorldServices(WorldServices* services) {
    g_worldServices = services ? services : &g_emptyWorld;
}
