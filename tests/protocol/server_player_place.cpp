#include "tests/protocol/server_player_place.h"

#include "core/spatial_grid.h"
#include "server/net/world_packet_values.h"
#include "server/world/mobile.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"

bool ServerPlayerPlace(const char* name, int& x, int& y, int& z) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return false;
    const Location at = p->GetWorldLocation();
    x = at.x;
    y = at.y;
    z = at.z;
    return true;
}

bool ServerPlayerSkills(const char* name, std::vector<int>& values) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return false;
    values = EffectiveSkillValues(*p);
    return true;
}

unsigned BringTownspersonBeside(const char* name, int dx, int dy, int direction) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return 0;
    const Location at = p->GetWorldLocation();
    constexpr int kSearchRadius = 40;
    CMobile* nearest = nullptr;
    int best = kSearchRadius + 1;
    ForObjectsInCellsNear(at, kSearchRadius, [&](CItem* object) {
        CMobile* m = object->AsMobile();
        if (!m || !m->IsNPC() || m->IsGuard() || m->IsShopKeeper()) return;
        if (m->GetBody() != 400 && m->GetBody() != 401) return;
        const Location& there = m->GetLocation();
        const int d = ChebyshevDistanceXY(there.x, there.y, at.x, at.y);
        if (d < best) {
            best = d;
            nearest = m;
        }
    });
    if (!nearest) return 0;
    nearest->SetMobFlag(kMobFrozen, true);
    nearest->SetDirection(direction);
    nearest->RemoveFromWorld();
    nearest->PlaceInWorld(Location(at.x + dx, at.y + dy, at.z));
    return nearest->GetSerial();
}
