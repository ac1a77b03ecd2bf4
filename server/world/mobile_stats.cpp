// Mobile stats, vitals and skills: the three stats and their caps, hit points, fatigue and
// mana with their updates to the players, the 50 skills with the skill pool and the skill
// cap, notoriety, fame and karma; also the combat lists, followers, flags and light that the
// mobile keeps.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "core/random_numbers.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/skill_table.h"
#include "server/world/weapon.h"

namespace {

bool ValidStat(int stat) {
    return stat >= 0 && stat < 3;
}

// Skill indexes are taken as signed bytes and checked against the table.
bool ValidSkill(int& skill) {
    skill = static_cast<s8>(skill);
    return g_skillTable.IsValidSkill(skill);
}

// The other stat that pays for a gain: one of the two others with equal chance.
int OtherStat(int stat) {
    static const int kOthers[3][2] = {{1, 2}, {0, 2}, {1, 0}};
    return kOthers[stat][RandomRange(0, 1)];
}

}  // namespace

u32 SkillClockSeconds() {
    return kSkillBaseTime + platform::NowMs() / 1000;
}

namespace {
// Two parabolas through (start, 0), (knee, middle) and (end, 1000), each flat at its left end;
// in thousandths, truncated toward zero.
int CapCurve(int x, int start, int knee, int end, int middle) {
    if (x <= knee) {
        const double d = x - start;
        return static_cast<int>(middle * d * d /
                                (static_cast<double>(knee - start) * (knee - start)));
    }
    const double d = x - knee;
    return static_cast<int>(middle + (1000.0 - middle) * d * d /
                                         (static_cast<double>(end - knee) * (end - knee)));
}
}  // namespace

int StatCapChance(int total, int middle) {
    return CapCurve(total, 65, 170, 225, middle);
}

int SkillCapChance(int weightedTotal, int middle) {
    return CapCurve(weightedTotal, 1000, 6000, 7000, middle);
}

// ---------------------------------------------------------------- stats

int CMobile::GetBaseStat(int stat) const {
    return ValidStat(stat) ? stats_[stat] : 0;
}

int CMobile::GetStatMod(int stat) const {
    return ValidStat(stat) ? statMods_[stat] : 0;
}

int CMobile::GetStat(int stat) const {
    if (!ValidStat(stat)) return 0;
    const int sum = stats_[stat] + statMods_[stat];
    return sum < 0 || sum > 65000 ? 0 : sum;
}

void CMobile::StatChanged(int stat, int delta) {
    if (stat == kStatStrength) AddMaxHits(delta);
    if (stat == kStatDexterity) AddMaxFatigue(delta);
    if (stat == kStatIntelligence) AddMaxMana(delta);
    if (CPlayer* player = AsPlayer()) GetPacketServices().SendPlayerStatus(player);
    // A weaker mobile may no longer hold what it wields: the "checkeq" script sorts that out;
    // nothing here takes the item off.
    if (stat != kStatStrength || delta >= 0) return;
    for (int layer = 1; layer <= 25; ++layer) {
        CItem* worn = layers_[layer];
        if (worn && worn->IsWeapon() && !static_cast<CWeapon*>(worn)->CanEquip(this, layer)) {
            AttachScript(this, "checkeq", 0);
            return;
        }
    }
}

int CMobile::SetRealStat(int stat, int value) {
    if (!ValidStat(stat)) return 0;
    const int old = stats_[stat];
    stats_[stat] = static_cast<s16>(value);
    StatChanged(stat, stats_[stat] - old);
    return stats_[stat];
}

int CMobile::SetStatMod(int stat, int value) {
    if (!ValidStat(stat)) return 0;
    const int old = statMods_[stat];
    statMods_[stat] = static_cast<s16>(value);
    StatChanged(stat, statMods_[stat] - old);
    return statMods_[stat];
}

int CMobile::ModifyRealStat(int stat, int delta) {
    if (!ValidStat(stat)) return 0;
    const int old = stats_[stat];
    return SetRealStat(stat, old + delta) - old;
}

int CMobile::ModifyStat(int stat, int delta) {
    if (!ValidStat(stat)) return 0;
    const int old = statMods_[stat];
    return SetStatMod(stat, old + delta) - old;
}

int CMobile::AdjustStat(int stat, int value) {
    if (!ValidStat(stat)) return 0;
    const int old = stats_[stat];
    const int result = SetRealStat(stat, value);
    return ApplyStatCap(stat, value - old) == 1 ? stats_[stat] : result;
}

int CMobile::ApplyStatCap(int stat, int count) {
    if (!ValidStat(stat)) return 0;
    const int total = stats_[0] + stats_[1] + stats_[2];
    if (total > kStatTotalCap) {
        ModifyRealStat(OtherStat(stat), kStatTotalCap - total);
        return 1;
    }
    if (count <= 0) return 0;
    const int chance = StatCapChance(total, g_skillTable.GetStatCurveMiddle());
    for (int i = 0; i < count; ++i) {
        if (platform::Rand() % 1000 < chance) ModifyRealStat(OtherStat(stat), -1);
    }
    return 0;
}

// ---------------------------------------------------------------- vitals

void CMobile::SendVitalsUpdate(int kind) {
    if (container_ || detached_) return;
    // The players that watch another mobile's vitals come with the player's status list;
    // until then only a player sees its own. A player in the world stands within sight of its
    // own place, so no search of the ground around it is needed (a fight's vitals change for
    // thousands of NPCs in one pulse, each such search walking hundreds of objects).
    if (CPlayer* self = AsPlayer()) GetPacketServices().SendVitals(self, this, kind);
}

int CMobile::StoreVital(int& field, int value, int kind) {
    if (field != value) {
        field = value;
        SendVitalsUpdate(kind);
    }
    return field;
}

int CMobile::SetCurHits(int value) {
    return StoreVital(curHits_, std::clamp(value, 0, std::max(maxHits_, 0)), 0);
}
int CMobile::SetMaxHits(int value) {
    return StoreVital(maxHits_, std::max(value, 0), 0);
}
int CMobile::SetCurFatigue(int value) {
    return StoreVital(curFatigue_, std::max(std::min(value, maxFatigue_), 0), 2);
}
int CMobile::SetMaxFatigue(int value) {
    return StoreVital(maxFatigue_, std::max(value, 0), 2);
}
int CMobile::SetCurMana(int value) {
    return StoreVital(curMana_, std::max(std::min(value, maxMana_), 0), 1);
}
int CMobile::SetMaxMana(int value) {
    return StoreVital(maxMana_, std::max(value, 0), 1);
}

int CMobile::AddCurHits(int delta) {
    const int old = curHits_;
    const int change = SetCurHits(old + delta) - old;
    if (change > 0) HandleHealthGain();
    return change;
}
int CMobile::AddMaxHits(int delta) {
    const int old = maxHits_;
    return SetMaxHits(old + delta) - old;
}
int CMobile::AddCurFatigue(int delta) {
    const int old = curFatigue_;
    return SetCurFatigue(old + delta) - old;
}
int CMobile::AddMaxFatigue(int delta) {
    const int old = maxFatigue_;
    return SetMaxFatigue(old + delta) - old;
}
int CMobile::AddCurMana(int delta) {
    const int old = curMana_;
    return SetCurMana(old + delta) - old;
}
int CMobile::AddMaxMana(int delta) {
    const int old = maxMana_;
    return SetMaxMana(old + delta) - old;
}

void CMobile::SetAllVitals(int value) {
    SetCurHits(value);
    SetCurFatigue(value);
    SetCurMana(value);
}

int CMobile::CheckHealthy() {
    if (curHits_ < maxHits_) return 0;
    TriggerArgs args;
    args.serial = serial_;
    return GetTriggerServices().SendTrigger(this, kTriggerIsHealthy, args);
}

void CMobile::TakeFallDamage(int height) {
    if (GetMoveType() == kMoveTypeFlying || IsGhost() || height < 22) return;
    const int d = (height - 22) / 11;
    SetCurHits(curHits_ - (5 * d + 5));
}

int CMobile::GetMoveSpeed() const {
    const int speed = GetStat(kStatDexterity) * 40 / 100;
    return speed <= 128 ? speed + 35 : 163;
}

int CMobile::GetLoadPercent() const {
    const int capacity = GetMaxWeight();
    return GetWeight() * 100 / (capacity == 0 ? 1 : capacity);
}

int CMobile::GetLoadRatio() const {
    const int health = maxHits_ == 0 ? 0 : curHits_ * 100 / maxHits_;
    return GetWeight() * 100 / std::max(GetMaxWeight() * health / 100, 1);
}

// ---------------------------------------------------------------- fatigue

bool CMobile::IsExhausted() {
    if (IsMounted()) {
        CMobile* mount = GetMount();
        if (!mount) {
            Dismount();
        } else if (mount->IsExhausted()) {
            return true;
        }
    }
    return curFatigue_ <= 0;
}

// A mount without fatigue at all counts as fully tired (0 percent) rather than dividing by 0.
static int FatiguePercent(const CMobile& m) {
    return m.GetMaxFatigue() == 0 ? 0 : m.GetCurFatigue() * 100 / m.GetMaxFatigue();
}

void CMobile::ConsumeMoveFatigue(int amount) {
    const int ratio = GetLoadRatio();
    int cost = GetLoadPercent() <= 100 ? ratio / 10 : ratio * 10;
    cost += amount / 10;
    if (IsMounted()) {
        if (CMobile* mount = GetMount()) {
            const int before = FatiguePercent(*mount);
            mount->ConsumeMoveFatigue(amount);
            if (before > 10 && FatiguePercent(*mount) <= 10) {
                if (CPlayer* player = AsPlayer())
                    GetPacketServices().SendSystemMessage(player, "Your horse is very fatigued.");
            }
            cost /= 3;
        } else {
            Dismount();
        }
    }
    clocks_[1] += cost;
    while (clocks_[1] > 200) {
        clocks_[1] -= 200;
        SetCurFatigue(curFatigue_ - 1);
    }
}

void CMobile::RegenerateFatigue() {
    clocks_[1] -= 18;
    while (clocks_[1] < -200) {
        clocks_[1] += 200;
        SetCurFatigue(curFatigue_ + 1);
    }
}

// ---------------------------------------------------------------- skills

int CMobile::GetBaseSkill(int skill) const {
    return ValidSkill(skill) ? skills_[skill] : 0;
}

int CMobile::GetSkillMod(int skill) const {
    return ValidSkill(skill) ? skillMods_[skill] : 0;
}

int CMobile::GetSkillLevel(int skill) const {
    if (!ValidSkill(skill)) return 0;
    const int level = skills_[skill] + skillMods_[skill];
    return level < 0 || level > 65000 ? 0 : level;
}

void CMobile::SetSkill(int skill, int value) {
    if (ValidSkill(skill)) skills_[skill] = static_cast<u16>(value);
}

void CMobile::SetSkillMod(int skill, int value) {
    if (ValidSkill(skill)) skillMods_[skill] = static_cast<s16>(value);
}

static void SendSkill(CMobile* mobile, int skill) {
    if (CPlayer* player = mobile->AsPlayer()) GetPacketServices().SendSkillUpdate(player, skill);
}

int CMobile::AddSkill(int skill, int delta) {
    if (!ValidSkill(skill)) return 0;
    const int old = skills_[skill];
    skills_[skill] = static_cast<u16>(std::clamp(old + delta, 0, 65535));
    SendSkill(this, skill);
    return skills_[skill] - old;
}

int CMobile::AddSkillMod(int skill, int delta) {
    if (!ValidSkill(skill)) return 0;
    skillMods_[skill] = static_cast<s16>(skillMods_[skill] + delta);
    SendSkill(this, skill);
    return delta;
}

int CMobile::GetSkillTotal() const {
    int total = 0;
    for (int i = 0; i < g_skillTable.GetCount(); ++i)
        total += GetBaseSkill(i);
    return total;
}

int CMobile::GetWeightedSkillTotal() const {
    // Skill values up to 65,535 times any cap weight a skill file gives: summed wide and
    // kept within an int.
    s64 total = 0;
    for (int i = 0; i < g_skillTable.GetCount(); ++i) {
        const SkillRecord* r = g_skillTable.GetSkill(i);
        if (r) total += static_cast<s64>(GetBaseSkill(i)) * r->capWeight;
    }
    return static_cast<int>(std::clamp<s64>(total, INT_MIN, INT_MAX));
}

u32 CMobile::GetSkillUseTime(int skill) const {
    return skill >= 0 && skill < kMobileSkills ? skillTimes_[skill] : 0;
}

void CMobile::SetSkillUseTime(int skill, u32 seconds) {
    if (skill >= 0 && skill < kMobileSkills) skillTimes_[skill] = seconds;
}

int CMobile::ApplySkillCap(int skill, int count) {
    const int total = GetWeightedSkillTotal();
    if (IsPlayer() && total > kSkillWeightCap) {
        // One pool point per weighted point over the cap. The pool pays what it holds in one
        // step; each skill point lost refills it by that skill's cap weight less one, so the
        // work follows the skill points lost, not the weighted points.
        s64 owed = static_cast<s64>(total) - kSkillWeightCap;
        while (owed > 0) {
            if (skillPool_ > 0) {
                const s64 paid = std::min<s64>(owed, skillPool_);
                skillPool_ -= static_cast<int>(paid);
                owed -= paid;
                continue;
            }
            // With no skill point left to lose, every further step only sets the skill to 0
            // again: one does the same.
            const bool anyLeft = HasSkillPointsBesides(skill) || GetBaseSkill(skill) > 0;
            AdjustSkillPool(skill, -1);
            --owed;
            if (!anyLeft) break;
        }
        return 1;
    }
    if (count <= 0) return 0;
    const int chance = SkillCapChance(total, g_skillTable.GetSkillCurveMiddle());
    for (int i = 0; i < count; ++i) {
        if (platform::Rand() % 1000 < chance) AdjustSkillPool(skill, -1);
    }
    return 0;
}

void CMobile::ApplyStatPenalty(int percent) {
    const s64 total = s64{stats_[0]} + stats_[1] + stats_[2];
    if (total <= 65) return;
    // Never below 0: a penalty above 100 % would otherwise turn the stats negative.
    const s64 factor = std::max<s64>(0, 10000 - s64{percent} * 100 * (total - 65) / (total - 30));
    for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat) {
        const s64 above = stats_[stat] <= 9 ? 0 : stats_[stat] - 10;
        SetRealStat(stat, static_cast<int>((above * factor + 5000) / 10000 + 10));
    }
}

void CMobile::ApplySkillPenalty(int percent) {
    s64 total = 0;
    for (u16 value : skills_)
        total += value;
    if (total <= 1000) return;
    const s64 factor = std::max<s64>(0, 10000 - s64{percent} * 100 * (total - 1000) / total);
    for (int skill = 0; skill < kMobileSkills; ++skill)
        SetSkill(skill, static_cast<int>((s64{skills_[skill]} * factor + 5000) / 10000));
}

bool CMobile::HasSkillPointsBesides(int skill) const {
    for (int i = 0; i < g_skillTable.GetCount(); ++i) {
        if (i != static_cast<s8>(skill) && GetBaseSkill(i) > 0) return true;
    }
    return false;
}

void CMobile::AdjustSkillPool(int skill, int delta) {
    if (skillPool_ + delta >= 0) {
        skillPool_ += delta;
        return;
    }
    // The pool cannot pay: a skill other than this one pays, the longer unused the likelier.
    const u32 now = SkillClockSeconds();
    std::vector<int> candidates;
    std::vector<s64> weights;
    s64 total = 0;
    for (int i = 0; i < g_skillTable.GetCount(); ++i) {
        if (i == static_cast<s8>(skill) || GetBaseSkill(i) < -delta) continue;
        const s64 w = (static_cast<s64>(now) - skillTimes_[i]) / 60;
        candidates.push_back(i);
        weights.push_back(w);
        total += w;
    }
    if (candidates.empty()) {
        if (GetBaseSkill(skill) < -delta) {
            SetSkill(skill, 0);
        } else {
            AddSkill(skill, delta);
        }
        SendSkill(this, static_cast<s8>(skill));
        return;
    }
    s64 r = total > 0 ? RandomRangeWide(0, static_cast<int>(std::min<s64>(total, 0x7FFFFFFF))) : 0;
    size_t chosen = candidates.size() - 1;
    for (size_t k = 0; k < candidates.size(); ++k) {
        r -= weights[k];
        if (r <= 0) {
            chosen = k;
            break;
        }
    }
    const int paying = candidates[chosen];
    AddSkill(paying, delta);
    const int refund = delta + g_skillTable.GetSkill(paying)->capWeight;
    if (refund > 0) skillPool_ += refund;
    SendSkill(this, paying);
}

int CMobile::GetEffectiveSkill(int skill, int baseFlag) const {
    const SkillRecord* r = g_skillTable.GetSkill(static_cast<s8>(skill));
    if (!r) return 0;
    const int v = baseFlag ? GetBaseSkill(skill) : GetSkillLevel(skill);
    const int t = ((stats_[0] * r->statWeights[0] + stats_[1] * r->statWeights[1] +
                    stats_[2] * r->statWeights[2]) *
                   (100 - r->statPercent)) /
                  1000;
    return static_cast<int>(static_cast<unsigned>((1000 - t) * v) / 1000u) + t;
}

// ---------------------------------------------------------------- notoriety, fame, karma

void CMobile::NotifyNearby() {
    if (detached_) return;
    std::vector<CPlayer*> players;
    CollectPlayersNear(GetWorldLocation(), 18, players);
    for (CPlayer* p : players)
        GetPacketServices().SendMobile(p, this, false);
}

void CMobile::SetNotoriety(int value) {
    if (value >= 128) value = 127;
    if (value < -127) value = -127;
    if (value == notoriety_) return;
    notoriety_ = static_cast<s8>(value);
    NotifyNearby();
}

void CMobile::ChangeNotoriety(int delta) {
    if (delta > 0) {
        if (notorietyCooldown_ != 0) return;
        notorietyCooldown_ = 3600;
    }
    SetNotoriety(notoriety_ + std::clamp(delta, -50, 50));
}

void CMobile::LoseFame(int delta) {
    SetNotoriety(notoriety_ < 0 ? notoriety_ + delta : notoriety_ - delta);
}

void CMobile::GainFame(int delta) {
    SetNotoriety(notoriety_ < 0 ? notoriety_ - delta : notoriety_ + delta);
}

int CMobile::GetNotorietyTitle() const {
    const int t = (notoriety_ < 0 ? -notoriety_ : notoriety_) / 24;
    return notoriety_ < 0 ? -t : t;
}

void CMobile::SetFame(int value) {
    fame_ = static_cast<u16>(std::clamp(value, 0, 20000));
}

int CMobile::GetFameLevel() const {
    if (fame_ >= 10000) return 4;
    if (fame_ >= 5000) return 3;
    if (fame_ >= 2500) return 2;
    if (fame_ >= 1250) return 1;
    return 0;
}

void CMobile::FameKarmaReport(int oldValue, int newValue, const char* what) {
    CPlayer* player = AsPlayer();
    if (!player || oldValue == newValue) return;
    const int change = newValue > oldValue ? newValue - oldValue : oldValue - newValue;
    const char* amount = change > 40   ? "a lot of"
                         : change > 20 ? "a good amount of"
                         : change > 10 ? "some"
                                       : "a little";
    char text[96];
    std::snprintf(text, sizeof text, "You have %s %s %s.", newValue > oldValue ? "gained" : "lost",
                  amount, what);
    GetPacketServices().SendSystemMessage(player, text);
}

int CMobile::ChangeFame(int target) {
    const int old = fame_;
    int value;
    if (target < 0) {
        value = old + target * old / 100;
    } else {
        const int gap = target - old;
        if (gap <= 0) return gap;
        value = old + gap / 100;
        if (RandomRange(0, 99) < gap % 100) ++value;
    }
    FameKarmaReport(old, std::clamp(value, 0, 20000), "fame");
    SetFame(value);
    return GetTriggerServices().SendTrigger(this, kTriggerFameChanged, TriggerArgs{});
}

void CMobile::SetKarma(int value) {
    karma_ = static_cast<s16>(std::clamp(value, -20000, 20000));
}

int CMobile::GetEffectiveKarma() const {
    // A murderer's good karma counts as none; murder counts come with the reputation rules,
    // so no mobile is a murderer yet.
    return karma_;
}

int CMobile::GetKarmaLevel() const {
    const int k = GetEffectiveKarma();
    const int a = k < 0 ? -k : k;
    static const int kSteps[] = {10000, 5000, 2500, 1250, 625};
    int level = 0;
    for (int i = 0; i < 5; ++i) {
        if (a >= kSteps[i]) {
            level = 5 - i;
            break;
        }
    }
    return k < 0 ? -level : level;
}

int CMobile::ChangeKarma(int target) {
    const int old = karma_;
    if (old < 0 ? (target >= old && target <= 0) : (target >= 0 && target <= old)) return 0;
    const int gap = target - old;
    int value = old + gap / 100;
    if (gap > 0 && RandomRange(0, 99) < gap % 100) ++value;
    FameKarmaReport(old, std::clamp(value, -20000, 20000), "karma");
    SetKarma(value);
    return GetTriggerServices().SendTrigger(this, kTriggerKarmaChanged, TriggerArgs{});
}

// ---------------------------------------------------------------- flags and light

void CMobile::SetMobFlag(int mask, bool on) {
    mobFlags_ = static_cast<u8>(on ? mobFlags_ | mask : mobFlags_ & ~mask);
}

void CMobile::MakeInvulnerable() {
    SetMobFlag(kMobInvulnerable, true);
}

void CMobile::MakeVulnerable() {
    SetMobFlag(kMobInvulnerable, false);
}

void CMobile::SetStatusFlag(int mask) {
    const u8 old = statusFlags_;
    statusFlags_ = static_cast<u8>(statusFlags_ | mask);
    if (old != statusFlags_) NotifyNearby();
}

void CMobile::ClearStatusFlag(int mask) {
    const u8 old = statusFlags_;
    statusFlags_ = static_cast<u8>(statusFlags_ & ~mask);
    if (old != statusFlags_) NotifyNearby();
}

void CMobile::SetLightLevel(int duration, int level) {
    // The personal light packet goes with the player's own packets (player rules).
    lightLevel_ = static_cast<u8>(level);
    lightDuration_ = static_cast<u8>(duration);
}

// ---------------------------------------------------------------- combat lists

bool CMobile::AddOpponent(u32 serial) {
    if (serial == serial_) return false;
    if (IsNPC()) statusFlags_ |= kMobileFighting;
    return attacking_.Add(serial);
}

bool CMobile::AddAggressor(u32 serial) {
    if (serial == serial_) return false;
    return (leader_ ? leader_->attackedBy_ : attackedBy_).Add(serial);
}

void CMobile::RemoveOpponent(u32 serial, bool alsoAggressor) {
    if (serial == serial_) return;
    if (alsoAggressor) attackedBy_.Remove(serial);
    attacking_.Remove(serial);
    if (IsNPC() && attacking_.IsEmpty()) statusFlags_ &= ~kMobileFighting;
}

void CMobile::ClearCombatList() {
    attacking_.Clear();
    if (IsNPC()) statusFlags_ &= ~kMobileFighting;
}

void CMobile::ClearCombatLists() {
    ClearCombatList();
    attackedBy_.Clear();
}

void CMobile::AgeCombatLists() {
    if (!attackedBy_.IsEmpty()) attackedBy_.Expire();
    if (!attacking_.IsEmpty()) attacking_.Expire();
}

void CMobile::MakePeace() {
    const std::vector<SerialTimer> aggressors = attackedBy_.Entries();
    for (const SerialTimer& e : aggressors) {
        CMobile* other = g_objectManager.FindMobile(e.serial);
        if (other) other->RemoveOpponent(serial_, true);
    }
}

// ---------------------------------------------------------------- followers

CMobile* CMobile::AddFollower(CMobile* follower) {
    if (!follower || follower == this) return follower;
    follower->nextFollower_ = firstFollower_;
    if (firstFollower_) firstFollower_->prevFollower_ = follower;
    firstFollower_ = follower;
    if (!lastFollower_) lastFollower_ = follower;
    follower->prevFollower_ = nullptr;
    follower->follows_ = 1;
    follower->leader_ = this;
    leads_ = 1;
    return follower;
}

void CMobile::RemoveFollower(CMobile* follower) {
    if (!follower || follower->leader_ != this) return;
    if (follower->prevFollower_) {
        follower->prevFollower_->nextFollower_ = follower->nextFollower_;
    } else {
        firstFollower_ = follower->nextFollower_;
    }
    if (follower->nextFollower_) {
        follower->nextFollower_->prevFollower_ = follower->prevFollower_;
    } else {
        lastFollower_ = follower->prevFollower_;
    }
    follower->nextFollower_ = follower->prevFollower_ = nullptr;
    follower->follows_ = 0;
    follower->leader_ = nullptr;
}

void CMobile::RemoveAllFollowers() {
    while (firstFollower_)
        RemoveFollower(firstFollower_);
}

int CMobile::CountFollowers() const {
    int n = 0;
    for (CMobile* f = firstFollower_; f; f = f->nextFollower_)
        ++n;
    return n;
}
