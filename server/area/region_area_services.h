#pragma once
// The area side's answers to the world's region questions, from the loaded regions
// (`g_regionManager`): justice or city, safe log-out, the names of the regions at a place,
// the load steps that read them, name the world after them and give the sector cells their
// ambience. The other area steps (banks, weather, hints) keep the interface's own answers
// until they are built. The server's start-up installs it.
//
// A region's ambience is kept in its values: the first is its music, the second its day
// sound, the third its night sound and the fourth its light level (0 for each: none).
#include <string>

#include "server/world/area_services.h"

class RegionAreaServices : public AreaServices {
public:
    bool IsInJusticeRegion(const Location& at) override;
    bool IsSafeLogoutSpot(const Location& at) override;
    void CollectRegionNames(const Location& at, const char* prefix,
                            std::vector<std::string>& out) override;
    void LoadRegions() override;
    // The town or dungeon of the world's regions over the configured world rectangle;
    // "Unknown?" when there is none.
    const char* GetWorldAreaName() override;
    void ApplyRegionAmbience() override;

private:
    std::string worldAreaName_;
};
