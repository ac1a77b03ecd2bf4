#include "server/world/skill_table.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/cstr.h"
#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "server/world/world_data_files.h"

CSkillTable g_skillTable;

// ---------------------------------------------------------------- curve

SkillCurve SkillCurve::FromPoints(double lo, double mid, double hi, double span) {
    SkillCurve c;
    c.lo = lo;
    c.hi = hi;
    c.span = span;
    const double l = lo, m = mid, h = hi;
    const double d = h - l;
    const double disc = std::sqrt((l - h) * (l - h) - 4.0 * (m - l) * (h - m));
    const double den = 2.0 * (m - l);
    double q = 0.0;
    if (den != 0.0) {
        const double r1 = (d + disc) / den;
        const double r2 = (d - disc) / den;
        q = std::fabs(r2 - 1.0) < std::fabs(r1 - 1.0) ? r1 : r2;
    }
    // No curve of this form: the roots coincide at 1 (middle halfway), the denominator is 0
    // (middle at the low end), the ratio is not positive (middle outside the ends) or the
    // span is empty.
    if (den == 0.0 || !std::isfinite(q) || q <= 0.0 || q == 1.0 || !(span > 0.0)) {
        c.straight = true;
        return c;
    }
    c.base = std::pow(q, 2.0 / span);
    const double denom = std::pow(c.base, span) - 1.0;
    if (denom == 0.0 || !std::isfinite(c.base)) {
        c.straight = true;
        return c;
    }
    c.mult = d / denom;
    c.add = l - c.mult;
    return c;
}

double SkillCurve::Value(double x) const {
    if (straight) return span > 0.0 ? lo + (hi - lo) * x / span : lo;
    return std::pow(base, x) * mult + add;
}

// ---------------------------------------------------------------- file reader

namespace {

// The lines of the text, each cut to the longest line the reader takes.
class LineReader {
public:
    explicit LineReader(const std::string& text) : text_(text) {}
    bool Next(std::string& line) {
        if (pos_ >= text_.size()) return false;
        size_t end = text_.find('\n', pos_);
        if (end == std::string::npos) end = text_.size();
        line.assign(text_, pos_, std::min(end - pos_, static_cast<size_t>(kSkillLineMax)));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos_ = end + 1;
        return true;
    }
    bool AtEnd() const { return pos_ >= text_.size(); }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

// Skips blanks; answers the position of the next non-blank.
size_t SkipBlanks(const std::string& s, size_t at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
        ++at;
    return at;
}

// The first word of the line and the position after it.
std::string FirstWord(const std::string& line, size_t& after) {
    size_t at = SkipBlanks(line, 0);
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    after = end;
    return line.substr(at, end - at);
}

// A word followed by `count` integers.
bool ReadInts(const std::string& line, int count, int* out, std::string* word = nullptr) {
    size_t at = 0;
    std::string w = FirstWord(line, at);
    if (w.empty()) return false;
    if (word) *word = w;
    for (int i = 0; i < count; ++i) {
        at = SkipBlanks(line, at);
        if (at >= line.size()) return false;
        const char* start = line.c_str() + at;
        char* end = nullptr;
        const long v = std::strtol(start, &end, 10);
        if (end == start) return false;
        out[i] = static_cast<int>(v);
        at += static_cast<size_t>(end - start);
    }
    return true;
}

// A word followed by the rest of the line (the name) or by one more word (flag, script).
bool ReadRest(const std::string& line, bool oneWord, char* out) {
    size_t at = 0;
    if (FirstWord(line, at).empty()) return false;
    at = SkipBlanks(line, at);
    std::string value = line.substr(at);
    if (oneWord) {
        const size_t blank = value.find_first_of(" \t");
        if (blank != std::string::npos) value.resize(blank);
    }
    if (value.empty()) return false;
    if (value.size() > static_cast<size_t>(kSkillTextMax))
        value.resize(static_cast<size_t>(kSkillTextMax));
    std::memcpy(out, value.c_str(), value.size() + 1);
    return true;
}

bool ReadBlock(LineReader& lines, int version, SkillRecord& r) {
    std::string line;
    auto next = [&]() { return lines.Next(line); };
    int v[3];
    if (!next() || !ReadRest(line, false, r.name)) return false;
    for (int i = 0; i < 3; ++i) {
        if (!next() || !ReadInts(line, 1, &r.statWeights[i])) return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (!next() || !ReadInts(line, 1, &r.secondWeights[i])) return false;
    }
    if (!next() || !ReadInts(line, 3, v)) return false;
    r.curve = SkillCurve::FromPoints(v[0], v[1], v[2]);
    if (!next() || !ReadInts(line, 1, &r.spare)) return false;
    if (!next() || !ReadInts(line, 1, &r.statPercent)) return false;
    char flag[kSkillTextMax + 1] = {};
    if (!next() || !ReadRest(line, true, flag)) return false;
    r.directlyUsable = (flag[0] == 'F' || flag[0] == 'f') ? 0 : 1;
    if (!next() || !ReadInts(line, 1, &r.capWeight)) return false;
    if (!next() || !ReadRest(line, true, r.script)) return false;
    if (version >= 1) {
        if (!next() || !ReadInts(line, 1, &r.extra)) return false;
    }
    r.defined = 1;
    return true;
}

}  // namespace

CSkillTable::CSkillTable() {
    for (int i = 0; i < kSkillSlots; ++i)
        permutation_[i] = static_cast<u8>(i);
    for (int n = kSkillSlots; n >= 1; --n)
        ExchangePermutation(n - 1, RandomRange(0, n - 1));
}

void CSkillTable::ExchangePermutation(int a, int b) {
    std::swap(permutation_[static_cast<unsigned>(a) % kSkillSlots],
              permutation_[static_cast<unsigned>(b) % kSkillSlots]);
}

int CSkillTable::GetAdvanceRate(int n, int baseValue) const {
    if (count_ <= 0 || !IsValidSkill(n)) return 0;
    const u64 total = u64{oldTotal_} + currentTotal_;
    const u64 usage = u64{oldCounts_[n]} + currentCounts_[n];
    const u64 ratio = std::clamp<u64>(total / static_cast<u64>(count_) * 1000 / (usage + 1), 500, 5000);
    const double rate = static_cast<double>(ratio) * records_[n].curve.Value(baseValue) / 1000.0;
    return static_cast<int>(std::clamp(rate, double(INT_MIN), double(INT_MAX)));
}

int CSkillTable::LoadFromText(const std::string& text) {
    for (SkillRecord& r : records_)
        r = SkillRecord();
    count_ = 0;
    version_ = 0;
    statCurveMiddle_ = kDefaultCapCurveMiddle;
    skillCurveMiddle_ = kDefaultCapCurveMiddle;

    LineReader lines(text);
    std::string line;
    if (!lines.Next(line)) return 0;
    // The header: "version n", then "StatCurve n" and "SkillCurve n", then the first block's
    // separator. A first line that is no version line is itself that separator.
    int value = 0;
    std::string word;
    bool needSeparator = false;
    if (ReadInts(line, 1, &value, &word) && StrCompareNoCase(word.c_str(), "version") == 0) {
        version_ = value;
        if (!lines.Next(line)) return 0;
        if (ReadInts(line, 1, &value, &word) && StrCompareNoCase(word.c_str(), "StatCurve") == 0) {
            statCurveMiddle_ = value;
            if (!lines.Next(line)) return 0;
            if (ReadInts(line, 1, &value, &word) &&
                StrCompareNoCase(word.c_str(), "SkillCurve") == 0) {
                skillCurveMiddle_ = value;
                needSeparator = true;
            }
        }
    }
    // `line` is the separator of the first block unless a full header asks for one more.
    if (needSeparator && !lines.Next(line)) return 0;
    while (true) {
        if (count_ == kSkillSlots) {
            if (!lines.AtEnd()) {
                GetLogSink().Log(0, 0, 0, "", "skills", "error",
                                 "skills.txt holds more than 50 skills; the rest is ignored");
            }
            break;
        }
        SkillRecord r;
        if (!ReadBlock(lines, version_, r)) break;
        records_[count_++] = r;
        if (!lines.Next(line)) break;  // the next block's separator
    }
    return count_;
}

int CSkillTable::Load() {
    std::vector<u8> bytes;
    if (!ReadArchiveFile(kSkillsPath, bytes)) {
        LoadFromText("");
        return 0;
    }
    return LoadFromText(std::string(bytes.begin(), bytes.end()));
}

bool CSkillTable::IsValidSkill(int n) const {
    return n >= 0 && n < count_ && records_[n].defined;
}

const SkillRecord* CSkillTable::GetSkill(int n) const {
    return IsValidSkill(n) ? &records_[n] : nullptr;
}

const char* CSkillTable::GetSkillName(int n) const {
    return IsValidSkill(n) ? records_[n].name : nullptr;
}

const char* CSkillTable::GetScriptName(int n) const {
    return IsValidSkill(n) ? records_[n].script : nullptr;
}

bool CSkillTable::IsDirectlyUsable(int n) const {
    return IsValidSkill(n) && records_[n].directlyUsable != 0;
}

void CSkillTable::CountUse(int n) {
    if (!IsValidSkill(n)) return;
    if (static_cast<u64>(oldTotal_) + currentTotal_ >= 0xFFFFFFFFull) {
        oldTotal_ = currentTotal_ = 0;
        for (int i = 0; i < kSkillSlots; ++i) {
            oldCounts_[i] >>= 16;
            currentCounts_[i] >>= 16;
            oldTotal_ += oldCounts_[i];
            currentTotal_ += currentCounts_[i];
        }
    }
    ++currentCounts_[n];
    ++currentTotal_;
}

void CSkillTable::ClearUsage() {
    for (int i = 0; i < kSkillSlots; ++i)
        oldCounts_[i] = currentCounts_[i] = 0;
    oldTotal_ = currentTotal_ = 0;
}

u32 CSkillTable::GetUsage(int n) const {
    if (n < 0 || n >= kSkillSlots) return 0;
    return oldCounts_[n] + currentCounts_[n];
}

void CSkillTable::SetCurrentUsage(int n, u32 count) {
    if (n < 0 || n >= kSkillSlots) return;
    currentCounts_[n] = count;
    currentTotal_ = 0;
    for (u32 c : currentCounts_)
        currentTotal_ += c;
}

// ---------------------------------------------------------------- keys

namespace {
constexpr const char* kSkillKeys[] = {
    "ALCHEMY",         "ANATOMY",        "ANIMAL_LORE",     "APPRAISE", "ARMSLORE",
    "BATTLE_DEFENSE",  "BEGGING",        "BLACKSMITH",      "FLETCHER", "CALM",
    "CAMPING",         "CARPENTRY",      "MAPMAKING",       "COOKING",  "DETECT_HIDDEN",
    "ENTICE",          "EVALUATE",       "FIRST_AID",       "FISHING",  "FORENSICS",
    "HERDING",         "HIDE",           "INCITE",          "INSCRIBE", "PICK_LOCK",
    "MAGIC",           "MAGIC_DEFENSE",  "FIGHTING",        "PEEK",     "PLAY",
    "POISONING",       "WEAPON_RANGED",  "SEANCE",          "STEALING", "TAILOR",
    "TAME_ANIMAL",     "TASTE",          "TINKER",          "TRACKING", "VET",
    "WEAPON_SLASHING", "WEAPON_BASHING", "WEAPON_PIERCING", "MELEE",    "LUMBERJACK",
    "MINING",
};
constexpr int kSkillKeyCount = static_cast<int>(sizeof kSkillKeys / sizeof kSkillKeys[0]);
static_assert(kSkillKeyCount == 46);
}  // namespace

int SkillNumberFromName(const char* text) {
    if (!text) return -1;
    for (int i = 0; i < kSkillKeyCount; ++i) {
        if (StrCompareNoCase(text, kSkillKeys[i]) == 0) return i;
    }
    return -1;
}

const char* SkillKeyFromNumber(int n) {
    return n >= 0 && n < kSkillKeyCount ? kSkillKeys[n] : nullptr;
}
