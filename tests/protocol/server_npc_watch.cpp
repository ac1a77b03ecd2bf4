#include "tests/protocol/server_npc_watch.h"

#include <algorithm>

#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

std::vector<ServerNpc> ServerNpcs() {
    std::vector<u32> serials;
    g_objectManager.CollectAllSerials(serials);
    std::sort(serials.begin(), serials.end());
    std::vector<ServerNpc> out;
    for (u32 s : serials) {
        CItem* item = g_objectManager.FindBySerial(s);
        CNPC* npc = item ? item->AsNPC() : nullptr;
        if (!npc || npc->IsDetached()) continue;
        ServerNpc n;
        n.serial = s;
        n.templateNumber = npc->GetTemplateId();
        const Location at = npc->GetWorldLocation();
        n.x = at.x;
        n.y = at.y;
        n.loiters = npc->HasNpcFlags(kNpcLoiterMode);
        n.spotX = npc->ai.loiterLoc.x;
        n.spotY = npc->ai.loiterLoc.y;
        n.leader = npc->GetLeader() ? npc->GetLeader()->GetSerial() : 0;
        n.dormant = npc->HasNpcFlags(kNpcDormant);
        out.push_back(n);
    }
    return out;
}

bool TeleportServerPlayer(const char* name, int x, int y) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return false;
    const int ground = g_worldMap.GetElevation(x, y);
    const int z = g_worldMap.FindGoodZ(Location(x, y, ground + 2), -128, 128, 16, 1, p, 0);
    if (z == kNoZ) return false;
    p->RemoveFromWorld();
    p->PlaceInWorld(Location(x, y, z));
    return true;
}
