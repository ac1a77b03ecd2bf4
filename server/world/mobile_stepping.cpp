// Stepping: whether a mobile can take one tile in a direction and at which z it lands, and
// the step itself with its range triggers, the viewers' updates and fall damage.
#include <algorithm>
#include <vector>

#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"
#include "server/world/npc.h"

namespace {

constexpr int kNoLandingZ = -128;

bool InGrid(const Location& at) {
    return g_sectorGrid.Contains(at.x, at.y);
}

}  // namespace

void CMobile::GetStandingZ(const Location& at, int& low, int& high) const {
    low = high = at.z;
    high += GetMoveType() == kMoveTypeFlying ? 16 : 2;
}

int CMobile::GetTravelZ(const Location& at, int, int) const {
    if (GetMoveType() == kMoveTypeFlying) return g_worldMap.GetElevation(at.x, at.y) + 10;
    return at.z;
}

namespace {

// The landing z of a step in the direction from `from`, or kNoLandingZ.
int LandingZ(const CMobile& mobile, const Location& from, int direction) {
    Location target = from;
    target.Step(direction & 7);
    if (!InGrid(target)) return kNoLandingZ;
    int low = 0, high = 0;
    mobile.GetStandingZ(from, low, high);
    target.z = static_cast<s16>(mobile.GetTravelZ(target, low, high));
    return g_worldMap.FindGoodZ(target, low, high, mobile.GetHeight(), mobile.GetMoveType(),
                                &mobile, 0);
}

// The step's landing z, with no corner cut between two blocked straight neighbours.
int CheckedLandingZ(const CMobile& mobile, int direction) {
    const Location from = mobile.GetWorldLocation();
    const int d = direction & 7;
    if (d & 1) {
        if (LandingZ(mobile, from, (d - 1) & 7) == kNoLandingZ &&
            LandingZ(mobile, from, (d + 1) & 7) == kNoLandingZ)
            return kNoLandingZ;
    }
    return LandingZ(mobile, from, d);
}

}  // namespace

int CMobile::Walk(int direction, int* landingZ) {
    if (IsFrozen()) return 0;
    if (!IsGhost() && IsExhausted()) return 0;
    // Moving multis (a steered ship) come with the multis; a mobile steps alone.
    const int z = CheckedLandingZ(*this, direction);
    if (z == kNoLandingZ) return 0;
    if (landingZ) *landingZ = z;
    return 1;
}

int CMobile::MoveInDirection(int direction, int z) {
    const CNPC* npc = AsNPC();
    if (npc && npc->HasNpcFlags(0x8000)) return 0;
    const u32 serial = serial_;
    const Location from = GetWorldLocation();
    Location to = from;
    to.Step(direction & 0x7F);
    if (direction != direction_) SetDirection(direction);
    if (InGrid(to)) {
        if (z == kNoLandingZ) z = CheckedLandingZ(*this, direction);
        if (z == kNoLandingZ) return 0;
        to.z = static_cast<s16>(z);
    } else {
        to.z = from.z;
    }
    if (!FireRangeTriggers(this, from, to)) return 0;
    if (g_objectManager.FindMobile(serial) != this) return 0;
    if (IsHidden()) SetHidden(false);
    if (g_sectorGrid.CellIndexOf(from) != g_sectorGrid.CellIndexOf(to)) {
        RemoveFromWorldQuiet();
        PlaceInWorldQuiet(to);
    } else {
        SetLocationField(to);
        if (CPlayer* player = AsPlayer()) PlayerGridAdd(player);
    }
    // Players that see the mobile get it moved; players that saw it only before lose it.
    // The player grid answers who is near: a walk over the objects around would visit
    // hundreds of them for every step of every NPC.
    std::vector<CPlayer*> before, after;
    const CPlayer* self = AsPlayer();
    PlayerGridCollectExcept(before, from, 18, self);
    PlayerGridCollectExcept(after, to, 18, self);
    for (CPlayer* p : after) {
        const bool saw = std::find(before.begin(), before.end(), p) != before.end();
        GetPacketServices().SendMobile(p, this, !saw);
    }
    // Only those who lost sight are told it is gone: a removal broadcast around `from` would
    // also reach the players who were just sent its move, and their client would drop it.
    std::vector<CPlayer*> lostSight;
    for (CPlayer* p : before) {
        if (std::find(after.begin(), after.end(), p) == after.end()) lostSight.push_back(p);
    }
    if (!lostSight.empty()) GetPacketServices().SendDeleteObjectTo(lostSight, serial_);
    if (to.z < from.z) TakeFallDamage(from.z - to.z);
    return 1;
}

void CMobile::MoveFollowers(int direction) {
    // Serials first: a step's range triggers may delete any follower.
    std::vector<u32> serials;
    for (CMobile* f = firstFollower_; f; f = f->nextFollower_)
        serials.push_back(f->GetSerial());
    for (u32 serial : serials) {
        CMobile* f = g_objectManager.FindMobile(serial);
        if (f && f->leader_ == this && f->Walk(direction))
            f->MoveInDirection(direction, kNoLandingZ);
    }
}
