#pragma once
// The skill table: the 50 skill records read from `skills.txt` at world load (names, stat
// weights, advance curves, cap weights, script classes), the two cap-curve heights of the
// file's header, and the server-wide usage counts of each skill.
#include <string>

#include "platform/types.h"

constexpr int kSkillSlots = 50;
// The longest name and script class a record keeps (longer ones are cut).
constexpr int kSkillTextMax = 79;
// The longest line the reader takes; the rest of a longer line is dropped.
constexpr int kSkillLineMax = 511;
// The height of a cap curve at its middle point when the file's header does not give one.
constexpr int kDefaultCapCurveMiddle = 500;

// value(x) = pow(base, x) * mult + add, through (0, lo), (span / 2, mid) and (span, hi); the
// skills' advance curves span 1000. Three points with no such curve through them (a middle
// equal to the low end or exactly halfway, or a middle outside the ends) give the straight
// line from lo to hi instead.
struct SkillCurve {
    static constexpr double kSkillSpan = 1000.0;
    double base = 1.0;
    double mult = 0.0;
    double add = 0.0;
    bool straight = false;
    double lo = 0.0;
    double hi = 0.0;
    double span = kSkillSpan;

    static SkillCurve FromPoints(double lo, double mid, double hi, double span = kSkillSpan);
    double Value(double x) const;
};

struct SkillRecord {
    char name[kSkillTextMax + 1] = {};
    char script[kSkillTextMax + 1] = {};
    s32 secondWeights[3] = {};
    s32 statWeights[3] = {};
    SkillCurve curve;
    s32 spare = 0;
    s32 statPercent = 0;
    s32 directlyUsable = 0;
    s32 capWeight = 0;
    s32 defined = 0;
    s32 extra = 0;
};

class CSkillTable {
public:
    CSkillTable();

    // Reads the records from the text of a skill file; answers the number read. Replaces
    // what the table held. More than 50 blocks: the first 50 are kept and the log says so.
    int LoadFromText(const std::string& text);
    // Reads `skills.txt` through the data archive (0 records when it does not open).
    int Load();

    bool IsValidSkill(int n) const;
    int GetCount() const { return count_; }
    const SkillRecord* GetSkill(int n) const;
    const char* GetSkillName(int n) const;
    const char* GetScriptName(int n) const;
    bool IsDirectlyUsable(int n) const;
    int GetVersion() const { return version_; }
    // The heights of the stat and skill cap curves at their middle points (header lines
    // "StatCurve" and "SkillCurve").
    int GetStatCurveMiddle() const { return statCurveMiddle_; }
    int GetSkillCurveMiddle() const { return skillCurveMiddle_; }

    // Usage statistics: one use of a valid skill. When the two totals together reach
    // 0xFFFFFFFF every count is halved 16 times over first (shifted right by 16).
    void CountUse(int n);
    void ClearUsage();
    u32 GetUsage(int n) const;
    u32 GetTotalUsage() const { return oldTotal_ + currentTotal_; }
    // Test hook: sets one skill's current count and recomputes the current total.
    void SetCurrentUsage(int n, u32 count);

    // The world tick's periodic step (every 4096th pulse): the table keeps nothing that ages.
    void Tick() {}

    // How fast a skill at `baseValue` advances: its curve's value scaled by how rarely the
    // skill is used against the average (from half to five times); 0 without records.
    int GetAdvanceRate(int n, int baseValue) const;

    // The skill-loss pass's order of the 50 skill numbers, shuffled when the table is made;
    // two entries exchanged at each pass.
    int PermutationEntry(int i) const { return permutation_[static_cast<unsigned>(i) % kSkillSlots]; }
    void ExchangePermutation(int a, int b);
    // Where the skill-loss pass goes on, across calls.
    u32& LossCursor() { return lossCursor_; }

private:
    SkillRecord records_[kSkillSlots];
    int count_ = 0;
    int version_ = 0;
    int statCurveMiddle_ = kDefaultCapCurveMiddle;
    int skillCurveMiddle_ = kDefaultCapCurveMiddle;
    u32 oldCounts_[kSkillSlots] = {};
    u32 currentCounts_[kSkillSlots] = {};
    u32 oldTotal_ = 0;
    u32 currentTotal_ = 0;
    u8 permutation_[kSkillSlots];
    u32 lossCursor_ = 0;
};

extern CSkillTable g_skillTable;

// The key of the 46 named skills, looked up without regard to case; -1 / null when none.
int SkillNumberFromName(const char* text);
const char* SkillKeyFromNumber(int n);

// Path of the skill file, as the server opens it.
inline constexpr const char* kSkillsPath = "../.rundir/skills.txt";
