// An NPC's needs (from its resource entries), hunger, breeding, packs and what it carries.
#include <algorithm>
#include <cstring>

#include "core/random_numbers.h"
#include "script/runtime/obj_attachments.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/npc.h"
#include "server/world/npc_load_limits.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kCorpseGraphic = 8198;
constexpr int kMaxCarriedWeight = 250;
constexpr int kMaxKind1 = 4;
constexpr int kMaxCodedDesires = 4;
constexpr int kMaxStrengthDesires = 16;

int TypeNumber(const char* name) {
    return GetResourceTypes().FindNumber(name);
}

CMobile* PackLeaderOf(CMobile* m) {
    return m->GetLeader() ? m->GetLeader() : m;
}

int PackMaxFood(CMobile* leader) {
    auto food = [](CMobile* m) {
        const CNPC* npc = m->AsNPC();
        return npc ? npc->ai.maxFood : 0;
    };
    int sum = food(leader);
    for (CMobile* f = leader->GetFirstFollower(); f; f = f->GetNextFollower())
        sum += food(f);
    return sum;
}

// Current hits and members of the mobile's side (its leader with the followers).
void SideStrength(CMobile* m, int& hits, int& members) {
    CMobile* leader = PackLeaderOf(m);
    hits = leader->GetCurHits();
    members = 1;
    for (CMobile* f = leader->GetFirstFollower(); f; f = f->GetNextFollower()) {
        hits += f->GetCurHits();
        ++members;
    }
}

}  // namespace

int NpcStrengthRating(const CMobile* m) {
    return m->GetBaseStat(kStatStrength) + m->GetBaseStat(kStatDexterity) +
           m->GetBaseStat(kStatIntelligence) + m->GetCurHits() / 2 + m->GetCurMana() / 2;
}

void CNPC::InitNeeds() {
    ai.kind1Count = 0;
    ai.strengthDesires = 0;
    ai.codedDesires = 0;
    ai.maxFood = 0;
    ClearNpcFlags(kNpcFormsPacks | kNpcStrongDesire | kNpcProduces);
    const int meat = TypeNumber("meat");
    const int self = TypeNumber("self");
    const int humans = TypeNumber("humans");
    for (const ResourceEntry* e = GetResources(); e; e = e->next) {
        if (e->type == 0) continue;
        const s32 first = e->amounts[0];
        const s32 second = e->amounts[1];
        switch (e->kind) {
            case 0:
                ai.maxFood = std::max(ai.maxFood, first);
                if (e->type == meat && second > 0)
                    ai.meatLevel = static_cast<u8>(std::min(second, 3));
                break;
            case 1:
                if (ai.kind1Count < kMaxKind1) ++ai.kind1Count;
                if (second != 0) SetNpcFlags(kNpcProduces);
                break;
            case 2:
                if (second < 0 && second >= -6) {
                    const bool meatOnly = second == -4 || second == -6;
                    if ((!meatOnly || e->type == meat) && ai.codedDesires < kMaxCodedDesires)
                        ++ai.codedDesires;
                } else if (e->type == self) {
                    SetNpcFlags(kNpcFormsPacks);
                    if (second >= 1 && second <= 3)
                        ai.selfDesireLevel = static_cast<u8>(second - 1);
                } else if (second >= 1 && second <= 3) {
                    if (ai.strengthDesires < kMaxStrengthDesires) ++ai.strengthDesires;
                    if (second == 2 && e->type != humans) SetNpcFlags(kNpcStrongDesire);
                }
                break;
            default:
                break;
        }
    }
    if (ai.maxFood == 0) ai.maxFood = 99;
    if (GetSatiety() > 250) SetSatiety(ai.maxFood & 0xFF);
    // Until banks exist every NPC lives in the default bank (kind 0).
    ClearNpcFlags(kNpcBankBits);
    static bool logged = false;
    LogNotBuiltOnce(logged, "npc", "banks are not built yet: every NPC is in the default bank");
    SetNpcFlags(kNpcBankOther);
    CheckAggression();
}

bool CNPC::IsHungry() {
    if (!GetFirstFollower()) return GetSatiety() < ai.maxFood / 2;
    int food = 0, maxFood = 0;
    auto starving = [&](CMobile* m) {
        const CNPC* npc = m->AsNPC();
        const int max = npc ? npc->ai.maxFood : 0;
        food += m->GetSatiety();
        maxFood += max;
        return m->GetSatiety() < std::max(max / 8, 1);
    };
    bool any = starving(this);
    for (CMobile* f = GetFirstFollower(); f; f = f->GetNextFollower())
        any = starving(f) || any;
    return any || food < maxFood / 2;
}

int CNPC::HungerScore() {
    if (ai.maxFood == 0) ai.maxFood = 1;
    const int d = std::min(ai.desireLevel, 10);
    int score = (GetSatiety() * 100 / ai.maxFood) * (d * 2 + 80) / 100;
    if (HasNpcFlags(kNpcProduces) && !HasNpcFlags(kNpcHoldsClaim)) score = score * 8 / 10;
    return score;
}

int CNPC::FightOdds(CMobile* other) {
    int ownHits = 0, n = 0, otherHits = 0, m = 0;
    SideStrength(this, ownHits, n);
    SideStrength(other, otherHits, m);
    const int theirs = otherHits + 10 * m;
    const int roll = ownHits + 10 * n + RandomRange(1, 10 * n);
    if (theirs < roll) return 0;
    if (theirs < roll + roll / 2) return 1;
    return ai.fleeValue != kNeverFlees ? 2 : 1;
}

void CNPC::JoinPacks(CNPC* a, CNPC* b) {
    CMobile* la = PackLeaderOf(a);
    CMobile* lb = PackLeaderOf(b);
    if (la == lb) return;
    if ((PackMaxFood(la) + PackMaxFood(lb)) / 4 > 0) return;
    CMobile* keeper = NpcStrengthRating(la) >= NpcStrengthRating(lb) ? la : lb;
    CMobile* joiner = keeper == la ? lb : la;
    while (CMobile* f = joiner->GetFirstFollower()) {
        joiner->RemoveFollower(f);
        keeper->AddFollower(f);
    }
    joiner->ClearHasFollowersFlag();
    keeper->AddFollower(joiner);
}

void CNPC::Breed() {
    if (GetNpcLoadLimits().IsSpawnBlocked() || RandomRange(1, 1000) != 1) return;
    if (IsHuman() || ai.litter < 1) {
        SetNpcFlags(kNpcHasBred);
        return;
    }
    const int n = std::min((100 - GetBaseStat(kStatIntelligence)) / 5, ai.litter);
    ai.litter = 0;
    if (n > 0) {
        static bool logged = false;
        LogNotBuiltOnce(logged, "npc", "births through the resource bank are not built yet");
    }
}

int CNPC::PickUp(CMobile* carrier, CItem* item) {
    if (!carrier || !item || item->GetType() == kCorpseGraphic) return 0;
    const int weight = item->GetWeight();
    if (carrier->GetMaxWeight() < weight + carrier->GetContentWeight()) return 0;
    if (weight > kMaxCarriedWeight) return 0;
    const int most = std::max(1, carrier->GetBaseStat(kStatIntelligence) / 10);
    int carried = 0;
    for (CItem* child = carrier->GetFirstChild(); child; child = child->GetNextSibling())
        ++carried;
    if (carried >= most) return 0;
    CItem* outer = carrier->GetContainer();
    while (outer && outer->GetContainer())
        outer = outer->GetContainer();
    if (outer && outer->GetType() == kCorpseGraphic) {
        static bool logged = false;
        LogNotBuiltOnce(logged, "npc", "the corpse's list of users is not built yet");
    }
    if (!item->IsDetached()) item->RemoveFromWorld();
    return item->AddToContainer(carrier, Location()) ? 1 : 0;
}

int CNPC::TakeForPack(CItem* item) {
    if (!item || item->IsMultiCompOrSectorResources()) return 0;
    CMobile* leader = GetLeader();
    if (!leader && !GetFirstFollower()) return PickUp(this, item);
    if (PickUp(this, item)) return 1;
    if (item->GetWeight() > kMaxCarriedWeight) return 0;
    if (!leader) leader = this;
    if (leader != this && PickUp(leader, item)) return 1;
    for (CMobile* f = leader->GetFirstFollower(); f; f = f->GetNextFollower())
        if (f != this && PickUp(f, item)) return 1;
    return 0;
}
