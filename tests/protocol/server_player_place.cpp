#include "tests/protocol/server_player_place.h"

#include "server/world/player.h"
#include "server/world/player_registry.h"

bool ServerPlayerPlace(const char* name, int& x, int& y, int& z) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return false;
    const Location at = p->GetWorldLocation();
    x = at.x;
    y = at.y;
    z = at.z;
    return true;
}
