#include "server/player/player_war_mode.h"

#include "server/net/player_senders.h"
#include "server/world/player.h"
#include "server/world/world_utilities.h"

namespace {

// Takes the player out of the world (the players around are told) and places it again where
// it stood, so that everyone in range is sent it as it now looks. Answers false when
// something on the way deleted the player.
bool PlaceAgain(CPlayer& player) {
    if (player.IsDetached()) return true;
    const u32 serial = player.GetSerial();
    const Location at = player.GetLocation();
    player.RemoveFromWorld();
    if (!IsObjectAlive(serial, &player)) return false;
    player.PlaceInWorld(at);
    return IsObjectAlive(serial, &player);
}

}  // namespace

int CPlayer::SetWarMode(int flag) {
    const bool on = flag != 0;
    warModeBytes_[0] = on ? 1 : 0;
    if (on == HasStatusFlag(kMobileFighting)) return warModeBytes_[0];
    if (IsGhost()) {
        SetManifesting(on);
        if (!PlaceAgain(*this)) return 0;
    }
    if (on) {
        SetStatusFlag(kMobileFighting);
    } else {
        ClearStatusFlag(kMobileFighting);
        ClearCombatLists();
    }
    return warModeBytes_[0];
}

void CPlayer::SetWarModeToggle(int flag) {
    if (IsNonCombatant()) return;
    const u32 serial = serial_;
    SetWarMode(flag);
    if (!IsObjectAlive(serial, this)) return;
    const int fighting = HasStatusFlag(kMobileFighting) ? 1 : 0;
    SendWarMode(*this, fighting, warModeBytes_[1], warModeBytes_[2], warModeBytes_[3]);
}

void CPlayer::SetWarModeFull(int flag, int b1, int b2, int b3) {
    if (IsNonCombatant()) return;
    warModeBytes_[1] = static_cast<u8>(b1);
    warModeBytes_[2] = static_cast<u8>(b2);
    warModeBytes_[3] = static_cast<u8>(b3);
    SetWarModeToggle(flag);
}

void CPlayer::ToggleManifesting() {
    SetManifesting(!IsManifesting());
    if (!PlaceAgain(*this)) return;
    SetWarModeToggle(1);
}

void CPlayer::ActionBark(int hue, const char* ownText, const char* othersText) {
    SendBarkToSelf(*this, hue, ownText);
    Location from = GetWorldLocation();
    from.z = static_cast<s16>(from.z + GetHeight() / 2);
    // Out of the world meanwhile, so that the player is not among those who hear the second
    // text; neither change is shown to anyone.
    const bool placed = !IsDetached();
    const Location at = GetLocation();
    if (placed) RemoveFromWorldQuiet();
    SendBarkInSight(*this, hue, othersText, from, kPlayerViewRange);
    if (placed) PlaceInWorldQuiet(at);
}

void CPlayer::GhostWarModeTimeout() {
    if (IsGhost() && HasStatusFlag(kMobileFighting)) SetWarModeToggle(0);
}
