#pragma once
// Helpers over NUL-terminated UTF-16 texts, the code units of CUStr and of Unicode speech.
// A null text reads as the empty text; helpers that write do nothing for a null pointer.
#include <cstddef>

// One UTF-16 code unit.
using WChar = char16_t;

// Code units before the terminator; 0 for null.
int WideStrLen(const WChar* text);
// Copies src with its terminator to dst; answers dst. Nothing when either is null.
WChar* WideStrCopy(WChar* dst, const WChar* src);
// Appends src with its terminator to the text in dst; answers dst. Nothing when either is
// null.
WChar* WideStrCat(WChar* dst, const WChar* src);
// Copies at most n code units of src to dst, stopping after src's terminator. When src is
// n units or longer no terminator is written: dst[n - 1] is the last unit touched.
WChar* WideStrCopyN(WChar* dst, const WChar* src, size_t n);
// Compares by 16-bit values: -1, 0 or 1.
int WideStrCompare(const WChar* a, const WChar* b);
// As WideStrCompare with A-Z folded to a-z; nothing else is folded.
int WideStrCompareNoCase(const WChar* a, const WChar* b);
// The decimal value at the start of the text, read as atoi reads a narrow text in which every
// code unit of 128 or more became a space. Out-of-range values are clamped to the int range.
int WideStrToInt(const WChar* text);
