#include "server/world/dice.h"

#include "core/random_numbers.h"

namespace {

// Reads a run of decimal digits (an empty run is 0). The value wraps in 32 bits, which keeps
// its low 8 bits right: all the fields keep.
u32 ReadDigits(const char*& p) {
    u32 value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10u + static_cast<u32>(*p++ - '0');
    return value;
}

// '+' and '!' read as +1, '-' as -1; anything else is not a sign and is left unread.
int ReadSign(const char*& p) {
    if (*p == '+' || *p == '!') {
        ++p;
        return 1;
    }
    if (*p == '-') {
        ++p;
        return -1;
    }
    return 0;
}

u32 Signed(int sign, u32 value) {
    return sign < 0 ? 0u - value : value;
}

}  // namespace

Dice::Dice(const char* text) {
    Clear();
    Parse(text);
}

void Dice::Set(int count, int sides, int bonus) {
    count_ = static_cast<s8>(count);
    sides_ = static_cast<u8>(sides);
    bonus_ = static_cast<s8>(bonus);
}

Dice& Dice::Assign(const Dice& other) {
    Set(other.GetCount(), other.GetSides(), other.GetBonus());
    return *this;
}

void Dice::Parse(const char* text) {
    Clear();
    if (text == nullptr) return;
    const char* p = text;
    int sign = ReadSign(p);
    if (sign == 0) sign = 1;
    u32 n = ReadDigits(p);
    if (*p != 'd') {
        bonus_ = static_cast<s8>(Signed(sign, n));
        return;
    }
    ++p;
    u32 sides = ReadDigits(p);
    u32 bonus = 0;
    if (int bonusSign = ReadSign(p); bonusSign != 0) bonus = Signed(bonusSign, ReadDigits(p));
    count_ = static_cast<s8>(Signed(sign, n));
    sides_ = static_cast<u8>(sides);
    bonus_ = static_cast<s8>(bonus);
}

int Dice::Roll() const {
    int total = 0;
    for (int i = 0; i < count_; ++i)
        total += RandomRange(1, sides_);
    return total + bonus_;
}

int Dice::Average() const {
    s16 product = static_cast<s16>(count_ * (sides_ + 1));
    return product / 2 + bonus_;
}
