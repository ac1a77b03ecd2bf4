#include "tests/protocol/server_npc_watch.h"

#include <algorithm>

#include "core/loop_state.h"
#include "server/rules/combat.h"
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

namespace {

bool Teleport(CMobile& m, int x, int y) {
    const int ground = g_worldMap.GetElevation(x, y);
    const int z = g_worldMap.FindGoodZ(Location(x, y, ground + 2), -128, 128, 16, 1, &m, 0);
    if (z == kNoZ) return false;
    m.RemoveFromWorld();
    m.PlaceInWorld(Location(x, y, z));
    return true;
}

}  // namespace

bool TeleportServerPlayer(const char* name, int x, int y) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    return p && Teleport(*p, x, y);
}

int MoveServerNpcs(int templateNumber, int x, int y) {
    int moved = 0;
    for (const ServerNpc& n : ServerNpcs()) {
        if (n.templateNumber != templateNumber) continue;
        CItem* item = g_objectManager.FindBySerial(n.serial);
        if (CNPC* npc = item ? item->AsNPC() : nullptr) moved += Teleport(*npc, x + moved, y);
    }
    return moved;
}

bool MoveServerNpc(unsigned serial, int x, int y, bool hold) {
    CItem* item = g_objectManager.FindBySerial(serial);
    CNPC* npc = item ? item->AsNPC() : nullptr;
    if (!npc || !Teleport(*npc, x, y)) return false;
    if (hold) npc->SetMobFlag(kMobFrozen, true);
    return true;
}

bool SeasonServerPlayer(const char* name, int hits) {
    CPlayer* p = GetPlayerRegistry().FindByName(name);
    if (!p) return false;
    p->SetRealStat(kStatStrength, 100);
    p->SetRealStat(kStatDexterity, 100);
    p->SetMaxHits(hits);
    p->SetCurHits(hits);
    for (int skill : {kSkillFighting, kSkillWeaponSlashing, kSkillWeaponBashing,
                      kSkillWeaponPiercing, kSkillMelee, kSkillBattleDefense})
        p->SetSkill(skill, 1000);
    return true;
}

int ServerWorldPulse() {
    return GetWorldPulse();
}
