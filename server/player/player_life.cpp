#include "server/player/player_life.h"

#include <algorithm>
#include <cstdio>

#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "core/service_slot.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "server/net/player_senders.h"
#include "server/net/protocol_world_services.h"
#include "server/net/sound_senders.h"
#include "server/world/area_services.h"
#include "server/world/autosave.h"
#include "server/world/logged_out_list.h"
#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_utilities.h"

namespace {

ServiceSlot<PlayerLifeServices> g_playerLifeServices;

// Equipment layers whose scripted items hear the "logout" trigger.
constexpr int kLastTriggerLayer = 25;
constexpr int kHandLayer = 0;
// Regeneration clocks (CMobile::clocks_): mana and hits countdowns.
constexpr int kManaClock = 2;
constexpr int kHitsClock = 3;
constexpr int kManaInterval = 20;
constexpr int kSatietyCap = 25;
constexpr int kCheckInterval = 120;
constexpr int kDayFirstHour = 6;
constexpr int kDayLastHour = 18;
// A flag bit that every entry into the world clears.
constexpr u32 kClearedAtEntry = 0x800;

void LogOnce(bool& logged, const char* what) {
    LogNotBuiltOnce(logged, "players", what);
}

// What a scripted player carries that hears "logout": its worn items and everything inside
// worn containers, by serial (the triggers may delete any of them).
void CollectScripted(CItem* item, std::vector<u32>& out) {
    if (GetTriggerServices().HasAttachedScript(item)) out.push_back(item->GetSerial());
    if (const CContainer* container = item->AsContainer()) {
        for (CItem* c = container->GetFirstChild(); c; c = c->GetNextSibling())
            CollectScripted(c, out);
    }
}

}  // namespace

// ---------------------------------------------------------------- PlayerLifeServices

void PlayerLifeServices::AttachLoginScripts(CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "the login script list is not built yet: no login scripts are attached");
}

int PlayerLifeServices::ApplyTemplate(CPlayer& player, int templateId) {
    return player.BecomeTemplate(templateId, 0);
}

void PlayerLifeServices::CounselorEntered(CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "the counselor queue is not built yet (counselor entered)");
}

void PlayerLifeServices::CounselorLeft(CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "the counselor queue is not built yet (counselor left)");
}

void PlayerLifeServices::RelinquishCurrent(CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "the counselor queue is not built yet (relinquish)");
}

void PlayerLifeServices::WithdrawHelpRequest(CPlayer&) {
    // Without the counselor queue nobody has a help request to withdraw.
}

bool PlayerLifeServices::IsInOwnHouse(const CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "houses are not built yet: no player stands in its own house");
    return false;
}

int PlayerLifeServices::GlobalLightLevel() {
    static bool logged = false;
    LogOnce(logged, "the world light is not built yet: players see daylight (level 0)");
    return 0;
}

void PlayerLifeServices::StrikeWithLightning(CPlayer&) {
    static bool logged = false;
    LogOnce(logged, "lightning strikes are not built yet: struck players are only marked");
}

PlayerLifeServices& GetPlayerLifeServices() {
    return g_playerLifeServices.Get();
}

PlayerLifeServices* SetPlayerLifeServices(PlayerLifeServices* services) {
    return g_playerLifeServices.Set(services);
}

// ---------------------------------------------------------------- per pulse

void CPlayer::Regenerate() {
    TickLifeClock();
    if (waitMessages_ != 0) --waitMessages_;
    if (actionDelay_ != 0) --actionDelay_;
    if (IsGhost()) return;
    if (notorietyCooldown_ > 0) --notorietyCooldown_;

    --clocks_[kManaClock];
    if (!IsEditing() && curMana_ > maxMana_) StoreVital(curMana_, curMana_ - 1, 1);
    if (clocks_[kManaClock] < 0) {
        clocks_[kManaClock] = kManaInterval;
        if (curMana_ < maxMana_) SetCurMana(curMana_ + 1);
    }

    --clocks_[kHitsClock];
    if (!IsEditing() && curHits_ > maxHits_) StoreVital(curHits_, curHits_ - 1, 0);
    if (clocks_[kHitsClock] < 0) {
        u8& satiety = saveExtras.hunger;
        if (satiety > kSatietyCap) satiety = kSatietyCap;
        clocks_[kHitsClock] = 80 - 2 * satiety;
        if (satiety > 0 && RandomRange(0, 19) == 1) --satiety;
        if (curHits_ < maxHits_) {
            SetCurHits(curHits_ + 1);
            HandleHealthGain();
        }
    }
    RegenerateFatigue();
}

void CPlayer::Tick() {
    Regenerate();
    if (++checkCounter_ > kCheckInterval) {
        checkCounter_ = 0;
        // Poison and curse last only as long as the script that keeps them.
        if (HasStatusFlag(kMobilePoisoned) && !ObjScripts::HasScriptNamed(attachments_, "poisoned"))
            ClearStatusFlag(kMobilePoisoned);
        if (HasStatusFlag(kMobileCursed) && !ObjScripts::HasScriptNamed(attachments_, "curse"))
            ClearStatusFlag(kMobileCursed);
    }
    const Location at = GetWorldLocation();
    const SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    if (!cell) return;
    const int light = cell->light ? cell->light : GetPlayerLifeServices().GlobalLightLevel();
    if (light != sentLight_) {
        sentLight_ = light;
        SendGlobalLight(*this, light);
    }
    if (cell->music != sentMusic_) {
        sentMusic_ = cell->music;
        PlayMusicForPlayer(*this, cell->music);
    }
    int hour = 0, minute = 0, pulse = 0;
    GetProtocolWorldServices().GameClock(hour, minute, pulse);
    const int sound =
        hour >= kDayFirstHour && hour <= kDayLastHour ? cell->daySound : cell->nightSound;
    if (sound != sentAmbience_) {
        sentAmbience_ = sound;
        PlayAmbientSoundForPlayer(*this, sound);
    }
}

// ---------------------------------------------------------------- entering and leaving

bool CPlayer::IsLoggedIn() const {
    return HasFlag(kPlayerLoggedIn);
}

void CPlayer::EnterWorld(PlayerConnection*) {
    g_loggedOutList.Restore(this);
    Location at = GetLocation();
    if (at.x == -1) at = ConfiguredStartLocation();
    if (!IsDetached()) RemoveFromWorldQuiet();
    const int z = g_worldMap.FindGoodZ(at, at.z - 8, at.z + 8, GetHeight(), GetMoveType(), this, 0);
    const u32 serial = GetSerial();
    // Taken before the quiet placement below, which records the spot as valid ground.
    const Location safe = GetLastValidTerrain();
    if (z != kNoZ) {
        at.z = static_cast<s8>(z);
        PlaceInWorld(at);
        GetPlayerLifeServices().AttachLoginScripts(*this);
    } else {
        PlaceInWorldQuiet(at);
    }
    GetTriggerServices().SendTrigger(this, kTriggerOnline, TriggerArgs{});
    if (FindLivePlayerBySerial(serial) != this) return;  // the trigger deleted the player
    ResendDeathStatus();
    if (z == kNoZ) {
        // No standing place there: the last valid ground, else the world corner.
        RemoveFromWorldQuiet();
        PlaceInWorld(safe.IsUnset() ? WorldCorner() : safe);
        if (FindLivePlayerBySerial(serial) != this) return;
    }
    RemoveCallback(callbacks_, kDelayedLogOutAction, 0);
    SetFlag(kPlayerLoggedIn, true);
    SetFlag(kClearedAtEntry | kPlayerMarked, false);
    SetFlag(kPlayerEditing, false);
    if (IsCounselor()) GetPlayerLifeServices().CounselorEntered(*this);
}

bool CPlayer::ResendDeathStatus() {
    if (!IsGhost() || !IsFrozen()) return false;
    SendDeathStatus(*this, 0);
    return true;
}

bool CPlayer::MayBeWatchedBy(const CPlayer& watcher) const {
    if (HasFlag(kPlayerAllMayWatch)) return true;
    const std::vector<u32>& allowed = playerExtras.allowed;
    return std::find(allowed.begin(), allowed.end(), watcher.GetSerial()) != allowed.end();
}

bool CPlayer::CanLogOutSafely() const {
    if (GetAreaServices().IsSafeLogoutSpot(GetWorldLocation())) return true;
    // Kept as the rule has it: any camp older than 15 ms counts, so sitting down by a camp
    // fire makes the log-out immediate almost at once.
    if (campStartTime_ != 0 && platform::NowMs() - campStartTime_ > kCampSafeMs) return true;
    return GetPlayerLifeServices().IsInOwnHouse(*this);
}

void CPlayer::LogOut(int wait) {
    // The players watching this one are told it has gone.
    std::vector<CPlayer*> online;
    GetPlayerRegistry().CollectOnline(online);
    for (CPlayer* watcher : online) {
        const std::vector<u32>& list = watcher->GetWatchList();
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] != serial_ || !MayBeWatchedBy(*watcher)) continue;
            SendFriendStatus(*watcher, static_cast<int>(i), false);
        }
    }
    CancelTrade();
    SetFlag(kPlayerLoggedIn, false);

    const u32 self = serial_;
    ReturnHeldItem();
    if (!IsObjectAlive(self, this)) return;

    PlayerLifeServices& life = GetPlayerLifeServices();
    life.WithdrawHelpRequest(*this);
    if (ClearGameMaster()) wait = 0;
    if (IsCounselor()) {
        life.RelinquishCurrent(*this);
        life.CounselorLeft(*this);
        wait = 0;
    }
    if (IsEditing()) {
        GetLogSink().Log(accountKey_, static_cast<u8>(characterKey_), serial_, name_, "godmode",
                         "misc", "god log out");
        SetFlag(kPlayerEditing, false);
        wait = 0;
    }
    if (wait == 1 && !CanLogOutSafely()) {
        ScheduleCallback(kDelayedLogOutPulses, serial_, kDelayedLogOutAction, 0, nullptr);
        return;
    }
    GoLoggedOut();
}

void CPlayer::GoLoggedOut() {
    const u32 serial = serial_;
    std::vector<u32> scripted;
    if (GetTriggerServices().HasAttachedScript(this)) scripted.push_back(serial);
    for (int layer = 0; layer <= kLastTriggerLayer; ++layer) {
        if (CItem* worn = layers_[layer]) CollectScripted(worn, scripted);
    }
    for (u32 s : scripted) {
        if (CItem* object = g_objectManager.FindBySerial(s))
            GetTriggerServices().SendTrigger(object, kTriggerLogout, TriggerArgs{});
    }
    // A "logout" handler may have deleted the player.
    if (!IsObjectAlive(serial, this)) return;
    RemoveCallback(callbacks_, kDelayedLogOutAction, 0);
    g_loggedOutList.Add(this);
    // What the player did is kept at once, not only at the next 5-minute save.
    RequestWorldSave();
}

void CPlayer::ReturnHeldItem() {
    CItem* held = layers_[kHandLayer];
    if (!held) return;
    // Its unequip handler may delete it, or the player.
    const u32 self = serial_;
    const u32 heldSerial = held->GetSerial();
    const Location where = GetWorldLocation();
    held->RemoveFromWorld();
    if (!IsObjectAlive(heldSerial, held) || !held->IsDetached()) return;
    s32 home = 0;
    CItem* container = held->GetObjVarIntChecked("lockedContainer", home)
                           ? g_objectManager.FindBySerial(static_cast<u32>(home))
                           : nullptr;
    if (container && held->AddToContainer(container, Location())) return;
    if (!IsObjectAlive(heldSerial, held) || !held->IsDetached()) return;
    held->PlaceInWorld(IsObjectAlive(self, this) ? GetWorldLocation() : where);
}

// ---------------------------------------------------------------- small services

void CPlayer::WaitMessage(int kind) {
    ++waitMessages_;
    if (waitMessages_ >= 3) return;
    GetPacketServices().SendSystemMessage(this, kind == 0
                                                    ? "You must wait a few moments to use "
                                                      "another skill."
                                                    : "You must wait to perform another action.");
}

bool CPlayer::IsActionDelayed() {
    if (actionDelay_ <= 0) {
        waitMessages_ = 0;
        return false;
    }
    WaitMessage(1);
    return true;
}

// ---------------------------------------------------------------- the load governor's storm

void CPlayerRegistry::StrikeRandomPlayers(int count) {
    std::vector<CPlayer*> online;
    CollectLivePlayers(online);
    std::vector<CPlayer*> candidates;
    for (CPlayer* p : online) {
        if (!p->IsEditing() && !HasCallback(p->TimedCallbacks(), kStruckAction, 0))
            candidates.push_back(p);
    }
    int left = static_cast<int>(candidates.size());
    count = std::min(count, left);
    std::vector<u32> chosen;
    for (int i = 0; i < count; ++i) {
        const int pick = platform::Rand() % left;
        chosen.push_back(candidates[pick]->GetSerial());
        candidates[pick] = candidates[--left];
    }
    // A strike runs scripts, which may delete players: each is looked up again.
    for (u32 serial : chosen) {
        CPlayer* p = FindLivePlayerBySerial(serial);
        if (!p) continue;
        GetPlayerLifeServices().StrikeWithLightning(*p);
        if (FindLivePlayerBySerial(serial) == p)
            ScheduleCallback(kStrikeCooldownPulses, serial, kStruckAction, 0, nullptr);
    }
}
