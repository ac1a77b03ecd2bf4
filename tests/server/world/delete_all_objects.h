#pragma once
// Deletes every object of the world, outermost first, without triggers: what a test fixture
// or a fuzz run does between cases. (No gtest here, so fuzz targets can use it.)
#include <vector>

#include "server/world/item.h"
#include "server/world/logged_out_list.h"
#include "server/world/object_manager.h"

// `keep` (may be null) names objects to leave where they are, as a fuzz target's players that
// their registry owns.
inline void DeleteAllObjects(bool (*keep)(const CItem* item) = nullptr) {
    // Logged-out characters are kept out of the serial hash: they come back first.
    while (!g_loggedOutList.Players().empty())
        g_loggedOutList.Restore(g_loggedOutList.Players().front());
    for (int guard = 0; guard < 100000; ++guard) {
        std::vector<u32> serials;
        g_objectManager.CollectAllSerials(serials);
        CItem* victim = nullptr;
        for (u32 serial : serials) {
            CItem* item = g_objectManager.FindBySerial(serial);
            if (item && !item->IsContained() && !(keep && keep(item))) {
                victim = item;
                break;
            }
        }
        if (!victim) return;
        victim->SetStatus(victim->GetStatus() | kStatusNoTriggers);
        delete victim;
    }
}
