#pragma once
// The server's random helpers. Every draw comes from platform::Rand(), which yields 15-bit
// values (0..32767); the game's odds depend on that shape (a draw taken modulo a range, a
// range of more than 32768 values capped at lo + 32767), so it is kept on purpose.
#include "platform/types.h"

// lo + Rand() % (hi - lo + 1); 0 when hi < lo (no draw then).
int RandomRange(int lo, int hi);

// Four draws r1..r4 in that order: low 32 bits (r1 << 16) | r2, high 32 bits (r3 << 16) | r4.
u64 Random64();

// lo + Random64() % (hi - lo + 1) for ranges wider than RandomRange can reach; 0 when hi < lo.
int RandomRangeWide(int lo, int hi);

// The sum of count draws of RandomRange(1, sides); 0 when count <= 0. A die of fewer than one
// side adds 0. The sum is held to the int range.
int RollDiceSum(int count, int sides);

// Evaluates a dice text [sign] N ['d' M [modifier K]]:
//   sign:     '+' or '-', or '!' for a random sign (RandomRange(1, 2) == 1 is +); any other
//             first character is part of N;
//   N, M, K:  decimal digit runs, an empty run reads 0;
//   modifier: '+' adds K, '-' subtracts it, '!' adds K or -K at random (RandomRange(1, 2)
//             == 1 is -K); anything else adds nothing.
// Without 'd' after N the result is sign * N. Draws happen in the order: sign, modifier
// sign, then the dice. A null text is 0.
int RollDice(const char* text);

// K + (N + N * M) / 2 for a text N 'd' M ('+' | '-') K; missing parts count as 0 and no
// sign prefix is understood. A null text is 0.
int DiceAverage(const char* text);
