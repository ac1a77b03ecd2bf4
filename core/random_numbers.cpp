#include "core/random_numbers.h"

#include <climits>

#include "core/zq_assert.h"
#include "platform/random.h"

namespace {

int ClampToInt(s64 v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// Reads a run of decimal digits (possibly empty: 0), saturating at INT_MAX so that a long run
// from a data file cannot overflow.
int ReadDigits(const char*& p) {
    s64 value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX) value = INT_MAX;
        ++p;
    }
    return static_cast<int>(value);
}

}  // namespace

int RandomRange(int lo, int hi) {
    if (hi < lo) return 0;
    s64 span = static_cast<s64>(hi) - lo + 1;
    return static_cast<int>(lo + platform::Rand() % span);
}

u64 Random64() {
    u64 r1 = static_cast<u64>(platform::Rand());
    u64 r2 = static_cast<u64>(platform::Rand());
    u64 r3 = static_cast<u64>(platform::Rand());
    u64 r4 = static_cast<u64>(platform::Rand());
    u64 low = (r1 << 16) | r2;
    u64 high = (r3 << 16) | r4;
    return (high << 32) | low;
}

int RandomRangeWide(int lo, int hi) {
    if (hi < lo) return 0;
    s64 span = static_cast<s64>(hi) - lo + 1;
    // Random64() never sets bit 63 (each draw is 15 bits), so the signed remainder is >= 0.
    s64 r = static_cast<s64>(Random64()) % span;
    ZQ_ASSERT(r >= 0, "Random64 never sets bit 63");
    return static_cast<int>(lo + r);
}

int RollDiceSum(int count, int sides) {
    s64 sum = 0;
    for (int i = 0; i < count; ++i)
        sum += RandomRange(1, sides);
    return ClampToInt(sum);
}

int RollDice(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    int sign = 1;
    if (*p == '+') {
        ++p;
    } else if (*p == '-') {
        sign = -1;
        ++p;
    } else if (*p == '!') {
        sign = RandomRange(1, 2) == 1 ? 1 : -1;
        ++p;
    }
    int n = ReadDigits(p);
    if (*p != 'd') return ClampToInt(static_cast<s64>(sign) * n);
    ++p;
    int m = ReadDigits(p);
    s64 modifier = 0;
    if (*p == '+' || *p == '-' || *p == '!') {
        char kind = *p++;
        int k = ReadDigits(p);
        if (kind == '+') {
            modifier = k;
        } else if (kind == '-') {
            modifier = -static_cast<s64>(k);
        } else {
            modifier = RandomRange(1, 2) == 1 ? -static_cast<s64>(k) : k;
        }
    }
    s64 total = RollDiceSum(n, m) + modifier;
    return ClampToInt(sign * total);
}

int DiceAverage(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    s64 n = ReadDigits(p);
    s64 m = 0, k = 0;
    if (*p == 'd') {
        ++p;
        m = ReadDigits(p);
        if (*p == '+') {
            ++p;
            k = ReadDigits(p);
        } else if (*p == '-') {
            ++p;
            k = -static_cast<s64>(ReadDigits(p));
        }
    }
    return ClampToInt(k + (n + n * m) / 2);
}
