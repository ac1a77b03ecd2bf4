#include "server/area/region_area_services.h"

#include "server/area/regions.h"

bool RegionAreaServices::IsInJusticeRegion(const Location& at) {
    return g_regionManager.IsInJusticeRegion(at) || g_regionManager.IsInCityRegion(at);
}

bool RegionAreaServices::IsSafeLogoutSpot(const Location& at) {
    return g_regionManager.IsSafeLogoutSpot(at);
}

void RegionAreaServices::CollectRegionNames(const Location& at, const char* prefix,
                                            std::vector<std::string>& out) {
    std::vector<const CRegion*> regions;
    g_regionManager.CollectRegionsWithPrefix(at, prefix, regions);
    for (const CRegion* r : regions)
        out.emplace_back(r->name);
}

void RegionAreaServices::LoadRegions() {
    g_regionManager.Load();
}
