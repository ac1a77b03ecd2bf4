#include "server/player/player_movement.h"

#include <vector>

#include "core/loop_state.h"
#include "core/spatial_grid.h"
#include "platform/clock.h"
#include "server/net/object_senders.h"
#include "server/net/player_senders.h"
#include "server/net/speech.h"
#include "server/world/area_services.h"
#include "server/world/map_queries.h"
#include "server/world/map_step.h"
#include "server/world/npc_services.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"
#include "server/world/npc.h"

namespace {

// The pulse counter's 30 bits: differences are taken on them.
constexpr s32 kPulseBits = PlayerWalkState::kPulseBits;
// The secure-trade container a trading player carries first in its contents.
constexpr u16 kTradeContainerGraphic = 0x1E5E;
// Objects newly in view are looked for in the cells one tile beyond the view.
constexpr int kNewInViewCellRadius = kPlayerViewRange + 1;

// Whether the player is still the live player of that serial (a trigger may have destroyed
// it; the pointer is only compared, never followed, until this says yes).
bool StillThere(u32 serial, const CPlayer* player) {
    return FindLivePlayerBySerial(serial) == player;
}

// A ghost that is not manifesting is seen only by ghosts and game masters.
bool SeesGhost(const CPlayer& viewer) {
    return viewer.IsGhost() || viewer.IsGameMaster();
}

bool IsUnseenGhost(const CPlayer& player) {
    return player.IsGhost() && !player.IsManifesting();
}

void KeepGhostViewers(std::vector<CPlayer*>& players) {
    std::vector<CPlayer*> kept;
    for (CPlayer* p : players)
        if (SeesGhost(*p)) kept.push_back(p);
    players.swap(kept);
}

// Shows the viewer the objects, and then lets the NPCs among them notice it (an NPC's
// reaction may change the world, so the objects are all sent first and the NPCs are found
// again by serial). Answers false when the viewer did not survive it.
bool ShowObjects(CPlayer& viewer, const std::vector<CItem*>& objects) {
    std::vector<u32> npcs;
    for (CItem* object : objects) {
        SendObjectTo(viewer, *object, true);
        if (object->IsNPC()) npcs.push_back(object->GetSerial());
    }
    const u32 serial = viewer.GetSerial();
    for (u32 npcSerial : npcs) {
        CNPC* npc = g_objectManager.FindNPC(npcSerial);
        if (npc) GetNpcServices().NoticeMobile(npc, &viewer);
        if (!StillThere(serial, &viewer)) return false;
    }
    return true;
}

// Whether the viewer is shown the other player: a ghost that is not manifesting is hidden
// from the living, unless the viewer is in edit mode or the ghost is a game master.
bool ShownTo(const CPlayer& viewer, const CPlayer& other, bool editModeSees) {
    if (!IsUnseenGhost(other) || viewer.IsGhost()) return true;
    return editModeSees && (viewer.IsEditing() || other.IsGameMaster());
}

}  // namespace

void CPlayer::PlaceInWorld(const Location& at) {
    PlaceInWorldQuiet(at);
    if (!g_objectManager.IsOn(ObjectSwitch::kLoading)) {
        // The client's walk no longer matches the server's: it must resynchronise. The light
        // packets of the place come with the light rules.
        const u32 serial = GetSerial();
        SendPlayerUpdate(*this);
        SetWalkBlocked(1);
        SendSurroundings();
        if (!IsObjectAlive(serial, this)) return;
        SendPlayerUpdate(*this);
    }
    if (IsCampFireNear(GetWorldLocation())) {
        if (campStartTime_ == 0) campStartTime_ = platform::NowMs();
    } else {
        campStartTime_ = 0;
    }
}

int CPlayer::Walk(int direction, int* landingZ) {
    const Location from = GetWorldLocation();
    const Location to = StepTarget(from, direction);
    if (to.x == from.x && to.y == from.y) return 0;
    if (landingZ) *landingZ = to.z;
    return 1;
}
bool CPlayer::IsExhausted() {
    if (IsEditing()) return false;
    return CMobile::IsExhausted();
}

int CPlayer::WalkRequest(int direction, int sequence) {
    // A character out of the world (logged out, carried) has no place to step from.
    if (IsDetached()) {
        RejectMove(sequence);
        return 0;
    }
    const s32 now = GetWorldPulse() & kPulseBits;
    const s32 elapsed = (now - walk_.ring[walk_.ringIndex]) & kPulseBits;
    if (!IsGhost() && IsExhausted()) {
        SendSystemMessage(*this, IsMounted() ? "Your horse is too fatigued to move."
                                             : "You are too fatigued to move.");
        RejectMove(sequence);
        return 0;
    }
    if (sequence == 0) SetWalkBlocked(0);
    if (IsWalkBlocked()) {
        RejectMove(sequence);
        return 0;
    }
    // Five requests in fewer than four pulses (a second) walk faster than the client may.
    const s32 rate = elapsed == 0 ? 500 : 500 / elapsed;
    if (!IsGhost()) ConsumeMoveFatigue(rate > 125 ? kFastStepCost : kStepCost);
    const u32 serial = GetSerial();
    ShoveContext shove;
    g_worldMap.HandlePlayerStep(this, direction, sequence, shove);
    if (!StillThere(serial, this)) return 1;
    walk_.ring[walk_.ringIndex] = now;
    walk_.ringIndex = static_cast<u8>((walk_.ringIndex + 1) % PlayerWalkState::kRingSize);
    return 1;
}

void CPlayer::Turn(int direction, int acknowledge, int sequence) {
    SetDirection(direction);
    if (acknowledge) SendMoveAck(*this, sequence);
    std::vector<CPlayer*> near;
    PlayerGridCollectExcept(near, GetWorldLocation(), kPlayerViewRange,
                            acknowledge ? this : nullptr);
    // A ghost's turns are seen only by ghosts, unless it manifests.
    if (IsGhost() && !IsManifesting()) {
        std::vector<CPlayer*> ghosts;
        for (CPlayer* p : near)
            if (p->IsGhost()) ghosts.push_back(p);
        near.swap(ghosts);
    }
    SendObjectToPlayers(near, *this, false);
}

Location CPlayer::StepTarget(const Location& from, int direction) {
    if (IsFrozen()) {
        SendSystemMessage(*this, "You are frozen and can not move.");
        return from;
    }
    if (!IsGhost() && IsExhausted()) return from;
    Location to = from;
    to.Step(direction & 7);
    if (!g_sectorGrid.Contains(to.x, to.y)) return from;
    if (direction & 1) {
        // No corner cutting: one of the two straight neighbours must be open.
        if (StepTarget(from, direction - 1) == from &&
            StepTarget(from, (direction + 1) & 7) == from)
            return from;
    }
    int low = 0, high = 0;
    GetStandingZ(from, low, high);
    to.z = static_cast<s16>(GetTravelZ(to, low, high));
    const int z = g_worldMap.FindGoodZ(to, low, high, GetHeight(), GetMoveType(), this, 0);
    if (z == kNoZ) return from;
    to.z = static_cast<s16>(z);
    return to;
}

void CPlayer::RejectMove(int sequence) {
    SendMoveReject(*this, sequence);
    SetWalkBlocked(1);
}

void CPlayer::MoveStep(int direction, int acknowledge, int sequence) {
    const Location old = GetWorldLocation();
    Location to = old;
    to.Step(direction & 7);
    if (direction != GetDirection()) SetDirection(direction);
    if (g_sectorGrid.Contains(to.x, to.y)) {
        int low = 0, high = 0;
        GetStandingZ(old, low, high);
        to.z = static_cast<s16>(GetTravelZ(to, low, high));
        const int z = g_worldMap.FindGoodZ(to, low, high, GetHeight(), GetMoveType(), this, 0);
        // The walk test found a z there; should the place have changed since, the step is
        // refused rather than the player put at no height at all.
        if (z == kNoZ) {
            if (acknowledge) RejectMove(sequence);
            return;
        }
        to.z = static_cast<s16>(z);
    }

    const u32 serial = GetSerial();
    if (!FireRangeTriggers(this, old, to)) {
        if (acknowledge && StillThere(serial, this)) RejectMove(sequence);
        return;
    }
    if (!StillThere(serial, this)) return;

    // Relink: a trigger may have moved the player meanwhile; it is then placed loudly.
    const Location current = GetWorldLocation();
    if (g_sectorGrid.CellIndexOf(current) != g_sectorGrid.CellIndexOf(to)) {
        RemoveFromWorldQuiet();
        if (current == old) {
            PlaceInWorldQuiet(to);
        } else {
            PlaceInWorld(to);
            if (!StillThere(serial, this)) return;
        }
    } else {
        SetLocationField(to);
        PlayerGridAdd(this);
    }
    RecordValidTerrain(to);

    if (IsCampFireNear(to)) {
        if (campStartTime_ == 0) campStartTime_ = platform::NowMs();
    } else {
        campStartTime_ = 0;
    }
    if (IsHidden() && !IsEditing()) SetHidden(false);

    if (acknowledge) {
        SendMoveAck(*this, sequence);
        MoveFollowers(direction);
        if (!StillThere(serial, this)) return;
    }

    std::vector<CPlayer*> staying, entering, leaving;
    PlayerGridPartition(staying, entering, leaving, old, to, kPlayerViewRange,
                        acknowledge ? this : nullptr);
    if (IsUnseenGhost(*this)) {
        KeepGhostViewers(staying);
        KeepGhostViewers(entering);
        KeepGhostViewers(leaving);
    }
    SendObjectToPlayers(staying, *this, false);
    SendObjectToPlayers(entering, *this, true);
    SendRemovalToPlayers(leaving, serial);

    std::vector<CItem*> newInView;
    ForObjectsInCellsNear(to, kNewInViewCellRadius, [&](CItem* object) {
        const Location& at = object->GetLocation();
        if (ChebyshevDistanceXY(at.x, at.y, to.x, to.y) > kPlayerViewRange ||
            ChebyshevDistanceXY(at.x, at.y, old.x, old.y) <= kPlayerViewRange)
            return;
        const CPlayer* other = object->AsPlayer();
        if (other && !ShownTo(*this, *other, false)) return;
        newInView.push_back(object);
    });
    if (!ShowObjects(*this, newInView)) return;

    if (CWeapon* weapon = GetWeapon(); weapon && weapon->IsRanged()) {
        // A ranged weapon's swing starts over after a step.
        SetSwingState(1);
    }

    if (++walk_.stepCounter >= kGuardZoneCheckSteps) {
        walk_.stepCounter = 0;
        UpdateGuardZone();
    }

    CItem* first = GetFirstChild();
    if (first && first->GetType() == kTradeContainerGraphic) {
        // Trades whose owners walked apart end here once secure trade is built.
        static bool logged = false;
        LogNotBuiltOnce(logged, "players", "ending a trade by walking away is not built yet");
    }

    if (old.z > GetWorldLocation().z) TakeFallDamage(old.z - GetWorldLocation().z);
}

void CPlayer::UpdateGuardZone() {
    const Location at = GetWorldLocation();
    // The regions answer for city and justice regions alike: the guards protect both.
    const int state = GetAreaServices().IsInJusticeRegion(at) ? 1 : 0;
    if (state == walk_.guardZone) return;
    walk_.guardZone = state;
    SendSystemMessage(*this, state ? "You are now under the protection of the town guards."
                                   : "You have left the protection of the town guards.");
}

void CPlayer::SendSurroundings() {
    const Location at = GetWorldLocation();
    std::vector<CItem*> objects;
    ForObjectsInCellsNear(at, kPlayerViewRange, [&](CItem* object) {
        const Location& there = object->GetLocation();
        if (object == this || ChebyshevDistanceXY(there.x, there.y, at.x, at.y) > kPlayerViewRange)
            return;
        const CPlayer* other = object->AsPlayer();
        if (other && !ShownTo(*this, *other, true)) return;
        objects.push_back(object);
    });
    if (!ShowObjects(*this, objects)) return;
    if (IsHidden()) return;
    std::vector<CPlayer*> near;
    PlayerGridCollectExcept(near, at, kPlayerViewRange, this);
    if (IsUnseenGhost(*this)) KeepGhostViewers(near);
    SendObjectToPlayers(near, *this, true);
}

void StepPlayer(CMobile* mobile, int direction) {
    CPlayer* player = mobile ? mobile->AsPlayer() : nullptr;
    if (!player) return;
    if (player->Walk(direction)) player->UpdateAfterStep(direction);
}
