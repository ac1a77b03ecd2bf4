#pragma once
// The client's helpers over 0-terminated 16-bit (UTF-16) texts, one unit per character (no
// surrogate handling). A null text reads as the empty text; helpers that write do nothing
// for a null pointer. Helpers that make a new text answer a std::u16string.
#include <cstddef>
#include <string>

#include "core/wide_text.h"

int UStrLen(const WChar* text);
// 0 when both texts are equal unit for unit, else 1.
int UStrDiffer(const WChar* a, const WChar* b);
// -1, 0 or 1 with A-Z folded to a-z (only those 26 letters); the N form over at most n units.
int UStrCompareNoCase(const WChar* a, const WChar* b);
int UStrCompareNoCaseN(const WChar* a, const WChar* b, size_t n);
WChar* UStrCpy(WChar* dst, const WChar* src);
// Copies at most n units and then a 0 (dst holds n + 1 units).
WChar* UStrCpyN(WChar* dst, const WChar* src, size_t n);
std::u16string UStrDup(const WChar* text);
// Widens an 8-bit text, each byte taken as a signed value (0xE9 becomes 0xFFE9).
std::u16string UStrFromAscii(const char* text);
WChar* UStrCat(WChar* dst, const WChar* src);
// Appends an 8-bit text, widened as UStrFromAscii widens it.
WChar* UStrCatAscii(WChar* dst, const char* src);
inline bool UStrIsSpace(WChar c) {
    return c == 32;
}
inline bool UStrIsAscii(WChar c) {
    return c < 128;
}
inline bool UStrIsDigit(WChar c) {
    return c >= u'0' && c <= u'9';
}
// Skips spaces, copies the next word with A-Z folded to lower case into `word` (at most
// wordSize - 1 units and a 0; a longer word is cut), answers the position after the word.
const WChar* UStrNextWord(const WChar* text, WChar* word, size_t wordSize);
// Removes trailing spaces.
void UStrTrimEnd(WChar* text);
// Narrows to 8 bits, dropping every unit of 128 or more.
std::string UStrToAscii(const WChar* text);
// Each '-' flips the sign, '+' is skipped, digits accumulate (saturating at the int range),
// any other unit ends the number.
int UStrToInt(const WChar* text);
// The position after the first word and the spaces after it.
const WChar* UStrSkipWord(const WChar* text);
// Runs the 8-bit profanity filter over the text: units of 128 or more become spaces in an
// 8-bit copy, the copy is filtered, and every ASCII unit the filter changed is written back.
void UStrFilterProfanity(WChar* text);
