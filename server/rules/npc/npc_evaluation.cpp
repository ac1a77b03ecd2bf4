#include "server/rules/npc/npc_evaluation.h"

#include <string>
#include <vector>

#include "core/random_numbers.h"
#include "script/runtime/obj_attachments.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/mobile_table.h"
#include "server/world/object_templates.h"
#include "server/world/npc.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

constexpr int kMaxCandidates = 9;
// The earlier code's own state numbers for a fight and a flight.
constexpr int kEarlierRunaway = 2;
constexpr int kEarlierCombat = 3;

s32 IntVar(const CItem* object, const char* name) {
    s32 value = 0;
    ObjVars::GetInt(object->ScriptAttachments(), name, value);
    return value;
}

struct Candidate {
    EvaluationKind kind;
    CMobile* mobile;
};

// The template's "friends" list names the other template's number (the words are numbers).
bool IsFriendTemplate(int own, int other) {
    const ObjectTemplate* t = g_templateTable.Find(own);
    if (!t) return false;
    const std::string number = std::to_string(other);
    for (auto pos = t->friends.GetHeadPosition(); pos.IsValid(); pos = t->friends.GetNext(pos)) {
        const auto* entry = t->friends.GetAt(pos);
        if (entry && number == entry->value[0]) return true;
    }
    return false;
}

}  // namespace

int PowerRating(const CMobile* m) {
    return IntVar(m, "spellCasterLevel") * 5 + m->GetBaseSkill(5) / 100 +
           m->GetBaseSkill(40) / 100 + m->GetBaseSkill(42) / 100 + m->GetBaseSkill(41) / 200 +
           m->GetBaseSkill(27) / 40 +
           (m->GetBaseStat(kStatStrength) + m->GetBaseStat(kStatDexterity) +
            m->GetBaseStat(kStatIntelligence)) /
               3;
}

bool IsAversiveTo(const CNPC* npc, const CMobile* other) {
    if (const s32 power = IntVar(npc, "aversionPower")) {
        const int own = PowerRating(npc);
        const int theirs = PowerRating(other);
        if (own == 0) return theirs > 0;
        return power < theirs * 100 / own;
    }
    if (const s32 repute = IntVar(npc, "aversionRepute")) return other->GetNotoriety() < repute;
    return false;
}

bool IsPreyFor(const CNPC* npc, const CMobile* other) {
    const s32 predator = IntVar(npc, "predator");
    return predator != 0 && predator == IntVar(other, "foddertype");
}

bool IsKinOf(const CNPC* npc, const CMobile* other) {
    if (!other->IsNPC()) return false;
    if (npc->GetTemplateId() == other->GetTemplateId() || (npc->IsHuman() && other->IsHuman()))
        return true;
    return IsFriendTemplate(npc->GetTemplateId(), other->GetTemplateId());
}

int EvaluateSurroundings(CNPC* npc, int radius, bool wantPrey, bool wantAversion, bool wantPack) {
    const Location at = npc->GetWorldLocation();
    std::vector<CNPC*> npcs;
    std::vector<CPlayer*> players;
    if (auto* grid = g_mobileTable.GetGrid()) grid->CollectInRadius(npcs, at.x, at.y, radius);
    CollectPlayersInRange(players, at, radius);
    std::vector<CMobile*> near(npcs.begin(), npcs.end());
    near.insert(near.end(), players.begin(), players.end());

    Candidate candidates[kMaxCandidates];
    int count = 0;
    const bool alone = !npc->GetLeader() && !npc->GetFirstFollower();
    const int own = PowerRating(npc);
    for (CMobile* other : near) {
        if (other == npc || other->IsHidden()) continue;
        if (count < kMaxCandidates && wantPrey && IsPreyFor(npc, other))
            candidates[count++] = {EvaluationKind::kPrey, other};
        if (count < kMaxCandidates && wantAversion && IsAversiveTo(npc, other))
            candidates[count++] = {EvaluationKind::kAversion, other};
        if (count < kMaxCandidates && wantPack && alone && IsKinOf(npc, other) &&
            PowerRating(other) >= own)
            candidates[count++] = {EvaluationKind::kKin, other};
    }
    if (count == 0) return 0;
    const Candidate& c = candidates[RandomRange(1, count) - 1];
    switch (c.kind) {
        case EvaluationKind::kPrey:
            NpcStartAttack(npc, c.mobile);
            npc->SetState(kEarlierCombat);
            break;
        case EvaluationKind::kKin:
            if (CNPC* kin = c.mobile->AsNPC()) CNPC::JoinPacks(npc, kin);
            break;
        case EvaluationKind::kAversion: {
            const Location from = c.mobile->GetWorldLocation();
            npc->ai.destination.Set(at.x + 10 * (at.x - from.x), at.y + 10 * (at.y - from.y), 0);
            npc->ai.moving = 1;
            npc->SetState(kEarlierRunaway);
            break;
        }
    }
    return count;
}
