#include "server/area/region_area_services.h"

#include "server/area/regions.h"
#include "server/server_config.h"
#include "server/world/sector_grid.h"

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

const char* RegionAreaServices::GetWorldAreaName() {
    const int x = g_serverConfig.x, y = g_serverConfig.y;
    worldAreaName_ = g_regionManager.GetNamedAreaName(x, y, x + g_serverConfig.width,
                                                      y + g_serverConfig.height, 0);
    return worldAreaName_.c_str();
}

void RegionAreaServices::ApplyRegionAmbience() {
    std::vector<AmbienceRegion> regions;
    for (const CRegion* r : g_regionManager.AllRegions()) {
        regions.push_back({r->x, r->y, r->width, r->height, r->first, r->second, r->third,
                           static_cast<u16>(r->fourth)});
    }
    g_sectorGrid.ApplyRegionAmbience(regions);
}
