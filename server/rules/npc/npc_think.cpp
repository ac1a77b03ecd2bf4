// NpcThink and the decision steps of the states: wander, loiter, runaway, seek food, attack,
// eat and purse shelter.
#include <algorithm>
#include <vector>

#include "core/random_numbers.h"
#include "script/runtime/trigger_services.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kBreedAfterThinks = 240;
constexpr s32 kLeaderReach = 1024;  // squared: 32 tiles
constexpr s32 kRunawayGiveUp = 325;
constexpr int kGuardWanderCap = 7;

// The nearest living mobile of the NPC's aggressor list, or null.
CMobile* NearestAliveAggressor(CNPC* npc) {
    CMobile* best = nullptr;
    int bestDistance = 0;
    const Location at = npc->GetWorldLocation();
    for (const SerialTimer& entry : npc->GetAggressorList().Entries()) {
        CMobile* m = g_objectManager.FindMobile(entry.serial);
        if (!m || m->IsDetached() || m->IsGhost()) continue;
        const int d = ChebyshevDistanceWrapped(at, m->GetWorldLocation());
        if (!best || d < bestDistance) {
            best = m;
            bestDistance = d;
        }
    }
    return best;
}

int QuadrantOf(int dx, int dy) {
    if (dx >= 1 && dy >= 1) return 0;
    if (dx > 0 && dy < 0) return 1;
    if (dx < 0 && dy < 0) return 2;
    return 3;
}

void StartFollowing(CNPC* npc, const CMobile* leader) {
    npc->SetState(kNpcFollowing);
    const Location at = leader->GetWorldLocation();
    npc->ai.destination.Set(at.x, at.y, 0);
    npc->ai.resumeState = kNpcIdle;
    npc->ai.blockedState = kNpcIdle;
    npc->ai.moving = 1;
    npc->SetGaitFromMoveType(100);
}

// The gesture draw of the wander and loiter steps: true when a gesture took the turn.
bool IdleGesture(CNPC* npc) {
    const int r = RandomRange(1, 10);
    if (r == 3) {
        if (npc->IsShopKeeper()) {
            npc->PlayGesture(2);
            return true;
        }
        npc->PlayGesture(2);
        return RandomRange(1, 4) == 3;
    }
    if (r >= 4 && r <= 6) {
        npc->PlayGesture(3);
        return true;
    }
    return false;
}

void WanderStep(CNPC* npc) {
    if (npc->IsGuard()) npc->ai.wanderCount = std::min(npc->ai.wanderCount, kGuardWanderCap);
    if (--npc->ai.wanderCount < 1) {
        npc->SetState(kNpcIdle);
        return;
    }
    if (IdleGesture(npc)) return;
    npc->PickWanderPoint(20);
    npc->ai.resumeState = kNpcWander;
    npc->ai.blockedState = kNpcWander;
    npc->SetGaitFromMoveType(50);
}

void LoiterStep(CNPC* npc) {
    if (!npc->HasNpcFlags(kNpcLoiterMode) && --npc->ai.loiterTime < 1) {
        npc->GoToSleep(RandomRange(15, 30), kNpcIdle);
        return;
    }
    if (npc->ai.loiterLoc.x < 0 || npc->ai.loiterLoc.y < 0)
        npc->ai.loiterLoc = npc->GetWorldLocation();
    if (IdleGesture(npc)) return;
    const Location at = npc->GetWorldLocation();
    for (int tries = 0; tries < 31; ++tries) {
        const int dx = RandomRange(0, 20) - 10;
        const int dy = RandomRange(0, 20) - 10;
        const int quadrant = QuadrantOf(dx, dy);
        if ((quadrant ^ 2) == npc->ai.lastQuadrant) continue;
        const Location point(at.x + dx, at.y + dy, 0);
        if (SquaredDistance(npc->ai.loiterLoc, point) >= 49) continue;
        npc->ai.lastQuadrant = static_cast<u8>(quadrant);
        npc->ai.destination = point;
        npc->ai.resumeState = kNpcLoiter;
        npc->ai.blockedState = kNpcLoiter;
        npc->ai.moving = 1;
        return;
    }
}

void SeekFoodStep(CNPC* npc) {
    // A script that handles "seekfood" is told; no pack member is ever found carrying food
    // for the hungriest one, so "failfood" follows. Either way the NPC wanders on.
    static std::vector<int> ranges;
    ranges.clear();
    GetTriggerServices().GetHandlerRanges(npc, kTriggerSeekFood, ranges);
    if (!ranges.empty()) {
        TriggerArgs args;
        GetTriggerServices().SendTrigger(npc, kTriggerSeekFood, args);
        if (!IsCurrentNpc(npc)) return;
        GetTriggerServices().SendTrigger(npc, kTriggerFailFood, args);
        if (!IsCurrentNpc(npc)) return;
    }
    npc->WanderFor(5, 25);
}

void Settle(CNPC* npc) {
    npc->GoToSleep(RandomRange(20, 30), kNpcLoiter);
    npc->ai.loiterTime = RandomRange(50, 500);
    npc->ai.loiterLoc = npc->ai.homeLoc;
    static bool logged = false;
    LogNotBuiltOnce(logged, "npc", "dropping the carried goods at a shelter is not built yet");
}

void PurseShelterStep(CNPC* npc) {
    npc->ai.shelterUrge = 0;
    if (npc->HasNpcFlags(kNpcHoldsClaim)) {
        Settle(npc);
        return;
    }
    if (npc->ai.desireMode == 0) {
        npc->GoToSleep(RandomRange(20, 30), kNpcLoiter);
        npc->ai.loiterTime = RandomRange(50, 500);
        npc->ai.loiterLoc = npc->GetWorldLocation();
        return;
    }
    CItem* food = g_objectManager.FindBySerial(npc->ai.foodSerial);
    if (!food || food->IsMobile() || food->IsDetached()) {
        npc->SetState(kNpcIdle);
        return;
    }
    ResourceEntry* entry = food->FindResource(npc->ai.desireType, 3);
    if (!entry || entry->amounts[2] < npc->ai.desireAmount) {
        npc->SetState(kNpcIdle);
        return;
    }
    npc->ai.homeLoc = npc->ai.destination;
    npc->SetNpcFlags(kNpcHoldsClaim);
    npc->ai.claimType = npc->ai.desireType;
    npc->ai.claimAmount = npc->ai.desireAmount;
    npc->ai.claimSerial = food->GetSerial();
    ResourceEntry::AddToAmount(entry, 2, -npc->ai.desireAmount);
    Settle(npc);
}

// Answers attackers: a pack leader with its pack, any other alone.
void RespondToAttackers(CNPC* npc) {
    CMobile* aggressor = NearestAliveAggressor(npc);
    if (aggressor) {
        if (npc->GetFirstFollower()) {
            NpcPackFight(npc);
        } else if (!(npc->ai.state == kNpcAttackTarget &&
                     npc->ai.targetSerial == aggressor->GetSerial()) &&
                   !npc->GetCombatList().Contains(aggressor->GetSerial())) {
            npc->AttackMobile(aggressor);
        }
        return;
    }
    if (npc->GetAggressorList().IsEmpty() && npc->ai.state == kNpcAttackTarget &&
        !g_objectManager.FindMobile(npc->ai.targetSerial))
        npc->ai.targetSerial = 0;
}

void ChooseFromIdle(CNPC* npc) {
    npc->SetGait(0);
    if (CMobile* leader = npc->GetLeader()) {
        StartFollowing(npc, leader);
        return;
    }
    if (npc->HasNpcFlags(kNpcFollowsTarget)) {
        CMobile* target = g_objectManager.FindMobile(npc->ai.followSerial);
        if (!target) {
            npc->ClearNpcFlags(kNpcHoldsStill | kNpcNoFood | kNpcFollowsTarget | kNpcTimedFollow);
            return;
        }
        StartFollowing(npc, target);
        return;
    }
    if (npc->HasNpcFlags(kNpcLoiterMode)) {
        npc->Loiter(1000, npc->ai.loiterLoc);
        return;
    }
    const bool barred = npc->HasNpcFlags(kNpcNeverSeeksFood);
    if (!barred && npc->IsHungry()) {
        npc->SetState(kNpcSeekFood);
        return;
    }
    if (npc->ai.shelterUrge == 0) {
        if (npc->ai.thinkCount > kBreedAfterThinks && !npc->HasNpcFlags(kNpcHasBred)) {
            npc->Breed();
            if (!IsCurrentNpc(npc)) return;
        }
        const int r = RandomRange(1, 10);
        if (r <= 5) {
            npc->SetState(kNpcSeekDesires);
        } else if (r <= 8 && !barred) {
            npc->SetState(kNpcSeekFood);
        } else {
            npc->SetState(kNpcWander);
            npc->ai.wanderCount = RandomRange(4, 25);
        }
        return;
    }
    npc->SetState(kNpcSeekShelter);
    --npc->ai.shelterUrge;
    if (RandomRange(1, 2) == 1) npc->ai.shelterUrge = 0;
}

void RunDecisionStep(CNPC* npc) {
    switch (npc->ai.state) {
        case kNpcSeekFood:
            if (npc->HasNpcFlags(kNpcNoFood | kNpcNeverSeeksFood))
                npc->SetState(kNpcIdle);
            else
                SeekFoodStep(npc);
            break;
        case kNpcPurseShelter:
            if (npc->HasNpcFlags(kNpcNoShelter))
                npc->SetState(kNpcIdle);
            else
                PurseShelterStep(npc);
            break;
        case kNpcEatFood:
        case kNpcAttackTarget:
        case kNpcIdle:
        case kNpcSleep:
        case kNpcFollowing:
            break;
        case kNpcLoiter:
            LoiterStep(npc);
            break;
        case kNpcRunaway:
            NpcRunawayStep(npc);
            break;
        case kNpcWander:
            WanderStep(npc);
            break;
        default:
            npc->SetState(kNpcIdle);
            break;
    }
}

}  // namespace

void NpcThink(CNPC* npc) {
    if (!npc->AreNeedsSetUp()) npc->InitNeeds();
    if (npc->IsDetached() || npc->IsContained() || npc->GetTemplateId() == kNoTemplate) return;
    ++npc->ai.thinkCount;
    if (npc->HasNpcFlags(kNpcTimedFollow)) {
        if (npc->ai.followTimeout < 1) {
            npc->ClearNpcFlags(kNpcHoldsStill | kNpcNoFood | kNpcFollowsTarget | kNpcTimedFollow);
            npc->SetState(kNpcIdle);
            npc->ai.moving = 0;
        } else {
            --npc->ai.followTimeout;
        }
    }
    if (CMobile* leader = npc->GetLeader()) {
        if (SquaredDistance(npc->GetWorldLocation(), leader->GetWorldLocation()) > kLeaderReach) {
            leader->RemoveFollower(npc);
            npc->SetState(kNpcIdle);
            npc->ai.moving = 0;
            if (!leader->GetFirstFollower()) leader->ClearHasFollowersFlag();
        }
    }
    if (npc->ai.state == kNpcRunaway) {
        CMobile* nearest = NearestAliveAggressor(npc);
        if (nearest && SquaredDistance(npc->GetWorldLocation(), nearest->GetWorldLocation()) < 4)
            npc->SetState(kNpcIdle);
        if (npc->ai.state == kNpcRunaway) {
            if (!npc->ai.moving) NpcRunawayStep(npc);
            return;
        }
    }
    if (!npc->GetLeader()) {
        RespondToAttackers(npc);
        if (!IsCurrentNpc(npc)) return;
    }
    npc->CheckAggression();
    if (!IsCurrentNpc(npc) || npc->ai.moving) return;
    if (npc->ai.state == kNpcIdle) {
        ChooseFromIdle(npc);
        if (!IsCurrentNpc(npc)) return;
        if (npc->ai.state == kNpcFollowing) return;
    }
    RunDecisionStep(npc);
}

void CNPC::WanderFor(int lo, int hi) {
    SetState(kNpcWander);
    ai.wanderCount = RandomRange(lo, hi);
    SetGaitFromMoveType(50);
}

void CNPC::PickWanderPoint(int range) {
    const int half = range / 2;
    int dx = 0, dy = 0, quadrant = 0;
    do {
        dx = RandomRange(0, range) - half;
        dy = RandomRange(0, range) - half;
        quadrant = QuadrantOf(dx, dy);
    } while ((quadrant ^ 2) == ai.lastQuadrant);
    ai.lastQuadrant = static_cast<u8>(quadrant);
    const Location at = GetWorldLocation();
    ai.destination.Set(at.x + dx, at.y + dy, 0);
    ai.moving = 1;
}

void NpcRunawayStep(CNPC* npc) {
    CMobile* threat = g_objectManager.FindMobile(npc->ai.targetSerial);
    if (!threat || threat->IsDetached()) {
        npc->SetState(kNpcIdle);
        return;
    }
    npc->SetGaitFromMoveType(100);
    if (npc->ai.arrivedElsewhere) {
        npc->PickWanderPoint(6);
        npc->ai.resumeState = kNpcRunaway;
        npc->ai.blockedState = kNpcRunaway;
        return;
    }
    const Location at = npc->GetWorldLocation();
    const Location from = threat->GetWorldLocation();
    const s32 d0 = SquaredDistance(at, from);
    if (d0 >= kRunawayGiveUp) {
        npc->SetState(kNpcIdle);
        return;
    }
    for (int tries = 0; tries < 32; ++tries) {
        const Location point(at.x + RandomRange(0, 10) - 5, at.y + RandomRange(0, 10) - 5, 0);
        if (SquaredDistance(point, from) <= d0) continue;
        npc->ai.destination = point;
        npc->ai.moving = 1;
        npc->ai.resumeState = kNpcRunaway;
        npc->ai.blockedState = kNpcRunaway;
        return;
    }
}

void NpcAttackStep(CNPC* npc) {
    if (npc->ai.targetSerial == 0) {
        npc->SetState(kNpcIdle);
        return;
    }
    CMobile* target = g_objectManager.FindMobile(npc->ai.targetSerial);
    if (!target || target->IsDetached()) {
        npc->StopFighting(0);
        return;
    }
    if (!npc->IsGuard() && target->IsHidden()) {
        npc->StopFighting(0);
        npc->ai.destination = npc->GetWorldLocation();
        return;
    }
    if (target->IsGhost()) {
        npc->StopFighting(1);
        return;
    }
    if (!npc->GetCombatList().Contains(target->GetSerial())) {
        npc->StopFighting(0);
        return;
    }
    const int distance =
        ChebyshevDistanceWrapped(npc->GetWorldLocation(), target->GetWorldLocation());
    if (distance >= 36) {
        npc->StopFighting(1);
        return;
    }
    if (npc->ShouldFlee() && RandomRange(1, 100) < npc->GetBaseStat(kStatIntelligence)) {
        npc->SetState(kNpcRunaway);
        npc->ai.moving = 0;
        NpcRunawayStep(npc);
        return;
    }
    npc->ai.destination = target->GetWorldLocation();
    npc->ai.resumeState = kNpcAttackTarget;
    npc->ai.blockedState = kNpcAttackTarget;
    npc->ai.moving = 1;
    npc->SetGait(0);
}

void NpcEatStep(CNPC* npc) {
    CItem* food = g_objectManager.FindBySerial(npc->ai.foodSerial);
    if (!food || food->IsDetached()) {
        npc->SetState(kNpcIdle);
        return;
    }
    if (CMobile* prey = food->AsMobile()) {
        switch (npc->FightOdds(prey)) {
            case 1:
                npc->SetState(kNpcIdle);
                break;
            case 2:
                npc->SetState(kNpcRunaway);
                npc->ai.targetSerial = prey->GetSerial();
                npc->ai.moving = 0;
                break;
            default:
                npc->PlayGesture(5);
                npc->AttackMobile(prey);
                break;
        }
        return;
    }
    const u32 serial = food->GetSerial();
    npc->TakeForPack(food);
    if (!IsCurrentNpc(npc)) return;
    if (g_objectManager.FindBySerial(serial)) npc->SetState(kNpcIdle);
}
