#pragma once
// What the world tick asks of the world data: the resource banks' spawning and regrowth,
// the weather, and the hint table's ageing; and what the players ask of the regions.
//
// This is an interface. Until the world data is built and installed, the one in force
// is this class itself: no banks, no weather regions, no hints, no regions.
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

    // RegionManager: whether a place lies in a region where a player may log out at once
    // (none until regions are loaded; says so once in the log).
    virtual bool IsSafeLogoutSpot(const Location& at);
};

// The implementation in force (never null).
AreaServices& GetAreaServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
AreaServices* SetAreaServices(AreaServices* services);
