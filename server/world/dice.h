#pragma once
// A dice expression count d sides + bonus: a weapon's damage, a mobile's natural weapon, and
// the values game-master commands and world files set. Each field is one byte; values from a
// text or a setter keep their low 8 bits.
#include "platform/types.h"

class Dice {
public:
    Dice() { Clear(); }
    Dice(const Dice& other) { Assign(other); }
    // Clear, then Parse(text).
    explicit Dice(const char* text);
    Dice& operator=(const Dice& other) { return Assign(other); }

    void Set(int count, int sides, int bonus);
    void Clear() { Set(0, 0, 0); }
    Dice& Assign(const Dice& other);

    int GetCount() const { return count_; }
    int GetSides() const { return sides_; }
    int GetBonus() const { return bonus_; }
    // The extra flag is part of the value's interface but never set.
    bool GetExtra() const { return false; }
    bool IsZero() const { return count_ == 0 && sides_ == 0 && bonus_ == 0 && !GetExtra(); }

    // Sets the value from a text read from its start; reading stops at the first character
    // that does not fit and the rest is ignored:
    //   [sign] N ['d' [M] [bsign K]]
    // sign and bsign are '+', '-' or '!' ('!' reads as '+'); digit runs may be empty (0).
    // With 'd': count = sign * N, sides = M, bonus = bsign * K. Without: the constant
    // sign * N as the bonus (count and sides 0). A null text gives the zero value.
    void Parse(const char* text);

    // The sum of count draws of RandomRange(1, sides), plus the bonus. A count of zero or
    // less rolls no dice; a die of 0 sides adds 0.
    int Roll() const;
    // count * (sides + 1) / 2 rounded toward zero, plus the bonus.
    int Average() const;

private:
    s8 count_;
    u8 sides_;
    s8 bonus_;
};

static_assert(sizeof(Dice) == 3, "Dice is three bytes");
