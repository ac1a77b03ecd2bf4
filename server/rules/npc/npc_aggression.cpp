// Whom an NPC is hostile to, starting and stopping its fights, and the pack fight.
#include <algorithm>
#include <utility>
#include <vector>

#include "core/random_numbers.h"
#include "core/spatial_grid.h"
#include "server/rules/combat.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/map_queries.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kMaxNestedAttacks = 32;
constexpr int kMaxPackTable = 256;
constexpr int kScanRadius = 18;
constexpr int kBankKind2ScanRadius = 8;

std::vector<std::pair<u32, u32>> g_attacksInProgress;
bool g_packFightBusy = false;

bool Hostile(CNPC* npc, CMobile* m) {
    return m && m != npc && npc->IsHostileTo(m);
}

}  // namespace

void NpcStartAttack(CNPC* attacker, CMobile* target) {
    StartAttack(attacker, target, 1);
}

void CNPC::AttackMobile(CMobile* target) {
    if (!target) return;
    const std::pair<u32, u32> pair{GetSerial(), target->GetSerial()};
    if (std::find(g_attacksInProgress.begin(), g_attacksInProgress.end(), pair) !=
            g_attacksInProgress.end() ||
        static_cast<int>(g_attacksInProgress.size()) >= kMaxNestedAttacks)
        return;
    PlayGesture(5);
    g_attacksInProgress.push_back(pair);
    NpcStartAttack(this, target);
    g_attacksInProgress.pop_back();
}

void CNPC::StopFighting(int flag) {
    CMobile* target = g_objectManager.FindMobile(ai.targetSerial);
    if (flag == 1 && target) target->RemoveOpponent(GetSerial(), true);
    RemoveOpponent(ai.targetSerial, flag == 1);
    ai.targetSerial = 0;
    SetState(kNpcIdle);
}

bool CNPC::IsHostileTo(CMobile* mobile) {
    if (!mobile) return false;
    if ((GetAlignmentFlags(1) & mobile->GetAlignmentFlags(0)) == 0) return false;
    return CanReach(mobile);
}

bool CNPC::CanReach(CMobile* mobile) {
    if (!mobile || mobile->IsHidden() || GetCombatList().Contains(mobile->GetSerial())) return false;
    const int answer = g_worldMap.CanExistAt(mobile->GetWorldLocation(), GetHeight(), GetMoveType(),
                                             this, 0, mobile);
    return (answer & kExistOnSurfaceTop) != 0;
}

void CNPC::AggressionScan() {
    if (IsDetached() || IsContained()) return;
    const Location at = GetWorldLocation();
    const int radius = HasNpcFlags(kNpcBankKind2) ? kBankKind2ScanRadius : kScanRadius;
    CMobile* best = nullptr;
    int bestDistance = 0;
    auto consider = [&](CMobile* m) {
        if (!Hostile(this, m)) return;
        const int d = ChebyshevDistanceWrapped(at, m->GetWorldLocation());
        if (!best || d < bestDistance) {
            best = m;
            bestDistance = d;
        }
    };
    static std::vector<CNPC*> npcs;
    static std::vector<CPlayer*> players;
    npcs.clear();
    players.clear();
    if (auto* grid = g_mobileTable.GetGrid()) grid->CollectInRadius(npcs, at.x, at.y, radius);
    for (CNPC* npc : npcs)
        consider(npc);
    CollectPlayersInRange(players, at, radius);
    for (CPlayer* p : players)
        consider(static_cast<CMobile*>(p));
    if (!best) return;
    ai.noticedSerial = best->GetSerial();
    AttackMobile(best);
}

void CNPC::CheckAggression() {
    if (HasNpcFlags(kNpcIgnoresMobiles) || ai.state == kNpcAttackTarget) return;
    AggressionScan();
}

void NpcPackFight(CNPC* leader) {
    if (g_packFightBusy) return;
    g_packFightBusy = true;
    static std::vector<u32> members;
    static std::vector<u32> enemies;
    members.clear();
    enemies.clear();
    members.push_back(leader->GetSerial());
    for (CMobile* f = leader->GetFirstFollower();
         f && static_cast<int>(members.size()) < kMaxPackTable; f = f->GetNextFollower())
        members.push_back(f->GetSerial());
    auto addEnemy = [](CMobile* m) {
        if (static_cast<int>(enemies.size()) >= kMaxPackTable) return;
        if (std::find(enemies.begin(), enemies.end(), m->GetSerial()) == enemies.end())
            enemies.push_back(m->GetSerial());
    };
    for (const SerialTimer& entry : leader->GetAggressorList().Entries()) {
        CMobile* m = g_objectManager.FindMobile(entry.serial);
        if (!m) continue;
        CMobile* head = m->GetLeader() ? m->GetLeader() : m;
        addEnemy(head);
        for (CMobile* f = head->GetFirstFollower(); f; f = f->GetNextFollower())
            addEnemy(f);
    }
    if (enemies.empty()) {
        g_packFightBusy = false;
        return;
    }
    // Each enemy is held by at most one member, the nearest that claimed it.
    static std::vector<int> heldBy;
    static std::vector<s32> heldAt;
    static std::vector<int> holds;
    heldBy.assign(enemies.size(), -1);
    heldAt.assign(enemies.size(), 0);
    holds.assign(members.size(), -1);
    int i = static_cast<int>(members.size()) - 1;
    int rounds = 0;
    const int roundLimit = static_cast<int>(members.size() * enemies.size()) + 1;
    while (i >= 0 && rounds++ < roundLimit) {
        CMobile* member = g_objectManager.FindMobile(members[static_cast<size_t>(i)]);
        int candidate = -1;
        s32 best = 2147483647;
        for (size_t e = 0; member && e < enemies.size(); ++e) {
            CMobile* enemy = g_objectManager.FindMobile(enemies[e]);
            if (!enemy || heldBy[e] == i) continue;
            const s32 d = SquaredDistance(member->GetWorldLocation(), enemy->GetWorldLocation());
            if (d < best && (heldBy[e] < 0 || best < heldAt[e])) {
                candidate = static_cast<int>(e);
                best = d;
            }
        }
        if (candidate < 0) {
            --i;
            continue;
        }
        const int previous = heldBy[static_cast<size_t>(candidate)];
        if (holds[static_cast<size_t>(i)] >= 0)
            heldBy[static_cast<size_t>(holds[static_cast<size_t>(i)])] = -1;
        heldBy[static_cast<size_t>(candidate)] = i;
        heldAt[static_cast<size_t>(candidate)] = best;
        holds[static_cast<size_t>(i)] = candidate;
        if (previous < 0) {
            --i;
        } else {
            holds[static_cast<size_t>(previous)] = -1;
            i = previous;
        }
    }
    for (size_t e = 0; e < enemies.size(); ++e) {
        if (heldBy[e] < 0) continue;
        CNPC* member = g_objectManager.FindNPC(members[static_cast<size_t>(heldBy[e])]);
        CMobile* enemy = g_objectManager.FindMobile(enemies[e]);
        if (member && enemy) member->AttackMobile(enemy);
    }
    for (size_t m = 0; m < members.size(); ++m) {
        if (holds[m] >= 0) continue;
        CNPC* member = g_objectManager.FindNPC(members[m]);
        CMobile* enemy = g_objectManager.FindMobile(
            enemies[static_cast<size_t>(RandomRange(0, static_cast<int>(enemies.size()) - 1))]);
        if (member && enemy) member->AttackMobile(enemy);
    }
    g_packFightBusy = false;
}
