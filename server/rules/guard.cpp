#include "server/rules/guard.h"

#include <vector>

#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "server/area/regions.h"
#include "server/rules/combat.h"
#include "server/rules/effects.h"
#include "server/world/guard.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/template_creation.h"

namespace {

// The room a guard needs where it appears or lands, and how far its z may differ.
constexpr int kGuardHeight = 16;
constexpr int kSpotZRange = 2;
constexpr int kSpawnMinDistance = 3;
constexpr int kSpawnMaxDistance = 6;
constexpr int kLeapDistance = 3;

void Flash(const Location& at) {
    DoLocAnimation(at, kGuardFlashGraphic, 10, 10, 0, 0);
}

CMobile* RefindMobile(u32 serial) {
    return serial ? g_objectManager.FindMobile(serial) : nullptr;
}

// The guard threatens and attacks; false when the offender is gone afterwards.
bool SendGuardAfter(CNPC* guard, u32 offenderSerial) {
    CMobile* offender = RefindMobile(offenderSerial);
    if (!offender) return false;
    const u32 guardSerial = guard->GetSerial();
    guard->EBark(kGuardThreat, -1, -1, -1);
    offender = RefindMobile(offenderSerial);
    CMobile* still = RefindMobile(guardSerial);
    if (offender && still) StartAttack(still, offender, 1);
    return RefindMobile(offenderSerial) != nullptr;
}

}  // namespace

int CallGuards(CMobile* offender, const Location& at, CItem* victim, int guards) {
    if (guards < 1 || !offender || offender->IsGhost() || (victim && victim->IsGhost())) return 0;
    const Location place = victim ? victim->GetWorldLocation() : at;
    if (!g_sectorGrid.Contains(place.x, place.y)) return 0;
    const Location from = offender->GetWorldLocation();
    if (g_regionManager.IsInNoGuardRegion(from) && g_regionManager.IsInNoGuardRegion(place))
        return 0;
    const u32 offenderSerial = offender->GetSerial();
    const int answered = DispatchGuards(offender, 1);
    offender = RefindMobile(offenderSerial);
    // Outside guarded places a guard within reach still comes; none is made and the call
    // counts as unanswered.
    if (!g_regionManager.IsInJusticeRegion(from) && !g_regionManager.IsInJusticeRegion(place))
        return 0;
    int made = 0;
    if (offender && answered < 1) made = SpawnGuards(offender->GetWorldLocation(), 1 - answered,
                                                     offender, true);
    return answered + made > 0 ? 1 : 0;
}

int DispatchGuards(CMobile* offender, int want) {
    if (!offender || want < 1) return 0;
    const u32 offenderSerial = offender->GetSerial();
    std::vector<CGuard*> near;
    g_guardList.CollectNear(offender->GetWorldLocation(), kGuardCallRange, near);
    std::vector<u32> serials;
    serials.reserve(near.size());
    for (CGuard* guard : near)
        serials.push_back(guard->GetSerial());
    int count = 0;
    for (u32 serial : serials) {
        if (count >= want) break;
        CItem* found = g_objectManager.FindBySerial(serial);
        CNPC* guard = found ? found->AsNPC() : nullptr;
        if (!guard || !guard->IsGuard()) continue;
        if (guard->GetState() == kNpcAttackTarget) {
            if (guard->ai.targetSerial == offenderSerial) ++count;
            continue;
        }
        ++count;
        if (!SendGuardAfter(guard, offenderSerial)) break;
    }
    return count;
}

int SpawnGuards(const Location& at, int count, CMobile* offender, bool withEffect) {
    if (!offender) return 0;
    const u32 offenderSerial = offender->GetSerial();
    int made = 0;
    for (int i = 0; i < count; ++i) {
        const int number = kGuardTemplates[RandomRange(0, 1)];
        Location spot = at;
        if (!g_worldMap.FindGoodSpotNearWithElev(spot, at.z - kSpotZRange, at.z + kSpotZRange,
                                                 kSpawnMinDistance, kSpawnMaxDistance,
                                                 kGuardHeight, GetTemplateMoveType(number),
                                                 nullptr))
            break;
        CItem* object = CreateTemplateObject(number, spot, 0, 0, nullptr);
        if (!object) break;
        if (!object->IsGuard()) {
            // A template that makes no guard is a content fault: the object goes.
            GetLogSink().Log(0, 0, 0, "", "guards", "error",
                             "a guard template makes something that is not a guard");
            object->DeleteSelf();
            break;
        }
        CGuard* guard = static_cast<CGuard*>(object);
        if (withEffect) {
            Flash(spot);
            PlaySfx(spot, kGuardSound, 0);
        }
        guard->SetLeaveCountdown(kGuardLeavePulses);
        ++made;
        if (!SendGuardAfter(guard, offenderSerial)) break;
    }
    return made;
}

bool CGuard::TickLeaveCountdown() {
    if (leaveCountdown_ == kGuardStays) return false;
    if (GetState() == kNpcAttackTarget) {
        leaveCountdown_ = kGuardLeavePulses;
        return false;
    }
    if (leaveCountdown_ > 1) {
        --leaveCountdown_;
        return false;
    }
    const Location at = GetWorldLocation();
    Flash(at);
    PlaySfx(at, kGuardSound, 0);
    // Taken out of the world first so that the players who see it are told it is gone: the
    // deletion alone leaves the world quietly.
    RemoveFromWorld();
    DeleteSelf();
    return true;
}

int CNPC::TryGuardLeap(const Location& to) {
    if (!IsGuard() || GetState() != kNpcAttackTarget || !g_sectorGrid.Contains(to.x, to.y))
        return 0;
    Location spot = to;
    if (!g_worldMap.FindGoodSpotNearWithElev(spot, to.z - kSpotZRange, to.z + kSpotZRange, 0,
                                             kLeapDistance, GetHeight(), GetMoveType(), this))
        return 0;
    const Location from = GetWorldLocation();
    RemoveFromWorld();
    PlaceInWorld(spot);
    Flash(from);
    Flash(spot);
    PlaySfx(spot, kGuardSound, 0);
    return 1;
}
