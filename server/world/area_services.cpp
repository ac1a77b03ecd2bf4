#include "server/world/area_services.h"

#include <string>

#include "core/service_slot.h"
#include "server/world/multi_table.h"
#include "server/world/world_utilities.h"

namespace {
ServiceSlot<AreaServices> g_areaServices;

// Says once in the log that a step of the world load is not built yet.
void NotBuilt(bool& said, const char* what) {
    if (said) return;
    LogNotBuiltOnce(said, "load", (std::string(what) + " not built yet").c_str());
}
}  // namespace

#define AREA_STEP_NOT_BUILT(method, what) \
    void AreaServices::method() {         \
        static bool said = false;         \
        NotBuilt(said, what);             \
    }

AREA_STEP_NOT_BUILT(LoadWeatherRegions, "weather regions:")
AREA_STEP_NOT_BUILT(RunStartupEffectText, "the start-up effect text (start.cls):")
AREA_STEP_NOT_BUILT(RebuildSectorResourcesIfNone, "sector resources:")
AREA_STEP_NOT_BUILT(ApplyRegionAmbience, "region ambience:")
AREA_STEP_NOT_BUILT(BuildSpawnTables, "spawn tables:")
AREA_STEP_NOT_BUILT(LoadBankDefinitionsIfNeeded, "bank definitions:")
#undef AREA_STEP_NOT_BUILT

void AreaServices::LoadMultiDefinitions() {
    g_multiTable.LoadMultiText();
}

AreaServices& GetAreaServices() {
    return g_areaServices.Get();
}

AreaServices* SetAreaServices(AreaServices* services) {
    return g_areaServices.Set(services);
}
