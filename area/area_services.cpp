#include "area/area_services.h"

namespace {
AreaServices g_noAreaData;
AreaServices* g_areaServices = &g_noAreaData;
}  // namespace

AreaServices& GetAreaServices() {
    return *g_areaServices;
}

void SetAreaServices(AreaServices* services) {
    g_areaServices = services ? services : &g_noAreaData;
}
