// The per-pulse state step: speed, sleep, and walking toward the destination.
#include <algorithm>

#include "core/random_numbers.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/guard.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/npc_load_limits.h"
#include "server/world/object_manager.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
constexpr int kRunningBit = 0x80;
constexpr int kRunSpeed = 88;
constexpr int kBankKind1Cap = 35;
constexpr int kStepCost = 100;

int Sign(int v) {
    return (v > 0) - (v < 0);
}

int DirectionOf(int dx, int dy) {
    for (int d = 0; d < 8; ++d)
        if (kDx[d] == dx && kDy[d] == dy) return d;
    return 0;
}

// The mobile the NPC follows: its leader as a follower, else its follow target.
CMobile* FollowedMobile(CNPC* npc) {
    if (CMobile* leader = npc->GetLeader()) return leader;
    return g_objectManager.FindMobile(npc->ai.followSerial);
}

// One try of a direction: the door first (1 used, above 1 given up), then the step.
// Answers -1 when the direction is not walkable, 0 after a door was used, else the z.
enum class TryResult { kBlocked, kDoorUsed, kGiveUp, kWalkable };
TryResult TryDirection(CNPC* npc, int d, int& z) {
    const int door = npc->OpenDoorInDirection(d);
    if (door > 1) return TryResult::kGiveUp;
    if (door == 1) return TryResult::kDoorUsed;
    return npc->Walk(d, &z) ? TryResult::kWalkable : TryResult::kBlocked;
}

}  // namespace

int NpcPulseSpeed(CNPC* npc, bool& fast) {
    fast = false;
    int percent = 30;
    if (npc->HasNpcFlags(kNpcFollowsTarget)) {
        npc->SetCurFatigue(npc->GetMaxFatigue());
        CMobile* target = g_objectManager.FindMobile(npc->ai.followSerial);
        if (target &&
            ChebyshevDistanceWrapped(target->GetWorldLocation(), npc->GetWorldLocation()) > 2) {
            percent = 100;
            fast = true;
        }
    } else {
        if (npc->ai.gait == 1 || npc->ai.gait == 2) percent = 80;
        switch (npc->ai.state) {
            case kNpcLoiter:
                percent = 18;
                break;
            case kNpcRunaway:
                percent = 100;
                break;
            case kNpcAttackTarget:
                percent = 50;
                break;
            default:
                break;
        }
    }
    int speed = npc->GetMoveSpeed() * percent / 100;
    if (npc->GetCurHits() < npc->GetMaxHits()) {
        const int maxHits = std::max(npc->GetMaxHits(), 1);
        speed = std::max(speed * npc->GetCurHits() / maxHits, speed / 4);
    }
    if (!fast && npc->HasNpcFlags(kNpcBankKind1) && npc->ai.state != kNpcAttackTarget)
        speed = std::min(speed, kBankKind1Cap);
    if (speed > kRunSpeed)
        npc->SetDirection(npc->GetDirection() | kRunningBit);
    else
        npc->SetDirection(npc->GetDirection() & ~kRunningBit);
    if (!npc->IsGuard() && !npc->HasNpcFlags(kNpcFollowsTarget))
        speed = std::min(speed, GetNpcLoadLimits().SpeedCap());
    return speed;
}

void ExecuteNpcState(CNPC* npc) {
    if (npc->IsGuard() && static_cast<CGuard*>(npc)->TickLeaveCountdown()) return;
    if (npc->ai.actionPause > 0) {
        --npc->ai.actionPause;
        return;
    }
    if (npc->ai.state == kNpcSleep) {
        if (--npc->ai.sleepCount <= 0 || npc->IsAnimalTemplate())
            npc->SetState(npc->ai.resumeState);
        return;
    }
    const int state = npc->ai.state;
    if (state != kNpcTalking && state != kNpcFollowing && npc->HasNpcFlags(kNpcDormant)) return;

    bool fast = false;
    npc->ai.moveAccumulator += NpcPulseSpeed(npc, fast);
    while (npc->ai.moveAccumulator >= kStepCost) {
        npc->ai.moveAccumulator -= kStepCost;
        if (npc->HasPath()) {
            npc->FollowPathStep();
            return;
        }
        if (npc->ai.state == kNpcEatFood) {
            if (npc->HasNpcFlags(kNpcNoFood))
                npc->SetState(kNpcIdle);
            else
                NpcEatStep(npc);
            if (!IsCurrentNpc(npc)) return;
        } else if (npc->ai.state == kNpcAttackTarget) {
            if (npc->HasNpcFlags(kNpcNoAttack))
                npc->SetState(kNpcIdle);
            else
                NpcAttackStep(npc);
            if (!IsCurrentNpc(npc)) return;
        }
        if (npc->HasNpcFlags(kNpcHoldsStill) && npc->ai.state != kNpcTalking &&
            npc->ai.state != kNpcFollowing)
            return;
        if (npc->ai.state == kNpcFollowing) {
            if (CMobile* leader = FollowedMobile(npc)) {
                const CNPC* leaderNpc = leader->AsNPC();
                const int near = leaderNpc && leaderNpc->IsAnimalTemplate() ? 4 : 2;
                if (ChebyshevDistanceWrapped(leader->GetWorldLocation(), npc->GetWorldLocation()) <
                    near) {
                    npc->ai.moving = 0;
                    return;
                }
                npc->ai.moving = 1;
                npc->ai.destination = leader->GetWorldLocation();
            }
        }
        if (npc->ai.moving) {
            npc->ai.arrivedElsewhere = 0;
            int done = npc->StepTowardDestination();
            if (!IsCurrentNpc(npc)) return;
            // A guard whose chase is blocked short of the offender leaps ahead and goes on.
            if (done && npc->ai.state == kNpcAttackTarget && npc->IsGuard() &&
                !npc->ai.destination.IsUnset() &&
                ChebyshevDistanceWrapped(npc->GetWorldLocation(), npc->ai.destination) > 1 &&
                npc->TryGuardLeap(npc->ai.destination)) {
                if (!IsCurrentNpc(npc)) return;
                done = npc->StepTowardDestination();
                if (!IsCurrentNpc(npc)) return;
            }
            if (done) {
                npc->ai.moving = 0;
                int d = 0;
                if (!npc->ai.destination.IsUnset())
                    d = ChebyshevDistanceWrapped(npc->GetWorldLocation(), npc->ai.destination);
                const bool wanders = npc->ai.state == kNpcLoiter || npc->ai.state == kNpcWander;
                if (d <= 1) {
                    if (wanders)
                        npc->GoToSleep(RandomRange(15, 30), npc->ai.resumeState);
                    else
                        npc->SetState(npc->ai.resumeState);
                } else {
                    npc->ai.arrivedElsewhere = 1;
                    npc->MarkTargetReached();
                    if (wanders)
                        npc->GoToSleep(RandomRange(15, 30), npc->ai.blockedState);
                    else
                        npc->SetState(npc->ai.blockedState);
                    if (npc->ai.blockedState == kNpcWander) npc->ai.lastQuadrant ^= 2;
                }
                NpcThink(npc);
                if (!IsCurrentNpc(npc)) return;
            }
        }
        if (fast) npc->SetCurFatigue(npc->GetMaxFatigue());
    }
}

int CNPC::StepTowardDestination() {
    if (ai.destination.IsUnset()) return 1;
    const Location at = GetWorldLocation();
    const int distance = ChebyshevDistanceWrapped(at, ai.destination);
    if (distance < 1) return 1;
    int d = DirectionOf(Sign(ai.destination.x - at.x), Sign(ai.destination.y - at.y));
    int z = 0;
    if (!Walk(d, &z)) {
        if (distance == 1) return 1;
        const u32 serial = GetSerial();
        TryResult r = TryDirection(this, d, z);
        if (g_objectManager.FindNPC(serial) != this || !IsCurrentNpc(this)) return 1;
        if (r == TryResult::kGiveUp) return 1;
        if (r == TryResult::kDoorUsed) return 0;
        if (r == TryResult::kBlocked) {
            const int first = RandomRange(0, 1) ? 1 : 7;
            const int sides[2] = {(d + first) & 7, (d + 8 - first) & 7};
            r = TryResult::kBlocked;
            for (int side : sides) {
                r = TryDirection(this, side, z);
                if (g_objectManager.FindNPC(serial) != this || !IsCurrentNpc(this)) return 1;
                if (r == TryResult::kGiveUp) return 1;
                if (r == TryResult::kDoorUsed) return 0;
                if (r == TryResult::kWalkable) {
                    d = side;
                    break;
                }
            }
            if (r != TryResult::kWalkable) return 1;
        }
    }
    const int running = GetDirection() & kRunningBit;
    if ((GetDirection() & 7) != d) SetDirection(d | running);
    const int cost = running && (ai.gait == 1 || ai.gait == 2) ? 400 : 100;
    ConsumeMoveFatigue(cost);
    MoveInDirection(d | running, z);
    return 0;
}

void CNPC::MarkTargetReached() {
    if (ai.state == kNpcAttackTarget && ai.targetSerial == ai.noticedSerial)
        ai.reachedSerial = ai.targetSerial;
}
