// The atrophy sweep over all mobiles, fifty at a time.
#include "server/world/combat_lists.h"
#include "server/world/world_utilities.h"

void CMobileManager::FillAtrophyList() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "mobiles", "the atrophy sweep is not built yet");
}

void CMobileManager::SweepAtrophy() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "mobiles", "the atrophy sweep is not built yet");
}
