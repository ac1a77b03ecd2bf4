#pragma once
// The area side's answers to the world's region questions, from the loaded regions
// (`g_regionManager`): justice or city, safe log-out, the names of the regions at a place,
// and the load step that reads them. The other area steps (banks, weather, hints) keep the
// interface's own answers until they are built. The server's start-up installs it.
#include "server/world/area_services.h"

class RegionAreaServices : public AreaServices {
public:
    bool IsInJusticeRegion(const Location& at) override;
    bool IsSafeLogoutSpot(const Location& at) override;
    void CollectRegionNames(const Location& at, const char* prefix,
                            std::vector<std::string>& out) override;
    void LoadRegions() override;
};
