#include "server/world/player_shove.h"

#include <cstdlib>
#include <string>

#include "server/net/speech.h"
#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

// The mobile class bit that blocks a mover.
constexpr u32 kBlocksMovers = 0x40;
// A mobile this close in height can be shoved; one farther above or below is not in the way.
constexpr int kShoveHeightLimit = 8;

ShoveContext g_shove;

// Sends the shove message and charges its fatigue once the step went through.
void FinishShove(CPlayer& player) {
    CMobile* victim = g_objectManager.FindMobile(g_shove.victimSerial);
    // The victim may have gone during the step's triggers; there is then nobody to name.
    if (!victim || victim != g_shove.victim) return;
    const std::string name = victim->IsHidden() ? "something invisible" : victim->GetRealName();
    const std::string text = "Being perfectly rested, you shove " + name + " out of the way.";
    SendSystemMessage(player, text.c_str());
    const int strength = player.GetStat(kStatStrength);
    const int victimStrength = victim->GetStat(kStatStrength);
    const int cost =
        strength > victimStrength ? victimStrength * kShoveCost / strength : kShoveCost;
    player.SetCurFatigue(player.GetCurFatigue() - cost);
}

}  // namespace

ShoveContext& GetShoveContext() {
    return g_shove;
}

void CWorldMap::HandlePlayerStep(CPlayer* player, int direction, int sequence) {
    const int d = direction & 0x7F;
    if (!g_shove.mover) {
        g_shove.mover = player;
        g_shove.victim = nullptr;
        g_shove.victimSerial = 0;
    }
    if (d != (player->GetDirection() & 0x7F)) {
        if (player->MayTurn(d)) {
            player->Turn(direction, 1, sequence);
        } else {
            player->RejectMove(sequence);
        }
    } else if (player->Walk(d)) {
        const u32 serial = player->GetSerial();
        player->MoveStep(direction, 1, sequence);
        if (FindLivePlayerBySerial(serial) == player && g_shove.mover == player && g_shove.victim)
            FinishShove(*player);
    } else {
        player->RejectMove(sequence);
    }
    if (g_shove.mover == player) g_shove = ShoveContext{};
}

u32 ShoveMoveClass(const CPlayer& mover, const CBaseObject& other, u32 answer) {
    if (!(answer & kBlocksMovers) || g_shove.mover != &mover || !other.IsDynamic()) return answer;
    const CMobile* mobile = static_cast<const CItem&>(other).AsMobile();
    if (!mobile) return answer;
    const Location mine = mover.GetWorldLocation();
    const Location theirs = mobile->GetWorldLocation();
    if (ChebyshevDistanceWrapped(mine, theirs) != 1) return answer;
    if (std::abs(mine.z - theirs.z) >= kShoveHeightLimit) return answer;
    if (mover.GetCurFatigue() != mover.GetMaxFatigue()) return answer;
    const CPlayer* player = const_cast<CMobile*>(mobile)->AsPlayer();
    if (player && player->IsEditing()) return answer;
    // The stepping player passes through, pushing the mobile aside.
    g_shove.victim = const_cast<CMobile*>(mobile);
    g_shove.victimSerial = mobile->GetSerial();
    return 0;
}
