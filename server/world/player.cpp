#include "server/world/player.h"

#include "platform/clock.h"
#include "script/language/trigger_table.h"
#include "script/runtime/trigger_services.h"
#include "server/net/packet_services.h"
#include "server/net/socket.h"
#include "server/server_config.h"
#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/object_texts.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/player_shove.h"
#include "server/world/sector_grid.h"
#include "server/world/world_utilities.h"

// ---------------------------------------------------------------- CPlayer

namespace {
constexpr int kNewPlayerHits = 50;
constexpr u8 kNewPlayerWarByte = 50;
constexpr int kNewPlayerNotorietyCooldown = 3600;
}  // namespace

CPlayer::CPlayer() : flags_(0) {
    maxHits_ = curHits_ = kNewPlayerHits;
    warModeBytes_[2] = kNewPlayerWarByte;
    notorietyCooldown_ = kNewPlayerNotorietyCooldown;
    LinkLivePlayer(this);
}

CPlayer::~CPlayer() {
    PlayerGridRemove(this);
    // A connection must never keep pointing at a player that is gone.
    if (userSock_ && userSock_->player == this) userSock_->player = nullptr;
    UnlinkLivePlayer(this);
}

void CPlayer::SetName(const char* name) {
    std::snprintf(name_, sizeof name_, "%s", name ? name : "");
}

void CPlayer::SetAccountName(const char* name) {
    std::snprintf(accountName_, sizeof accountName_, "%s", name ? name : "");
}

bool CPlayer::Resurrect() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "players", "CPlayer::Resurrect is not built yet");
    return false;
}

void CPlayer::ApplyResurrectionLoss(int, int) {
    static bool logged = false;
    LogNotBuiltOnce(logged, "players", "CPlayer::ApplyResurrectionLoss is not built yet");
}

void CPlayer::LookAtObject(u32 serial) {
    ::LookAtObject(this, serial);
}

void CPlayer::SetWarModeBytes(const u8 (&bytes)[kWarModeByteCount]) {
    for (int i = 0; i < kWarModeByteCount; ++i)
        warModeBytes_[i] = bytes[i];
}

void CPlayer::WatchStatusOf(u32 serial) {
    for (int i = kLastExaminedCount - 1; i > 0; --i)
        lastExamined_[i] = lastExamined_[i - 1];
    lastExamined_[0] = serial;
}

bool CPlayer::IsWatchingStatusOf(u32 serial) const {
    // The list is filled from the front; the first 0 ends it.
    for (u32 watched : lastExamined_) {
        if (watched == 0) return false;
        if (watched == serial) return true;
    }
    return false;
}

void CPlayer::RecordValidTerrain(const Location& at) {
    const TerrainEntry* terrain = g_sectorGrid.TerrainAt(at.x, at.y);
    if (terrain && !IsInvalidTerrainTile(terrain->tile) && terrain->z == at.z) {
        lastValidTerrain_ = at;
    }
}

void CPlayer::PlaceInWorldQuiet(const Location& at) {
    if (cloc_.IsUnset()) cloc_ = at;
    RecordValidTerrain(at);
    if (detached_) {
        LinkIntoCell(at);
        detached_ = false;
        PlayerGridAdd(this);
        AddRangeListeners(this);
    }
    FreePlacement();
}

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

void CPlayer::RemoveFromWorld() {
    const Location where = GetWorldLocation();
    RemoveRangeListeners(this);
    RecordPlacement(WornLayers::kFromLayerOne);
    CancelTrade();
    if (g_objectManager.IsOn(ObjectSwitch::kSendRemovalPackets) &&
        !(status_ & kStatusShownByMulti)) {
        GetPacketServices().SendDeleteObject(serial_, where, this);
    }
    UnlinkFromChain();
    PlayerGridRemove(this);
    container_ = nullptr;
    detached_ = true;
}

void CPlayer::RemoveFromWorldQuiet() {
    PlayerGridRemove(this);
    CMobile::RemoveFromWorldQuiet();
}

u32 CPlayer::GetMoveClass(int moveType) const {
    if (IsGhost() || (IsHidden() && IsEditing())) return 0;
    return CMobile::GetMoveClass(moveType);
}

u32 CPlayer::GetMoveClassDefault(const CBaseObject& other) const {
    return ShoveMoveClass(*this, other, CMobile::GetMoveClassDefault(other));
}

void CPlayer::DeleteSelf() {
    if (!g_objectManager.IsOn(ObjectSwitch::kPlayerDeleteAllowed)) return;
    CMobile::DeleteSelf();
}

int CPlayer::GetMoveType() const {
    if ((flags_ & kPlayerEditing) && (flags_ & kPlayerPassThrough)) return kMoveTypeEditing;
    if (IsGhost() || IsCounselor()) return kMoveTypeGhost;
    return CMobile::GetMoveType();
}

void CPlayer::SetSerial(u32 serial) {
    CItem::SetSerial(serial);
}
bool CPlayer::CancelTrade() {
    return false;
}
void CPlayer::Die() {}

int CPlayer::GetBodyTableValue() const {
    static const u8 kValues[14] = {6, 5, 3, 2, 2, 8, 4, 5, 8, 7, 3, 7, 7, 8};
    return type_ < 14 ? kValues[type_] : 0;
}

int CPlayer::Walk(int direction, int* landingZ) {
    const Location from = GetWorldLocation();
    const Location to = StepTarget(from, direction);
    if (to.x == from.x && to.y == from.y) return 0;
    if (landingZ) *landingZ = to.z;
    return 1;
}
void CPlayer::Kill() {}
