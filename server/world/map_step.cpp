#include "server/world/map_step.h"

#include <cstdlib>
#include <string>

#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

// The mobile class bit that blocks a mover.
constexpr u32 kBlocksMovers = 0x40;
// A mobile this close in height can be shoved; one farther above or below is not in the way.
constexpr int kShoveHeightLimit = 8;

// Charges the shove's fatigue once the step went through, and tells the player.
void FinishShove(CPlayer& player, const ShoveContext& shove) {
    CMobile* victim = g_objectManager.FindMobile(shove.victimSerial);
    // The victim may have gone during the step's triggers; there is then nobody to name.
    if (!victim || victim != shove.victim) return;
    const std::string name = victim->IsHidden() ? "something invisible" : victim->GetRealName();
    const std::string text = "Being perfectly rested, you shove " + name + " out of the way.";
    GetPacketServices().SendSystemMessage(&player, text.c_str());
    const int strength = player.GetStat(kStatStrength);
    const int victimStrength = victim->GetStat(kStatStrength);
    const int cost =
        strength > victimStrength ? victimStrength * kShoveCost / strength : kShoveCost;
    player.SetCurFatigue(player.GetCurFatigue() - cost);
}

}  // namespace

void CWorldMap::HandlePlayerStep(CPlayer* player, int direction, int sequence,
                                 ShoveContext& shove) {
    const int d = direction & 0x7F;
    // A step handled inside another of the same player's steps keeps the outer one's context.
    const bool own = player->GetShoveContext() == nullptr;
    if (own) {
        shove = ShoveContext{player, nullptr, 0};
        player->SetShoveContext(&shove);
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
        if (FindLivePlayerBySerial(serial) == player && own && shove.victim)
            FinishShove(*player, shove);
    } else {
        player->RejectMove(sequence);
    }
    // The step's triggers may have deleted the player: only one still in memory is touched.
    if (own && IsPlayerInMemory(player)) player->SetShoveContext(nullptr);
}

u32 ShoveMoveClass(const CPlayer& mover, const CBaseObject& other, u32 answer) {
    ShoveContext* shove = mover.GetShoveContext();
    if (!(answer & kBlocksMovers) || !shove || shove->mover != &mover || !other.IsDynamic())
        return answer;
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
    shove->victim = const_cast<CMobile*>(mobile);
    shove->victimSerial = mobile->GetSerial();
    return 0;
}
