#include "server/world/player.h"

#include <string>

#include "core/spatial_grid.h"
#include "server/world/map_queries.h"
#include "server/world/map_step.h"
#include "server/world/object_manager.h"
#include "server/world/object_texts.h"
#include "server/world/packet_services.h"
#include "server/world/player_connection.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/world_utilities.h"

// ---------------------------------------------------------------- CPlayer

namespace {
constexpr int kNewPlayerHits = 50;
constexpr u8 kNewPlayerWarByte = 50;
constexpr int kNewPlayerNotorietyCooldown = 3600;
constexpr int kMaxVital = 60000;
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
    if (connection_ && connection_->player == this) connection_->player = nullptr;
    UnlinkLivePlayer(this);
}

void CPlayer::SetName(const char* name) {
    std::snprintf(name_, sizeof name_, "%s", name ? name : "");
}

void CPlayer::SetAccountName(const char* name) {
    std::snprintf(accountName_, sizeof accountName_, "%s", name ? name : "");
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
        SetDetached(false);
        PlayerGridAdd(this);
        AddRangeListeners(this);
    }
    FreePlacement();
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
    SetDetached(true);
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

int CPlayer::GetBodyTableValue() const {
    static const u8 kValues[14] = {6, 5, 3, 2, 2, 8, 4, 5, 8, 7, 3, 7, 7, 8};
    return type_ < 14 ? kValues[type_] : 0;
}


int CPlayer::DistanceTo(int x, int y) const {
    return ChebyshevDistanceXY(loc_.x, loc_.y, x, y);
}

// ---------------------------------------------------------------- vitals

int CPlayer::SetCurHits(int value) {
    if (IsGhost()) return curHits_;
    return CMobile::SetCurHits(value);
}

int CPlayer::SetMaxHits(int value) {
    if (value >= kMaxVital) return maxHits_;
    return CMobile::SetMaxHits(value);
}

int CPlayer::SetMaxMana(int value) {
    if (value >= kMaxVital) return maxMana_;
    return CMobile::SetMaxMana(value);
}

// ---------------------------------------------------------------- options and save fields

bool CPlayer::TestOption(int option) const {
    if (option < 0 || option >= kOptionCount) return false;
    return (options_[option >> 3] >> (option & 7)) & 1;
}

bool CPlayer::ToggleOption(int option) {
    // Option numbers come from the client as a byte; those past the 72 bits are refused.
    if (option < 0 || option >= kOptionCount) return false;
    options_[option >> 3] = static_cast<u8>(options_[option >> 3] ^ (1 << (option & 7)));
    return true;
}

void CPlayer::SetPassword(const char* text) {
    playerExtras.password =
        std::string(text ? text : "").substr(0, PlayerSaveExtras::kPasswordCapacity);
}

u32 CPlayer::GetSessionSlot(int slot) const {
    return slot >= 0 && slot < kSessionSlots ? playerExtras.sessionIds[slot] : 0;
}

void CPlayer::SetSessionSlot(int slot, u32 value) {
    if (slot >= 0 && slot < kSessionSlots) playerExtras.sessionIds[slot] = value;
}
