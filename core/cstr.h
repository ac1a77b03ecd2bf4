#pragma once
// CStr: the server's own growable 8-bit string, and the value of the script type string.
//
// Exact growth (step 1) and a buffer from the start; a string built from a null text has
// none and reads as the empty text everywhere. Equality ignores ASCII case, ordering is plain
// byte order. The operations and their rules are GrowString's (core/grow_string.h), where
// each is described. operator+ and Mid return per-form temporaries: copy the result before
// calling the same form again. The server uses them from its main thread only.
#include "core/grow_string.h"

class CStr : private GrowString<CStr, char, ServerStringPolicy> {
    using Base = GrowString<CStr, char, ServerStringPolicy>;
    friend Base;

public:
    using Base::Base;

    using Base::Append;
    using Base::Assign;
    using Base::AssignLeft;
    using Base::Clear;
    using Base::Contains;
    using Base::CText;
    using Base::GetCapacity;
    using Base::GetGrowStep;
    using Base::GetLength;
    using Base::GetText;
    using Base::IsEmpty;
    using Base::IsNumeric;
    using Base::MakeLower;
    using Base::MakeUpper;
    using Base::Mid;
    using Base::NextToken;
    using Base::Prepend;
    using Base::SkipToAny;
    using Base::Substitute;
    using Base::operator=;
    using Base::operator+=;
    using Base::operator+;
    using Base::operator==;
    using Base::operator!=;
    using Base::operator<;
    using Base::operator>;
    using Base::operator<=;
    using Base::operator>=;

    // The character at the index, or a pointer to a shared NUL character for an index
    // outside the text (negative indices included).
    const char* operator[](int index) const { return UnitAt(index); }

    // The runtime's decimal reading (atoi) of the text, clamped to the int range; 0 for no
    // buffer.
    int ToInt() const;
};

// Compares two texts with A-Z folded to a-z, nothing else folded; a null text reads as
// empty. Answers <0, 0 or >0 as strcmp does.
int StrCompareNoCase(const char* a, const char* b);
