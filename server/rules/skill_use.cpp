// Skill use and learning: the success chance against a difficulty, learning by use with a
// usage-balanced advance rate, practice with a repeat counter that makes quick repeats teach
// less, learning by watching, stat gain, and the slow loss of skills and stats.
//
// Arithmetic on values a script can pass (difficulty, focus, amounts, percentages) is done in
// 64 bits and clamped, so no input overflows or divides by zero.
#include "server/rules/skill_use.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "core/location.h"
#include "core/random_numbers.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/skill_table.h"
#include "server/world/world_utilities.h"

namespace {

constexpr int kSkillMax = 1000;
constexpr int kStatMax = 100;
constexpr int kRepeatMax = 100;
// Practice repeated within this many milliseconds of the last own use counts as a repeat.
constexpr s64 kRepeatWindowMs = 900;
// "debugSkillInfo" at this value shows the lines of every skill.
constexpr int kDebugAllSkills = 666;

int RandomBelow(int n) {
    return RandomRange(0, n - 1);
}

int ClampToInt(s64 v) {
    return static_cast<int>(std::clamp<s64>(v, INT_MIN, INT_MAX));
}

bool IsNonCombatantPlayer(CMobile& mobile) {
    const CPlayer* player = mobile.AsPlayer();
    return player && player->HasFlag(kPlayerNonCombatant);
}

// Sends a debugging line to the player when it asked for this skill's lines.
template <typename... Args>
void DebugLine(CMobile& mobile, int skill, const char* format, Args... args) {
    if (!IsSkillDebugOn(mobile, skill)) return;
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    GetPacketServices().SendSystemMessage(mobile.AsPlayer(), text);
}

const char* SkillName(int skill) {
    const char* name = g_skillTable.GetSkillName(skill);
    return name ? name : "";
}

// The players within a tile of the mobile that see it and face it, itself excepted.
std::vector<CPlayer*> Watchers(CMobile& mobile) {
    std::vector<CPlayer*> near;
    PlayerGridCollectExcept(near, mobile.GetWorldLocation(), 1, mobile.AsPlayer());
    std::vector<CPlayer*> watching;
    for (CPlayer* p : near) {
        if (p == &mobile) continue;
        if (ItemCanSee(*p, mobile, kSightWalls) && IsFacing(*p, mobile)) watching.push_back(p);
    }
    return watching;
}

}  // namespace

bool IsSkillDebugOn(const CMobile& mobile, int skill) {
    if (!mobile.IsPlayer()) return false;
    s32 value = 0;
    if (!mobile.GetObjVarIntChecked("debugSkillInfo", value)) return false;
    return value == skill || value == kDebugAllSkills;
}

int CMobile::GetSkillChance(int skill, int difficulty, int focus) const {
    if (focus < 1) focus = 1;
    const s64 effective = GetEffectiveSkill(skill, 0);
    return ClampToInt((effective - difficulty) * 100 / focus + 500);
}

int CMobile::UseSkill(int skill, int difficulty, int focus, int learnAnyway, int gainPercent,
                      int divisor) {
    if (!g_skillTable.IsValidSkill(skill) || IsNonCombatantPlayer(*this)) return 0;
    if (divisor < 1) divisor = 1;
    const int chance = GetSkillChance(skill, difficulty, focus);
    if (divisor == 1) {
        SetSkillUseTime(skill, SkillClockSeconds());
        if (IsPlayer()) g_skillTable.CountUse(skill);
        const s64 rate = g_skillTable.GetAdvanceRate(skill, GetBaseSkill(skill));
        GainStats(skill, ClampToInt(rate * gainPercent / 10000), 1);
    }
    const int success = chance / divisor - RandomBelow(1000);
    DebugLine(*this, skill, "%s At:(%d/%d), Diff:%d, Focus:%d, Chance:%d, Success:%d",
              SkillName(skill), GetSkillLevel(skill), GetEffectiveBaseSkill(skill), difficulty,
              focus, chance, success);
    if (learnAnyway || success > 0) {
        LearnSkill(skill, ClampToInt(s64{1000} - chance), gainPercent);
        if (divisor == 1 && IsHuman()) {
            for (CPlayer* watcher : Watchers(*this))
                watcher->UseSkill(skill, difficulty, focus, 0, gainPercent, 4);
        }
    }
    return success;
}

int CMobile::TestSkill(int skill) {
    if (!g_skillTable.IsValidSkill(skill) || IsNonCombatantPlayer(*this)) return 0;
    if (IsPlayer()) g_skillTable.CountUse(skill);
    const int value = GetEffectiveSkill(skill, 0) - RandomBelow(1000);
    PracticeSkill(skill, value < 0 ? 50 : 100, true);
    return value;
}

void CMobile::LearnSkill(int skill, int chance, int gainPercent) {
    if (!g_skillTable.IsValidSkill(skill) || chance < 1 || IsNonCombatantPlayer(*this)) return;
    if (chance > kSkillMax) chance = kSkillMax;
    const s64 base = GetBaseSkill(skill);
    const s64 rate =
        std::max<s64>(0, s64{g_skillTable.GetAdvanceRate(skill, static_cast<int>(base))} *
                             gainPercent / 100);
    DebugLine(*this, skill, "Learn %s At: %d, Chance: %d, AdvRate: %d", SkillName(skill),
              GetEffectiveBaseSkill(skill), chance, ClampToInt(rate));
    const s64 p = chance * rate / 1000;
    s64 gain = p / 1000;
    if (RandomBelow(1000) < p % 1000) ++gain;
    if (gain < 1) return;
    // Learning never takes a skill past 1000, nor lowers one a script set above it.
    if (base >= kSkillMax) return;
    if (base + gain > kSkillMax) gain = kSkillMax - base;
    AddSkill(skill, static_cast<int>(gain));
    ApplySkillCap(skill, static_cast<int>(gain));
    if (CPlayer* player = AsPlayer()) GetPacketServices().SendSkillUpdate(player, skill);
}

void CMobile::PracticeSkill(int skill, int amount, bool ownUse) {
    if (!g_skillTable.IsValidSkill(skill) || IsNonCombatantPlayer(*this)) return;
    // Use times are kept in seconds: a repeat within the same second counts on, a later one
    // starts the count again.
    int count = skillRepeats_[skill];
    const u32 last = GetSkillUseTime(skill);
    if (last == 0) {
        count = 0;
    } else {
        const s64 elapsed = (s64{SkillClockSeconds()} - last) * 1000;
        if (elapsed >= kRepeatWindowMs || elapsed < 0) {
            count = 0;
        } else {
            const int d = static_cast<int>(static_cast<double>(elapsed) / 15.0 * 100.0);
            count = count > d ? count - d : 0;
        }
    }
    ++count;
    if (ownUse) SetSkillUseTime(skill, SkillClockSeconds());
    skillRepeats_[skill] = static_cast<u8>(std::min(count, kRepeatMax));
    if (skillRepeats_[skill] > RandomBelow(100)) return;
    const s64 rate = (s64{kSkillMax} - GetEffectiveBaseSkill(skill)) * amount / 100;
    DebugLine(*this, skill, "%s At:(%d/%d), AttrMod:%d", SkillName(skill), GetSkillLevel(skill),
              GetEffectiveBaseSkill(skill), amount / 2);
    LearnSkill(skill, ClampToInt(rate), 100);
    if (ownUse) {
        GainStats(skill, amount / 2, 1);
        TeachWatchers(skill, amount);
    }
}

void CMobile::TeachWatchers(int skill, int amount) {
    if (!g_skillTable.IsValidSkill(skill) || !IsHuman() || IsNonCombatantPlayer(*this)) return;
    const s64 effective = GetEffectiveSkill(skill, 0);
    for (CPlayer* p : Watchers(*this)) {
        const s64 known = p->GetEffectiveBaseSkill(skill);
        if (known >= effective) continue;
        p->PracticeSkill(skill, ClampToInt(s64{amount} * (effective - known) / 1000), false);
    }
}

void CMobile::GainStats(int skill, int amount, int increment) {
    const SkillRecord* record = g_skillTable.GetSkill(skill);
    if (!record || !g_skillTable.IsValidSkill(skill)) return;
    s64 chance[3];
    int draw[3];
    for (int i = 0; i < 3; ++i) {
        const s64 room = increment > 0 ? kStatMax - GetBaseStat(i) : GetBaseStat(i);
        chance[i] = room * record->statWeights[i] * amount / 1000;
        draw[i] = RandomBelow(20000);
    }
    for (int i = 0; i < 3; ++i) {
        if (chance[i] <= draw[i]) continue;
        // A stat at the top blocks this gain and the later stats' gains of the same call.
        if (GetBaseStat(i) + increment > kStatMax) increment = 0;
        if (IsPlayer())
            AdjustStat(i, GetBaseStat(i) + increment);
        else
            ModifyRealStat(i, increment);
    }
}

bool CMobile::LoseSkills(int amount) {
    if (IsGhost()) amount = ClampToInt(s64{amount} * 2);
    if (amount > 10000)
        amount /= 10;
    else if (amount < 1000 && RandomBelow(1000) >= amount)
        amount = 0;
    const int a = RandomBelow(kSkillSlots);
    g_skillTable.ExchangePermutation(a, RandomBelow(kSkillSlots));
    bool dropped = false;
    u32& cursor = g_skillTable.LossCursor();
    const u32 end = cursor + static_cast<u32>(s64{amount} * kSkillSlots / 1000);
    for (; cursor != end && amount > 0; ++cursor) {
        const int s = g_skillTable.PermutationEntry(static_cast<int>(cursor % kSkillSlots));
        if (s >= g_skillTable.GetCount() || GetBaseSkill(s) == 0) continue;
        const SkillRecord* r = g_skillTable.GetSkill(s);
        if (!r) continue;
        const s64 loss = (s64{r->statWeights[0]} * (kStatMax - GetBaseStat(0)) +
                          s64{r->statWeights[1]} * (kStatMax - GetBaseStat(1)) +
                          s64{r->statWeights[2]} * (kStatMax - GetBaseStat(2))) *
                         GetBaseSkill(s) / 10000;
        if (loss > 0) amount = ClampToInt(amount - loss);
        if (RandomBelow(1000) < loss) {
            AddSkill(s, -1);
            ApplySkillCap(s, -1);
            dropped = true;
        }
    }
    return dropped;
}

bool CMobile::LoseStats(int amount) {
    if (IsGhost()) amount = ClampToInt(s64{amount} * 2);
    if (amount < 1000 && RandomBelow(1000) >= amount) return false;
    bool dropped = false;
    for (int i = 0; i < 3; ++i) {
        for (s64 k = 0; k < amount; k += 1000) {
            if (RandomBelow(90) + 10 < GetBaseStat(i)) {
                ModifyRealStat(i, -1);
                dropped = true;
            }
        }
    }
    return dropped;
}
