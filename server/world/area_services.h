#pragma once
// What the world tick asks of the world data: the resource banks' spawning and regrowth,
// the weather, and the hint table's ageing; and what the world and the players ask of the
// regions.
//
// This is an interface the world owns and the area side implements: the regions answer
// through RegionAreaServices (server/area/region_area_services.h), which the server's
// start-up installs. Until then the one in force is this class itself: no banks, no weather
// regions, no hints and no regions (every region question answers no).
#include <string>
#include <vector>

#include "core/location.h"

class AreaServices {
public:
    virtual ~AreaServices() = default;

    // CResourceBankManager.
    virtual void LogSpawnStatistics() {}
    virtual bool IsFastSpawning() { return false; }
    virtual void RunSpawnPass(int passKind, int restricted) { (void)passKind, (void)restricted; }
    virtual void RestartRegrowth() {}
    virtual void RegrowStep() {}

    // WeatherManager.
    virtual void UpdateWeather() {}
    virtual void AdvanceSeason() {}

    // HintTable: one ageing pass over all hints.
    virtual void AgeHints() {}

    // Regions: whether a place lies in a justice or city region (crimes there make the
    // doer punishable), and in a region where a player may log out at once.
    virtual bool IsInJusticeRegion(const Location& at) {
        (void)at;
        return false;
    }
    virtual bool IsSafeLogoutSpot(const Location& at) {
        (void)at;
        return false;
    }
    // Appends the names of the regions holding the place whose names begin with `prefix`
    // (letter case counts).
    virtual void CollectRegionNames(const Location& at, const char* prefix,
                                    std::vector<std::string>& out) {
        (void)at, (void)prefix, (void)out;
    }

    // The world load sequence's step that reads the regions of the configured world.
    virtual void LoadRegions() {}
    // The world load sequence's steps of the world data not built yet: each says once in
    // the log that it is not built and leaves its table empty.
    virtual void LoadWeatherRegions();
    // Reads the multi definitions (multi.txt) into g_multiTable.
    virtual void LoadMultiDefinitions();
    // The start-up command text "reset ; runfile start.cls ;" of the item-effect language.
    virtual void RunStartupEffectText();
    virtual void RebuildSectorResourcesIfNone();
    // The name of the named area that covers the world area; null when there is none.
    virtual const char* GetWorldAreaName() { return nullptr; }
    virtual void ApplyRegionAmbience();
    virtual void BuildSpawnTables();
    virtual void LoadBankDefinitionsIfNeeded();
};

// The implementation in force (never null).
AreaServices& GetAreaServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
AreaServices* SetAreaServices(AreaServices* services);
